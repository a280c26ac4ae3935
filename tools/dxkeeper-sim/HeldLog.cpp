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

std::optional<long long> HeldLog::CommittedQueueRows() const {
  sqlite3* db = nullptr;
  std::optional<long long> rows;
  if (sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_busy_timeout(db, 1000);
    sqlite3_stmt* count = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM PrintQueue", -1, &count, nullptr) ==
            SQLITE_OK &&
        sqlite3_step(count) == SQLITE_ROW) {
      rows = sqlite3_column_int64(count, 0);
    }
    sqlite3_finalize(count);
  }
  sqlite3_close(db);
  return rows;
}

void HeldLog::Close() noexcept {
  if (!db_) return;
  sqlite3_close(db_);
  db_ = nullptr;
}

}  // namespace dxkeeper_sim
