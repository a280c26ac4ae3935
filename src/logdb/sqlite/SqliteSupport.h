#pragma once

// The layer's own plumbing over the SQLite C API: the shared connection, prepared statements and
// the mapping of SQLite's result codes to the program's failure numbers. Internal to logdb.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "logdb/Value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace zorvik::logdb {

class Statement;

// One open SQLite connection, shared by the Database and every record set opened from it, so a
// set that outlives its Database by mistake still holds a live connection.
struct Connection {
  sqlite3* db = nullptr;
  std::string path;

  // Change counters: record sets keep cached values only while the counter of their table is
  // unchanged, so a row changed by Execute, a rollback or another set is never served stale.
  // Writes through a set count for its table alone, so queueing rows into PrintQueue does not
  // throw away what the set over QSOs has cached.
  std::uint64_t Generation(const std::string& table_key) const {
    auto it = table_generation.find(table_key);
    return all_generation + (it == table_generation.end() ? 0 : it->second);
  }
  void TableChanged(const std::string& table_key) { ++table_generation[table_key]; }
  void AnythingChanged() { ++all_generation; }

  std::uint64_t all_generation = 0;
  std::unordered_map<std::string, std::uint64_t> table_generation;  // lower-case table name

  // A prepared statement for `sql`, kept for the next call with the same text: record sets write
  // row after row with the same few statements, and preparing one (a 40-field insert) costs far
  // more than running it. The caller binds, steps and resets it before anyone else may use it,
  // and never keeps the reference past that. Throws like Statement's constructor.
  Statement& Prepared(const std::string& sql);
  std::unordered_map<std::string, std::unique_ptr<Statement>> prepared;

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
