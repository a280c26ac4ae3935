#pragma once

// The layer's own plumbing over the SQLite C API: the shared connection, prepared statements and
// the mapping of SQLite's result codes to the program's failure numbers. Internal to logdb.

#include <cstdint>
#include <string>
#include <string_view>

#include "logdb/Value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace zorvik::logdb {

// One open SQLite connection, shared by the Database and every record set opened from it, so a
// set that outlives its Database by mistake still holds a live connection.
struct Connection {
  sqlite3* db = nullptr;
  std::string path;
  // Bumped on every write through this connection; record sets re-read a cached row when it
  // moved, so a row changed by Execute or another set is never served stale.
  std::uint64_t generation = 0;
  int savepoint_serial = 0;

  Connection() = default;
  ~Connection();  // closes the connection; never throws
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
};

// Throws the Failure that matches an SQLite result code, with SQLite's message in the
// description after `context`.
[[noreturn]] void ThrowSqlite(sqlite3* db, int rc, std::string_view context);

// A prepared statement, finalized when destroyed. Prepare accepts exactly one statement.
class Statement {
 public:
  Statement(sqlite3* db, std::string_view sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  void Bind(int index, const Value& value);  // 1-based
  bool Step();                               // true while a row is ready; throws on failure
  void Reset();                              // also clears bindings
  Value Column(int index) const;             // 0-based
  std::int64_t ColumnInt(int index) const;
  int ColumnCount() const;
  sqlite3_stmt* Handle() const { return stmt_; }

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
  std::string sql_;
};

// Runs SQL that returns no rows (transaction control, pragmas); throws on failure.
void ExecPlain(sqlite3* db, const char* sql);

}  // namespace zorvik::logdb
