// The tools end to end on real files: generated logs, imports of the real ADIF logs, progress
// recomputation and the command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "BandModeSlots.h"
#include "Cli.h"
#include "Generator.h"
#include "Importer.h"
#include "LogFiles.h"
#include "ProgressRecompute.h"
#include "SqliteLog.h"

namespace zorvik::logtools {
namespace {

namespace fs = std::filesystem;

const fs::path kAdif = fs::path(ZORVIK_TEST_DATA) / "adif";

class TempFolder {
 public:
  TempFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = fs::temp_directory_path() / (std::string("zorvik-log-") + info->name() + "-" +
                                         std::to_string(std::random_device{}()));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  fs::path operator/(const char* name) const { return path_ / name; }

 private:
  fs::path path_;
};

// The first column of the first row of a query, as text ("" for Null or no row).
std::string Scalar(const fs::path& log, const std::string& sql) {
  LogConnection db(log.string(), LogConnection::Mode::kOpenExisting);
  Statement query(db, sql);
  return query.Step() ? query.Text(0).value_or("") : "";
}

long Count(const fs::path& log, const std::string& sql) {
  return std::stol(Scalar(log, sql));
}

// Every row of the four tables in rowid order, for comparing whole logs.
std::string Dump(const fs::path& log) {
  LogConnection db(log.string(), LogConnection::Mode::kOpenExisting);
  std::string out;
  for (const char* table : {"QSOs", "Progress", "QTHs", "PrintQueue"}) {
    Statement rows(db, std::string("SELECT * FROM ") + table + " ORDER BY rowid");
    while (rows.Step()) {
      for (int i = 0; i < 40; ++i) out += rows.Text(i).value_or("<null>") + "|";
      out += "\n";
    }
  }
  return out;
}

int Cli(std::vector<std::string> args, std::string* out = nullptr, std::string* err = nullptr) {
  std::ostringstream o, e;
  const int code = RunCli(args, o, e);
  if (out) *out = o.str();
  if (err) *err = e.str();
  return code;
}

constexpr const char* kCandidates =
    "SELECT count(*) FROM QSOs WHERE (QSL_Sent IS NULL OR QSL_Sent = '') AND "
    "(QSL_Rcvd IS NULL OR QSL_Rcvd = '') AND DXCCID <> '0' AND Operator = 'K1ZRV'";

TEST(GenerateLog, GivesTheShapeTheAddBenchmarkNeeds) {
  TempFolder dir;
  const fs::path log = dir / "gen.db";
  GenerateOptions options;
  options.logPath = log;
  options.contacts = 5000;
  options.queueRows = 600;
  const GenerateReport report = GenerateLog(options);

  EXPECT_EQ(Count(log, "SELECT count(*) FROM QSOs"), 5000);
  EXPECT_EQ(Count(log, "SELECT count(*) FROM PrintQueue"), 600);
  EXPECT_EQ(Count(log, "SELECT count(*) FROM QTHs"), 1);
  EXPECT_EQ(Count(log, "SELECT count(*) FROM Progress"), 340);
  const long candidates = Count(log, kCandidates);
  EXPECT_EQ(static_cast<std::size_t>(candidates), report.candidates);
  EXPECT_GT(candidates, 5000 * 25 / 100);
  EXPECT_LT(candidates, 5000 * 35 / 100);

  // The variety the Add and Log Clean actions must cope with.
  EXPECT_GT(Count(log, "SELECT count(*) FROM QSOs WHERE QSL_Rcvd IS NULL"), 0);
  EXPECT_GT(Count(log, "SELECT count(*) FROM QSOs WHERE QSL_Rcvd = ''"), 0);
  EXPECT_GT(Count(log, "SELECT count(*) FROM QSOs WHERE QSL_Sent NOT IN ('', 'R', 'Y')"), 0);
  EXPECT_GE(Count(log, "SELECT count(DISTINCT Operator) FROM QSOs"), 3);
  EXPECT_GE(Count(log, "SELECT count(DISTINCT Mode) FROM QSOs"), 7);
  EXPECT_GT(Count(log, "SELECT count(*) FROM QSOs WHERE Band IN ('60M', '70CM')"), 0);
  EXPECT_GT(Count(log, "SELECT count(*) FROM QSOs WHERE DXCCID = '0'"), 0);
  EXPECT_GT(Count(log, "SELECT count(DISTINCT DXCCID) FROM QSOs"), 250);

  // Queue rows are what the Add action leaves: the contact marked "R", the call's rows
  // numbered by their total, the first of a call unique.
  EXPECT_EQ(Count(log,
                  "SELECT count(*) FROM PrintQueue p WHERE NOT EXISTS (SELECT 1 FROM QSOs "
                  "q WHERE q.Call = p.Call AND q.QSO_Begin = p.QSO_Begin AND "
                  "q.QSL_Rcvd = 'R' AND q.Band = p.band AND q.DXCCID = p.dxccid)"),
            0);
  EXPECT_EQ(Count(log,
                  "SELECT count(*) FROM PrintQueue p WHERE CAST(Incidence AS INTEGER) <> "
                  "(SELECT count(*) FROM PrintQueue o WHERE o.Call = p.Call)"),
            0);
  EXPECT_GT(Count(log, "SELECT count(*) FROM PrintQueue WHERE Incidence <> '1'"), 0);
  EXPECT_EQ(Count(log,
                  "SELECT count(*) FROM (SELECT Call FROM PrintQueue GROUP BY Call "
                  "HAVING sum(\"Unique\" = 'Y') <> 1)"),
            0);
  EXPECT_EQ(Scalar(log, "SELECT City FROM PrintQueue LIMIT 1"),
            Scalar(log, "SELECT City FROM QTHs"));

  // Progress is what a recomputation gives, and leaves slots for Add to fill.
  EXPECT_EQ(Count(log, "SELECT count(*) FROM Progress WHERE length(BandModes) <> 44"), 0);
  EXPECT_GT(report.progress.workedSlots, 100u);
  const std::string before = Dump(log);
  {
    LogConnection db(log.string(), LogConnection::Mode::kOpenExisting);
    RecomputeProgress(db);
  }
  EXPECT_EQ(Dump(log), before);
}

TEST(GenerateLog, SeedDecidesTheContents) {
  TempFolder dir;
  GenerateOptions options;
  options.contacts = 500;
  options.queueRows = 50;
  options.logPath = dir / "a.db";
  GenerateLog(options);
  options.logPath = dir / "b.db";
  GenerateLog(options);
  options.logPath = dir / "c.db";
  options.seed = 2;
  GenerateLog(options);
  EXPECT_EQ(Dump(dir / "a.db"), Dump(dir / "b.db"));
  EXPECT_NE(Dump(dir / "a.db"), Dump(dir / "c.db"));
}

TEST(GenerateLog, CallAndIndexOptions) {
  TempFolder dir;
  const fs::path log = dir / "g.db";
  ASSERT_EQ(Cli({"generate", log.string(), "--contacts", "300", "--call", "N0XYZ", "--indexes"}),
            kExitOk);
  EXPECT_GT(Count(log, "SELECT count(*) FROM QSOs WHERE Operator = 'N0XYZ'"), 200);
  EXPECT_EQ(Count(log, "SELECT count(*) FROM QSOs WHERE Operator = 'K1ZRV'"), 0);
  EXPECT_EQ(Count(log,
                  "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name IN "
                  "('QSOs_QSL_Rcvd', 'QSOs_Slot_End', 'PrintQueue_Call')"),
            3);
}

TEST(GenerateLog, NeverOverwritesWithoutForce) {
  TempFolder dir;
  const fs::path log = dir / "keep.db";
  { std::ofstream(log) << "precious"; }
  std::string err;
  EXPECT_EQ(Cli({"generate", log.string(), "--contacts", "10"}, nullptr, &err), kExitFailed);
  EXPECT_NE(err.find("already exists"), std::string::npos) << err;
  EXPECT_EQ(Cli({"new", log.string()}), kExitFailed);
  EXPECT_EQ(fs::file_size(log), 8u);
  EXPECT_EQ(Cli({"generate", log.string(), "--contacts", "10", "--force"}), kExitOk);
  EXPECT_EQ(Count(log, "SELECT count(*) FROM QSOs"), 10);
  // No temporary file is left beside the log.
  EXPECT_EQ(std::distance(fs::directory_iterator(log.parent_path()), fs::directory_iterator()), 1);
}

TEST(ImportAdif, RealLogsOfSeveralPrograms) {
  struct Case {
    const char* file;
    std::size_t records;
    std::size_t refused;
  };
  // The ADIF group's test file has three records without QSO_DATE.
  const std::vector<Case> cases = {
      {"ADIF_316_test_QSOs_2025_08_27.adi", 6191, 3},
      {"qrz-export.adi", 931, 0},
      {"log4om-export.adi", 122, 0},
      {"n3fjp-export.adi", 438, 0},
  };
  for (const Case& c : cases) {
    TempFolder dir;
    const fs::path log = dir / "imported.db";
    ImportOptions options{log, kAdif / c.file, std::string("K9XYZ")};
    const ImportReport report = ImportAdif(options);
    EXPECT_TRUE(report.createdLog) << c.file;
    EXPECT_EQ(report.records, c.records) << c.file;
    EXPECT_EQ(report.refused, c.refused) << c.file;
    EXPECT_EQ(Count(log, "SELECT count(*) FROM QSOs"), long(c.records - c.refused)) << c.file;
    EXPECT_EQ(Count(log,
                    "SELECT count(*) FROM QSOs WHERE Band <> upper(Band) OR QSO_Begin IS "
                    "NULL OR QSO_End < QSO_Begin OR Operator IS NULL"),
              0)
        << c.file;
    EXPECT_EQ(Count(log, "SELECT count(*) FROM Progress WHERE length(BandModes) <> 44"), 0)
        << c.file;
    EXPECT_GT(report.progress.entities, 0u) << c.file;
  }
}

TEST(ImportAdif, KeepsQslLettersAndFeedsProgress) {
  TempFolder dir;
  const fs::path log = dir / "log.db";
  ImportAdif({log, kAdif / "n3fjp-export.adi", std::nullopt});
  // The first record: N5ILQ, 20M CW, entity 291, QSL_SENT N, QSL_RCVD Y.
  EXPECT_EQ(Scalar(log,
                   "SELECT QSL_Sent || QSL_Rcvd || Band || Mode || DXCCID || QSO_Begin FROM "
                   "QSOs WHERE Call = 'N5ILQ'"),
            "NY20MCW2912022-06-02 18:20:54");
  EXPECT_EQ(Scalar(log, "SELECT substr(BandModes, 16, 1) FROM Progress WHERE CountryCode = '291'"),
            "C");

  // The online logbook's export has QSL_SENT N throughout: no candidates until Log Clean.
  ImportAdif({log, kAdif / "qrz-export.adi", std::nullopt});
  EXPECT_EQ(Count(log, "SELECT count(*) FROM QSOs WHERE QSL_Sent IS NULL OR QSL_Sent = ''"), 0);
  EXPECT_GT(Count(log, "SELECT count(*) FROM QSOs WHERE QSL_Sent = 'N'"), 931);
}

TEST(ImportAdif, RefusesFilesThatAreNotLogs) {
  TempFolder dir;
  const fs::path other = dir / "other.db";
  {
    LogConnection db(other.string(), LogConnection::Mode::kCreateNew);
    db.Exec("CREATE TABLE QSOs (Call TEXT)");
  }
  const fs::path text = dir / "notes.txt";
  { std::ofstream(text) << "not a database at all, just some words of text here"; }
  for (const fs::path& target : {other, text}) {
    const auto size = fs::file_size(target);
    std::string err;
    EXPECT_EQ(
        Cli({"import", target.string(), (kAdif / "log4om-export.adi").string()}, nullptr, &err),
        kExitFailed)
        << target;
    EXPECT_FALSE(err.empty()) << target;
    EXPECT_EQ(fs::file_size(target), size) << target;
  }
  // A missing ADIF file creates no log.
  EXPECT_EQ(Cli({"import", (dir / "new.db").string(), (dir / "missing.adi").string()}),
            kExitFailed);
  EXPECT_FALSE(fs::exists(dir / "new.db"));
}

TEST(RecomputeProgress, UpdatesRowsInPlaceAndAddsMissingEntities) {
  TempFolder dir;
  const fs::path log = dir / "p.db";
  ASSERT_EQ(Cli({"new", log.string()}), kExitOk);
  {
    LogConnection db(log.string(), LogConnection::Mode::kOpenExisting);
    db.Exec(
        "INSERT INTO Progress VALUES ('5', 'OLD', 'stale'), ('6', 'GONE', NULL);"
        "INSERT INTO QSOs (Call, DXCCID, DXCCPrefix, Band, Mode, QSL_Rcvd) VALUES "
        "('A1', '5', 'X5', '20M', 'CW', 'Y'), ('B1', '9', '', '40M', 'SSB', NULL), "
        "('B2', '9', 'P9', '40M', 'SSB', NULL), ('C1', '0', 'ZZ', '20M', 'CW', NULL)");
  }
  std::string out;
  ASSERT_EQ(Cli({"progress", log.string()}, &out), kExitOk);
  EXPECT_NE(out.find("3 entities (1 new)"), std::string::npos) << out;
  EXPECT_EQ(Scalar(log, "SELECT Prefix || ':' || BandModes FROM Progress WHERE CountryCode='5'"),
            "OLD:" + std::string(15, '-') + "C" + std::string(28, '-'));
  EXPECT_EQ(Scalar(log, "SELECT BandModes FROM Progress WHERE CountryCode='6'"),
            std::string(44, '-'));
  EXPECT_EQ(Scalar(log, "SELECT Prefix || ':' || BandModes FROM Progress WHERE CountryCode='9'"),
            "P9:--W" + std::string(41, '-'));
  EXPECT_EQ(Count(log, "SELECT count(*) FROM Progress WHERE CountryCode='0'"), 0);
}

TEST(Cli, UsageErrorsChangeNothing) {
  TempFolder dir;
  const std::string log = (dir / "u.db").string();
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"frobnicate"},
      {"generate", log},
      {"generate", log, "--contacts"},
      {"generate", log, "--contacts", "many"},
      {"generate", log, "--contacts", "-5"},
      {"generate", log, "--contacts", "10", "--queue", "11"},
      {"generate", log, "--contacts", "10", "--colour", "red"},
      {"import", log},
      {"progress"},
      {"new", log, "extra"},
  };
  for (const auto& args : cases) {
    std::string err;
    EXPECT_EQ(Cli(args, nullptr, &err), kExitUsage) << ::testing::PrintToString(args);
    EXPECT_FALSE(err.empty()) << ::testing::PrintToString(args);
  }
  EXPECT_FALSE(fs::exists(log));
  EXPECT_EQ(Cli({"progress", log}), kExitFailed);  // no such log
  EXPECT_FALSE(fs::exists(log));

  std::string help;
  EXPECT_EQ(Cli({"--help"}, &help), kExitOk);
  for (const char* word : {"new PATH", "generate PATH", "import PATH", "progress PATH", "--queue",
                           "--seed", "--call", "--indexes", "\"V\""}) {
    EXPECT_NE(help.find(word), std::string::npos) << word;
  }
}

}  // namespace
}  // namespace zorvik::logtools
