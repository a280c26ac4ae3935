#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "logdb/Recordset.h"

struct sqlite3;  // sqlite3.h stays out of headers

namespace zorvik::logdb {

// An open log database: the DAO-style handle over one SQLite file. Statements are written in the
// host's dialect (double-quoted texts are string literals, [bracketed] names, DateValue("...")) and
// translated before SQLite sees them.
//
// Not copyable; closes the file when destroyed. Record sets opened from it must be destroyed
// before it. All methods throw zorvik::Failure on failure.
class Database {
 public:
  // Opens an existing log for reading and writing (shared). Never creates a file. Fails with
  // 3024 (no such file), 3343 (not a database), 3078 (one of QSOs, Progress, QTHs, PrintQueue
  // missing), 3027 (read-only where writing is needed), 3218/3260 (locked; waits a few seconds
  // first). `lock_wait` is how long a locked log is waited for, on opening and on every later
  // statement.
  static std::unique_ptr<Database> Open(
      const std::string& path, std::chrono::milliseconds lock_wait = std::chrono::seconds(5));

  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Opens an updatable set over a single-table SELECT, standing on its first row (if any). The
  // set's fields are all the fields of the table, whatever the SELECT lists. Fails with 3075 for
  // a statement the layer cannot read, 3078 / 3061 for an unknown table / field.
  std::unique_ptr<Recordset> OpenRecordset(const std::string& statement);

  // Runs an UPDATE (or another statement that returns no rows; one statement only, a statement
  // that returns rows fails). RecordsAffected() then gives the number of rows it changed.
  void Execute(const std::string& statement);
  std::int64_t RecordsAffected() const;

  const std::string& Path() const;

  // The raw connection, for the layer's own classes (Recordset, Transaction) and benchmarks.
  sqlite3* Handle() const;

 private:
  friend class Transaction;
  friend class Savepoint;
  struct Impl;
  explicit Database(std::unique_ptr<Impl> impl);
  // Tells the record sets that rows may have changed behind them (a rollback).
  void NoteChange();
  std::unique_ptr<Impl> impl_;
};

// A transaction over the whole database: rolls back when destroyed unless committed. Nesting is
// an error; use Savepoint inside a Transaction.
class Transaction {
 public:
  // BEGIN IMMEDIATE (waits for a lock like Open). A log that opened read-only fails here with
  // 3027, before any work that would only be refused later.
  explicit Transaction(Database& db);
  ~Transaction();  // ROLLBACK unless committed; never throws
  void Commit();
  // False once the engine has rolled the whole transaction back on its own (a full disk, an I/O
  // error): later writes would then no longer belong to it.
  bool Active() const noexcept;
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

 private:
  Database& db_;
  bool done_ = false;
};

// A named savepoint: rolls back to it and releases it when destroyed unless released.
class Savepoint {
 public:
  explicit Savepoint(Database& db);
  ~Savepoint();  // ROLLBACK TO + RELEASE unless Release() was called; never throws
  void Release();
  Savepoint(const Savepoint&) = delete;
  Savepoint& operator=(const Savepoint&) = delete;

 private:
  Database& db_;
  std::string name_;
  bool done_ = false;
};

}  // namespace zorvik::logdb
