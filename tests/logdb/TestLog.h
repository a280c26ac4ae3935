#pragma once

#include <filesystem>
#include <string>

struct sqlite3;

namespace zorvik::logdb::testing {

// A fresh directory under the system temp dir, removed with everything in it when destroyed.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// A raw SQLite connection for setting up and inspecting logs behind the layer's back.
class RawDb {
 public:
  explicit RawDb(const std::string& path);  // creates the file when missing
  ~RawDb();
  RawDb(const RawDb&) = delete;
  RawDb& operator=(const RawDb&) = delete;
  void Exec(const std::string& sql);
  // The first column of the first row as text ("<null>" for Null, "<none>" without a row).
  std::string Text(const std::string& sql);
  sqlite3* Handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

// Creates a log with the program's schema at `path`, then runs `extra_sql` on it.
void MakeLog(const std::string& path, const std::string& extra_sql = {});

}  // namespace zorvik::logdb::testing
