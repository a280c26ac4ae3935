#include "HeldLog.h"

#include <sqlite3.h>

namespace dxkeeper_sim {

std::string HeldLog::Open() {
  if (db_) return {};
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  // SQLite opens the file lazily; reading the schema makes it open the file now and proves that
  // it is a database.
  if (rc == SQLITE_OK) {
    rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
  }
  if (rc != SQLITE_OK) {
    std::string error = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close(db);
    return error;
  }
  db_ = db;
  return {};
}

void HeldLog::Close() noexcept {
  if (!db_) return;
  sqlite3_close(db_);
  db_ = nullptr;
}

}  // namespace dxkeeper_sim
