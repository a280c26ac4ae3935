#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "logdb/Database.h"

struct sqlite3;  // sqlite3.h stays out of headers

namespace zorvik::logdb {

struct Connection;

// The log database engine over an SQLite 3 file. Statements are written in DXKeeper's dialect
// (double-quoted texts are string literals, [bracketed] names, DateValue("...")) and translated
// before SQLite sees them. Needs no backup before writing: SQLite's journal makes every commit
// all or nothing.
//
// Transactions: the outermost level is BEGIN IMMEDIATE (a read-only log fails there with 3027),
// inner levels are savepoints.
class SqliteDatabase final : public Database {
 public:
  // Opens an existing SQLite log for reading and writing (shared). Never creates a file; expects
  // the checks of Database::Open to have passed (an empty file would open as a database without
  // tables, 3078). Fails with 3024 (cannot be opened), 3343 (not a database), 3078 (one of QSOs,
  // Progress, QTHs, PrintQueue missing), 3218/3260 (locked). `lock_wait` is how long a locked
  // log is waited for, on opening and on every later statement.
  static std::unique_ptr<SqliteDatabase> Open(
      const std::string& path, std::chrono::milliseconds lock_wait = std::chrono::seconds(5));

  ~SqliteDatabase() override;  // rolls back levels still open; never throws
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;

  std::unique_ptr<Recordset> OpenRecordset(const std::string& statement) override;
  void Execute(const std::string& statement) override;
  std::int64_t RecordsAffected() const override;
  const std::string& Path() const override;
  bool NeedsBackupBeforeWriting() const noexcept override { return false; }
  StatementDialect Dialect() const noexcept override { return StatementDialect::kSqlite; }

  void BeginTrans() override;
  void CommitTrans() override;
  void Rollback() noexcept override;
  int TransactionDepth() const noexcept override { return depth_; }
  bool TransactionActive() const noexcept override;

  // The raw connection, for tests and benchmarks that look behind the layer. Valid while this
  // object lives.
  sqlite3* Handle() const;

 private:
  explicit SqliteDatabase(std::shared_ptr<Connection> conn);

  std::shared_ptr<Connection> conn_;  // shared with the record sets opened from here
  std::int64_t records_affected_ = 0;
  int depth_ = 0;
};

}  // namespace zorvik::logdb
