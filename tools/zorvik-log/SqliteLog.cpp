#include "SqliteLog.h"

#include <sqlite3.h>

#include <array>

namespace zorvik::logtools {

namespace {

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
  throw ToolError(what + ": " + (db != nullptr ? sqlite3_errmsg(db) : "out of memory"));
}

}  // namespace

LogConnection::LogConnection(const std::string& path, Mode mode) {
  // One thread per connection, so SQLite's own locking of the connection is pure cost.
  const int flags = SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_READWRITE |
                    (mode == Mode::kCreateNew ? SQLITE_OPEN_CREATE : 0);
  if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
    std::string message =
        "cannot open log " + path + ": " + (db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory");
    sqlite3_close(db_);
    db_ = nullptr;
    throw ToolError(message);
  }
  sqlite3_extended_result_codes(db_, 1);
  // A non-database file opens fine and fails on first use; find out now, with a clear message.
  try {
    Exec("SELECT count(*) FROM sqlite_master");
  } catch (const ToolError&) {
    sqlite3_close(db_);
    db_ = nullptr;
    throw ToolError("not an SQLite log file: " + path);
  }
}

LogConnection::~LogConnection() {
  sqlite3_close(db_);
}

void LogConnection::Exec(std::string_view sql) {
  char* message = nullptr;
  const std::string text(sql);
  if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::string error = message != nullptr ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    throw ToolError("statement failed: " + error);
  }
}

bool LogConnection::HasTable(std::string_view name) {
  Statement query(*this,
                  "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1 "
                  "COLLATE NOCASE");
  query.BindText(1, name);
  return query.Step();
}

Statement::Statement(LogConnection& log, std::string_view sql) : log_(log) {
  if (sqlite3_prepare_v2(log.Handle(), sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) !=
      SQLITE_OK) {
    Fail(log.Handle(), "cannot prepare \"" + std::string(sql) + "\"");
  }
}

Statement::~Statement() {
  sqlite3_finalize(stmt_);
}

void Statement::BindNull(int index) {
  if (sqlite3_bind_null(stmt_, index) != SQLITE_OK) Fail(log_.Handle(), "bind");
}

void Statement::BindText(int index, std::string_view text) {
  if (sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                        SQLITE_TRANSIENT) != SQLITE_OK) {
    Fail(log_.Handle(), "bind");
  }
}

void Statement::BindOptional(int index, const std::optional<std::string>& text) {
  if (text) {
    BindText(index, std::string_view(*text));
  } else {
    BindNull(index);
  }
}

void Statement::BindReal(int index, std::optional<double> value) {
  if (!value) {
    BindNull(index);
  } else if (sqlite3_bind_double(stmt_, index, *value) != SQLITE_OK) {
    Fail(log_.Handle(), "bind");
  }
}

void Statement::BindInt(int index, std::int64_t value) {
  if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK) Fail(log_.Handle(), "bind");
}

bool Statement::Step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  Fail(log_.Handle(), "statement failed");
}

void Statement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

bool Statement::IsNull(int column) const {
  return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

std::optional<std::string> Statement::Text(int column) const {
  if (IsNull(column)) return std::nullopt;
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
  const int size = sqlite3_column_bytes(stmt_, column);
  return std::string(text != nullptr ? text : "", static_cast<std::size_t>(size));
}

std::int64_t Statement::Int(int column) const {
  return sqlite3_column_int64(stmt_, column);
}

Transaction::Transaction(LogConnection& log) : log_(log) {
  log_.Exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
  if (open_) sqlite3_exec(log_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::Commit() {
  log_.Exec("COMMIT");
  open_ = false;
}

void RequireLogTables(LogConnection& log) {
  static constexpr std::array<std::string_view, 4> kTables = {"QSOs", "Progress", "QTHs",
                                                              "PrintQueue"};
  for (std::string_view table : kTables) {
    if (!log.HasTable(table)) {
      throw ToolError("not a log: table " + std::string(table) + " is missing");
    }
  }
}

}  // namespace zorvik::logtools
