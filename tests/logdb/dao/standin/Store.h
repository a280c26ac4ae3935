#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "JetFields.h"
#include "logdb/Value.h"

struct sqlite3;
struct sqlite3_stmt;

// One Jet log as the stand-in keeps it open: the SQLite log behind the Jet-routed file, shared by
// every Database object of the process that opened the same file (Jet has one engine per
// process), Jet's lock file beside it, the nesting levels of the workspace's transaction on it,
// and the switches of the Jet-routed file (support/JetRoutedLog.h).
namespace zorvik::dao_standin {

class Recordset;

struct TableInfo {
  std::string name;  // as the SQLite log spells it
  std::vector<FieldSpec> fields;
  // The field's position (any letter case), or -1.
  int FieldIndex(std::string_view name) const;
};

// A prepared statement of the store's connection, reset when the holder goes.
class Statement {
 public:
  Statement(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt) {}
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  void Bind(int index, const logdb::Value& value);  // from 1
  bool Step();                                      // true: a row; throws Jet's failures
  logdb::Value Column(int index) const;

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_;
};

class Store {
 public:
  // The store of the Jet-routed file at `path` (UTF-8), opened by this call or shared with the
  // Database objects that have it open. Opening creates Jet's lock file <name>.ldb beside it,
  // as a shared open does. Fails as Jet fails: 3024 no such file, 3343 not a (Jet-routed)
  // database, 3051 the lock file cannot be created (a read-only folder), 3045 the log or its
  // lock file held by another program.
  static std::shared_ptr<Store> Open(const std::string& path);
  ~Store();  // closes the SQLite log, the files, and deletes the lock file (as the last user)
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;

  const std::string& Path() const { return path_; }
  // The log opened for reading only (the file or the SQLite log cannot be written).
  bool ReadOnly() const;

  // `sql` prepared on the log (cached); failures as Jet's: 3061 an unknown name, 3078 an
  // unknown table, 3075 anything else SQLite cannot read.
  Statement Prepare(const std::string& sql);
  void Run(const std::string& sql);  // a statement without rows, through Prepare

  // The table (any letter case) with its fields; 3078 when the log has none of that name.
  const TableInfo& Table(std::string_view name);

  // The workspace's transaction on this log: nested levels (savepoints of the SQLite log).
  int Levels() const { return static_cast<int>(added_.size()); }
  void Begin();
  // Ends the innermost level keeping its work; the outermost writes it to the file, flushed to
  // disk only with `flush` (dbForceOSFlush). A failure (the commit switch) leaves the level open.
  void Commit(bool flush);
  // Undoes the innermost level's work. Rows it added stay in the record sets that hold them, as
  // Jet's dynasets keep them: reading one then fails with 3167.
  void Rollback();

  // Before a row of `table` is written (rowid 0: a row being added): the lock and write switches.
  void BeforeWrite(const TableInfo& table, std::int64_t rowid);
  // The lock switch alone: fails when another user holds the row.
  void CheckLock(const TableInfo& table, std::int64_t rowid) const;
  std::int64_t LastInsertRowid() const;
  // After a row was added to `table` by a record set.
  void Added(const TableInfo& table, std::int64_t rowid);
  // After any write: record sets drop what they read before it.
  void Changed() { ++generation_; }
  std::uint64_t Generation() const { return generation_; }

  void Opened(Recordset* set) { sets_.push_back(set); }
  void Closed(Recordset* set);

  // A line in the journal of the Jet-routed file, when it names one.
  void Journal(const std::string& line);

 private:
  Store() = default;
  void ReadSwitches(const std::vector<std::string>& lines);

  struct Fault {
    std::string what;  // "write", "commit", "rollback"
    long at = 0;       // the write's count, or the level
    int number = 0;
    bool fired = false;
  };
  struct Lock {
    std::string table;
    std::int64_t rowid = 0;
    int number = 0;
  };

  std::string path_;
  std::filesystem::path lockFile_;
  HANDLE file_ = INVALID_HANDLE_VALUE;  // the Jet-routed file, held as Jet holds the log
  HANDLE lock_ = INVALID_HANDLE_VALUE;  // the lock file
  HANDLE data_ = INVALID_HANDLE_VALUE;  // the SQLite log, to bring a flushed commit to disk
  bool fileReadOnly_ = false;
  sqlite3* db_ = nullptr;
  std::map<std::string, sqlite3_stmt*> statements_;
  std::map<std::string, TableInfo> tables_;  // by lower-case name
  // Per open level, the rows record sets added in it: (table, rowid).
  std::vector<std::vector<std::pair<const TableInfo*, std::int64_t>>> added_;
  std::uint64_t generation_ = 0;
  std::vector<Recordset*> sets_;
  std::vector<Fault> faults_;
  std::vector<Lock> locks_;
  std::filesystem::path journal_;
  long writes_ = 0;
};

}  // namespace zorvik::dao_standin
