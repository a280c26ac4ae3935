#include "logdb/dao/DaoDatabase.h"

#include "core/Failure.h"
#include "logdb/dao/DaoEngine.h"
#include "logdb/dao/DaoRecordset.h"
#include "logdb/dao/VariantValue.h"

namespace zorvik::logdb::dao {
namespace {

constexpr int kFailOnError = 128;           // dbFailOnError
constexpr int kMaxLocksPerFileOption = 62;  // dbMaxLocksPerFile
// Jet keeps a lock for every page an open transaction has changed, 9500 at most by default
// (error 3052 beyond). An Add writes in one transaction and can change more pages than that on
// a large log; the limit is raised for this process only, as SetOption does.
constexpr int kMaxLocksPerFile = 500'000;

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
  db->database_ = db->engine_.Object(L"OpenDatabase", InvokeKind::kMethod, {&file.Get()});
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
  engine_.Call(L"CommitTrans");
  --depth_;
}

void DaoDatabase::Rollback() noexcept {
  if (depth_ == 0) return;
  --depth_;
  try {
    engine_.Call(L"Rollback");
  } catch (...) {
    // Nothing is left to undo when the engine has ended the transaction itself.
  }
}

}  // namespace zorvik::logdb::dao
