// Queue count, Log Clean and the pre-run check on real logs.
#include <gtest/gtest.h>

#include "LogFixture.h"

namespace zorvik::logops_test {
namespace {

using logdb::CheckSelectedDatabase;
using logdb::CleanLog;
using logdb::ShowQueueCount;

TEST(ShowQueueCount, CountsDxKeepersOwnQueue) {
  ScratchLog own, other;
  own.AddQueueRow("DL1XX", "230", "20M", "SSB");
  own.AddQueueRow("F5XX", "227", "40M", "CW");
  Harness h(own.Path());
  h.view.databaseField = other.Path();  // another log selected: still DXKeeper's count

  ShowQueueCount(h.ctx);
  EXPECT_EQ(h.view.queueCount, "2");
  EXPECT_TRUE(h.dialogs.boxes.empty());
  EXPECT_EQ(h.session.QsoSet, nullptr);

  own.Exec("DELETE FROM PrintQueue");
  ShowQueueCount(h.ctx);
  EXPECT_EQ(h.view.queueCount, "0");
  EXPECT_TRUE(h.dialogs.boxes.empty());
}

TEST(ShowQueueCount, CountsBeyondSixteenBits) {
  ScratchLog log;
  log.Exec(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40000) "
      "INSERT INTO PrintQueue (Call, dxccid, band, mode) SELECT 'K' || i, '1', '20M', 'CW' FROM n");
  Harness h(log.Path());
  ShowQueueCount(h.ctx);
  EXPECT_EQ(h.view.queueCount, "40000");
  EXPECT_TRUE(h.dialogs.boxes.empty());
}

TEST(ShowQueueCount, MissingLogGivesOneBoxAndKeepsTheLabel) {
  ScratchLog log;
  const std::string missing = log.Folder() + "/gone.sqlite";
  Harness h(missing);
  h.view.queueCount = "7";
  ShowQueueCount(h.ctx);
  ASSERT_EQ(h.dialogs.boxes.size(), 1u);
  EXPECT_EQ(h.dialogs.boxes[0].text.rfind(std::to_string(err::kFileNotFound) + " : ", 0), 0u)
      << h.dialogs.boxes[0].text;
  EXPECT_EQ(h.dialogs.boxes[0].flags, mb::kOkOnly);
  EXPECT_EQ(h.view.queueCount, "7");
  EXPECT_FALSE(std::filesystem::exists(missing));  // opened as given, never created
}

TEST(CleanLog, BlanksStrayLettersAndReportsBothCounts) {
  struct Row {
    std::optional<std::string> sent, rcvd;
    std::optional<std::string> sentAfter, rcvdAfter;
  };
  const std::vector<Row> rows = {
      {"S", "N", "", ""},
      {"Y", "YES", "Y", ""},
      {"R", "V", "R", "V"},
      {std::nullopt, "S", std::nullopt, "S"},
      {"", "X", "", "X"},
      {"N", std::nullopt, "", std::nullopt},
      {"Q", "I", "", "I"},
      {"", "", "", ""},
      {"YES", "Y", "", "Y"},
      {std::nullopt, "R", std::nullopt, "R"},
      // Letters compare as DXKeeper's engine compares them, without regard to case.
      {"y", "r", "y", "r"},
      {"r", "x", "r", "x"},
      {"s", "y", "", "y"},
      {"n", "yes", "", ""},
  };
  // Also in a log whose columns were declared without COLLATE NOCASE.
  for (const TextColumns columns : {TextColumns::kNoCase, TextColumns::kBinary}) {
    SCOPED_TRACE(columns == TextColumns::kBinary ? "columns without COLLATE NOCASE" : "");
    ScratchLog log(columns);
    for (const Row& r : rows) {
      Qso q;
      q.sent = r.sent;
      q.rcvd = r.rcvd;
      log.AddQso(q);
    }
    Harness h(log.Path());
    h.view.billboard = "start-up warning";

    CleanLog(h.ctx);
    EXPECT_TRUE(h.dialogs.boxes.empty());
    EXPECT_EQ(h.view.billboard,
              "3 QSL_Rcvd records were cleaned\r\n\r\n6 QSL_Sent records were cleaned");
    EXPECT_TRUE(h.view.addSelected);
    EXPECT_TRUE(h.view.okFocused);
    auto after = log.Rows("SELECT QSL_Sent, QSL_Rcvd FROM QSOs ORDER BY rowid");
    for (std::size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(after[i][0], rows[i].sentAfter.value_or("<null>")) << "row " << i;
      EXPECT_EQ(after[i][1], rows[i].rcvdAfter.value_or("<null>")) << "row " << i;
    }

    CleanLog(h.ctx);
    EXPECT_EQ(h.view.billboard,
              "0 QSL_Rcvd records were cleaned\r\n\r\n0 QSL_Sent records were cleaned");
  }
}

TEST(CleanLog, CountsBeyondSixteenBitsAndRunsBothStatements) {
  ScratchLog log;
  log.Exec(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 33000) "
      "INSERT INTO QSOs (Call, QSL_Sent, QSL_Rcvd) SELECT 'K' || i, 'N', 'N' FROM n");
  Harness h(log.Path());
  CleanLog(h.ctx);
  EXPECT_TRUE(h.dialogs.boxes.empty());
  EXPECT_EQ(h.view.billboard,
            "33000 QSL_Rcvd records were cleaned\r\n\r\n33000 QSL_Sent records were cleaned");
  EXPECT_EQ(h.view.busyCount, 1);  // the window took no input meanwhile
  EXPECT_EQ(h.view.busyDepth, 0);
}

// The first statement's change is stored at once: when the second fails, it stays, and the
// failure is shown in the standard box instead of the counts.
TEST(CleanLog, SecondStatementFailingKeepsTheFirstChange) {
  ScratchLog log;
  Qso q;
  q.sent = "N";
  q.rcvd = "N";
  log.AddQso(q);
  log.Exec("ALTER TABLE QSOs DROP COLUMN QSL_Sent");
  Harness h(log.Path());
  h.view.billboard = "before";
  CleanLog(h.ctx);
  ASSERT_EQ(h.dialogs.boxes.size(), 1u);
  EXPECT_EQ(h.dialogs.boxes[0].text.rfind(std::to_string(err::kStatementUnknownField) + " : ", 0),
            0u)
      << h.dialogs.boxes[0].text;
  EXPECT_EQ(h.dialogs.boxes[0].flags, mb::kOkOnly);
  EXPECT_EQ(log.Text("SELECT QSL_Rcvd FROM QSOs"), "");
  EXPECT_EQ(h.view.billboard, "before");
  EXPECT_FALSE(h.view.addSelected);
}

TEST(CleanLog, MissingLogIsReportedAndNothingElseHappens) {
  ScratchLog log;
  Harness h(log.Path());
  h.view.databaseField = log.Folder() + "/nope.sqlite";
  CleanLog(h.ctx);
  ASSERT_EQ(h.dialogs.boxes.size(), 1u);
  EXPECT_EQ(h.dialogs.boxes[0].flags, mb::kOkOnly);
  EXPECT_EQ(h.view.billboardWrites, 0);
  EXPECT_FALSE(h.view.addSelected);
}

TEST(CheckSelectedDatabase, PromptsOnAnyDifferenceWhileDxKeeperRuns) {
  ScratchLog log;
  const std::string path = log.Path();
  struct Case {
    bool running;
    std::optional<std::string> hostSetting;  // nullopt: key missing
    std::string selected;
    bool prompt;
  };
  std::string upper = path;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const Case cases[] = {
      {false, "elsewhere", path, false}, {true, path, path, false},
      {true, path, upper, true},         {true, path, path + " ", true},
      {true, std::nullopt, path, true},
  };
  for (const Case& c : cases) {
    Harness h(path);
    h.dde.running = c.running;
    h.settings.values.clear();
    if (c.hostSetting) h.settings.Set("LogPathName", *c.hostSetting);
    h.view.databaseField = c.selected;
    const bool go = CheckSelectedDatabase(h.ctx);
    EXPECT_EQ(h.dialogs.boxes.size(), c.prompt ? 1u : 0u) << "'" << c.selected << "'";
    EXPECT_EQ(go, !c.prompt) << "'" << c.selected << "'";  // the default answer is No
    if (c.prompt && !h.dialogs.boxes.empty()) {
      EXPECT_EQ(h.dialogs.boxes[0].flags, mb::kYesNoStopDefaultNo);
      EXPECT_EQ(h.dialogs.boxes[0].title, "+ + Proceed with Caution + +");
      EXPECT_EQ(h.dialogs.boxes[0].text,
                "The DXKeeper & Zorvik selected database don't agree!\r\nSee the Zorvik help "
                "file if you need more information.\r\n\r\n           * * * Do you want to "
                "continue? * * *");
    }
  }
}

TEST(CheckSelectedDatabase, YesContinues) {
  ScratchLog log;
  Harness h(log.Path());
  h.view.databaseField = log.Path() + " ";
  h.dialogs.answers.push_back(Answer::kYes);
  EXPECT_TRUE(CheckSelectedDatabase(h.ctx));
  EXPECT_EQ(h.mod.HostStatusText, status::kRunning);
}

}  // namespace
}  // namespace zorvik::logops_test
