#include "StandInObjects.h"

#include <algorithm>
#include <set>

#include "JetErrors.h"
#include "JetSql.h"
#include "logdb/dao/VariantValue.h"

namespace zorvik::dao_standin {
namespace {

using logdb::Value;

// DAO's option numbers.
constexpr long kForceOsFlush = 1;  // CommitTrans
constexpr long kExecuteOptions = 1 | 16 | 32 | 64 | 128 | 512;
constexpr long kFailOnError = 128;
constexpr long kSqlPassThrough = 64;
constexpr long kSetOptions = 1 | 2 | 4 | 8 | 16 | 32 | 64 | 256 | 512;
constexpr long kReadOnlySet = 4;       // dbReadOnly
constexpr long kAppendOnly = 8;        // dbAppendOnly
constexpr long kForwardOnlySet = 256;  // dbForwardOnly
constexpr long kReadOnlyLock = 4;      // LockEdit dbReadOnly
constexpr int kMaxLevels = 5;

const Param kText{VT_BSTR};
const Param kOptionalLong{VT_I4, true};
const Param kOptionalAny{VT_VARIANT, true};

bool EndsTheStatement(const Failure& f) {
  switch (f.Number()) {
    case err::kNotEnoughMemory:
    case err::kDiskFull:
    case err::kResourcesExceeded:
    case err::kLockCountExceeded:
      return true;
    default:
      return false;
  }
}

std::string ListOf(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& item : items) out += (out.empty() ? "" : ", ") + item;
  return out;
}

}  // namespace

// ---- Workspace and DBEngine

Workspace::Workspace() {
  Method(L"BeginTrans", {}, [this](const Arguments&) {
    BeginTrans();
    return UniqueVariant();
  });
  Method(L"CommitTrans", {kOptionalLong}, [this](const Arguments& a) {
    CommitTrans(a.Long(0, 0));
    return UniqueVariant();
  });
  Method(L"Rollback", {}, [this](const Arguments&) {
    Rollback();
    return UniqueVariant();
  });
  Method(L"OpenDatabase", {kText, kOptionalAny, kOptionalAny, kOptionalAny},
         [this](const Arguments& a) { return OpenDatabase(a); });
  Property(L"Name", [](const Arguments&) { return TextResult("#Default Workspace#"); });
}

void Workspace::Closed(Database* db) {
  std::erase(open_, db);
}

std::vector<Store*> Workspace::Stores() const {
  std::vector<Store*> stores;
  for (Database* db : open_) {
    try {
      Store* store = &db->Log();
      if (std::find(stores.begin(), stores.end(), store) == stores.end()) stores.push_back(store);
    } catch (const Failure&) {
      // a closed database takes no part
    }
  }
  return stores;
}

void Workspace::BeginTrans() {
  if (depth_ == kMaxLevels) RaiseJet(jet::kTooManyTransactions);
  // Logs opened while a level was open take part from the next level they see begin.
  for (Store* store : Stores()) {
    if (store->Levels() == depth_) store->Begin();
  }
  ++depth_;
}

void Workspace::CommitTrans(long options) {
  if ((options & ~kForceOsFlush) != 0) RaiseJet(jet::kInvalidArgument);
  if (depth_ == 0) RaiseJet(err::kNoTransaction);
  for (Store* store : Stores()) {
    if (store->Levels() == depth_) store->Commit((options & kForceOsFlush) != 0);
  }
  --depth_;
}

void Workspace::Rollback() {
  if (depth_ == 0) RaiseJet(err::kNoTransaction);
  for (Store* store : Stores()) {
    if (store->Levels() == depth_) store->Rollback();
  }
  --depth_;
}

UniqueVariant Workspace::OpenDatabase(const Arguments& a) {
  // OpenDatabase(Name, Options, ReadOnly, Connect): exclusive opens and connect strings are not
  // Zorvik's and not played.
  if (a.Has(1)) {
    UniqueVariant exclusive;
    if (FAILED(
            VariantChangeType(exclusive.Receive(), const_cast<VARIANT*>(&a.Raw(1)), 0, VT_BOOL))) {
      RaiseJet(jet::kInvalidArgument);
    }
    if (exclusive.Get().boolVal != VARIANT_FALSE) NotPlayed("an exclusive open");
  }
  bool readOnly = false;
  if (a.Has(2)) {
    UniqueVariant flag;
    if (FAILED(VariantChangeType(flag.Receive(), const_cast<VARIANT*>(&a.Raw(2)), 0, VT_BOOL))) {
      RaiseJet(jet::kInvalidArgument);
    }
    readOnly = flag.Get().boolVal != VARIANT_FALSE;
  }
  if (a.Has(3)) NotPlayed("a connect string");
  auto db = Make<Database>(*this, Store::Open(a.Text(0)), readOnly);
  return ObjectResult(db.get());
}

// The Workspaces collection: the default workspace alone.
class Workspaces final : public AutomationObject {
 public:
  explicit Workspaces(Workspace& workspace) : workspace_(&workspace) {
    workspace_->AddRef();
    Property(L"Item",
             [this](const Arguments& a) {
               const VARIANT& index = a.Raw(0);
               UniqueVariant number;
               if (SUCCEEDED(VariantChangeType(number.Receive(), const_cast<VARIANT*>(&index), 0,
                                               VT_I4)) &&
                   number.Get().lVal == 0) {
                 return ObjectResult(workspace_);
               }
               RaiseJet(err::kUnknownField);
             },
             {Param{VT_VARIANT}});
    IsDefault();
    Property(L"Count", [](const Arguments&) { return LongResult(1); });
  }
  ~Workspaces() override { workspace_->Release(); }

 private:
  Workspace* workspace_;
};

Engine& Engine::Instance() {
  // Never released: DAO's DBEngine lives as long as the process that created it.
  static Engine* const engine = new Engine();
  return *engine;
}

Engine::Engine() : workspace_(Make<Workspace>()) {
  Workspace& ws = *workspace_;
  Method(L"OpenDatabase", {kText, kOptionalAny, kOptionalAny, kOptionalAny},
         [&ws](const Arguments& a) { return ws.OpenDatabase(a); });
  Method(L"BeginTrans", {}, [&ws](const Arguments&) {
    ws.BeginTrans();
    return UniqueVariant();
  });
  Method(L"CommitTrans", {kOptionalLong}, [&ws](const Arguments& a) {
    ws.CommitTrans(a.Long(0, 0));
    return UniqueVariant();
  });
  Method(L"Rollback", {}, [&ws](const Arguments&) {
    ws.Rollback();
    return UniqueVariant();
  });
  Method(L"SetOption", {Param{VT_I4}, Param{VT_VARIANT}}, [](const Arguments&) {
    // Jet's tuning (dbMaxLocksPerFile, ...) has no counterpart in SQLite.
    return UniqueVariant();
  });
  Property(L"Workspaces", [&ws](const Arguments&) {
    auto all = Make<Workspaces>(ws);
    return ObjectResult(all.get());
  });
  Property(L"Version", [](const Arguments&) { return TextResult("3.6"); });
}

// ---- Database

Database::Database(Workspace& workspace, std::shared_ptr<Store> store, bool readOnly)
    : workspace_(&workspace), store_(std::move(store)), readOnly_(readOnly) {
  workspace_->AddRef();
  workspace_->Opened(this);
  Method(L"OpenRecordset", {kText, kOptionalLong, kOptionalLong, kOptionalLong},
         [this](const Arguments& a) { return OpenRecordset(a); });
  Method(L"Execute", {kText, kOptionalLong}, [this](const Arguments& a) {
    Execute(a);
    return UniqueVariant();
  });
  Property(L"RecordsAffected", [this](const Arguments&) {
    Log();
    return LongResult(recordsAffected_);
  });
  Property(L"Updatable", [this](const Arguments&) {
    Log();
    return BoolResult(Updatable());
  });
  Property(L"Transactions", [this](const Arguments&) {
    Log();
    return BoolResult(true);
  });
  Property(L"Name", [this](const Arguments&) { return TextResult(Log().Path()); });
  Method(L"Close", {}, [this](const Arguments&) {
    Close();
    return UniqueVariant();
  });
}

Database::~Database() {
  Close();
  workspace_->Closed(this);
  workspace_->Release();
}

Store& Database::Log() {
  if (!store_) RaiseJet(err::kObjectClosed);
  return *store_;
}

void Database::Closed(Recordset* set) {
  std::erase(sets_, set);
}

void Database::Close() {
  if (!store_) return;
  // Closing a database closes its record sets and rolls back the transaction still open.
  for (Recordset* set : std::vector<Recordset*>(sets_)) set->CloseSet();
  while (workspace_->Depth() > 0) {
    try {
      workspace_->Rollback();
    } catch (const Failure&) {
      break;
    }
  }
  workspace_->Closed(this);
  store_.reset();
}

UniqueVariant Database::OpenRecordset(const Arguments& a) {
  Store& log = Log();
  const std::string source = a.Text(0);
  const StatementKind kind = KindOf(source);
  const long type = a.Long(1, kind == StatementKind::kTableName ? 1 : 2);
  const long options = a.Long(2, 0);
  const long lockEdit = a.Long(3, 2);
  if (type != 1 && type != 2 && type != 4 && type != 8) RaiseJet(jet::kInvalidArgument);
  if ((options & ~kSetOptions) != 0 || lockEdit < 1 || lockEdit > 5) {
    RaiseJet(jet::kInvalidArgument);
  }
  if ((options & kSqlPassThrough) != 0) NotPlayed("dbSQLPassThrough");
  log.Journal("OpenRecordset " + std::to_string(type) + " " + std::to_string(options) + " " +
              std::to_string(lockEdit) + " " + source);

  Recordset::Opening opening;
  opening.type =
      (options & kForwardOnlySet) != 0 ? SetType::kForwardOnly : static_cast<SetType>(type);
  opening.readOnly = (options & kReadOnlySet) != 0 || lockEdit == kReadOnlyLock;
  std::string rows;
  if (kind == StatementKind::kTableName) {
    opening.table =
        &log.Table(source.front() == '[' ? source.substr(1, source.size() - 2) : source);
    rows = "SELECT rowid FROM " + SqlName(opening.table->name) + " ORDER BY rowid";
  } else if (kind == StatementKind::kSelect) {
    if (opening.type == SetType::kTable) RaiseJet(jet::kInvalidOperation);
    const SqlSelect select = ReadSelect(source);
    opening.table = &log.Table(select.table);
    for (const std::string& name : select.fields) {
      const int at = opening.table->FieldIndex(name);
      if (at < 0) {
        throw Failure(jet::kTooFewParameters, JetDescription(jet::kTooFewParameters) +
                                                  " (Jet reads the unknown name " + name +
                                                  " as a parameter)");
      }
      opening.fields.push_back(at);
    }
    rows = "SELECT rowid FROM " + SqlName(opening.table->name);
    if (!select.where.empty()) rows += " WHERE " + select.where;
    if (!select.orderBy.empty()) rows += " ORDER BY " + select.orderBy;
  } else if (kind == StatementKind::kUpdate) {
    RaiseJet(jet::kInvalidOperation);  // an action query gives no rows
  } else {
    RaiseJet(jet::kInvalidStatement);
  }
  if (opening.fields.empty()) {
    for (std::size_t i = 0; i < opening.table->fields.size(); ++i) {
      opening.fields.push_back(static_cast<int>(i));
    }
  }
  // An append-only set shows no rows, only those it adds.
  if ((options & kAppendOnly) == 0) {
    Statement keys = log.Prepare(rows);
    while (keys.Step()) opening.rowids.push_back(keys.Column(0).AsInteger());
  }
  auto set = Make<Recordset>(*this, store_, std::move(opening));
  return ObjectResult(set.get());
}

void Database::Execute(const Arguments& a) {
  Store& log = Log();
  const std::string statement = a.Text(0);
  const long options = a.Long(1, 0);
  if ((options & ~kExecuteOptions) != 0) RaiseJet(jet::kInvalidArgument);
  if ((options & kSqlPassThrough) != 0) NotPlayed("dbSQLPassThrough");
  log.Journal("Execute " + std::to_string(options) + " " + statement);
  switch (KindOf(statement)) {
    case StatementKind::kSelect:
      RaiseJet(jet::kCannotExecuteSelect);
    case StatementKind::kUpdate:
      break;
    default: {
      const std::string first = statement.substr(0, statement.find(' '));
      for (const char* verb : {"DELETE", "INSERT", "CREATE", "ALTER", "DROP"}) {
        if (_stricmp(first.c_str(), verb) == 0) NotPlayed(std::string("a ") + verb + " statement");
      }
      RaiseJet(jet::kInvalidStatement);
    }
  }
  const SqlUpdate update = ReadUpdate(statement);
  const TableInfo& table = log.Table(update.table);
  std::vector<int> targets;
  std::vector<std::string> expressions;
  for (const auto& [name, expression] : update.assignments) {
    const int at = table.FieldIndex(name);
    if (at < 0) {
      throw Failure(jet::kTooFewParameters, JetDescription(jet::kTooFewParameters) +
                                                " (Jet reads the unknown name " + name +
                                                " as a parameter)");
    }
    targets.push_back(at);
    expressions.push_back(expression);
  }
  // The rows and their new values, all read before the first is written.
  std::string select = "SELECT rowid, " + ListOf(expressions) + " FROM " + SqlName(table.name);
  if (!update.where.empty()) select += " WHERE " + update.where;
  select += " ORDER BY rowid";
  std::vector<std::pair<std::int64_t, std::vector<Value>>> rows;
  {
    Statement read = log.Prepare(select);
    while (read.Step()) {
      std::vector<Value> values;
      for (std::size_t i = 0; i < targets.size(); ++i) {
        values.push_back(read.Column(static_cast<int>(i) + 1));
      }
      rows.emplace_back(read.Column(0).AsInteger(), std::move(values));
    }
  }
  if (!rows.empty() && !Updatable()) RaiseJet(err::kReadOnly);
  std::vector<std::string> sets;
  for (std::size_t i = 0; i < targets.size(); ++i) {
    sets.push_back(SqlName(table.fields[static_cast<std::size_t>(targets[i])].name) + " = ?" +
                   std::to_string(i + 1));
  }
  const std::string write = "UPDATE " + SqlName(table.name) + " SET " + ListOf(sets) +
                            " WHERE rowid = ?" + std::to_string(targets.size() + 1);
  const bool failOnError = (options & kFailOnError) != 0;
  recordsAffected_ = 0;
  // One row after the other, each kept once written: Jet runs no transaction of its own.
  log.Run("SAVEPOINT jet_statement");
  const auto keepWhatWasWritten = [&] {
    try {
      log.Run("RELEASE jet_statement");
    } catch (const Failure&) {
      // SQLite has rolled back on its own (a full disk): nothing is left to keep.
    }
    log.Changed();
  };
  try {
    for (const auto& [rowid, values] : rows) {
      try {
        std::vector<Value> stored;
        for (std::size_t i = 0; i < targets.size(); ++i) {
          const FieldSpec& field = table.fields[static_cast<std::size_t>(targets[i])];
          stored.push_back(StoredFromSql(field, values[i]));
          CheckRecordField(field, stored.back());
        }
        log.BeforeWrite(table, rowid);
        Statement change = log.Prepare(write);
        for (std::size_t i = 0; i < stored.size(); ++i) {
          change.Bind(static_cast<int>(i) + 1, stored[i]);
        }
        change.Bind(static_cast<int>(stored.size()) + 1, Value(rowid));
        change.Step();
        ++recordsAffected_;
      } catch (const Failure& f) {
        // Without dbFailOnError Jet passes over a row it cannot change, and says nothing.
        if (failOnError || EndsTheStatement(f)) throw;
      }
    }
  } catch (...) {
    keepWhatWasWritten();
    throw;
  }
  keepWhatWasWritten();
}

// ---- Recordset

Recordset::Recordset(Database& db, std::shared_ptr<Store> store, Opening opening)
    : db_(&db),
      store_(std::move(store)),
      table_(opening.table),
      fields_(std::move(opening.fields)),
      type_(opening.type),
      readOnly_(opening.readOnly) {
  db_->AddRef();
  db_->Opened(this);
  store_->Opened(this);
  for (std::int64_t rowid : opening.rowids) keys_.push_back({rowid});
  position_ = 0;
  visited_ = keys_.empty() ? 0 : 1;
  std::vector<std::string> columns;
  for (const FieldSpec& field : table_->fields) columns.push_back(SqlName(field.name));
  rowSql_ = "SELECT " + ListOf(columns) + " FROM " + SqlName(table_->name) + " WHERE rowid = ?1";
  if (type_ == SetType::kSnapshot) {
    // A snapshot is a copy of its rows as they were when it opened.
    std::vector<std::vector<Value>> rows;
    for (position_ = 0; position_ < static_cast<long>(keys_.size()); ++position_) {
      rows.push_back(Row());
    }
    snapshot_ = std::move(rows);
    position_ = 0;
  }

  Method(L"MoveFirst", {}, [this](const Arguments&) {
    CheckOpen();
    if (!Scrolls() && position_ > 0) RaiseJet(jet::kNotSupportedForType);
    if (keys_.empty()) RaiseJet(err::kNoCurrentRecord);
    Move(0);
    return UniqueVariant();
  });
  Method(L"MoveNext", {}, [this](const Arguments&) {
    CheckOpen();
    if (position_ >= static_cast<long>(keys_.size())) RaiseJet(err::kNoCurrentRecord);
    Move(position_ + 1);
    return UniqueVariant();
  });
  Method(L"MovePrevious", {}, [this](const Arguments&) {
    CheckOpen();
    if (!Scrolls()) RaiseJet(jet::kNotSupportedForType);
    if (position_ < 0 || keys_.empty()) RaiseJet(err::kNoCurrentRecord);
    Move(position_ - 1);
    return UniqueVariant();
  });
  Method(L"MoveLast", {Param{VT_I4, true}}, [this](const Arguments&) {
    CheckOpen();
    if (!Scrolls()) RaiseJet(jet::kNotSupportedForType);
    if (keys_.empty()) RaiseJet(err::kNoCurrentRecord);
    Move(static_cast<long>(keys_.size()) - 1);
    return UniqueVariant();
  });
  Property(L"RecordCount", [this](const Arguments&) {
    CheckOpen();
    return LongResult(Count());
  });
  Property(L"EOF", [this](const Arguments&) {
    CheckOpen();
    return BoolResult(keys_.empty() || position_ >= static_cast<long>(keys_.size()));
  });
  Property(L"BOF", [this](const Arguments&) {
    CheckOpen();
    return BoolResult(keys_.empty() || position_ < 0);
  });
  Property(L"NoMatch", [this](const Arguments&) {
    CheckOpen();
    return BoolResult(noMatch_);
  });
  Property(L"Type", [this](const Arguments&) {
    CheckOpen();
    return LongResult(static_cast<long>(type_));
  });
  Property(L"Updatable", [this](const Arguments&) {
    CheckOpen();
    try {
      CheckWritable();
      return BoolResult(true);
    } catch (const Failure&) {
      return BoolResult(false);
    }
  });
  Method(L"FindFirst", {kText}, [this](const Arguments& a) {
    Find(a.Text(0), true);
    return UniqueVariant();
  });
  Method(L"FindNext", {kText}, [this](const Arguments& a) {
    Find(a.Text(0), false);
    return UniqueVariant();
  });
  Property(L"Fields", [this](const Arguments&) {
    CheckOpen();
    auto fields = Make<Fields>(*this);
    return ObjectResult(fields.get());
  });
  Method(L"Edit", {}, [this](const Arguments&) {
    Edit();
    return UniqueVariant();
  });
  Method(L"AddNew", {}, [this](const Arguments&) {
    AddNew();
    return UniqueVariant();
  });
  // Update(UpdateType, Force): the regular update is all the stand-in plays.
  Method(L"Update", {kOptionalLong, kOptionalAny}, [this](const Arguments& a) {
    if (a.Long(0, 1) != 1 || a.Has(1)) NotPlayed("a batch or forced Update");
    Update();
    return UniqueVariant();
  });
  Method(L"CancelUpdate", {kOptionalLong}, [this](const Arguments&) {
    CheckOpen();
    if (editing_ == Editing::kNone) RaiseJet(jet::kUpdateWithoutEdit);
    Leave();
    return UniqueVariant();
  });
  Method(L"Close", {}, [this](const Arguments&) {
    CheckOpen();
    CloseSet();
    return UniqueVariant();
  });
}

Recordset::~Recordset() {
  CloseSet();
  db_->Release();
}

void Recordset::CloseSet() {
  if (closed_) return;
  closed_ = true;
  Leave();
  store_->Closed(this);
  db_->Closed(this);
  store_.reset();
}

void Recordset::CheckOpen() const {
  if (closed_) RaiseJet(err::kObjectClosed);
}

void Recordset::Forget(const TableInfo& table, std::int64_t rowid) {
  if (&table != table_) return;
  for (Key& key : keys_) {
    if (key.rowid == rowid) key.gone = true;
  }
}

int Recordset::FieldNamed(std::string_view name) const {
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const std::string& field = table_->fields[static_cast<std::size_t>(fields_[i])].name;
    if (field.size() == name.size() && _strnicmp(field.c_str(), name.data(), name.size()) == 0) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

const FieldSpec& Recordset::FieldAt(int index) const {
  return table_->fields[static_cast<std::size_t>(fields_[static_cast<std::size_t>(index)])];
}

void Recordset::Leave() {
  editing_ = Editing::kNone;
  buffer_.clear();
}

void Recordset::Visit(long position) {
  visited_ = std::max(visited_, std::min(position + 1, static_cast<long>(keys_.size())));
}

void Recordset::Move(long to) {
  Leave();
  noMatch_ = false;
  position_ = std::clamp(to, -1L, static_cast<long>(keys_.size()));
  Visit(position_);
}

long Recordset::Count() const {
  if (type_ != SetType::kTable) return visited_;
  long live = 0;
  for (const Key& key : keys_) live += key.gone ? 0 : 1;
  return live;
}

const std::vector<Value>& Recordset::Row() {
  if (position_ < 0 || position_ >= static_cast<long>(keys_.size())) {
    RaiseJet(err::kNoCurrentRecord);
  }
  const Key& key = keys_[static_cast<std::size_t>(position_)];
  if (key.gone) RaiseJet(jet::kRecordDeleted);
  if (!snapshot_.empty()) return snapshot_[static_cast<std::size_t>(position_)];
  if (rowPosition_ == position_ && rowGeneration_ == store_->Generation()) return row_;
  Statement read = store_->Prepare(rowSql_);
  read.Bind(1, Value(key.rowid));
  // A row deleted by someone else since the set was opened.
  if (!read.Step()) RaiseJet(jet::kRecordDeleted);
  row_.clear();
  for (std::size_t i = 0; i < table_->fields.size(); ++i) {
    row_.push_back(read.Column(static_cast<int>(i)));
  }
  rowPosition_ = position_;
  rowGeneration_ = store_->Generation();
  return row_;
}

UniqueVariant Recordset::FieldValue(int index) {
  CheckOpen();
  const int column = fields_[static_cast<std::size_t>(index)];
  if (editing_ != Editing::kNone) {
    if (const auto set = buffer_.find(column); set != buffer_.end()) {
      return JetValueOf(FieldAt(index), set->second);
    }
    // A new row starts with the table's defaults; here, as in DXKeeper's tables, Null.
    if (editing_ == Editing::kAddNew) return JetValueOf(FieldAt(index), Value());
  }
  return JetValueOf(FieldAt(index), Row()[static_cast<std::size_t>(column)]);
}

void Recordset::SetFieldValue(int index, const VARIANT& value) {
  CheckOpen();
  if (editing_ == Editing::kNone) RaiseJet(jet::kUpdateWithoutEdit);
  buffer_[fields_[static_cast<std::size_t>(index)]] = StoredFromVariant(FieldAt(index), value);
}

void Recordset::CheckWritable() const {
  if (readOnly_ || type_ == SetType::kSnapshot || type_ == SetType::kForwardOnly ||
      !db_->Updatable()) {
    RaiseJet(err::kReadOnly);
  }
}

void Recordset::Find(const std::string& criterion, bool first) {
  CheckOpen();
  if (type_ == SetType::kTable || type_ == SetType::kForwardOnly) {
    RaiseJet(jet::kNotSupportedForType);
  }
  const std::string condition = ReadCriterion(criterion);
  long from = 0;
  if (!first) {
    if (position_ < 0 || position_ >= static_cast<long>(keys_.size())) {
      RaiseJet(err::kNoCurrentRecord);
    }
    from = position_ + 1;
  }
  Leave();
  if (condition != foundFor_ || foundGeneration_ != store_->Generation()) {
    found_.clear();
    Statement matches =
        store_->Prepare("SELECT rowid FROM " + SqlName(table_->name) + " WHERE " + condition);
    while (matches.Step()) found_.insert(matches.Column(0).AsInteger());
    foundFor_ = condition;
    foundGeneration_ = store_->Generation();
  }
  for (long i = from; i < static_cast<long>(keys_.size()); ++i) {
    const Key& key = keys_[static_cast<std::size_t>(i)];
    // The criterion is tested on each row in turn: a row that is gone cannot be read.
    if (key.gone) RaiseJet(jet::kRecordDeleted);
    if (found_.contains(key.rowid)) {
      position_ = i;
      noMatch_ = false;
      Visit(i);
      return;
    }
  }
  // Every row was looked at; where the set stands now is undefined, here: no current row.
  noMatch_ = true;
  visited_ = static_cast<long>(keys_.size());
  position_ = static_cast<long>(keys_.size());
}

void Recordset::Edit() {
  CheckOpen();
  CheckWritable();
  Row();  // 3021, 3167
  // Jet locks the row when editing begins (pessimistic locking, DAO's default).
  store_->CheckLock(*table_, keys_[static_cast<std::size_t>(position_)].rowid);
  Leave();
  editing_ = Editing::kEdit;
}

void Recordset::AddNew() {
  CheckOpen();
  CheckWritable();
  Leave();
  editing_ = Editing::kAddNew;
}

void Recordset::Update() {
  CheckOpen();
  if (editing_ == Editing::kNone) RaiseJet(jet::kUpdateWithoutEdit);
  // The whole record is checked, as Jet checks it before it writes.
  for (std::size_t i = 0; i < table_->fields.size(); ++i) {
    const auto set = buffer_.find(static_cast<int>(i));
    const Value stored = set != buffer_.end()         ? set->second
                         : editing_ == Editing::kEdit ? Row()[i]
                                                      : Value();
    CheckRecordField(table_->fields[i], stored);
  }
  const std::string table = SqlName(table_->name);
  std::vector<std::string> names;
  for (const auto& [column, value] : buffer_) {
    names.push_back(SqlName(table_->fields[static_cast<std::size_t>(column)].name));
  }
  if (editing_ == Editing::kEdit) {
    const std::int64_t rowid = keys_[static_cast<std::size_t>(position_)].rowid;
    store_->BeforeWrite(*table_, rowid);
    if (!names.empty()) {
      std::vector<std::string> sets;
      for (std::size_t i = 0; i < names.size(); ++i) {
        sets.push_back(names[i] + " = ?" + std::to_string(i + 1));
      }
      Statement change = store_->Prepare("UPDATE " + table + " SET " + ListOf(sets) +
                                         " WHERE rowid = ?" + std::to_string(names.size() + 1));
      int at = 1;
      for (const auto& [column, value] : buffer_) change.Bind(at++, value);
      change.Bind(at, Value(rowid));
      change.Step();
    }
  } else {
    store_->BeforeWrite(*table_, 0);
    std::string sql = "INSERT INTO " + table;
    if (names.empty()) {
      sql += " DEFAULT VALUES";
    } else {
      std::vector<std::string> marks;
      for (std::size_t i = 0; i < names.size(); ++i) marks.push_back("?" + std::to_string(i + 1));
      sql += " (" + ListOf(names) + ") VALUES (" + ListOf(marks) + ")";
    }
    Statement insert = store_->Prepare(sql);
    int at = 1;
    for (const auto& [column, value] : buffer_) insert.Bind(at++, value);
    insert.Step();
    const std::int64_t rowid = store_->LastInsertRowid();
    // A new row goes to the end of the dynaset; the row current before AddNew stays current.
    keys_.push_back({rowid});
    ++visited_;
    store_->Added(*table_, rowid);
  }
  store_->Changed();
  Leave();
}

// ---- Fields and Field

Fields::Fields(Recordset& set) : set_(&set) {
  set_->AddRef();
  Property(L"Item",
           [this](const Arguments& a) {
             set_->CheckOpen();
             const VARIANT& which = a.Raw(0);
             int index = -1;
             if (which.vt == VT_BSTR) {
               index = set_->FieldNamed(logdb::dao::FromBstr(which.bstrVal));
             } else {
               UniqueVariant number;
               if (SUCCEEDED(VariantChangeType(number.Receive(), const_cast<VARIANT*>(&which), 0,
                                               VT_I4)) &&
                   number.Get().lVal >= 0 && number.Get().lVal < set_->FieldCount()) {
                 index = number.Get().lVal;
               }
             }
             if (index < 0) RaiseJet(err::kUnknownField);
             auto field = Make<Field>(*set_, index);
             return ObjectResult(field.get());
           },
           {Param{VT_VARIANT}});
  IsDefault();
  Property(L"Count", [this](const Arguments&) {
    set_->CheckOpen();
    return LongResult(set_->FieldCount());
  });
}

Fields::~Fields() {
  set_->Release();
}

Field::Field(Recordset& set, int index) : set_(&set), index_(index) {
  set_->AddRef();
  ReadWrite(
      L"Value", [this](const Arguments&) { return set_->FieldValue(index_); },
      [this](const Arguments& a) {
        set_->SetFieldValue(index_, a.Raw(0));
        return UniqueVariant();
      },
      VT_VARIANT);
  IsDefault();
  Property(L"Name", [this](const Arguments&) { return TextResult(set_->FieldAt(index_).name); });
  Property(L"Type", [this](const Arguments&) {
    return LongResult(static_cast<long>(set_->FieldAt(index_).type));
  });
  Property(L"Size", [this](const Arguments&) { return LongResult(set_->FieldAt(index_).Size()); });
  Property(L"Required",
           [this](const Arguments&) { return BoolResult(set_->FieldAt(index_).required); });
  Property(L"AllowZeroLength",
           [this](const Arguments&) { return BoolResult(set_->FieldAt(index_).allowZeroLength); });
}

Field::~Field() {
  set_->Release();
}

}  // namespace zorvik::dao_standin
