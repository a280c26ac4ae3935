#include "logdb/Database.h"

#include <sqlite3.h>

#include <array>
#include <filesystem>
#include <system_error>

#include "core/Failure.h"
#include "logdb/DateValueFunction.h"
#include "logdb/SqlDialect.h"
#include "logdb/SqliteRecordset.h"
#include "logdb/SqliteSupport.h"

namespace zorvik::logdb {
namespace {

constexpr std::array<const char*, 4> kRequiredTables = {"QSOs", "Progress", "QTHs", "PrintQueue"};

void CheckFileBeforeOpening(const std::string& path) {
  namespace fs = std::filesystem;
  // The program keeps paths as UTF-8 (as SQLite takes them); read as the system's narrow text, a
  // Windows path with letters beyond ASCII would name another file.
  const fs::path file(std::u8string(path.begin(), path.end()));
  std::error_code ec;
  fs::file_status status = path.empty() ? fs::file_status{} : fs::status(file, ec);
  if (!fs::exists(status)) {
    throw Failure(err::kFileNotFound, "Could not find the log file '" + path + "'");
  }
  if (fs::is_directory(status)) {
    throw Failure(err::kFileNotFound, "'" + path + "' is a folder, not a log file");
  }
  // SQLite takes an empty file for an empty database; to the user it is no log at all.
  if (fs::is_regular_file(status) && fs::file_size(file, ec) == 0 && !ec) {
    throw Failure(err::kUnrecognizedFormat, "'" + path + "' is empty, not a log database");
  }
}

void CheckTables(sqlite3* db, const std::string& path) {
  for (const char* table : kRequiredTables) {
    // Reading the schema is also the first read of the file: a file that is not a database
    // fails here with SQLITE_NOTADB.
    Statement find(db,
                   "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE");
    find.Bind(1, Value(table));
    if (!find.Step()) {
      throw Failure(err::kMissingTable,
                    "The file '" + path + "' is not a DXKeeper log: it has no " + table + " table");
    }
  }
}

}  // namespace

struct Database::Impl {
  std::shared_ptr<Connection> conn;
  std::int64_t records_affected = 0;
};

std::unique_ptr<Database> Database::Open(const std::string& path,
                                         std::chrono::milliseconds lock_wait) {
  CheckFileBeforeOpening(path);
  auto conn = std::make_shared<Connection>();
  conn->path = path;
  // Never SQLITE_OPEN_CREATE: a mistyped path must fail, not leave an empty file behind. A file
  // without write permission opens read-only, and writing to it then fails with 3027.
  int rc = sqlite3_open_v2(path.c_str(), &conn->db, SQLITE_OPEN_READWRITE, nullptr);
  if (rc != SQLITE_OK) {
    if ((rc & 0xff) == SQLITE_CANTOPEN) {
      throw Failure(err::kFileNotFound, "Could not open the log file '" + path + "'");
    }
    ThrowSqlite(conn->db, rc, path);
  }
  sqlite3_busy_timeout(conn->db, static_cast<int>(lock_wait.count()));
  // A larger page cache than the 2 MB default: record sets read rows in the statement's order,
  // which jumps about the file, and an Add writes to most pages of a large log in one
  // transaction; a small cache would spill changed pages (each spill syncing the journal).
  sqlite3_exec(conn->db, "PRAGMA cache_size = -32768", nullptr, nullptr, nullptr);
  // A log may come from anywhere: its schema (views, triggers) must not call functions with
  // side effects, nor write to the schema table.
  sqlite3_db_config(conn->db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_db_config(conn->db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  RegisterDateValue(conn->db);
  CheckTables(conn->db, path);
  auto impl = std::make_unique<Impl>();
  impl->conn = std::move(conn);
  return std::unique_ptr<Database>(new Database(std::move(impl)));
}

Database::Database(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Database::~Database() = default;

std::unique_ptr<Recordset> Database::OpenRecordset(const std::string& statement) {
  RowidSelect select = MakeRowidSelect(TranslateStatement(statement));
  return std::make_unique<SqliteRecordset>(impl_->conn, select);
}

void Database::Execute(const std::string& statement) {
  Statement st(impl_->conn->db, TranslateStatement(statement));
  if (st.ColumnCount() > 0) {
    throw Failure(err::kEngineError,
                  "A statement that returns rows cannot be executed: " + statement);
  }
  while (st.Step()) {
  }
  impl_->conn->AnythingChanged();
  impl_->records_affected = sqlite3_changes64(impl_->conn->db);
}

std::int64_t Database::RecordsAffected() const {
  return impl_->records_affected;
}

const std::string& Database::Path() const {
  return impl_->conn->path;
}

sqlite3* Database::Handle() const {
  return impl_->conn->db;
}

void Database::NoteChange() {
  impl_->conn->AnythingChanged();
}

Transaction::Transaction(Database& db) : db_(db) {
  // SQLite would begin the transaction and refuse only the first write.
  if (sqlite3_db_readonly(db_.Handle(), "main") == 1) {
    throw Failure(err::kReadOnly, db_.Path() + ": the log cannot be written (it is read-only)");
  }
  ExecPlain(db_.Handle(), "BEGIN IMMEDIATE");
}

bool Transaction::Active() const noexcept {
  return !done_ && sqlite3_get_autocommit(db_.Handle()) == 0;
}

Transaction::~Transaction() {
  if (done_) return;
  sqlite3_exec(db_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
  db_.NoteChange();
}

void Transaction::Commit() {
  ExecPlain(db_.Handle(), "COMMIT");
  done_ = true;
}

Savepoint::Savepoint(Database& db)
    : db_(db), name_("zorvik_sp_" + std::to_string(++db.impl_->conn->savepoint_serial)) {
  ExecPlain(db_.Handle(), ("SAVEPOINT " + name_).c_str());
}

Savepoint::~Savepoint() {
  if (done_) return;
  sqlite3_exec(db_.Handle(), ("ROLLBACK TO " + name_ + "; RELEASE " + name_).c_str(), nullptr,
               nullptr, nullptr);
  db_.NoteChange();
}

void Savepoint::Release() {
  ExecPlain(db_.Handle(), ("RELEASE " + name_).c_str());
  done_ = true;
}

}  // namespace zorvik::logdb
