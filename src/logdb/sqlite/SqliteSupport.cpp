#include "logdb/sqlite/SqliteSupport.h"

#include <sqlite3.h>

#include "core/Failure.h"
#include "logdb/sqlite/DateValueFunction.h"

namespace zorvik::logdb {

namespace {
// More distinct statements than any record set writes with: past this the kept ones are dropped,
// so a caller that writes ever-new column sets cannot make the cache grow without end.
constexpr std::size_t kMaxPrepared = 64;
}  // namespace

Connection::~Connection() {
  prepared.clear();  // finalized before the connection closes
  if (db) sqlite3_close_v2(db);
}

Statement& Connection::Prepared(const std::string& sql) {
  if (auto it = prepared.find(sql); it != prepared.end()) return *it->second;
  if (prepared.size() >= kMaxPrepared) prepared.clear();
  auto statement = std::make_unique<Statement>(db, sql);
  return *prepared.emplace(sql, std::move(statement)).first->second;
}

void ThrowSqlite(sqlite3* db, int rc, std::string_view context) {
  std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  std::string where = context.empty() ? std::string{} : std::string(context) + ": ";
  // Our DateValue() reports text that is not a date through SQLite; give it its own number back.
  if (auto mismatch = DateValueFailureText(message)) throw Failure(err::kTypeMismatch, *mismatch);
  switch (rc & 0xff) {
    case SQLITE_BUSY:
      throw Failure(
          err::kLockedByOther,
          where + "the log is in use by another program and stayed locked (" + message + ")");
    case SQLITE_LOCKED:
      throw Failure(err::kLocked, where + "the log is locked (" + message + ")");
    case SQLITE_READONLY:
      throw Failure(err::kReadOnly, where + "the log cannot be written (" + message + ")");
    case SQLITE_NOTADB:
      throw Failure(err::kUnrecognizedFormat,
                    where + "the file is not a log database (" + message + ")");
    case SQLITE_FULL:
      throw Failure(err::kDiskFull, where + "the disk is full (" + message + ")");
    default:
      break;
  }
  if (message.rfind("no such column", 0) == 0) {
    throw Failure(err::kStatementUnknownField, where + "unknown field (" + message + ")");
  }
  if (message.rfind("no such table", 0) == 0) {
    throw Failure(err::kMissingTable, where + "unknown table (" + message + ")");
  }
  if (message.find("syntax error") != std::string::npos ||
      message.find("incomplete input") != std::string::npos) {
    throw Failure(err::kSyntaxError, where + "the statement cannot be read (" + message + ")");
  }
  throw Failure(err::kEngineError, where + message);
}

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db), sql_(sql) {
  const char* tail = nullptr;
  int rc = sqlite3_prepare_v2(db, sql_.data(), static_cast<int>(sql_.size()), &stmt_, &tail);
  if (rc != SQLITE_OK) ThrowSqlite(db, rc, sql_);
  // One statement only: a text that smuggles in a second one is refused, not run.
  for (; tail && *tail; ++tail) {
    if (*tail != ';' && *tail != ' ' && *tail != '\t' && *tail != '\r' && *tail != '\n') {
      sqlite3_finalize(stmt_);
      stmt_ = nullptr;
      throw Failure(err::kSyntaxError, "Characters found after end of statement: " + sql_);
    }
  }
  if (!stmt_) throw Failure(err::kSyntaxError, "Empty statement");
}

Statement::~Statement() {
  sqlite3_finalize(stmt_);
}

void Statement::Bind(int index, const Value& v) {
  int rc;
  if (v.IsNull()) {
    rc = sqlite3_bind_null(stmt_, index);
  } else if (v.IsInteger()) {
    rc = sqlite3_bind_int64(stmt_, index, v.AsInteger());
  } else if (v.IsReal()) {
    rc = sqlite3_bind_double(stmt_, index, v.AsReal());
  } else {
    rc = sqlite3_bind_text64(stmt_, index, v.AsText().data(), v.AsText().size(), SQLITE_TRANSIENT,
                             SQLITE_UTF8);
  }
  if (rc != SQLITE_OK) ThrowSqlite(db_, rc, sql_);
}

bool Statement::Step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  // Reset before throwing so no half-run statement holds a lock or blocks a rollback.
  sqlite3_reset(stmt_);
  ThrowSqlite(db_, rc, sql_);
}

void Statement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

Value Statement::Column(int index) const {
  switch (sqlite3_column_type(stmt_, index)) {
    case SQLITE_INTEGER:
      return Value(static_cast<std::int64_t>(sqlite3_column_int64(stmt_, index)));
    case SQLITE_FLOAT:
      return Value(sqlite3_column_double(stmt_, index));
    case SQLITE_NULL:
      return Value();
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, index));
      return Value(std::string(text ? text : "", sqlite3_column_bytes(stmt_, index)));
    }
  }
}

std::int64_t Statement::ColumnInt(int index) const {
  return sqlite3_column_int64(stmt_, index);
}

int Statement::ColumnCount() const {
  return sqlite3_column_count(stmt_);
}

void ExecPlain(sqlite3* db, const char* sql) {
  int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) ThrowSqlite(db, rc, sql);
}

}  // namespace zorvik::logdb
