// The Add action against the real dxkeeper-sim over the real local host link: the commands
// DXKeeper receives, the caption it causes, and the QSL mode refusal.
#include <gtest/gtest.h>

#include "LogFixture.h"
#include "host/Platform.h"
#include "support/SimProcess.h"

namespace zorvik::logops_test {
namespace {

using zorvik::testing::SimEnvironment;
using zorvik::testing::SimOptions;
using zorvik::testing::SimProcess;

// The window's services around the real host link and settings store.
struct SimHarness {
  explicit SimHarness(const std::string& logPath)
      : dde(host::MakeDdeClient()),
        settings(host::MakeSettingsStore()),
        host{mod, *dde, *settings, dialogs, view, {"Zorvik", 1, 4, 2}},
        ctx{host, session} {
    mod.LogPathName = logPath;
    mod.HostCallSign = "W1AW";
    mod.StopDatePlusOne = "1/1/2030";
    view.databaseField = logPath;
    view.startDate = "1/1/1900";
  }
  ZorvikMod mod;
  std::unique_ptr<host::DdeClient> dde;
  std::unique_ptr<host::SettingsStore> settings;
  testing::FakeDialogs dialogs;
  testing::FakeView view;
  host::HostContext host;
  logdb::LogSession session;
  logdb::AppContext ctx;
};

void FillExampleLog(ScratchLog& log) {
  log.AddQueueRow("VK9AA", "100", "20M", "SSB");
  Qso q;
  q.dxccid = "100";
  q.band = "40M";
  q.mode = "CW";
  log.AddQso(q);
  q.band = "20M";
  q.mode = "SSB";
  q.call = "MARKED";
  log.AddQso(q);
  log.SetProgress("100", BandModesWith({5, 14}));
}

TEST(AddWithSim, ReleasesAndRetakesTheLog) {
  SimEnvironment env;
  ScratchLog log;
  FillExampleLog(log);
  log.Disconnect();
  SimOptions options;
  options.log = log.Path();
  options.call = "W1AW";
  SimProcess sim(options);
  SimHarness h(log.Path());

  logdb::LoadQslQueue(h.ctx);

  EXPECT_TRUE(h.dialogs.boxes.empty()) << h.dialogs.boxes[0].text;
  // DXKeeper was told to close its log before anything was stored, and to reopen it only once the
  // whole run was stored: its own count of queue rows when each command arrived says so.
  const auto journal = sim.Journal();
  ASSERT_EQ(journal.size(), 2u);
  EXPECT_EQ(journal[0].command, "001closelog");
  EXPECT_EQ(journal[0].committedQueueRows, 1);
  EXPECT_EQ(journal[1].command, "001openlastlog");
  EXPECT_EQ(journal[1].committedQueueRows, log.Count("SELECT count(*) FROM PrintQueue"));
  EXPECT_EQ(journal[1].committedQueueRows, 2);
  ASSERT_GE(h.view.captions.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(h.view.captions.end() - 3, h.view.captions.end()),
            (std::vector<std::string>{"Zorvik 1.4.2 - (DXKeeper Running)",
                                      "Zorvik 1.4.2 - (DXKeeper UnAvail)",
                                      "Zorvik 1.4.2 - (DXKeeper Running)"}));
  EXPECT_EQ(h.view.billboard, "1 QSO records were loaded into the QSL queue.");
  EXPECT_EQ(h.view.queueCount, "2");
  EXPECT_EQ(log.Rows("SELECT Call, QSL_Rcvd FROM QSOs ORDER BY rowid"),
            (std::vector<std::vector<std::string>>{{"DL1XX", "R"}, {"MARKED", ""}}));
}

TEST(AddWithSim, QslModeRefusalSendsNothingAndChangesNothing) {
  SimEnvironment env;
  ScratchLog log;
  FillExampleLog(log);
  const std::string before = log.Dump();
  log.Disconnect();
  SimOptions options;
  options.log = log.Path();
  options.qslMode = "1";
  SimProcess sim(options);
  SimHarness h(log.Path());

  logdb::LoadQslQueue(h.ctx);

  ASSERT_EQ(h.dialogs.boxes.size(), 1u);
  EXPECT_EQ(h.dialogs.boxes[0].title, kAppTitle);
  EXPECT_NE(h.dialogs.boxes[0].text.find("'QSL via Cards' mode"), std::string::npos);
  EXPECT_TRUE(sim.JournalCommands().empty());
  EXPECT_EQ(h.dialogs.beeps, 0);
  EXPECT_EQ(log.Dump(), before);
}

}  // namespace
}  // namespace zorvik::logops_test
