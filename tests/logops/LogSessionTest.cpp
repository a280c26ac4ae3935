// The handle and the record sets the log operations share.
#include <gtest/gtest.h>

#include "TestLog.h"
#include "core/Failure.h"
#include "logdb/Database.h"
#include "logops/LogSession.h"

namespace zorvik::logdb {
namespace {

using testing::MakeLog;
using testing::RawDb;
using testing::TempDir;

class LogSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.File("log.sqlite");
    MakeLog(path_, "INSERT INTO QSOs (Call, QSL_Rcvd) VALUES ('A', ''), ('B', '')");
  }
  std::string Rcvd() {
    return RawDb(path_).Text("SELECT group_concat(QSL_Rcvd, ',') FROM QSOs ORDER BY rowid");
  }
  TempDir dir_;
  std::string path_;
};

TEST_F(LogSessionTest, SessionReplacesTheHandleOnlyWhenTheNewPathOpens) {
  LogSession session;
  session.ReplaceDatabase(path_);
  Database* first = session.LogDb.get();
  session.QsoSet = session.LogDb->OpenRecordset("Select * From QSOs");
  EXPECT_THROW(session.ReplaceDatabase(dir_.File("missing.sqlite")), Failure);
  EXPECT_EQ(session.LogDb.get(), first);
  EXPECT_THROW(session.QsoSet->MoveFirst(), Failure);  // closed by the replacement
}

// Closing at the end of a run or of the program: every open set is closed, a row begun and never
// stored is dropped, and closing again (or a set never opened) is harmless.
TEST_F(LogSessionTest, CloseAllSetsClosesEveryOpenSetAndStoresNothing) {
  LogSession session;
  session.ReplaceDatabase(path_);
  session.QsoSet = session.LogDb->OpenRecordset("Select * From QSOs");
  session.ProgressSet = session.LogDb->OpenRecordset("Select * From Progress");
  session.QueueSet = session.LogDb->OpenRecordset("Select * From PrintQueue");
  session.QueueSet->AddNew();
  session.QueueSet->SetField("Call", Value("BEGUN"));
  session.QsoSet->Edit();
  session.QsoSet->SetField("QSL_Rcvd", Value("R"));
  // QthSet stays unopened.

  session.CloseAllSets();
  for (auto* set : {&session.QsoSet, &session.ProgressSet, &session.QueueSet}) {
    try {
      (*set)->MoveFirst();
      ADD_FAILURE() << "a set is still open";
    } catch (const Failure& f) {
      EXPECT_EQ(f.Number(), 3420);
    }
  }
  session.CloseAllSets();
  EXPECT_EQ(RawDb(path_).Text("SELECT count(*) FROM PrintQueue"), "0");
  EXPECT_EQ(Rcvd(), ",");
}

}  // namespace
}  // namespace zorvik::logdb
