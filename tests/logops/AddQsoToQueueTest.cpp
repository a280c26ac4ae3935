// The queue entry builder on real logs: the new row, the duplicate check, the renumbering and
// that one call is stored whole or not at all.
#include <gtest/gtest.h>

#include "LogFixture.h"
#include "logops/SqlQuote.h"

namespace zorvik::logops_test {
namespace {

using logdb::AddQsoToQueue;
using logdb::QueueOutcome;

// Opens the sets as the Add action has them when it calls the builder, QsoSet on `call` (empty:
// on the first contact).
void StandOn(Harness& h, const std::string& call = {}) {
  auto& s = h.session;
  s.ReplaceDatabase(h.view.databaseField);
  s.QsoSet = s.LogDb->OpenRecordset("Select * From QSOs");
  if (!call.empty()) {
    s.QsoSet->FindFirst("Call = '" + logdb::QuoteText(call) + "'");
    ASSERT_FALSE(s.QsoSet->NoMatch()) << call;
  }
  s.QthSet = s.LogDb->OpenRecordset("Select * From QTHs");
  s.QueueSet = s.LogDb->OpenRecordset("Select * From PrintQueue");
}

constexpr const char* kQueueFields =
    "Call, DXCC, QSO_Begin, RST_Sent, RST_Rcvd, mode, Freq, band, via, Operator, QSL_Rcvd, "
    "Incidence, \"Unique\", Needed, Notes, Enabled, MYQTHID, City, County, State, Country, Grid, "
    "Latitude, Longitude, CQZone, ITUZone, Iota, StreetAddress, PostalCode, BAND_RX, FREQ_RX, "
    "PROP_MODE, SAT_NAME, SAT_MODE, dxccid, Name, Address, TX_Power, QTH, CONTEST_ID";

TEST(AddQsoToQueue, FirstCardOfACallFillsAllFortyFields) {
  ScratchLog log;
  log.Exec(
      "INSERT INTO QSOs (Call, DXCCPrefix, QSO_Begin, QSO_End, RST_Sent, RST_Rcvd, Mode, Freq, "
      "Band, QSL_Via, Operator, QSLMsg, MYQTHID, BAND_RX, FREQ_RX, PROP_MODE, SAT_NAME, SAT_MODE, "
      "DXCCID, Name, Address, TX_Power, QTH, CONTEST_ID) VALUES ('JA1ZZ', 'JA', "
      "'2004-05-01 12:00:00', '2004-05-01 12:05:00', '59', '55', 'SSB', 14.195, '20M', 'JARL', "
      "'W1AW', 'TNX QSO', 'PORT', '20M', 14.195, 'F2', NULL, NULL, '339', 'Taro', 'Tokyo', "
      "'100', 'Chiyoda', 'CQWW')");
  log.Exec(
      "INSERT INTO QTHs VALUES ('HOME', 'Newington', 'Hartford', 'CT', 'USA', 'FN31', '41.7', "
      "'-72.7', '5', '8', 'NA-000', '225 Main St', '06111')");
  log.Exec(
      "INSERT INTO QTHs VALUES ('PORT', 'Elsewhere', 'X', 'Y', 'Z', 'AA00', '0', '0', '1', "
      "'1', '', '', '')");
  Harness h(log.Path());
  StandOn(h, "JA1ZZ");

  EXPECT_EQ(AddQsoToQueue(h.ctx), QueueOutcome::kAdded);
  EXPECT_TRUE(h.dialogs.boxes.empty());
  auto rows = log.Rows(std::string("SELECT ") + kQueueFields + " FROM PrintQueue");
  ASSERT_EQ(rows.size(), 1u);
  const std::vector<std::string> expected = {
      "JA1ZZ", "JA", "2004-05-01 12:00:00", "59", "55", "SSB", "14.195", "20M", "JARL", "W1AW", "R",
      "1", "Y", "Y", "TNX QSO", "Y", "PORT",
      // the address of the row QTHs stands on, whatever the contact's MYQTHID
      "Newington", "Hartford", "CT", "USA", "FN31", "41.7", "-72.7", "5", "8", "NA-000",
      "225 Main St", "06111", "20M", "14.195", "F2", "<null>", "<null>", "339", "Taro", "Tokyo",
      "100", "Chiyoda", "CQWW"};
  ASSERT_EQ(rows[0].size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(rows[0][i], expected[i]) << "field " << i + 1;
  }
  EXPECT_EQ(log.Text("SELECT QSL_Rcvd FROM QSOs"), "R");
  EXPECT_EQ(h.session.QsoSet->Fields("Call").ToText(), "JA1ZZ");  // still on the candidate
}

TEST(AddQsoToQueue, EmptyQthsLeavesTheAddressAtItsDefaults) {
  ScratchLog log;
  log.AddQso({});
  Harness h(log.Path());
  StandOn(h, "DL1XX");
  EXPECT_EQ(AddQsoToQueue(h.ctx), QueueOutcome::kAdded);
  EXPECT_TRUE(h.dialogs.boxes.empty());
  EXPECT_EQ(log.Text("SELECT coalesce(City, County, Grid, PostalCode, 'none') FROM PrintQueue"),
            "none");
  EXPECT_EQ(log.Text("SELECT Incidence || \"Unique\" FROM PrintQueue"), "1Y");
}

TEST(AddQsoToQueue, RenumbersEveryCardOfTheCall) {
  ScratchLog log;
  log.AddQso({});
  log.AddQueueRow("DL1XX", "230", "40M", "CW", 7.01);
  log.AddQueueRow("DL1XX", "230", "15M", "SSB", 21.2);
  log.AddQueueRow("F5XX", "227", "20M", "SSB");
  log.Exec("UPDATE PrintQueue SET \"Unique\" = 'Q' WHERE rowid = 2");
  Harness h(log.Path());
  StandOn(h, "DL1XX");
  EXPECT_EQ(AddQsoToQueue(h.ctx), QueueOutcome::kAdded);
  EXPECT_EQ(
      log.Rows("SELECT Call, Incidence, \"Unique\" FROM PrintQueue ORDER BY rowid"),
      (std::vector<std::vector<std::string>>{
          {"DL1XX", "3", "Y"}, {"DL1XX", "3", "Q"}, {"F5XX", "1", "Y"}, {"DL1XX", "3", "N"}}));
}

TEST(AddQsoToQueue, OnlyTheSameContactIsADuplicate) {
  struct Case {
    const char* what;
    std::optional<double> freq;
    std::string mode;
    std::optional<std::string> begin;
    bool added;
  };
  const Case cases[] = {
      {"same contact", 14.2, "SSB", "2004-05-01 12:00:00", false},
      {"same instant spelled otherwise", 14.2, "SSB", "2004-05-01T12:00:00", false},
      {"other start", 14.2, "SSB", "2004-05-01 12:00:01", true},
      {"mode differs in case", 14.2, "ssb", "2004-05-01 12:00:00", true},
      {"other frequency", 14.21, "SSB", "2004-05-01 12:00:00", true},
      {"queued frequency Null", std::nullopt, "SSB", "2004-05-01 12:00:00", true},
  };
  for (const Case& c : cases) {
    ScratchLog log;
    log.AddQso({});
    log.AddQueueRow("DL1XX", "230", "20M", c.mode, c.freq, c.begin);
    const std::string before = log.Dump();
    Harness h(log.Path());
    StandOn(h, "DL1XX");
    EXPECT_EQ(AddQsoToQueue(h.ctx), c.added ? QueueOutcome::kAdded : QueueOutcome::kAlreadyQueued)
        << c.what;
    EXPECT_TRUE(h.dialogs.boxes.empty()) << c.what;
    if (c.added) {
      EXPECT_EQ(log.Count("SELECT count(*) FROM PrintQueue WHERE Incidence = '2'"), 2) << c.what;
    } else {
      EXPECT_EQ(log.Dump(), before) << c.what;  // no renumbering, no mark, no row
    }
  }
}

TEST(AddQsoToQueue, CallSignWithAnApostropheIsSearchedNotInjected) {
  ScratchLog log;
  Qso q;
  q.call = "O'BRIEN";
  log.AddQso(q);
  log.AddQueueRow("O'BRIEN", "230", "40M", "CW", 7.01);
  log.AddQueueRow("X' OR 'A'='A", "230", "40M", "CW", 7.01);
  Harness h(log.Path());
  StandOn(h, "O'BRIEN");
  EXPECT_EQ(AddQsoToQueue(h.ctx), QueueOutcome::kAdded);
  EXPECT_TRUE(h.dialogs.boxes.empty());
  EXPECT_EQ(log.Rows("SELECT Call, Incidence FROM PrintQueue ORDER BY rowid"),
            (std::vector<std::vector<std::string>>{
                {"O'BRIEN", "2"}, {"X' OR 'A'='A", "1"}, {"O'BRIEN", "2"}}));
}

TEST(AddQsoToQueue, AFailedCallLeavesNothingBehind) {
  ScratchLog log;
  log.AddQso({});
  log.AddQueueRow("DL1XX", "230", "40M", "CW", 7.01);
  // The new row is refused after the renumbering and the "R" mark were written.
  log.Exec(
      "CREATE TRIGGER refuse BEFORE INSERT ON PrintQueue "
      "BEGIN SELECT RAISE(ABORT, 'queue is full'); END");
  const std::string before = log.Dump();
  Harness h(log.Path());
  StandOn(h, "DL1XX");
  EXPECT_EQ(AddQsoToQueue(h.ctx), QueueOutcome::kFailed);
  ASSERT_EQ(h.dialogs.boxes.size(), 1u);
  EXPECT_EQ(h.dialogs.boxes[0].flags, mb::kOkOnly);
  EXPECT_NE(h.dialogs.boxes[0].text.find(" : "), std::string::npos);
  h.session.CloseAllSets();
  EXPECT_EQ(log.Dump(), before);
  EXPECT_NE(h.session.LogDb, nullptr);
}

TEST(AddQsoToQueue, NullValuesThatCannotBeComparedStopTheCall) {
  struct Case {
    const char* what;
    bool nullCall;
    bool nullQueuedBegin;
  };
  const Case cases[] = {{"Null call sign", true, false},
                        {"queued twin without start time", false, true}};
  for (const Case& c : cases) {
    ScratchLog log;
    log.AddQso({});
    log.AddQueueRow("DL1XX", "230", "20M", "SSB", 14.2,
                    c.nullQueuedBegin ? std::nullopt : std::optional<std::string>("2001-01-01"));
    if (c.nullCall) log.Exec("UPDATE QSOs SET Call = NULL");
    Harness h(log.Path());
    StandOn(h);
    const std::string before = log.Dump();
    EXPECT_EQ(AddQsoToQueue(h.ctx), QueueOutcome::kFailed) << c.what;
    ASSERT_EQ(h.dialogs.boxes.size(), 1u) << c.what;
    EXPECT_EQ(h.dialogs.boxes[0].text, "94 : Invalid use of Null") << c.what;
    EXPECT_EQ(log.Dump(), before) << c.what;
  }
}

}  // namespace
}  // namespace zorvik::logops_test
