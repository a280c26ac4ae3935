// Times one thing on one log and prints it as key=value words:
//   zorvik-bench-add floor LOG [--call CALL]  the candidate statement alone, straight on SQLite,
//                                             every row stepped
//   zorvik-bench-add add LOG [--call CALL]    the Add action through the real code path, with
//                                             fake dialogs, window and DXKeeper (writes LOG)
// Each run is its own process so that peak memory belongs to what was measured. The same program
// is built for Windows, where bench/run runs it under Wine.
#include <sqlite3.h>

#ifdef _WIN32
#include <windows.h>
// after windows.h, which it needs
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>

#include "FakeDialogs.h"
#include "FakeHost.h"
#include "FakeView.h"
#include "core/Failure.h"
#include "logdb/sqlite/DateValueFunction.h"
#include "logdb/sqlite/SqlDialect.h"
#include "logops/CandidateStatement.h"
#include "logops/LogOperations.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kStartDate = "1/1/1900";
constexpr const char* kStopDatePlusOne = "1/1/2100";

// The most memory the process has held in RAM so far, in MiB: the peak resident set on Linux,
// the peak working set on Windows (under Wine, Wine's own part of the process included).
double PeakMegabytes() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
#else
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // Linux: kilobytes
#endif
}

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

long long CountRows(sqlite3* db, const char* sql) {
  sqlite3_stmt* st = nullptr;
  long long n = -1;
  if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK &&
      sqlite3_step(st) == SQLITE_ROW) {
    n = sqlite3_column_int64(st, 0);
  }
  sqlite3_finalize(st);
  return n;
}

long long QueueRows(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  const long long n = CountRows(db, "SELECT count(*) FROM PrintQueue");
  sqlite3_close(db);
  return n;
}

int Floor(const std::string& path, const std::string& call) {
  const std::string statement = zorvik::logdb::TranslateStatement(
      zorvik::logdb::BuildCandidateStatement({kStartDate, kStopDatePlusOne, false, call}));
  const auto start = Clock::now();
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    std::cerr << "cannot open " << path << "\n";
    return 1;
  }
  zorvik::logdb::RegisterDateValue(db);
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, statement.c_str(), -1, &st, nullptr) != SQLITE_OK) {
    std::cerr << sqlite3_errmsg(db) << "\n";
    return 1;
  }
  long long rows = 0;
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) ++rows;
  sqlite3_finalize(st);
  const double took = Seconds(start);
  sqlite3_close(db);
  if (rc != SQLITE_DONE) return 1;
  std::printf("candidates=%lld floor_s=%.3f floor_peak_mb=%.1f\n", rows, took, PeakMegabytes());
  return 0;
}

int Add(const std::string& path, const std::string& call) {
  using namespace zorvik;
  ZorvikMod mod;
  mod.LogPathName = path;
  mod.HostCallSign = call;
  mod.StopDatePlusOne = kStopDatePlusOne;
  testing::FakeDde dde;
  testing::FakeSettings settings;
  settings.Set("LogPathName", path);
  testing::FakeDialogs dialogs;
  testing::FakeView view;
  view.databaseField = path;
  view.startDate = kStartDate;
  host::HostContext host{mod, dde, settings, dialogs, view, {"Zorvik", 1, 4, 2}};
  logdb::LogSession session;
  logdb::AppContext ctx{host, session};

  const long long before = QueueRows(path);
  const auto start = Clock::now();
  logdb::LoadQslQueue(ctx);
  const double took = Seconds(start);
  const long long added = QueueRows(path) - before;
  for (const auto& box : dialogs.boxes) std::cerr << "box: " << box.text << "\n";
  std::printf("added=%lld add_s=%.3f peak_mb=%.1f billboard=\"%s\"\n", added, took, PeakMegabytes(),
              view.billboard.c_str());
  return dialogs.boxes.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: zorvik-bench-add floor|add LOG [--call CALL]\n";
    return 2;
  }
  const std::string what = argv[1];
  const std::string path = argv[2];
  std::string call = "K1ZRV";
  if (argc == 5 && std::string(argv[3]) == "--call") call = argv[4];
  try {
    if (what == "floor") return Floor(path, call);
    if (what == "add") return Add(path, call);
  } catch (const zorvik::Failure& f) {
    std::cerr << f.Number() << " : " << f.Description() << "\n";
    return 1;
  }
  std::cerr << "unknown measurement " << what << "\n";
  return 2;
}
