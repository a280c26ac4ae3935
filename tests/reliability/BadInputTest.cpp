// Hostile and odd values in everything the Add action reads: quotes, percent signs, brackets,
// non-ASCII letters and very long texts in call signs, the operator, entity codes, the start
// date and the database path; Null in every field; BandModes of the wrong length; duplicate
// Progress rows; a queue holding one call sign 10,000 times. Nothing may be injected, nothing may
// crash, and every row written must be a complete, correct addition.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "FaultLogs.h"
#include "LogState.h"

namespace zorvik::reliability {
namespace {

namespace fs = std::filesystem;
using logops_test::Harness;
using logops_test::Qso;
using logops_test::ScratchLog;

const std::vector<std::string>& HostileTexts() {
  static const std::vector<std::string> texts = {
      "O'BRIEN",
      "K1\"X\"",
      "50%_",
      "[K1]",
      "K1]'[",
      "\xC3\x96STERREICH-\xE6\x9D\xB1\xE4\xBA\xAC",  // ÖSTERREICH-東京
      "X'; DROP TABLE QSOs; --",
      "' OR '1'='1",
      "\") Or 1=1 Or (\"",
      std::string(5000, 'A') + "'" + std::string(5000, 'B'),
  };
  return texts;
}

std::string Short(const std::string& text) {
  return text.size() > 40 ? text.substr(0, 40) + "... (" + std::to_string(text.size()) + ")" : text;
}

// Runs Add on `log` and checks that it only made complete additions; returns how many.
int AddChecked(ScratchLog& log, Harness& h) {
  const LogState before = ReadLogState(log.Path());
  logdb::LoadQslQueue(h.ctx);
  const AdditionCheck check = CheckCompleteAdditions(before, ReadLogState(log.Path()));
  EXPECT_TRUE(check.problems.empty()) << check.problems.front();
  EXPECT_EQ(IntegrityCheck(log.Path()), "ok");
  return check.added;
}

TEST(BadInput, HostileCallSignsAreSearchedAndCopiedAsTheyAre) {
  for (const std::string& call : HostileTexts()) {
    SCOPED_TRACE(Short(call));
    ScratchLog log;
    Qso q;
    q.call = call;
    log.AddQso(q);
    log.SetProgress("230", std::string(44, 'W'));
    // An earlier card of the same call sign: the builder searches the queue for it.
    log.AddQueueRow(call, "999", "20M", "SSB", 7.0);
    Harness h(log.Path());
    EXPECT_EQ(AddChecked(log, h), 1);
    EXPECT_TRUE(h.dialogs.boxes.empty()) << ShownBoxes(h.dialogs);
    EXPECT_EQ(log.Rows("SELECT Call, Incidence FROM PrintQueue ORDER BY rowid"),
              (std::vector<std::vector<std::string>>{{call, "2"}, {call, "2"}}));
  }
}

TEST(BadInput, HostileOperatorSelectsOnlyItsOwnContacts) {
  for (const std::string& op : HostileTexts()) {
    SCOPED_TRACE(Short(op));
    ScratchLog log;
    Qso mine;
    mine.call = "MINE";
    mine.op = op;
    log.AddQso(mine);
    Qso other;
    other.call = "OTHER";
    other.mode = "CW";
    other.op = "W1AW";
    log.AddQso(other);
    log.SetProgress("230", std::string(44, 'W'));
    Harness h(log.Path());
    h.mod.HostCallSign = op;
    EXPECT_EQ(AddChecked(log, h), 1);
    EXPECT_TRUE(h.dialogs.boxes.empty()) << ShownBoxes(h.dialogs);
    EXPECT_EQ(log.Text("SELECT Call FROM PrintQueue"), "MINE");
  }
}

TEST(BadInput, HostileEntityCodesFormSlotsLikeAnyOther) {
  for (const std::string& code : HostileTexts()) {
    SCOPED_TRACE(Short(code));
    ScratchLog log;
    Qso free;
    free.call = "FREE";
    free.dxccid = code;
    log.AddQso(free);
    Qso queued;
    queued.call = "QUEUED";
    queued.dxccid = code;
    queued.band = "40M";
    queued.mode = "CW";
    log.AddQso(queued);
    log.AddQueueRow("OLD", code, "40M", "CW");
    log.SetProgress(code, std::string(44, 'W'));
    Harness h(log.Path());
    EXPECT_EQ(AddChecked(log, h), 1);
    EXPECT_TRUE(h.dialogs.boxes.empty()) << ShownBoxes(h.dialogs);
    EXPECT_EQ(log.Rows("SELECT Call, QSL_Rcvd FROM QSOs ORDER BY rowid"),
              (std::vector<std::vector<std::string>>{{"FREE", "R"}, {"QUEUED", ""}}));
  }
}

TEST(BadInput, HostileStartDatesAreATypeMismatch) {
  for (const std::string& date : HostileTexts()) {
    SCOPED_TRACE(Short(date));
    ScratchLog log;
    FillFaultLog(log, 2);
    Harness h(log.Path());
    h.view.startDate = date;
    EXPECT_EQ(AddChecked(log, h), 0);
    ASSERT_EQ(h.dialogs.boxes.size(), 1u) << ShownBoxes(h.dialogs);
    EXPECT_EQ(h.dialogs.boxes[0].title, "Error!");
    EXPECT_EQ(h.dialogs.boxes[0].text.rfind("Error code: 13\r\n", 0), 0u) << ShownBoxes(h.dialogs);
  }
}

TEST(BadInput, HostileDatabasePaths) {
  for (const std::string& name : HostileTexts()) {
    SCOPED_TRACE(Short(name));
    ScratchLog log;
    FillFaultLog(log, 2);
    log.Disconnect();
    // The name as a folder and as the file in it; too long a name cannot be a file at all.
    const fs::path folder = fs::path(log.Folder()) / name;
    const fs::path path = folder / (name + ".sqlite");
    const bool possible = name.size() < 200;
    if (possible) {
      fs::create_directories(folder);
      fs::copy_file(log.Path(), path);
    }
    Harness h(path.string());
    logdb::LoadQslQueue(h.ctx);
    if (possible) {
      EXPECT_TRUE(h.dialogs.boxes.empty()) << ShownBoxes(h.dialogs);
      EXPECT_EQ(h.view.billboard, "2 QSO records were loaded into the QSL queue.");
      EXPECT_EQ(h.view.queueCount, "3");
    } else {
      ASSERT_FALSE(h.dialogs.boxes.empty());
      EXPECT_EQ(h.dialogs.boxes[0].text.rfind("Error code: 3024\r\n", 0), 0u)
          << ShownBoxes(h.dialogs);
      std::error_code ec;
      EXPECT_FALSE(fs::exists(folder, ec));
    }
  }
}

// A small log where each field the Add action reads matters: A is queued (another card of its
// call sign is in the queue: same frequency and mode, earlier start); B's slot is queued already.
void FillFieldLog(ScratchLog& log) {
  Qso a;
  a.call = "DL1AA";
  log.AddQso(a);
  Qso b;
  b.call = "DL2BB";
  b.band = "40M";
  b.mode = "CW";
  log.AddQso(b);
  log.AddQueueRow("OLD", "230", "40M", "CW");
  log.AddQueueRow("DL1AA", "999", "20M", "SSB", 14.2, "2001-01-01 00:00:00");
  log.SetProgress("230", std::string(44, 'W'));
  log.Exec("INSERT INTO QTHs (QTHID, City, Grid) VALUES ('HOME', 'Newington', 'FN31')");
}

TEST(BadInput, NullsAndOddShapesInEveryFieldRead) {
  struct Case {
    const char* change;
    int added;
    int boxes;  // a Null the program cannot work with is a numbered message, never a crash
  };
  const Case cases[] = {
      {"UPDATE QSOs SET Call = NULL", 0, 1},
      {"UPDATE QSOs SET QSO_Begin = NULL", 0, 1},
      {"UPDATE QSOs SET QSO_End = NULL", 0, 0},
      {"UPDATE QSOs SET Freq = NULL", 1, 0},
      {"UPDATE QSOs SET Band = NULL", 0, 1},
      {"UPDATE QSOs SET Mode = NULL", 0, 1},
      {"UPDATE QSOs SET DXCCID = NULL", 0, 0},
      {"UPDATE QSOs SET Operator = NULL", 0, 0},
      {"UPDATE QSOs SET DXCCPrefix = NULL, RST_Sent = NULL, RST_Rcvd = NULL, QSL_Via = NULL, "
       "QSLMsg = NULL, MYQTHID = NULL, Name = NULL, BAND_RX = NULL, FREQ_RX = NULL, "
       "PROP_MODE = NULL, SAT_NAME = NULL, SAT_MODE = NULL, Address = NULL, TX_Power = NULL, "
       "QTH = NULL, CONTEST_ID = NULL",
       1, 0},
      {"UPDATE Progress SET CountryCode = NULL", 0, 0},
      {"UPDATE Progress SET BandModes = NULL", 0, 0},
      {"UPDATE PrintQueue SET Call = NULL", 1, 0},
      {"UPDATE PrintQueue SET dxccid = NULL, band = NULL, mode = NULL", 2, 0},
      {"UPDATE PrintQueue SET Freq = NULL", 1, 0},
      {"UPDATE PrintQueue SET QSO_Begin = NULL", 0, 1},
      {"UPDATE PrintQueue SET Incidence = NULL", 1, 0},
      {"UPDATE QTHs SET QTHID = NULL, City = NULL, Grid = NULL", 1, 0},
      {"DELETE FROM QTHs", 1, 0},
      // BandModes shorter or longer than 44: positions beyond the end are no "W".
      {"UPDATE Progress SET BandModes = 'WWWWW'", 1, 0},
      {"UPDATE Progress SET BandModes = 'WWW'", 0, 0},
      {"UPDATE Progress SET BandModes = '----W' || printf('%.60c', '-')", 1, 0},
      {"UPDATE Progress SET BandModes = ''", 0, 0},
      // A second Progress row of the entity: the first in CountryCode order counts.
      {"INSERT INTO Progress (CountryCode, Prefix, BandModes) VALUES ('230', 'Y', "
       "printf('%.44c', '-'))",
       1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.change);
    ScratchLog log;
    FillFieldLog(log);
    log.Exec(c.change);
    Harness h(log.Path());
    EXPECT_EQ(AddChecked(log, h), c.added);
    EXPECT_EQ(static_cast<int>(h.dialogs.boxes.size()), c.boxes) << ShownBoxes(h.dialogs);
    EXPECT_EQ(h.view.billboard,
              std::to_string(c.added) + " QSO records were loaded into the QSL queue.");
  }
}

TEST(BadInput, TenThousandQueueRowsOfOneCallSign) {
  ScratchLog log;
  log.Exec("BEGIN");
  for (int i = 0; i < 10000; ++i) {
    log.AddQueueRow("DL1AA", "230", "40M", "CW", 1.8 + i * 0.001, "2001-01-01 00:00:00");
  }
  log.Exec("COMMIT");
  Qso a;
  a.call = "DL1AA";
  log.AddQso(a);
  log.SetProgress("230", std::string(44, 'W'));
  Harness h(log.Path());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(AddChecked(log, h), 1);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(h.dialogs.boxes.empty()) << ShownBoxes(h.dialogs);
  EXPECT_EQ(log.Rows("SELECT Incidence, count(*) FROM PrintQueue GROUP BY Incidence"),
            (std::vector<std::vector<std::string>>{{"10001", "10001"}}));
  EXPECT_EQ(log.Text("SELECT \"Unique\" FROM PrintQueue ORDER BY rowid DESC LIMIT 1"), "N");
  std::printf("10,000 queue rows of one call sign: Add took %.2f s\n", took.count());
}

}  // namespace
}  // namespace zorvik::reliability
