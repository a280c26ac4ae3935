#include <gtest/gtest.h>

#include <functional>

#include "TestLog.h"
#include "core/Failure.h"
#include "logdb/Database.h"

namespace zorvik::logdb {
namespace {

using testing::MakeLog;
using testing::RawDb;
using testing::TempDir;

int FailureNumber(const std::function<void()>& action) {
  try {
    action();
  } catch (const Failure& f) {
    return f.Number();
  }
  return 0;
}

class RecordsetTest : public ::testing::Test {
 protected:
  void Open(const std::string& extra_sql) {
    path_ = dir_.File("log.sqlite");
    MakeLog(path_, extra_sql);
    db_ = Database::Open(path_);
  }
  TempDir dir_;
  std::string path_;
  std::unique_ptr<Database> db_;
};

TEST_F(RecordsetTest, EmptySetHasNoCurrentRow) {
  Open("");
  auto set = db_->OpenRecordset("Select * From PrintQueue");
  EXPECT_TRUE(set->IsEof());
  EXPECT_EQ(set->RecordCount(), 0);
  EXPECT_EQ(FailureNumber([&] { set->MoveLast(); }), err::kNoCurrentRecord);
  EXPECT_EQ(FailureNumber([&] { set->MoveFirst(); }), err::kNoCurrentRecord);
  EXPECT_EQ(FailureNumber([&] { set->MoveNext(); }), err::kNoCurrentRecord);
  EXPECT_EQ(FailureNumber([&] { set->Fields("Call"); }), err::kNoCurrentRecord);
  EXPECT_EQ(FailureNumber([&] { set->Edit(); }), err::kNoCurrentRecord);
  EXPECT_EQ(FailureNumber([&] { set->Fields("NoSuchField"); }), err::kUnknownField);
}

TEST_F(RecordsetTest, MovesWalkTheStatementsOrder) {
  Open("INSERT INTO QSOs (Call, Freq) VALUES ('B', 7.0), ('C', 14.074), ('A', NULL)");
  auto set = db_->OpenRecordset("Select * From QSOs Order By Call DESC");
  EXPECT_EQ(set->Fields("call").ToText(), "C");
  EXPECT_EQ(set->Fields("FREQ").AsReal(), 14.074);
  set->MoveLast();
  EXPECT_EQ(set->RecordCount(), 3);
  EXPECT_TRUE(set->Fields("Freq").IsNull());
  set->MoveNext();
  EXPECT_TRUE(set->IsEof());
  EXPECT_EQ(FailureNumber([&] { set->Fields("Call"); }), err::kNoCurrentRecord);
  EXPECT_EQ(FailureNumber([&] { set->MoveNext(); }), err::kNoCurrentRecord);
  set->MoveFirst();
  set->MoveNext();
  EXPECT_EQ(set->Fields("Call").ToText(), "B");
  EXPECT_EQ(FailureNumber([&] { set->Fields("Nope"); }), err::kUnknownField);
}

// Small sets index by lookups per row, large ones by one scan of the table: both must find the
// same rows, in the set's order (not the table's).
class RecordsetFindTest : public RecordsetTest, public ::testing::WithParamInterface<int> {};

TEST_P(RecordsetFindTest, FindsInSetOrderWithoutRegardToCase) {
  const int rows = GetParam();
  Open("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
       std::to_string(rows) +
       ") INSERT INTO QSOs (Call, DXCCID, Freq, QSL_Rcvd) SELECT 'C' || i, CAST(i % 7 AS TEXT),"
       " i + 0.5, CASE WHEN i % 3 = 0 THEN NULL ELSE '' END FROM n;"
       "UPDATE QSOs SET Call = 'o''brien' WHERE rowid = 2;");
  // Newest rows first, and every third row left out of the set.
  auto set = db_->OpenRecordset("Select * From QSOs Where rowid % 3 <> 1 Order By rowid DESC");
  std::vector<std::int64_t> expected;
  for (int i = rows; i >= 1; --i) {
    if (i % 3 != 1 && i % 7 == 5) expected.push_back(i);
  }
  std::vector<std::int64_t> found;
  for (set->FindFirst("DXCCID = '5'"); !set->NoMatch(); set->FindNext("DXCCID='5'")) {
    found.push_back(std::stoll(set->Fields("Call").ToText().substr(1)));
  }
  EXPECT_EQ(found, expected);
  EXPECT_TRUE(set->IsEof());
  EXPECT_EQ(FailureNumber([&] { set->FindNext("DXCCID = '5'"); }), err::kNoCurrentRecord);

  set->FindFirst("Call = 'O''BRIEN'");
  ASSERT_FALSE(set->NoMatch());
  EXPECT_EQ(set->Fields("Call").ToText(), "o'brien");
  set->FindFirst("Freq = '3.5'");  // a number matches its decimal text
  ASSERT_FALSE(set->NoMatch());
  EXPECT_EQ(set->Fields("Call").ToText(), "C3");
  set->FindFirst("QSL_Rcvd = ''");  // Null is not the empty text
  ASSERT_FALSE(set->NoMatch());
  EXPECT_EQ(set->Fields("QSL_Rcvd").ToText(), "");
  EXPECT_FALSE(set->Fields("QSL_Rcvd").IsNull());
  set->FindFirst("DXCCID = '7'");
  EXPECT_TRUE(set->NoMatch());
  EXPECT_TRUE(set->IsEof());

  EXPECT_EQ(FailureNumber([&] { set->FindFirst("Call = 'O'BRIEN'"); }), 3077);  // DXKeeper's number
  EXPECT_EQ(FailureNumber([&] { set->FindFirst("Nope = 'x'"); }), err::kUnknownField);
}

INSTANTIATE_TEST_SUITE_P(SmallAndLarge, RecordsetFindTest, ::testing::Values(40, 9000));

TEST_F(RecordsetTest, EditStoresTheRowKeepsItCurrentAndKeepsFindsInStep) {
  Open(
      "INSERT INTO QSOs (Call, DXCCID, QSL_Rcvd) VALUES ('A', '1', NULL), ('B', '1', NULL),"
      " ('C', '2', NULL)");
  auto set = db_->OpenRecordset(
      "Select * From QSOs Where (QSL_Rcvd Is Null Or QSL_Rcvd = '') Order By Call");
  set->FindFirst("DXCCID = '1'");
  set->Edit();
  set->SetField("qsl_rcvd", Value("~"));
  set->SetField("DXCCID", Value("2"));
  EXPECT_EQ(set->Fields("QSL_Rcvd").ToText(), "~");  // the value being edited
  set->Update();
  EXPECT_EQ(set->Fields("Call").ToText(), "A");
  EXPECT_EQ(set->Fields("QSL_Rcvd").ToText(), "~");
  EXPECT_EQ(RawDb(path_).Text("SELECT QSL_Rcvd || DXCCID FROM QSOs WHERE Call = 'A'"), "~2");

  // The row no longer meets the WHERE but stays in the set; finds see its new value.
  set->MoveLast();
  EXPECT_EQ(set->RecordCount(), 3);
  set->FindFirst("DXCCID = '1'");
  EXPECT_EQ(set->Fields("Call").ToText(), "B");
  set->FindNext("DXCCID = '1'");
  EXPECT_TRUE(set->NoMatch());
  std::vector<std::string> twos;
  for (set->FindFirst("DXCCID='2'"); !set->NoMatch(); set->FindNext("DXCCID='2'")) {
    twos.push_back(set->Fields("Call").ToText());
  }
  EXPECT_EQ(twos, (std::vector<std::string>{"A", "C"}));
}

TEST_F(RecordsetTest, AddNewAppendsToTheSetAndLeavesThePosition) {
  Open(
      "ALTER TABLE PrintQueue ADD COLUMN Printed TEXT DEFAULT 'N';"
      "INSERT INTO PrintQueue (Call) VALUES ('K1ABC')");
  auto set = db_->OpenRecordset("Select * From PrintQueue");
  set->FindFirst("Call = 'W1AW'");  // builds the index before the add
  EXPECT_TRUE(set->NoMatch());
  set->MoveFirst();
  set->AddNew();
  set->SetField("Call", Value("W1AW"));
  set->SetField("Unique", Value("Y"));
  set->SetField("Freq", Value(14.074));
  set->Update();
  EXPECT_EQ(set->Fields("Call").ToText(), "K1ABC");  // still where it was
  set->MoveLast();
  EXPECT_EQ(set->RecordCount(), 2);
  EXPECT_EQ(set->Fields("unique").ToText(), "Y");
  EXPECT_EQ(set->Fields("Printed").ToText(), "N");  // the table's default
  set->FindFirst("Call = 'w1aw'");
  EXPECT_FALSE(set->NoMatch());
  set->FindFirst("Freq = '14.074'");
  EXPECT_FALSE(set->NoMatch());

  // A set that stood past its end stays there.
  set->MoveNext();
  set->AddNew();
  set->SetField("Call", Value("N0CALL"));
  set->Update();
  EXPECT_TRUE(set->IsEof());
  EXPECT_EQ(RawDb(path_).Text("SELECT count(*) FROM PrintQueue"), "3");
}

TEST_F(RecordsetTest, UnfinishedAddNewOrEditIsDroppedByAMove) {
  Open("INSERT INTO PrintQueue (Call) VALUES ('A'), ('B')");
  auto set = db_->OpenRecordset("Select * From PrintQueue");
  set->AddNew();
  set->SetField("Call", Value("DROPPED"));
  set->MoveLast();
  set->Edit();
  set->SetField("Call", Value("ALSO DROPPED"));
  set->MoveFirst();
  EXPECT_EQ(FailureNumber([&] { set->Update(); }), 3020);
  EXPECT_EQ(FailureNumber([&] { set->SetField("Call", Value("x")); }), 3020);
  set->Close();
  RawDb raw(path_);
  EXPECT_EQ(raw.Text("SELECT group_concat(Call) FROM PrintQueue"), "A,B");
}

TEST_F(RecordsetTest, ReadsSeeChangesMadeThroughTheDatabase) {
  Open("INSERT INTO QSOs (Call, QSL_Rcvd) VALUES ('A', '~')");
  auto set = db_->OpenRecordset("Select * From QSOs");
  auto other = db_->OpenRecordset("Select * From QSOs");
  EXPECT_EQ(set->Fields("QSL_Rcvd").ToText(), "~");
  db_->Execute("Update QSOs Set QSL_Rcvd='' Where QSL_Rcvd='~'");
  EXPECT_EQ(set->Fields("QSL_Rcvd").ToText(), "");
  set->Edit();
  set->SetField("QSL_Rcvd", Value("R"));
  set->Update();
  EXPECT_EQ(other->Fields("QSL_Rcvd").ToText(), "R");
}

TEST_F(RecordsetTest, ClosedSetFailsAndMayOutliveItsDatabase) {
  Open("INSERT INTO QTHs (City) VALUES ('Springfield')");
  auto set = db_->OpenRecordset("Select * From QTHs");
  set->Close();
  set->Close();
  EXPECT_EQ(FailureNumber([&] { set->Fields("City"); }), 3420);
  EXPECT_EQ(FailureNumber([&] { set->MoveFirst(); }), 3420);
  auto open = db_->OpenRecordset("Select * From QTHs");
  db_.reset();  // a caller's mistake must not leave the set reading freed memory
  EXPECT_EQ(open->Fields("City").ToText(), "Springfield");
  open->Close();
}

}  // namespace
}  // namespace zorvik::logdb

namespace zorvik::logdb {
namespace {

// A large set reads narrow fields column-wise; what it serves must follow every kind of write.
TEST_F(RecordsetTest, LargeSetReadsFollowEveryWrite) {
  Open(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 6000)"
      " INSERT INTO QSOs (Call, Band, QSL_Rcvd) SELECT 'C' || i, CASE i % 2 WHEN 0 THEN '20M'"
      " ELSE '40M' END, '' FROM n");
  auto set = db_->OpenRecordset("Select * From QSOs Order By Call DESC");  // C999 first
  auto other = db_->OpenRecordset("Select * From QSOs Order By Call DESC");
  EXPECT_EQ(set->Fields("Band").ToText(), "40M");
  EXPECT_EQ(set->Fields("QSL_Rcvd").ToText(), "");
  set->Edit();
  set->SetField("QSL_Rcvd", Value("~"));
  set->Update();
  EXPECT_EQ(set->Fields("QSL_Rcvd").ToText(), "~");
  EXPECT_EQ(other->Fields("QSL_Rcvd").ToText(), "~");
  db_->Execute("Update QSOs Set QSL_Rcvd='' Where QSL_Rcvd='~'");
  EXPECT_EQ(set->Fields("QSL_Rcvd").ToText(), "");
  set->AddNew();
  set->SetField("Call", Value("ZZZ"));
  set->SetField("Band", Value("6M"));
  set->Update();
  set->MoveLast();
  EXPECT_EQ(set->Fields("Band").ToText(), "6M");
  EXPECT_EQ(set->Fields("Call").ToText(), "ZZZ");  // many distinct values: read row by row
  {
    Transaction t(*db_);
    set->Edit();
    set->SetField("Band", Value("2M"));
    set->Update();
    EXPECT_EQ(set->Fields("Band").ToText(), "2M");
  }
  EXPECT_EQ(set->Fields("Band").ToText(), "6M");  // rolled back
}

// The fields a large set is ordered by come with its rows and are kept; every way of changing
// them must still show through.
TEST_F(RecordsetTest, FieldsReadWithTheOrderFollowEveryWrite) {
  Open(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 6000)"
      " INSERT INTO QSOs (Call, Band, Mode) SELECT 'C' || i, CASE i % 3 WHEN 0 THEN '20M'"
      " WHEN 1 THEN '40M' ELSE NULL END, 'CW' FROM n");
  RawDb raw(path_);
  auto set = db_->OpenRecordset("Select * From QSOs Order By [Band], Mode DESC, Call");
  auto other = db_->OpenRecordset("Select * From QSOs Order By Call");
  auto expect_as_stored = [&](const std::string& step) {
    for (std::int64_t pos : {0, 1, 2999, 5999}) {
      set->MoveFirst();
      for (std::int64_t i = 0; i < pos; ++i) set->MoveNext();
      const std::string call = set->Fields("Call").ToText();
      EXPECT_EQ(set->Fields("Band").IsNull() ? "<null>" : set->Fields("Band").ToText(),
                raw.Text("SELECT Band FROM QSOs WHERE Call = '" + call + "'"))
          << step << ", row " << pos << " (" << call << ")";
      EXPECT_EQ(set->Fields("Mode").ToText(),
                raw.Text("SELECT Mode FROM QSOs WHERE Call = '" + call + "'"))
          << step << ", row " << pos;
    }
  };
  expect_as_stored("as opened");
  set->MoveFirst();
  set->Edit();
  set->SetField("Band", Value("6M"));
  set->Update();
  expect_as_stored("after an edit through the set");
  other->MoveFirst();
  other->Edit();
  other->SetField("Mode", Value("SSB"));
  other->Update();
  expect_as_stored("after an edit through another set");
  db_->Execute("Update QSOs Set Band = '2M' Where Band Is Null And Call Like 'C1%'");
  expect_as_stored("after an update");
  {
    Transaction t(*db_);
    set->MoveLast();
    set->Edit();
    set->SetField("Band", Value("70CM"));
    set->Update();
  }
  expect_as_stored("after a rollback");
}

// Writes reuse prepared statements: values land in the right fields whatever fields each write
// sets, and no statement is left running to block the commit or other writers.
TEST_F(RecordsetTest, RepeatedWritesWithChangingFields) {
  Open("INSERT INTO PrintQueue (Call) VALUES ('A'), ('B')");
  auto queue = db_->OpenRecordset("Select * From PrintQueue");
  {
    Transaction t(*db_);
    for (int round = 0; round < 3; ++round) {
      const std::string n = std::to_string(round);
      queue->MoveFirst();
      queue->Edit();
      queue->SetField("Incidence", Value(n));
      queue->Update();
      queue->MoveLast();
      queue->Edit();
      queue->SetField("Needed", Value("Y" + n));
      queue->SetField("Incidence", Value("L" + n));
      queue->Update();
      queue->AddNew();
      queue->SetField("Call", Value("NEW" + n));
      if (round % 2) queue->SetField("band", Value("20M"));
      queue->Update();
    }
    t.Commit();
  }
  RawDb raw(path_);
  EXPECT_EQ(raw.Text("SELECT group_concat(Call || '/' || ifnull(Incidence, '-') || '/' || "
                     "ifnull(Needed, '-') || '/' || ifnull(band, '-'), ' ') FROM "
                     "(SELECT * FROM PrintQueue ORDER BY rowid)"),
            "A/2/-/- B/L0/Y0/- NEW0/L1/Y1/- NEW1/L2/Y2/20M NEW2/-/-/-");
  raw.Exec("UPDATE PrintQueue SET Notes = 'other writer'");  // not blocked by a kept statement
}

}  // namespace
}  // namespace zorvik::logdb
