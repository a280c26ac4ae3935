#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace zorvik::logtools {

// Every failure of the log tools: a file that does not open, a statement the engine refuses, a
// log without the expected tables. The message is meant for the person running the tool.
class ToolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One open SQLite log file. Owns the connection; closing happens in the destructor, which never
// throws (statements must be finalized first, which Statement's destructor does).
class LogConnection {
 public:
  enum class Mode { kOpenExisting, kCreateNew };

  // kOpenExisting fails (ToolError) when the file does not exist or is not an SQLite database;
  // kCreateNew creates the file (it may exist and be empty, as a fresh temporary file is).
  LogConnection(const std::string& path, Mode mode);
  ~LogConnection();
  LogConnection(const LogConnection&) = delete;
  LogConnection& operator=(const LogConnection&) = delete;

  // Runs one or more statements without results. Throws ToolError with the engine's message.
  void Exec(std::string_view sql);

  // True when the log has a table of that name (any case).
  bool HasTable(std::string_view name);

  sqlite3* Handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

// A prepared statement over a LogConnection that must outlive it. Bind indexes are 1-based;
// Step() returns true while a row is available. Failures throw ToolError.
class Statement {
 public:
  Statement(LogConnection& log, std::string_view sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  void BindNull(int index);
  void BindText(int index, std::string_view text);
  void BindOptional(int index, const std::optional<std::string>& text);  // empty optional: Null
  void BindReal(int index, std::optional<double> value);
  void BindInt(int index, std::int64_t value);

  bool Step();
  // Makes the statement ready to run again with new bindings (the bindings are cleared).
  void Reset();

  bool IsNull(int column) const;
  std::optional<std::string> Text(int column) const;  // 0-based column; Null gives nullopt
  std::int64_t Int(int column) const;

 private:
  LogConnection& log_;
  sqlite3_stmt* stmt_ = nullptr;
};

// Commits on Commit(); rolls back when destroyed without it (errors in the rollback are ignored,
// the destructor never throws), so a failed tool run leaves the log as it found it.
class Transaction {
 public:
  explicit Transaction(LogConnection& log);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit();

 private:
  LogConnection& log_;
  bool open_ = true;
};

// Fails with ToolError when the log lacks one of its four tables: the tools that change a log
// refuse to write into some other SQLite file.
void RequireLogTables(LogConnection& log);

}  // namespace zorvik::logtools
