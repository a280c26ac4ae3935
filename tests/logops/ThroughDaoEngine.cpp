// Through DAO (ZORVIK_LOG_ENGINE=dao): Jet-routed logs open with the DAO engine, registered as
// Zorvik.exe registers it at start-up, with COM initialised for the whole run as there.
#include "LogFixture.h"
#include "logdb/dao/DaoEngine.h"
#include "support/ComForTheRun.h"

namespace {

[[maybe_unused]] const bool kDaoForJetLogs = [] {
  if (zorvik::logops_test::ThroughDao()) {
    zorvik::logdb::dao::UseDaoForJetLogs();
    ::testing::AddGlobalTestEnvironment(new zorvik::testing::ComForTheRun);
  }
  return true;
}();

}  // namespace
