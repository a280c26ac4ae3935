// The first use of Zorvik on a log that came from another logger: import a real ADIF export with
// zorvik-log (which recomputes Progress), try Add, run Log Clean, then Add again. Real exports
// keep "N" in QSL_Sent, which keeps their contacts out of the queue until Log Clean blanks it.
// Window and host are the fakes; the log operations and the import tool are the real ones.

#include <gtest/gtest.h>

#include <QProcess>
#include <filesystem>
#include <regex>
#include <string>

#include "LogFixture.h"

namespace zorvik::e2e_test {
namespace {

namespace fs = std::filesystem;
using logops_test::Harness;
using logops_test::ScratchLog;

const fs::path kAdif = fs::path(ZORVIK_TEST_DATA) / "adif";

// The number before `suffix` in `text`, or -1.
long long CountBefore(const std::string& text, const std::string& suffix) {
  const std::regex pattern("(\\d+)" + suffix);
  std::smatch m;
  return std::regex_search(text, m, pattern) ? std::stoll(m[1]) : -1;
}

void Import(const ScratchLog& log, const fs::path& adif) {
  QProcess tool;
  tool.start(
      QString::fromUtf8(ZORVIK_LOG_TOOL),
      {QStringLiteral("import"), QString::fromStdString(log.Path()),
       QString::fromStdString(adif.string()), QStringLiteral("--call"), QStringLiteral("K1ZRV")});
  ASSERT_TRUE(tool.waitForFinished(60000)) << adif;
  ASSERT_EQ(tool.exitCode(), 0) << adif << "\n" << tool.readAllStandardError().toStdString();
}

constexpr const char* kStrayReceived =
    "SELECT COUNT(*) FROM QSOs WHERE QSL_Rcvd <> '' AND QSL_Rcvd NOT IN "
    "('R','Y','S','V','I','X')";
constexpr const char* kStraySent =
    "SELECT COUNT(*) FROM QSOs WHERE QSL_Sent <> '' AND QSL_Sent NOT IN ('R','Y')";
constexpr const char* kQueuedMarks = "SELECT COUNT(*) FROM QSOs WHERE QSL_Rcvd = 'R'";

// What each real export should give, from what it holds: "N" in QSL_Sent keeps contacts out
// until the clean-up; a log whose every contact is confirmed leaves nothing to queue.
struct Export {
  const char* file;
  bool queuedBeforeClean;  // some contacts have both QSL fields empty from the start
  bool queuedAfterClean;   // the clean-up turns unconfirmed contacts into new candidates
};

void PrintTo(const Export& e, std::ostream* os) {
  *os << e.file;
}

class AdifWorkflow : public ::testing::TestWithParam<Export> {};

TEST_P(AdifWorkflow, LogCleanOpensTheWayForAdd) {
  const Export& e = GetParam();
  const fs::path adif = kAdif / e.file;
  ASSERT_TRUE(fs::exists(adif)) << adif;
  ScratchLog log;
  ASSERT_NO_FATAL_FAILURE(Import(log, adif));
  Harness h(log.Path());
  h.view.allOperators = true;  // every operator of the export counts
  h.mod.StopDatePlusOne = "1/1/2100";

  const long long contacts = log.Count("SELECT COUNT(*) FROM QSOs");
  ASSERT_GT(contacts, 0);
  const long long strayReceived = log.Count(kStrayReceived);
  const long long straySent = log.Count(kStraySent);
  const long long queuedBefore = log.Count("SELECT COUNT(*) FROM PrintQueue");

  // Before the clean-up only contacts with both QSL fields empty can be queued.
  logdb::LoadQslQueue(h.ctx);
  ASSERT_TRUE(h.dialogs.boxes.empty()) << h.dialogs.boxes[0].text;
  const long long loadedFirst = CountBefore(h.view.billboard, " QSO records were loaded");
  EXPECT_EQ(loadedFirst > 0, e.queuedBeforeClean) << h.view.billboard;
  EXPECT_EQ(log.Count("SELECT COUNT(*) FROM PrintQueue"), queuedBefore + loadedFirst);

  logdb::CleanLog(h.ctx);
  ASSERT_TRUE(h.dialogs.boxes.empty()) << h.dialogs.boxes[0].text;
  EXPECT_EQ(CountBefore(h.view.billboard, " QSL_Rcvd records were cleaned"), strayReceived)
      << h.view.billboard;
  EXPECT_EQ(CountBefore(h.view.billboard, " QSL_Sent records were cleaned"), straySent)
      << h.view.billboard;
  EXPECT_EQ(log.Count(kStrayReceived), 0);
  EXPECT_EQ(log.Count(kStraySent), 0);

  const long long marksBefore = log.Count(kQueuedMarks);
  const long long queueBefore = log.Count("SELECT COUNT(*) FROM PrintQueue");
  logdb::LoadQslQueue(h.ctx);
  ASSERT_TRUE(h.dialogs.boxes.empty()) << h.dialogs.boxes[0].text;
  const long long loaded = CountBefore(h.view.billboard, " QSO records were loaded");
  EXPECT_EQ(loaded > 0, e.queuedAfterClean) << h.view.billboard;

  // The count shown is what reached the queue, each queued contact carries its "R", the window
  // shows the new queue size, and no temporary mark is left.
  EXPECT_EQ(log.Count("SELECT COUNT(*) FROM PrintQueue"), queueBefore + loaded);
  EXPECT_EQ(log.Count(kQueuedMarks), marksBefore + loaded);
  EXPECT_EQ(h.view.queueCount, std::to_string(queueBefore + loaded));
  EXPECT_EQ(log.Count("SELECT COUNT(*) FROM QSOs WHERE QSL_Rcvd = '~'"), 0);
  EXPECT_EQ(h.dde.journal, (std::vector<std::string>{"001closelog", "001openlastlog", "001closelog",
                                                     "001openlastlog"}));

  // One contact per slot, and it is the slot's latest contact that was still unconfirmed.
  EXPECT_EQ(log.Count("SELECT COUNT(*) FROM (SELECT dxccid, band, mode FROM PrintQueue "
                      "GROUP BY dxccid, band, mode HAVING COUNT(*) > 1)"),
            0);
  EXPECT_EQ(log.Count("SELECT COUNT(*) FROM PrintQueue p JOIN QSOs q ON q.Call = p.Call "
                      "AND q.QSO_Begin = p.QSO_Begin AND q.QSL_Rcvd = 'R' "
                      "JOIN QSOs later ON later.DXCCID = q.DXCCID AND later.Band = q.Band "
                      "AND later.Mode = q.Mode AND later.QSO_End > q.QSO_End "
                      "AND IFNULL(later.QSL_Sent, '') = '' AND IFNULL(later.QSL_Rcvd, '') = ''"),
            0);
  // Every contact in the queue is still in the log, and the log is sound.
  EXPECT_EQ(log.Count("SELECT COUNT(*) FROM PrintQueue p WHERE NOT EXISTS (SELECT 1 FROM QSOs q "
                      "WHERE q.Call = p.Call AND q.QSO_Begin = p.QSO_Begin)"),
            0);
  EXPECT_EQ(log.Count("SELECT COUNT(*) FROM QSOs"), contacts);
  EXPECT_EQ(log.Text("PRAGMA integrity_check"), "ok");

  // Every "W" slot with a candidate is queued now: a second run finds nothing new.
  const long long queueAfter = log.Count("SELECT COUNT(*) FROM PrintQueue");
  logdb::LoadQslQueue(h.ctx);
  EXPECT_EQ(CountBefore(h.view.billboard, " QSO records were loaded"), 0) << h.view.billboard;
  EXPECT_EQ(log.Count("SELECT COUNT(*) FROM PrintQueue"), queueAfter);
  EXPECT_EQ(log.Count(kQueuedMarks), marksBefore + loaded);
  EXPECT_EQ(log.Count("SELECT COUNT(*) FROM QSOs WHERE QSL_Rcvd = '~'"), 0);
}

INSTANTIATE_TEST_SUITE_P(RealExports, AdifWorkflow,
                         ::testing::Values(
                             // every QSL_Sent and QSL_Rcvd "N"
                             Export{"qrz-export.adi", false, true},
                             // Y/N/R mixes; the unconfirmed ones all carry an "N" somewhere
                             Export{"log4om-export.adi", false, true},
                             // every contact confirmed by card: no slot is still "W"
                             Export{"n3fjp-export.adi", false, false},
                             // mostly empty QSL fields; the few stray letters are in slots
                             // that the first run already queued
                             Export{"ADIF_316_test_QSOs_2025_08_27.adi", true, false}),
                         [](const ::testing::TestParamInfo<Export>& info) {
                           std::string name = info.param.file;
                           name = name.substr(0, name.find('.'));
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
}  // namespace zorvik::e2e_test
