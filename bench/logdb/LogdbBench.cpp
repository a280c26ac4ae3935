// Opens a log, runs the Add action's candidate statement through the layer, walks every
// candidate reading the four slot fields, finds each entity's candidates once, and prints rows,
// seconds and peak memory. `--make N` first writes a log of N contacts at PATH.
//
//   zorvik-logdb-bench [--make N] PATH [FROM [STOP_PLUS_ONE [OPERATOR]]]
#include <sqlite3.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "core/Failure.h"
#include "logdb/Database.h"
#include "logdb/sqlite/LogSchema.h"

namespace {

using zorvik::logdb::Database;

long PeakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;  // kilobytes on Linux
}

void Exec(sqlite3* db, const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::fprintf(stderr, "make: %s\n", message ? message : "?");
    std::exit(2);
  }
}

// Wide rows like a real log: every text field filled, dates over 35 years, a third of the
// contacts without QSL so they become candidates.
void MakeLog(const std::string& path, long contacts) {
  std::remove(path.c_str());
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) std::exit(2);
  Exec(db, std::string(zorvik::logdb::LogSchemaSql()));
  Exec(db, "BEGIN");
  Exec(db,
       "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
           std::to_string(contacts) +
           ") INSERT INTO QSOs SELECT"
           " 'DX' || (i % 50000) || 'ABC',"
           " datetime(631152000 + (i * 1103) % 1104537600, 'unixepoch'),"
           " datetime(631152000 + (i * 1103) % 1104537600 + 300, 'unixepoch'),"
           " 14.0 + (i % 350) / 1000.0,"
           " CASE i % 12 WHEN 0 THEN '160M' WHEN 1 THEN '80M' WHEN 2 THEN '40M' WHEN 3 THEN '30M'"
           "  WHEN 4 THEN '20M' WHEN 5 THEN '17M' WHEN 6 THEN '15M' WHEN 7 THEN '12M'"
           "  WHEN 8 THEN '10M' WHEN 9 THEN '6M' WHEN 10 THEN '2M' ELSE '60M' END,"
           " CASE i % 7 WHEN 0 THEN 'CW' WHEN 1 THEN 'SSB' WHEN 2 THEN 'FT8' WHEN 3 THEN 'RTTY'"
           "  WHEN 4 THEN 'PSK31' WHEN 5 THEN 'AM' ELSE 'CW' END,"
           " CAST(i % 341 AS TEXT), 'P' || (i % 341),"
           " CASE WHEN i % 3 = 0 THEN NULL WHEN i % 3 = 1 THEN 'Y' ELSE '' END,"
           " CASE WHEN i % 5 = 0 THEN 'R' WHEN i % 5 = 1 THEN NULL ELSE '' END,"
           " 'BURO', 'Thanks for the contact, 73 and good DX', 'K1ABC', '599', '579', 'HOME',"
           " NULL, NULL, NULL, NULL, NULL, 'Operator Name ' || i,"
           " i || ' Long Street Name, Some City, Some Region, Some Country', '100',"
           " 'Some City', NULL FROM n");
  Exec(db,
       "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 340)"
       " INSERT INTO Progress SELECT CAST(i AS TEXT), 'P' || i,"
       " 'W-CWW-CW-WW-WCWW-CW-WW-WCWW-CW-WW-WCWW-CW-WW-' FROM n");
  Exec(db, "INSERT INTO QTHs (QTHID, City) VALUES ('HOME', 'Springfield')");
  Exec(db, "COMMIT");
  sqlite3_close(db);
}

}  // namespace

int main(int argc, char** argv) {
  int arg = 1;
  if (arg + 1 < argc && std::string(argv[arg]) == "--make") {
    long contacts = std::atol(argv[arg + 1]);
    arg += 2;
    if (arg >= argc) return 2;
    auto t0 = std::chrono::steady_clock::now();
    MakeLog(argv[arg], contacts);
    std::printf("made %ld contacts in %.1f s\n", contacts,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
  if (arg >= argc) {
    std::fprintf(stderr, "usage: %s [--make N] PATH [FROM [STOP_PLUS_ONE [OPERATOR]]]\n", argv[0]);
    return 2;
  }
  std::string path = argv[arg];
  std::string from = arg + 1 < argc ? argv[arg + 1] : "1/1/1900";
  std::string stop = arg + 2 < argc ? argv[arg + 2] : "1/1/2030";
  std::string op = arg + 3 < argc ? argv[arg + 3] : "K1ABC";
  long rss_before = PeakRssKb();
  try {
    auto t0 = std::chrono::steady_clock::now();
    auto seconds = [&] {
      return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    };
    auto db = Database::Open(path);
    auto set = db->OpenRecordset(
        "SELECT  * FROM QSOs WHERE (QSO_End >= DateValue(\"" + from +
        "\") And QSO_End <= DateValue(\"" + stop +
        "\"))   AND (QSL_Sent Is Null Or QSL_Sent = '')"
        "   AND (QSL_Rcvd Is Null Or QSL_Rcvd = '')   AND DXCCID <> '0'  And Operator = '" +
        op + "' Order By DXCCID, [Band], Mode, QSO_End DESC");
    double opened = seconds();
    std::int64_t rows = 0;
    std::set<std::string> entities;
    std::size_t slot_text = 0;
    if (!set->IsEof()) {
      set->MoveLast();
      rows = set->RecordCount();
      for (set->MoveFirst(); !set->IsEof(); set->MoveNext()) {
        std::string dxcc = set->Fields("dxccid").ToText();
        slot_text += dxcc.size() + set->Fields("band").ToText().size() +
                     set->Fields("mode").ToText().size() + set->Fields("QSL_Rcvd").ToText().size();
        entities.insert(std::move(dxcc));
      }
    }
    double walked = seconds();
    std::int64_t found = 0;
    for (const std::string& dxcc : entities) {
      for (set->FindFirst("DXCCID = '" + dxcc + "'"); !set->NoMatch();
           set->FindNext("DXCCID = '" + dxcc + "'")) {
        ++found;
      }
    }
    double finds = seconds();
    std::printf("candidates %lld (found again %lld, %zu entities, %zu bytes of slot text)\n",
                static_cast<long long>(rows), static_cast<long long>(found), entities.size(),
                slot_text);
    std::printf("open+select %.2f s, walk %.2f s, finds %.2f s\n", opened, walked - opened,
                finds - walked);
  } catch (const zorvik::Failure& f) {
    std::fprintf(stderr, "%d : %s\n", f.Number(), f.Description().c_str());
    return 1;
  }
  std::printf("peak RSS %.1f MB (%.1f MB before opening)\n", PeakRssKb() / 1024.0,
              rss_before / 1024.0);
  return 0;
}
