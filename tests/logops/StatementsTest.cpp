// The statements the log operations send, run as written against a real log file.
#include <gtest/gtest.h>

#include <vector>

#include "TestLog.h"
#include "core/DateText.h"
#include "core/Failure.h"
#include "logdb/Database.h"
#include "logops/CandidateStatement.h"
#include "logops/CleanLogStatements.h"

namespace zorvik::logdb {
namespace {

using testing::MakeLog;
using testing::RawDb;
using testing::TempDir;

// The Add action's candidate statement as the action builds it; no operator means all of them.
std::string CandidateStatement(const std::string& from, const std::string& stop_plus_one,
                               const std::string& op) {
  return BuildCandidateStatement({from, stop_plus_one, op.empty(), op});
}

std::vector<std::string> Calls(Recordset& set) {
  std::vector<std::string> calls;
  for (; !set.IsEof(); set.MoveNext()) calls.push_back(set.Fields("Call").ToText());
  return calls;
}

class StatementsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.File("log.sqlite");
    MakeLog(path_,
            "INSERT INTO QSOs (Call, QSO_End, DXCCID, Band, Mode, QSL_Sent, QSL_Rcvd, Operator)"
            " VALUES"
            " ('LASTSEC',  '2015-12-31 23:59:59', '291', '20M', 'SSB', NULL, NULL, 'K1ABC'),"
            " ('MIDNIGHT', '2016-01-01 00:00:00', '291', '20M', 'SSB', '',   '',   'K1ABC'),"
            " ('TOOLATE',  '2016-01-01 00:00:01', '291', '20M', 'SSB', NULL, NULL, 'K1ABC'),"
            " ('FIRST',    '2015-01-01 00:00:00', '291', '20M', 'CW',  NULL, '',   'K1ABC'),"
            " ('TOOEARLY', '2014-12-31 23:59:59', '291', '20M', 'CW',  NULL, NULL, 'K1ABC'),"
            " ('SENT',     '2015-06-01 12:00:00', '291', '20M', 'CW',  'Y',  NULL, 'K1ABC'),"
            " ('RCVD',     '2015-06-01 12:00:00', '291', '20M', 'CW',  NULL, 'R',  'K1ABC'),"
            " ('NOENTITY', '2015-06-01 12:00:00', '0',   '20M', 'CW',  NULL, NULL, 'K1ABC'),"
            " ('OTHEROP',  '2015-06-01 12:00:00', '1',   '40M', 'CW',  NULL, NULL, 'W9XYZ'),"
            " ('LOWEROP',  '2015-06-01 12:00:00', '1',   '40M', 'AM',  NULL, NULL, 'k1abc'),"
            " ('ENTITY100','2015-06-01 12:00:00', '100', '40M', 'CW',  NULL, NULL, 'K1ABC');"
            "INSERT INTO Progress (CountryCode, BandModes) VALUES ('291', 'A'), ('1', 'B'),"
            " ('100', 'C');"
            "INSERT INTO QTHs (QTHID, City) VALUES ('home', 'Springfield');");
    db_ = Database::Open(path_);
  }

  TempDir dir_;
  std::string path_;
  std::unique_ptr<Database> db_;
};

TEST_F(StatementsTest, CandidateStatementSelectsTheRangeToTheSecondInOrder) {
  auto set = db_->OpenRecordset(CandidateStatement("1/1/2015", "1/1/2016", "K1ABC"));
  // Entity codes sort as text; within a slot the newest contact comes first; the operator
  // compares without regard to case, as in the host's engine.
  EXPECT_EQ(Calls(*set),
            (std::vector<std::string>{"LOWEROP", "ENTITY100", "FIRST", "MIDNIGHT", "LASTSEC"}));
  auto all_ops = db_->OpenRecordset(CandidateStatement("2015-01-01", "1/1/16", ""));
  EXPECT_EQ(all_ops->RecordCount(), 6);
}

TEST_F(StatementsTest, DateTextsReadInTheLocalePatternToo) {
  SetShortDatePattern("dd.MM.yyyy");
  auto set = db_->OpenRecordset(CandidateStatement("31.12.2015", "01.01.2016", "K1ABC"));
  SetShortDatePattern("M/d/yyyy");
  EXPECT_EQ(Calls(*set), (std::vector<std::string>{"MIDNIGHT", "LASTSEC"}));
}

TEST_F(StatementsTest, StartDateThatIsNotADateIsATypeMismatch) {
  // "Call" must be read as text, not compared with the Call column.
  for (const char* from : {"Call", "QSO_End", "", "13/13/2015", "yesterday"}) {
    try {
      db_->OpenRecordset(CandidateStatement(from, "1/1/2016", "K1ABC"));
      ADD_FAILURE() << "start date \"" << from << "\" accepted";
    } catch (const Failure& f) {
      EXPECT_EQ(f.Number(), err::kTypeMismatch) << from << ": " << f.Description();
    }
  }
}

TEST_F(StatementsTest, TableStatementsOpenInTheirOrder) {
  auto progress = db_->OpenRecordset("Select * From Progress Order By CountryCode");
  EXPECT_EQ(progress->Fields("BandModes").ToText(), "B");  // "1" < "100" < "291"
  progress->MoveLast();
  EXPECT_EQ(progress->Fields("countrycode").ToText(), "291");
  EXPECT_EQ(db_->OpenRecordset("Select * From QTHs")->Fields("City").ToText(), "Springfield");
  auto queue = db_->OpenRecordset("Select * From PrintQueue");
  EXPECT_TRUE(queue->IsEof());
  EXPECT_EQ(queue->RecordCount(), 0);
}

TEST_F(StatementsTest, CleanUpStatementsCountTheRowsTheyChange) {
  RawDb raw(path_);
  raw.Exec(
      "UPDATE QSOs SET QSL_Rcvd = 'YES' WHERE Call = 'LASTSEC';"
      "UPDATE QSOs SET QSL_Rcvd = 'N', QSL_Sent = 'S' WHERE Call = 'MIDNIGHT';"
      "UPDATE QSOs SET QSL_Rcvd = '~' WHERE Call IN ('FIRST', 'TOOEARLY')");
  const std::string rcvd(kCleanReceivedStatement);
  const std::string sent(kCleanSentStatement);
  // The statements as DXKeeper's users know them, two blanks after the first condition included.
  EXPECT_EQ(rcvd.size(), 169u);
  EXPECT_EQ(sent.size(), 89u);
  db_->Execute(rcvd);
  EXPECT_EQ(db_->RecordsAffected(), 4);  // YES, N and the two marks
  db_->Execute(sent);
  EXPECT_EQ(db_->RecordsAffected(), 1);
  db_->Execute(rcvd);
  EXPECT_EQ(db_->RecordsAffected(), 0);
  EXPECT_EQ(raw.Text("SELECT QSL_Rcvd FROM QSOs WHERE Call = 'RCVD'"), "R");
}

TEST_F(StatementsTest, MarkRemovalClearsOnlyMarks) {
  RawDb raw(path_);
  raw.Exec("UPDATE QSOs SET QSL_Rcvd = '~' WHERE DXCCID = '291' AND Mode = 'CW'");
  db_->Execute("Update QSOs Set QSL_Rcvd='' Where QSL_Rcvd='~'");
  EXPECT_EQ(db_->RecordsAffected(), 4);
  EXPECT_EQ(raw.Text("SELECT count(*) FROM QSOs WHERE QSL_Rcvd = '~'"), "0");
}

TEST_F(StatementsTest, BadStatementsFailWithNumbersAndRunNothing) {
  struct Case {
    const char* statement;
    int number;
  };
  // The numbers DXKeeper's users know from its engine, written out so that a renumbered
  // constant fails here.
  const Case cases[] = {
      {"Update QSOs Set Nonsense='' Where QSL_Rcvd='~'", 3061},
      {"Update Nowhere Set QSL_Rcvd=''", 3078},
      {"Update QSOs Set QSL_Rcvd='' Where", 3075},
      {"Update QSOs Set QSL_Rcvd='X'; Delete From QSOs", 3075},
      {"Select * From QSOs", 3146},
  };
  for (const auto& c : cases) {
    try {
      db_->Execute(c.statement);
      ADD_FAILURE() << c.statement << " ran";
    } catch (const Failure& f) {
      EXPECT_EQ(f.Number(), c.number) << c.statement << ": " << f.Description();
    }
  }
  RawDb raw(path_);
  EXPECT_EQ(raw.Text("SELECT count(*) FROM QSOs WHERE QSL_Rcvd = 'X'"), "0");
  EXPECT_EQ(raw.Text("SELECT count(*) FROM QSOs"), "11");
}

}  // namespace
}  // namespace zorvik::logdb
