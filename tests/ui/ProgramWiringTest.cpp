// The wiring both windows share: start-up opens the window or ends the program with no handler
// left to run, and the handlers' operations reach the host link and the log operations.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "FakeForm.h"
#include "support/FakeDialogs.h"
#include "support/FakeHost.h"
#include "support/TempFolder.h"
#include "ui/ProgramWiring.h"

namespace zorvik {
namespace {

using testing::FakeDde;
using testing::FakeDialogs;
using testing::FakeForm;
using testing::FakeSettings;

struct RecordingWindow : ui::StartupWindow {
  void ShowCentred() override { calls.push_back("show"); }
  void StopHandlers() override { calls.push_back("stop"); }
  std::vector<std::string> calls;
};

// A wiring over an in-process DXKeeper; `dde` and `settings` stay readable after the move.
struct Harness {
  explicit Harness(bool installed = true, bool running = true) {
    auto ownedDde = std::make_unique<FakeDde>();
    auto ownedSettings = std::make_unique<FakeSettings>();
    dde = ownedDde.get();
    dde->running = running;
    if (installed) ownedSettings->Set("LogPathName", "/home/op/DXKeeper/Databases/log.sqlite");
    wiring = std::make_unique<ui::ProgramWiring>(
        std::move(ownedDde), std::move(ownedSettings), dialogs, form,
        host::ProgramIdentity{"Zorvik", 1, 4, 2}, "/opt/zorvik");
  }
  FakeDialogs dialogs;
  FakeForm form;
  FakeDde* dde = nullptr;
  std::unique_ptr<ui::ProgramWiring> wiring;
};

TEST(ProgramWiring, StartOpensTheWindowOnlyWhenDXKeeperRuns) {
  const struct {
    const char* name;
    bool installed, running;
    ui::StartOutcome outcome;
    const char* windowCall;
  } cases[] = {
      {"not installed", false, true, ui::StartOutcome::kNotInstalled, "stop"},
      {"not running", true, false, ui::StartOutcome::kNotRunning, "stop"},
      {"running", true, true, ui::StartOutcome::kShowWindow, "show"},
  };
  for (const auto& c : cases) {
    Harness h(c.installed, c.running);
    RecordingWindow window;
    EXPECT_EQ(h.wiring->Start(window), c.outcome) << c.name;
    EXPECT_EQ(window.calls, std::vector<std::string>{c.windowCall}) << c.name;
    EXPECT_EQ(h.dialogs.boxes.size(), c.outcome == ui::StartOutcome::kShowWindow ? 0u : 1u)
        << c.name;
  }
}

TEST(ProgramWiring, OperationsReachTheHostLinkAndTheLog) {
  Harness h;
  RecordingWindow window;
  ASSERT_EQ(h.wiring->Start(window), ui::StartOutcome::kShowWindow);
  ui::Operations& ops = h.wiring->Ui().ops;
  ops.sendHostCommand("closelog");
  EXPECT_EQ(h.dde->journal, std::vector<std::string>{"001closelog"});
  EXPECT_EQ(h.form.view.captions.back(), "Zorvik 1.4.2 - (DXKeeper Running)");

  // The check's own handle opens the file as given and never creates it.
  const std::filesystem::path folder = testing::MakeTempFolder("zorvik-wiring");
  const std::string missing = (folder / "missing.sqlite").string();
  try {
    ops.openDatabase(missing);
    ADD_FAILURE() << "opened a missing log";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Number(), err::kFileNotFound);
  }
  EXPECT_FALSE(std::filesystem::exists(missing));
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace zorvik
