// Host faults with the real dxkeeper-sim over the real host link: DXKeeper refuses "closelog",
// quits or hangs in the middle of an Add, or is not in the QSL via Cards mode. The window must be
// free again after a bounded wait, the user sees the message the host link's conventions give,
// and the log holds exactly the complete additions (or nothing).
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <functional>

#include "FaultLogs.h"
#include "LogState.h"
#include "host/Platform.h"
#include "support/SimProcess.h"

namespace zorvik::reliability {
namespace {

using logops_test::ScratchLog;
using zorvik::testing::SimEnvironment;
using zorvik::testing::SimOptions;
using zorvik::testing::SimProcess;

constexpr int kEntities = 5;
// Every call on the link waits at most 3 s; a run makes at most three calls that can hang.
constexpr double kBoundSeconds = 3 * 3.0 + 2.0;

// The window's view, with a hook on the moment the log has been released to the run.
class WatchedView : public testing::FakeView {
 public:
  std::function<void()> onLogReleased;
  void SetCaption(const std::string& caption) override {
    FakeView::SetCaption(caption);
    if (onLogReleased && caption.ends_with(status::kUnavailable)) onLogReleased();
  }
};

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
  double TimedAdd() {
    const auto start = std::chrono::steady_clock::now();
    logdb::LoadQslQueue(ctx);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  ZorvikMod mod;
  std::unique_ptr<host::DdeClient> dde;
  std::unique_ptr<host::SettingsStore> settings;
  testing::FakeDialogs dialogs;
  WatchedView view;
  host::HostContext host;
  logdb::LogSession session;
  logdb::AppContext ctx;
};

enum class Fault { kRefusesCloselog, kQuitsWhileReleased, kHangsWhileReleased };

TEST(HostFaults, FaultsDuringAnAdd) {
  struct Case {
    const char* what;
    Fault fault;
    std::vector<std::string> received;  // by DXKeeper, in order
    std::string box;  // the one box shown, as "title|flags|" and the start of its text; or ""
  };
  const Case cases[] = {
      // A refused command is an expected answer: the run goes on without a word.
      {"refuses closelog", Fault::kRefusesCloselog, {"001closelog", "001openlastlog"}, ""},
      // Its conversation ended with it; the reopen finds none and is passed over.
      {"quits while the log is released", Fault::kQuitsWhileReleased, {"001closelog"}, ""},
      // The reopen gets no answer: a connect error after the link's wait.
      {"hangs while the log is released",
       Fault::kHangsWhileReleased,
       {"001closelog"},  // the reopen never reached it while it hung
       "Connect Error|16|error code: 286\r\nDescription: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SimEnvironment env;
    ScratchLog log;
    FillFaultLog(log, kEntities);
    log.Disconnect();
    const LogState before = ReadLogState(log.Path());
    SimOptions options;
    options.log = log.Path();
    options.call = "W1AW";
    if (c.fault == Fault::kRefusesCloselog) options.refuse = {"closelog"};
    SimProcess sim(options);
    SimHarness h(log.Path());
    bool stopped = false;
    if (c.fault == Fault::kQuitsWhileReleased) h.view.onLogReleased = [&] { sim.Stop(); };
    if (c.fault == Fault::kHangsWhileReleased) {
      h.view.onLogReleased = [&] { stopped = kill(static_cast<pid_t>(sim.Pid()), SIGSTOP) == 0; };
    }

    const double took = h.TimedAdd();
    const std::vector<std::string> received = sim.JournalCommands();
    if (stopped) kill(static_cast<pid_t>(sim.Pid()), SIGCONT);

    EXPECT_LT(took, kBoundSeconds);
    std::printf("host fault, %s: the Add took %.2f s\n", c.what, took);
    if (c.box.empty()) {
      EXPECT_TRUE(h.dialogs.boxes.empty()) << ShownBoxes(h.dialogs);
    } else {
      ASSERT_EQ(h.dialogs.boxes.size(), 1u) << ShownBoxes(h.dialogs);
      const auto& box = h.dialogs.boxes[0];
      const std::string shown = box.title + "|" + std::to_string(box.flags) + "|" + box.text;
      EXPECT_EQ(shown.rfind(c.box, 0), 0u) << ShownBoxes(h.dialogs);
    }
    EXPECT_EQ(received, c.received);
    EXPECT_EQ(h.view.captions.back(), "Zorvik 1.4.2 - (DXKeeper Running)");
    EXPECT_EQ(h.view.billboard, "5 QSO records were loaded into the QSL queue.");
    const AdditionCheck check = CheckCompleteAdditions(before, ReadLogState(log.Path()));
    EXPECT_TRUE(check.problems.empty()) << check.problems.front();
    EXPECT_EQ(check.added, kEntities);

    // Once DXKeeper answers again, the link works without a restart.
    if (c.fault == Fault::kHangsWhileReleased) {
      host::CheckHostRunning(h.host);
      EXPECT_TRUE(h.mod.HostRunning);
    }
  }
}

TEST(HostFaults, HungFromTheStartEndsWithinTheBound) {
  SimEnvironment env;
  ScratchLog log;
  FillFaultLog(log, kEntities);
  log.Disconnect();
  const std::string bytes = FileBytes(log.Path());
  SimOptions options;
  options.log = log.Path();
  options.mute = true;
  SimProcess sim(options);
  SimHarness h(log.Path());

  const double took = h.TimedAdd();

  EXPECT_LT(took, kBoundSeconds);
  std::printf("host fault, hung from the start: the Add took %.2f s\n", took);
  // The running check's connect error, then the Add action's own box for the QSL mode link.
  ASSERT_EQ(h.dialogs.boxes.size(), 2u) << ShownBoxes(h.dialogs);
  EXPECT_EQ(h.dialogs.boxes[0].title, "Connect Error");
  EXPECT_EQ(h.dialogs.boxes[0].text.rfind("error code: 286\r\n", 0), 0u);
  EXPECT_EQ(h.dialogs.boxes[1].title, "Error!");
  EXPECT_EQ(h.dialogs.boxes[1].text.rfind("Error code: 286\r\n", 0), 0u);
  EXPECT_EQ(h.view.billboard, "0 QSO records were loaded into the QSL queue.");
  EXPECT_EQ(FileBytes(log.Path()), bytes);
}

TEST(HostFaults, QslModeOtherThanCardsStopsBeforeAnything) {
  for (const std::string mode : {" ", "1", ""}) {
    SCOPED_TRACE("QSLMode \"" + mode + "\"");
    SimEnvironment env;
    ScratchLog log;
    FillFaultLog(log, kEntities);
    log.Disconnect();
    const std::string bytes = FileBytes(log.Path());
    SimOptions options;
    options.log = log.Path();
    options.qslMode = mode;
    SimProcess sim(options);
    SimHarness h(log.Path());

    const double took = h.TimedAdd();

    EXPECT_LT(took, kBoundSeconds);
    ASSERT_EQ(h.dialogs.boxes.size(), 1u) << ShownBoxes(h.dialogs);
    EXPECT_EQ(h.dialogs.boxes[0].title, kAppTitle);
    EXPECT_EQ(h.dialogs.boxes[0].flags, mb::kOkOnly);
    EXPECT_EQ(h.dialogs.boxes[0].text,
              "DXKeeper must be in 'QSL via Cards' mode for this function to work.\r\n"
              "           Please select the 'QSL via Cards' mode to continue.");
    EXPECT_TRUE(sim.JournalCommands().empty());
    EXPECT_EQ(h.dialogs.beeps, 0);
    EXPECT_EQ(h.view.billboardWrites, 0);
    EXPECT_EQ(FileBytes(log.Path()), bytes);
  }
}

}  // namespace
}  // namespace zorvik::reliability
