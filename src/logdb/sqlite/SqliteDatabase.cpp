#include "logdb/sqlite/SqliteDatabase.h"

#include <sqlite3.h>

#include <array>

#include "core/Failure.h"
#include "logdb/sqlite/DateValueFunction.h"
#include "logdb/sqlite/SqlDialect.h"
#include "logdb/sqlite/SqliteRecordset.h"
#include "logdb/sqlite/SqliteSupport.h"

namespace zorvik::logdb {
namespace {

constexpr std::array<const char*, 4> kRequiredTables = {"QSOs", "Progress", "QTHs", "PrintQueue"};

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

std::string SavepointName(int level) {
  return "zorvik_sp_" + std::to_string(level);
}

}  // namespace

std::unique_ptr<SqliteDatabase> SqliteDatabase::Open(const std::string& path,
                                                     std::chrono::milliseconds lock_wait) {
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
  return std::unique_ptr<SqliteDatabase>(new SqliteDatabase(std::move(conn)));
}

SqliteDatabase::SqliteDatabase(std::shared_ptr<Connection> conn) : conn_(std::move(conn)) {}

SqliteDatabase::~SqliteDatabase() {
  // Record sets share the connection and may keep it open: no level may stay open with them.
  while (depth_ > 0) Rollback();
}

std::unique_ptr<Recordset> SqliteDatabase::OpenRecordset(const std::string& statement) {
  RowidSelect select = MakeRowidSelect(TranslateStatement(statement));
  return std::make_unique<SqliteRecordset>(conn_, select);
}

void SqliteDatabase::Execute(const std::string& statement) {
  Statement st(conn_->db, TranslateStatement(statement));
  if (st.ColumnCount() > 0) {
    throw Failure(err::kEngineError,
                  "A statement that returns rows cannot be executed: " + statement);
  }
  while (st.Step()) {
  }
  conn_->AnythingChanged();
  records_affected_ = sqlite3_changes64(conn_->db);
}

std::int64_t SqliteDatabase::RecordsAffected() const {
  return records_affected_;
}

const std::string& SqliteDatabase::Path() const {
  return conn_->path;
}

sqlite3* SqliteDatabase::Handle() const {
  return conn_->db;
}

void SqliteDatabase::BeginTrans() {
  if (depth_ == 0) {
    // SQLite would begin the transaction and refuse only the first write.
    if (sqlite3_db_readonly(conn_->db, "main") == 1) {
      throw Failure(err::kReadOnly, Path() + ": the log cannot be written (it is read-only)");
    }
    ExecPlain(conn_->db, "BEGIN IMMEDIATE");
  } else {
    // Once SQLite has rolled the transaction back on its own, a savepoint would start a new one
    // whose work is stored when the level ends, outside the run it was meant to belong to.
    if (sqlite3_get_autocommit(conn_->db) != 0) {
      throw Failure(
          err::kEngineError,
          Path() + ": the engine has rolled the transaction back; nothing more is written");
    }
    ExecPlain(conn_->db, ("SAVEPOINT " + SavepointName(depth_)).c_str());
  }
  ++depth_;
}

void SqliteDatabase::CommitTrans() {
  if (depth_ == 0) {
    throw Failure(err::kEngineError, Path() + ": no transaction is open to commit");
  }
  if (depth_ == 1) {
    ExecPlain(conn_->db, "COMMIT");
  } else {
    ExecPlain(conn_->db, ("RELEASE " + SavepointName(depth_ - 1)).c_str());
  }
  --depth_;
}

void SqliteDatabase::Rollback() noexcept {
  if (depth_ == 0) return;
  --depth_;
  // Failures are ignored: after the engine rolled back on its own there is nothing left to undo.
  if (depth_ == 0) {
    sqlite3_exec(conn_->db, "ROLLBACK", nullptr, nullptr, nullptr);
  } else {
    const std::string name = SavepointName(depth_);
    sqlite3_exec(conn_->db, ("ROLLBACK TO " + name + "; RELEASE " + name).c_str(), nullptr, nullptr,
                 nullptr);
  }
  conn_->AnythingChanged();
}

bool SqliteDatabase::TransactionActive() const noexcept {
  return depth_ > 0 && sqlite3_get_autocommit(conn_->db) == 0;
}

}  // namespace zorvik::logdb
