#include "TestLog.h"

#include <sqlite3.h>

#include <stdexcept>

#include "logdb/sqlite/LogSchema.h"
#include "support/TempFolder.h"

namespace zorvik::logdb::testing {

TempDir::TempDir() : path_(zorvik::testing::MakeTempFolder("zorvik-logdb")) {}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

RawDb::RawDb(const std::string& path) {
  if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db_));
}

RawDb::~RawDb() {
  sqlite3_close(db_);
}

void RawDb::Exec(const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::string text = message ? message : "?";
    sqlite3_free(message);
    throw std::runtime_error(text + " in " + sql);
  }
}

std::string RawDb::Text(const std::string& sql) {
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
    throw std::runtime_error(sqlite3_errmsg(db_));
  }
  std::string out = "<none>";
  if (sqlite3_step(st) == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(st, 0);
    out = text ? reinterpret_cast<const char*>(text) : "<null>";
  }
  sqlite3_finalize(st);
  return out;
}

void MakeLog(const std::string& path, const std::string& extra_sql) {
  RawDb db(path);
  db.Exec(std::string(LogSchemaSql()));
  if (!extra_sql.empty()) db.Exec(extra_sql);
}

}  // namespace zorvik::logdb::testing
