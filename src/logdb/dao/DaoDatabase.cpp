#include "logdb/dao/DaoDatabase.h"

#include <filesystem>

#include "core/Failure.h"
#include "logdb/Utf8Path.h"
#include "logdb/dao/DaoEngine.h"
#include "logdb/dao/DaoRecordset.h"
#include "logdb/dao/VariantValue.h"

namespace zorvik::logdb::dao {
namespace {

constexpr int kFailOnError = 128;           // dbFailOnError
constexpr int kForceOsFlush = 1;            // dbForceOSFlush, CommitTrans' option
constexpr int kMaxLocksPerFileOption = 62;  // dbMaxLocksPerFile
// Jet keeps a lock for every page an open transaction has changed, 9500 at most by default
// (error 3052 beyond). An Add writes in one transaction and can change more pages than that on
// a large log; the limit is raised for this process only, as SetOption does.
constexpr int kMaxLocksPerFile = 500'000;

// What the user can do about a log Jet could not open shared. Jet opens a log shared only with a
// lock file beside it (<log>.ldb, created by the first user and deleted by the last), so a folder
// Zorvik may not create files in refuses the log as if someone held it exclusively.
std::string SharedOpenAdvice(int number, const std::string& path) {
  namespace fs = std::filesystem;
  const fs::path log = Utf8Path(path);
  fs::path lockFile = log;
  lockFile.replace_extension(".ldb");
  const auto utf8 = [](const fs::path& p) {
    const std::u8string text = p.u8string();
    return std::string(text.begin(), text.end());
  };
  const std::string folder = utf8(log.parent_path());
  switch (number) {
    case err::kCannotOpenShared:
      return " Zorvik opens the log shared, as DXKeeper does, and Jet then keeps the lock file '" +
             utf8(lockFile) + "' beside it. Make sure that you may create and delete files in '" +
             folder +
             "' (not a read-only folder, CD or network share), and that no program has the log "
             "open exclusively (DXKeeper compacting or repairing it); then try again.";
    case err::kFileInUse:
    case err::kCannotLockFile:
      return " Another program holds the log or its lock file '" + utf8(lockFile) +
             "'. Wait until DXKeeper (or the program that holds it) is done with the log, or "
             "close that program, then try again.";
    default:
      return {};
  }
}

}  // namespace

std::unique_ptr<DaoDatabase> DaoDatabase::Open(const std::string& path) {
  std::unique_ptr<DaoDatabase> db(new DaoDatabase(path));
  db->engine_ = CreateDbEngine();
  try {
    const UniqueVariant option = ToVariant(Value(kMaxLocksPerFileOption));
    const UniqueVariant limit = ToVariant(Value(kMaxLocksPerFile));
    db->engine_.Call(L"SetOption", {&option.Get(), &limit.Get()});
  } catch (const Failure&) {
    // A tuning the engine refuses leaves Jet's own limit; the log still opens and works.
  }
  const UniqueVariant file = ToVariant(Value(path));
  try {
    db->database_ = db->engine_.Object(L"OpenDatabase", InvokeKind::kMethod, {&file.Get()});
  } catch (const Failure& f) {
    const std::string advice = SharedOpenAdvice(f.Number(), path);
    if (advice.empty()) throw;
    throw Failure(f.Number(), f.Description() + advice);
  }
  return db;
}

DaoDatabase::~DaoDatabase() {
  while (depth_ > 0) Rollback();
  try {
    if (database_) database_.Call(L"Close");
  } catch (...) {
    // Closing is best effort: Jet closes the file when its last reference goes anyway.
  }
}

std::unique_ptr<Recordset> DaoDatabase::OpenRecordset(const std::string& statement) {
  const UniqueVariant text = ToVariant(Value(statement));
  return std::make_unique<DaoRecordset>(
      database_.Object(L"OpenRecordset", InvokeKind::kMethod, {&text.Get()}));
}

void DaoDatabase::Execute(const std::string& statement) {
  const UniqueVariant text = ToVariant(Value(statement));
  const UniqueVariant options = ToVariant(Value(kFailOnError));
  database_.Call(L"Execute", {&text.Get(), &options.Get()});
}

std::int64_t DaoDatabase::RecordsAffected() const {
  return IntegerOf(database_.Get(L"RecordsAffected").Get());
}

void DaoDatabase::BeginTrans() {
  if (depth_ == 0 && !TruthOf(database_.Get(L"Updatable").Get())) {
    throw Failure(err::kReadOnly, Path() + ": the log cannot be written (it is read-only)");
  }
  engine_.Call(L"BeginTrans");
  ++depth_;
}

void DaoDatabase::CommitTrans() {
  if (depth_ == 0) {
    throw Failure(err::kNoTransaction,
                  "You tried to commit or rollback a transaction without first beginning a "
                  "transaction.");
  }
  if (depth_ == 1) {
    // The run's writes are on disk when the commit returns, before DXKeeper is told to take its
    // log back: without the option Jet may still hold them in its cache.
    const UniqueVariant flush = ToVariant(Value(kForceOsFlush));
    engine_.Call(L"CommitTrans", {&flush.Get()});
  } else {
    engine_.Call(L"CommitTrans");
  }
  --depth_;
}

void DaoDatabase::Rollback() noexcept {
  if (depth_ == 0) return;
  --depth_;
  try {
    engine_.Call(L"Rollback");
  } catch (...) {
    // Jet could not undo the level: what the transaction holds is unknown from here on.
    inDoubt_ = true;
  }
  if (depth_ == 0) inDoubt_ = false;
}

}  // namespace zorvik::logdb::dao
