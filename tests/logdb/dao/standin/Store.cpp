#include "Store.h"

#include <sqlite3.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>

#include "JetDateValue.h"
#include "JetErrors.h"
#include "JetSql.h"
#include "StandInObjects.h"
#include "logdb/Utf8Path.h"
#include "support/JetRoutedLog.h"

namespace zorvik::dao_standin {
namespace {

namespace fs = std::filesystem;

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8(const fs::path& p) {
  const std::u8string text = p.u8string();
  return std::string(text.begin(), text.end());
}

// SQLite's failure as Jet's.
[[noreturn]] void RaiseSqlite(sqlite3* db, int rc) {
  const std::string message = sqlite3_errmsg(db);
  if (const int number = JetFunctionFailure(message)) RaiseJet(number);
  const auto after = [&](std::string_view prefix) -> std::optional<std::string> {
    const auto at = message.find(prefix);
    if (at == std::string::npos) return std::nullopt;
    return message.substr(at + prefix.size());
  };
  if (const auto column = after("no such column: ")) {
    // Jet takes a name it does not know for a parameter.
    throw Failure(jet::kTooFewParameters, JetDescription(jet::kTooFewParameters) +
                                              " (Jet reads the unknown name " + *column +
                                              " as a parameter)");
  }
  if (const auto table = after("no such table: ")) RaiseJet(err::kMissingTable, *table);
  switch (rc & 0xff) {
    case SQLITE_BUSY:
      RaiseJet(err::kLockedByOther);
    case SQLITE_LOCKED:
      RaiseJet(err::kLocked);
    case SQLITE_FULL:
      RaiseJet(err::kDiskFull);
    case SQLITE_READONLY:
      RaiseJet(err::kReadOnly);
    case SQLITE_ERROR:
      if (message.find("syntax error") != std::string::npos) {
        RaiseJet(err::kSyntaxError, message);
      }
      break;
    default:
      break;
  }
  throw Failure(err::kEngineError, message);
}

bool Matches(const std::string& word, std::string_view upper) {
  return _stricmp(word.c_str(), std::string(upper).c_str()) == 0;
}

// Stores are shared by every Database object of the process on the same file.
std::map<std::wstring, std::weak_ptr<Store>>& OpenStores() {
  static std::map<std::wstring, std::weak_ptr<Store>> stores;
  return stores;
}

std::wstring Key(const fs::path& path) {
  std::wstring key = fs::absolute(path).lexically_normal().wstring();
  for (wchar_t& c : key) c = static_cast<wchar_t>(towlower(c));
  return key;
}

}  // namespace

int TableInfo::FieldIndex(std::string_view name) const {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].name.size() == name.size() &&
        _strnicmp(fields[i].name.c_str(), name.data(), name.size()) == 0) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

Statement::~Statement() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

void Statement::Bind(int index, const logdb::Value& v) {
  if (v.IsNull()) {
    sqlite3_bind_null(stmt_, index);
  } else if (v.IsInteger()) {
    sqlite3_bind_int64(stmt_, index, v.AsInteger());
  } else if (v.IsReal()) {
    sqlite3_bind_double(stmt_, index, v.AsReal());
  } else {
    sqlite3_bind_text64(stmt_, index, v.AsText().data(), v.AsText().size(), SQLITE_TRANSIENT,
                        SQLITE_UTF8);
  }
}

bool Statement::Step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  sqlite3_reset(stmt_);
  RaiseSqlite(db_, rc);
}

logdb::Value Statement::Column(int index) const {
  switch (sqlite3_column_type(stmt_, index)) {
    case SQLITE_INTEGER:
      return logdb::Value(static_cast<std::int64_t>(sqlite3_column_int64(stmt_, index)));
    case SQLITE_FLOAT:
      return logdb::Value(sqlite3_column_double(stmt_, index));
    case SQLITE_NULL:
      return logdb::Value();
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, index));
      return logdb::Value(std::string(text ? text : "", sqlite3_column_bytes(stmt_, index)));
    }
  }
}

std::shared_ptr<Store> Store::Open(const std::string& path) {
  const fs::path file = logdb::Utf8Path(path);
  const std::wstring key = Key(file);
  if (auto open = OpenStores()[key].lock()) return open;

  std::shared_ptr<Store> store(new Store());
  store->path_ = path;
  // Jet holds the log open for reading and writing while it lets others do the same.
  store->file_ =
      CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (store->file_ == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
    store->fileReadOnly_ = true;
    store->file_ = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (store->file_ == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
      RaiseJet(err::kFileInUse, path);
    }
    RaiseJet(err::kFileNotFound, path);
  }
  const std::vector<std::string> lines = testing::JetRoutedLines(file);
  const std::optional<fs::path> sqlite = testing::SqliteLogOf(file);
  if (!sqlite) RaiseJet(err::kUnrecognizedFormat, path);
  store->ReadSwitches(lines);

  // A shared open needs Jet's lock file beside the log, created by the first user.
  store->lockFile_ = file;
  store->lockFile_.replace_extension(".ldb");
  store->lock_ = CreateFileW(store->lockFile_.c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (store->lock_ == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
      RaiseJet(err::kFileInUse, Utf8(store->lockFile_));
    }
    RaiseJet(err::kCannotOpenShared, path);
  }

  store->data_ = CreateFileW(sqlite->c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  const std::string target = Utf8(*sqlite);
  const int rc = sqlite3_open_v2(target.c_str(), &store->db_, SQLITE_OPEN_READWRITE, nullptr);
  if (rc != SQLITE_OK) RaiseJet(err::kUnrecognizedFormat, path);
  sqlite3_busy_timeout(store->db_, 5000);
  // A quoted name is always a name: SQLite would otherwise read one that names no field as a
  // text, where Jet fails.
  sqlite3_db_config(store->db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(store->db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  // Jet writes lazily; only a commit with dbForceOSFlush waits for the disk (Commit flushes).
  sqlite3_exec(store->db_, "PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
  RegisterJetFunctions(store->db_);
  OpenStores()[key] = store;
  return store;
}

Store::~Store() {
  while (!added_.empty()) {
    sqlite3_exec(db_, ("ROLLBACK TO jet_level_" + std::to_string(added_.size())).c_str(), nullptr,
                 nullptr, nullptr);
    sqlite3_exec(db_, ("RELEASE jet_level_" + std::to_string(added_.size())).c_str(), nullptr,
                 nullptr, nullptr);
    added_.pop_back();
  }
  for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
  if (db_) sqlite3_close_v2(db_);
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  if (data_ != INVALID_HANDLE_VALUE) CloseHandle(data_);
  if (lock_ != INVALID_HANDLE_VALUE) {
    CloseHandle(lock_);
    // The last user deletes the lock file (Jet leaves it where it may not delete it).
    DeleteFileW(lockFile_.c_str());
  }
  std::erase_if(OpenStores(), [](const auto& entry) { return entry.second.expired(); });
}

void Store::ReadSwitches(const std::vector<std::string>& lines) {
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::istringstream words(lines[i]);
    std::string word;
    words >> word;
    if (Matches(word, "FAULT")) {
      Fault fault;
      words >> fault.what >> fault.at >> fault.number;
      fault.what = Lower(fault.what);
      faults_.push_back(fault);
    } else if (Matches(word, "LOCK")) {
      Lock lock;
      words >> lock.table >> lock.rowid >> lock.number;
      locks_.push_back(lock);
    } else if (Matches(word, "JOURNAL")) {
      std::string rest;
      std::getline(words >> std::ws, rest);
      journal_ = logdb::Utf8Path(rest);
    }
  }
}

bool Store::ReadOnly() const {
  return fileReadOnly_ || sqlite3_db_readonly(db_, "main") == 1;
}

Statement Store::Prepare(const std::string& sql) {
  sqlite3_stmt*& stmt = statements_[sql];
  if (stmt == nullptr) {
    const int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr);
    if (rc != SQLITE_OK) {
      statements_.erase(sql);
      RaiseSqlite(db_, rc);
    }
  }
  return Statement(db_, stmt);
}

void Store::Run(const std::string& sql) {
  Statement statement = Prepare(sql);
  while (statement.Step()) {
  }
}

const TableInfo& Store::Table(std::string_view name) {
  const std::string key = Lower(name);
  if (const auto found = tables_.find(key); found != tables_.end()) return found->second;
  Statement find =
      Prepare("SELECT name FROM sqlite_master WHERE type = 'table' AND lower(name) = lower(?1)");
  find.Bind(1, logdb::Value(std::string(name)));
  if (!find.Step()) RaiseJet(err::kMissingTable, name);
  TableInfo table;
  table.name = find.Column(0).AsText();
  Statement columns = Prepare("SELECT name, type, \"notnull\" FROM pragma_table_info(?1)");
  columns.Bind(1, logdb::Value(table.name));
  while (columns.Step()) {
    table.fields.push_back(DescribeField(table.name, columns.Column(0).AsText(),
                                         columns.Column(1).ToText(),
                                         columns.Column(2).ToText() == "1"));
  }
  return tables_.emplace(key, std::move(table)).first->second;
}

void Store::Begin() {
  Run("SAVEPOINT jet_level_" + std::to_string(added_.size() + 1));
  added_.emplace_back();
  Journal("BeginTrans");
}

void Store::Commit(bool flush) {
  const long level = static_cast<long>(added_.size());
  for (Fault& f : faults_) {
    if (f.what == "commit" && f.at == level && !f.fired) {
      f.fired = true;
      Journal("CommitTrans failed " + std::to_string(f.number));
      RaiseJet(f.number);
    }
  }
  if (level == 1) {
    Run("RELEASE jet_level_1");
    // Written to the file; with dbForceOSFlush also brought to disk before CommitTrans returns.
    if (flush) FlushFileBuffers(data_);
  } else {
    Run("RELEASE jet_level_" + std::to_string(level));
  }
  std::vector<std::pair<const TableInfo*, std::int64_t>> rows = std::move(added_.back());
  added_.pop_back();
  if (!added_.empty()) added_.back().insert(added_.back().end(), rows.begin(), rows.end());
  Changed();
  Journal(flush ? "CommitTrans dbForceOSFlush" : "CommitTrans");
}

void Store::Rollback() {
  const long level = static_cast<long>(added_.size());
  for (Fault& f : faults_) {
    if (f.what == "rollback" && f.at == level && !f.fired) {
      f.fired = true;
      Journal("Rollback failed " + std::to_string(f.number));
      RaiseJet(f.number);
    }
  }
  const std::string name = "jet_level_" + std::to_string(level);
  Run("ROLLBACK TO " + name);
  Run("RELEASE " + name);
  for (const auto& [table, rowid] : added_.back()) {
    for (Recordset* set : sets_) set->Forget(*table, rowid);
  }
  added_.pop_back();
  Changed();
  Journal("Rollback");
}

void Store::CheckLock(const TableInfo& table, std::int64_t rowid) const {
  for (const Lock& lock : locks_) {
    if (rowid != 0 && lock.rowid == rowid && Matches(lock.table, table.name)) {
      RaiseJet(lock.number);
    }
  }
}

std::int64_t Store::LastInsertRowid() const {
  return sqlite3_last_insert_rowid(db_);
}

void Store::BeforeWrite(const TableInfo& table, std::int64_t rowid) {
  CheckLock(table, rowid);
  ++writes_;
  for (Fault& f : faults_) {
    if (f.what == "write" && f.at == writes_ && !f.fired) {
      f.fired = true;
      Journal("write " + std::to_string(writes_) + " failed " + std::to_string(f.number));
      RaiseJet(f.number);
    }
  }
}

void Store::Added(const TableInfo& table, std::int64_t rowid) {
  if (!added_.empty()) added_.back().emplace_back(&table, rowid);
}

void Store::Closed(Recordset* set) {
  std::erase(sets_, set);
}

void Store::Journal(const std::string& line) {
  if (journal_.empty()) return;
  std::ofstream(journal_, std::ios::app | std::ios::binary) << line << '\n';
}

}  // namespace zorvik::dao_standin
