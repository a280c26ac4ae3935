#include "QueueNote.h"

#include <sqlite3.h>

namespace dxkeeper_sim {

std::string QueueNote(const std::string& logPath) {
  sqlite3* db = nullptr;
  sqlite3_stmt* count = nullptr;
  std::string note = "queue=?";
  if (sqlite3_open_v2(logPath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    // A writer in the middle of its commit holds the file for a moment; what counts is what it
    // has committed, so wait for it rather than fail.
    sqlite3_busy_timeout(db, 5000);
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM PrintQueue", -1, &count, nullptr) ==
            SQLITE_OK &&
        sqlite3_step(count) == SQLITE_ROW) {
      note = "queue=" + std::to_string(sqlite3_column_int64(count, 0));
    }
  }
  sqlite3_finalize(count);
  sqlite3_close(db);
  return note;
}

}  // namespace dxkeeper_sim
