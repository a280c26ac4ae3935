#include <gtest/gtest.h>
#include <sqlite3.h>

#include "TestLog.h"
#include "core/Failure.h"
#include "logdb/Database.h"
#include "logdb/sqlite/SqliteDatabase.h"

namespace zorvik::logdb {
namespace {

using testing::MakeLog;
using testing::RawDb;
using testing::TempDir;

class TransactionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.File("log.sqlite");
    MakeLog(path_, "INSERT INTO QSOs (Call, QSL_Rcvd) VALUES ('A', ''), ('B', '')");
    db_ = SqliteDatabase::Open(path_);
  }
  std::string Rcvd() {
    return RawDb(path_).Text("SELECT group_concat(QSL_Rcvd, ',') FROM QSOs ORDER BY rowid");
  }
  TempDir dir_;
  std::string path_;
  std::unique_ptr<SqliteDatabase> db_;
};

TEST_F(TransactionTest, CommittedWorkStaysAndUncommittedWorkIsRolledBack) {
  {
    Transaction t(*db_);
    db_->Execute("Update QSOs Set QSL_Rcvd='~'");
    EXPECT_EQ(db_->RecordsAffected(), 2);
  }
  EXPECT_EQ(Rcvd(), ",");
  {
    Transaction t(*db_);
    auto set = db_->OpenRecordset("Select * From QSOs");
    set->Edit();
    set->SetField("QSL_Rcvd", Value("R"));
    set->Update();
    t.Commit();
  }
  EXPECT_EQ(Rcvd(), "R,");
}

TEST_F(TransactionTest, SavepointUndoesOnlyItsOwnWork) {
  Transaction t(*db_);
  auto set = db_->OpenRecordset("Select * From QSOs");
  db_->Execute("Update QSOs Set QSL_Rcvd='~' Where Call='A'");
  {
    Savepoint kept(*db_);
    db_->Execute("Update QSOs Set QSL_Rcvd='R' Where Call='B'");
    kept.Release();
  }
  {
    Savepoint undone(*db_);
    set->Edit();
    set->SetField("QSL_Rcvd", Value("X"));
    set->Update();
    EXPECT_EQ(set->Fields("QSL_Rcvd").ToText(), "X");
  }
  EXPECT_EQ(set->Fields("QSL_Rcvd").ToText(), "~");  // the set sees the rollback
  EXPECT_THROW(Transaction nested(*db_), Failure);
  t.Commit();
  EXPECT_EQ(Rcvd(), "~,R");
}

TEST_F(TransactionTest, LevelsNestAndASavepointMayBeTheOutermostLevel) {
  {
    Transaction t(*db_);
    Savepoint outer(*db_);
    db_->Execute("Update QSOs Set QSL_Rcvd='R' Where Call='A'");
    {
      Savepoint inner(*db_);
      EXPECT_EQ(db_->TransactionDepth(), 3);
      db_->Execute("Update QSOs Set QSL_Rcvd='X'");
    }
    EXPECT_EQ(db_->TransactionDepth(), 2);
    outer.Release();
    t.Commit();
  }
  EXPECT_EQ(Rcvd(), "R,");
  {
    Savepoint alone(*db_);
    db_->Execute("Update QSOs Set QSL_Rcvd='Y' Where Call='B'");
    alone.Release();
  }
  EXPECT_EQ(db_->TransactionDepth(), 0);
  EXPECT_EQ(Rcvd(), "R,Y");
}

TEST_F(TransactionTest, AfterTheEngineRolledBackNoLevelWritesOutsideTheRun) {
  {
    Transaction t(*db_);
    db_->Execute("Update QSOs Set QSL_Rcvd='~'");
    // What SQLite does on its own after a full disk or an I/O error.
    ASSERT_EQ(sqlite3_exec(db_->Handle(), "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_FALSE(t.Active());
    try {
      Savepoint late(*db_);
      db_->Execute("Update QSOs Set QSL_Rcvd='R'");
      late.Release();
      ADD_FAILURE() << "a level began outside the rolled-back transaction";
    } catch (const Failure&) {
    }
    EXPECT_THROW(t.Commit(), Failure);
  }
  EXPECT_EQ(db_->TransactionDepth(), 0);
  EXPECT_EQ(Rcvd(), ",");
  Transaction again(*db_);
  EXPECT_TRUE(again.Active());
}

TEST_F(TransactionTest, AHandleClosedWithLevelsOpenLeavesNoLockBehind) {
  auto set = db_->OpenRecordset("Select * From QSOs");
  db_->BeginTrans();
  db_->BeginTrans();
  db_->Execute("Update QSOs Set QSL_Rcvd='~'");
  db_.reset();  // the set still holds the connection
  RawDb other(path_);
  other.Exec("UPDATE QSOs SET QSL_Rcvd = 'R' WHERE Call = 'A'");  // fails while a lock is held
  EXPECT_EQ(Rcvd(), "R,");
}

}  // namespace
}  // namespace zorvik::logdb
