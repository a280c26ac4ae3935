#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "logdb/Recordset.h"

namespace zorvik::logdb {

// The statement dialect an engine reads. Every engine takes the statements as the log operations
// write them, in DXKeeper's dialect (Jet's, which the SQLite engine translates); a statement
// builder with a better form for one engine asks which one it writes for.
enum class StatementDialect { kJet, kSqlite };

// An open log database: the DAO-style handle the log operations work through, whatever engine
// reads the file (sqlite/SqliteDatabase.h; DAO over Jet on Windows, dao/DaoDatabase.h). Statements
// are written in DXKeeper's dialect; each engine reads them its own way.
//
// Not copyable; closes the file when destroyed. Record sets opened from it must be destroyed
// before it. All methods not marked noexcept throw zorvik::Failure on failure.
class Database {
 public:
  // Opens an existing log for reading and writing (shared) with the engine its first bytes name
  // (LogEngines.h): SQLite's header opens with SQLite, Jet's with the Jet engine where one is
  // registered. Never creates a file. Fails with 3024 (no such file, or a folder), 3343 (empty,
  // not a log database, or a Jet log without a Jet engine), 429 (Windows: DAO is not
  // registered), and with the engine's own failures (3078 a table missing, 3218/3260 locked,
  // ...).
  static std::unique_ptr<Database> Open(const std::string& path);

  virtual ~Database() = default;
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Opens an updatable set over a single-table SELECT, standing on its first row (if any). The
  // set's fields are all the fields of the table, whatever the SELECT lists. Fails with 3075 for
  // a statement the engine cannot read, 3078 / 3061 for an unknown table / field.
  virtual std::unique_ptr<Recordset> OpenRecordset(const std::string& statement) = 0;

  // Runs an UPDATE (or another statement that returns no rows; one statement only, a statement
  // that returns rows fails). RecordsAffected() then gives the number of rows it changed.
  virtual void Execute(const std::string& statement) = 0;
  virtual std::int64_t RecordsAffected() const = 0;

  virtual const std::string& Path() const = 0;

  // The dialect the engine reads beyond DXKeeper's statements as written.
  virtual StatementDialect Dialect() const noexcept = 0;

  // True for an engine whose commit cannot be trusted to leave the file whole if it is cut
  // short: Add and Log Clean then copy the log aside before their first write (logops/LogBackup.h).
  virtual bool NeedsBackupBeforeWriting() const noexcept = 0;

  // Transaction primitives, nested like DAO's BeginTrans / CommitTrans / Rollback. Use them
  // through Transaction and Savepoint below, which pair them up.
  // - BeginTrans opens a level inside the current one (the outermost one where there is none).
  //   On a log that opened read-only the outermost level fails with 3027; once the engine has
  //   rolled the outermost level back on its own, an inner BeginTrans fails instead of writing
  //   outside it.
  // - CommitTrans ends the innermost level and keeps its work: in the level around it, or in the
  //   file for the outermost. When it fails the level stays open (roll it back).
  // - Rollback undoes the innermost level's work and ends it. Never throws; does nothing at
  //   depth 0. Record sets see the rows as they are again.
  virtual void BeginTrans() = 0;
  virtual void CommitTrans() = 0;
  virtual void Rollback() noexcept = 0;
  // Levels begun and not yet committed or rolled back through this handle.
  virtual int TransactionDepth() const noexcept = 0;
  // False when no level is open, or the engine has rolled the whole transaction back on its own
  // (a full disk, an I/O error): later writes would then no longer belong to it.
  virtual bool TransactionActive() const noexcept = 0;

 protected:
  Database() = default;
};

// The run's transaction over the whole database: the outermost level, rolled back when destroyed
// unless committed. Opening one while a level is open is an error (3146); use Savepoint inside.
class Transaction {
 public:
  // Waits for the write lock like Open. A log that opened read-only fails here with 3027, before
  // any work that would only be refused later.
  explicit Transaction(Database& db);
  ~Transaction();  // rolls back unless committed; never throws
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

// A level inside the current one (or the outermost one where none is open): rolled back when
// destroyed unless released.
class Savepoint {
 public:
  explicit Savepoint(Database& db);
  ~Savepoint();  // rolls back its own work unless Release() was called; never throws
  void Release();
  Savepoint(const Savepoint&) = delete;
  Savepoint& operator=(const Savepoint&) = delete;

 private:
  Database& db_;
  bool done_ = false;
};

}  // namespace zorvik::logdb
