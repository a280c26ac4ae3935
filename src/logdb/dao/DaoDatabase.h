#pragma once

#include <memory>
#include <string>

#include "logdb/Database.h"
#include "logdb/dao/Automation.h"
#include "logdb/dao/ComHolders.h"

namespace zorvik::logdb::dao {

// The log database engine over a Jet file (DXKeeper's .mdb), through DAO 3.6 by late-bound COM
// automation: OpenDatabase, OpenRecordset, Execute and the transactions are DAO's own, with
// Jet's semantics and failure numbers (3021 no current record, 3024, 3061, 3075, 3077, 3265,
// ...). Statements go to Jet as they are written; values in them are quoted by the layer.
//
// Transactions are the default workspace's (DBEngine.BeginTrans / CommitTrans / Rollback), which
// Jet nests (up to five levels; the log operations use two). Jet's commit is less sure than
// SQLite's journal to leave the file whole when cut short, so this engine asks for a backup
// before the first write (logops/LogBackup.h).
//
// Lives on the thread that opened it; COM is initialised on that thread for the handle's
// lifetime when it was not already.
class DaoDatabase final : public Database {
 public:
  // Opens an existing Jet log for reading and writing (shared), as OpenDatabase does with the
  // path alone. Expects the checks of Database::Open to have passed. Fails with 429 when DAO is
  // not registered (CreateDbEngine), and with Jet's own failures (3024, 3043, 3045, 3051,
  // 3343, 3356, ...); a shared open Jet refuses (3051 no lock file can be made beside the log,
  // 3045 / 3050 the log or its lock file held) keeps Jet's number and description and adds what
  // the user can do about it.
  static std::unique_ptr<DaoDatabase> Open(const std::string& path);

  ~DaoDatabase() override;  // rolls back levels still open and closes the database; never throws
  DaoDatabase(const DaoDatabase&) = delete;
  DaoDatabase& operator=(const DaoDatabase&) = delete;

  std::unique_ptr<Recordset> OpenRecordset(const std::string& statement) override;
  // With dbFailOnError: a statement that cannot change every row it means fails (and Jet takes
  // back what it changed) instead of reporting success.
  void Execute(const std::string& statement) override;
  std::int64_t RecordsAffected() const override;
  const std::string& Path() const override { return path_; }
  bool NeedsBackupBeforeWriting() const noexcept override { return true; }
  StatementDialect Dialect() const noexcept override { return StatementDialect::kJet; }

  // The outermost BeginTrans fails with 3027 on a log that opened read-only (the database is not
  // Updatable). CommitTrans and Rollback without an open level through this handle fail with
  // 3034 / do nothing, so that they never end another handle's transaction in the same
  // workspace. The outermost CommitTrans passes dbForceOSFlush: the commit returns once Jet has
  // written it to disk.
  void BeginTrans() override;
  void CommitTrans() override;
  void Rollback() noexcept override;
  int TransactionDepth() const noexcept override { return depth_; }
  // False also once a Rollback has failed: Jet's transaction then holds an unknown part of the
  // work, and only rolling back the outermost level is left.
  bool TransactionActive() const noexcept override { return depth_ > 0 && !inDoubt_; }

 private:
  explicit DaoDatabase(std::string path) : path_(std::move(path)) {}

  ComApartment com_;  // first in, last out: every object below is released before it
  Dispatch engine_;
  mutable Dispatch database_;
  std::string path_;
  int depth_ = 0;
  bool inDoubt_ = false;
};

}  // namespace zorvik::logdb::dao
