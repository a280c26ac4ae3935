// Start-up and shutdown over the real host monitor with an in-process DXKeeper.

#include <gtest/gtest.h>

#include <chrono>

#include "FakeForm.h"
#include "OpsRecorder.h"
#include "core/DateText.h"
#include "core/LocalToday.h"
#include "support/FakeDialogs.h"
#include "support/FakeHost.h"
#include "ui/StartupShutdown.h"

namespace zorvik {
namespace {

using testing::FakeDde;
using testing::FakeDialogs;
using testing::FakeForm;
using testing::FakeSettings;
using testing::OpsRecorder;

constexpr const char* kBoxA =
    "DXKeeper Installation not found!\rDXKeeper must be installed for this utility to work.";
constexpr const char* kBoxB =
    "DXKeeper is not running!\rDXKeeper must be running for this utility to work.\r\r"
    "Zorvik will now Close!";

struct Harness {
  ZorvikMod mod;
  FakeDde dde;
  FakeSettings settings;
  FakeDialogs dialogs;
  FakeForm form;
  host::HostContext host{mod, dde, settings, dialogs, form, {"Zorvik", 1, 4, 2}};
  OpsRecorder rec;
  ui::UiContext ctx{host, form, rec.Bind(host), "/opt/zorvik", {}};

  Harness() {
    settings.Set("LogPathName", "/home/op/DXKeeper/Databases/log.sqlite");
    settings.Set("CallSign", "DL1ABC");
  }
};

TEST(FormLoad, RefusesToStartWithoutHostAndSaysWhy) {
  struct Case {
    const char* name;
    bool installed;
    bool running;
    const char* ddeCommand;
    std::optional<int> linkFailure;
    ui::StartOutcome outcome;
    std::vector<FakeDialogs::Box> boxes;
    bool hostContacted;
  };
  const std::vector<Case> cases = {
      {"not installed",
       false,
       true,
       "ready",
       {},
       ui::StartOutcome::kNotInstalled,
       {{kBoxA, 48, "Zorvik"}},
       false},
      {"not running",
       true,
       false,
       "ready",
       {},
       ui::StartOutcome::kNotRunning,
       {{kBoxB, 48, "Zorvik - Critical Error!"}},
       true},
      {"empty DDECommand",
       true,
       true,
       "",
       {},
       ui::StartOutcome::kNotRunning,
       {{kBoxB, 48, "Zorvik - Critical Error!"}},
       true},
      {"connect error",
       true,
       true,
       "ready",
       err::kDdeTimeout,
       ui::StartOutcome::kNotRunning,
       {{"error code: 286\r\nDescription: link failure", 16, "Connect Error"},
        {kBoxB, 48, "Zorvik - Critical Error!"}},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    if (!c.installed) h.settings.values.clear();
    h.dde.running = c.running;
    h.dde.items["DDECommand"] = c.ddeCommand;
    h.dde.linkFailure = c.linkFailure;

    EXPECT_EQ(ui::FormLoad(h.ctx), c.outcome);

    ASSERT_EQ(h.dialogs.boxes.size(), c.boxes.size());
    for (size_t i = 0; i < c.boxes.size(); ++i) {
      EXPECT_EQ(h.dialogs.boxes[i].text, c.boxes[i].text);
      EXPECT_EQ(h.dialogs.boxes[i].flags, c.boxes[i].flags);
      EXPECT_EQ(h.dialogs.boxes[i].title, c.boxes[i].title);
    }
    EXPECT_EQ(h.dde.topic.empty(), !c.hostContacted);
    // Nothing of the set-up happens, and no command may reach DXKeeper.
    EXPECT_TRUE(h.form.view.billboard.empty());
    EXPECT_TRUE(h.dde.journal.empty());
    EXPECT_NE(ui::ExitStatus(c.outcome), 0);
  }
}

TEST(FormLoad, HostUpSetsUpTheWindow) {
  Harness h;
  ASSERT_EQ(ui::FormLoad(h.ctx), ui::StartOutcome::kShowWindow);

  EXPECT_TRUE(h.dialogs.boxes.empty());
  ASSERT_FALSE(h.form.view.captions.empty());
  EXPECT_EQ(h.form.view.captions.back(), "Zorvik 1.4.2 - (DXKeeper Running)");
  EXPECT_EQ(h.form.view.billboard,
            "* * * Warning * * *\r\nBackup your database!\r\n\r\n"
            "Before using this utility read the Help file carefully.\r\n\r\n"
            "This utility only works in the 'QSL via Cards' mode");
  ASSERT_EQ(h.form.looks.size(), 1u);
  EXPECT_TRUE(h.form.looks[0].centred);
  EXPECT_EQ(h.form.looks[0].pointSize, 11);
  EXPECT_TRUE(h.mod.BillboardNeedsReset);
  EXPECT_EQ(h.form.view.databaseField, "/home/op/DXKeeper/Databases/log.sqlite");
  EXPECT_EQ(h.mod.HostCallSign, "DL1ABC");
  EXPECT_EQ(ui::ExitStatus(ui::StartOutcome::kShowWindow), 0);
}

TEST(FormLoad, StopDateIsTodayInTheLocalesShortForm) {
  using namespace std::chrono;
  const struct {
    const char* pattern;
    const char* shown;
  } cases[] = {{"M/d/yyyy", "2/29/2016"},
               {"dd.MM.yyyy", "29.02.2016"},
               {"yyyy-MM-dd", "2016-02-29"},
               {"d/M/yyyy", "29/2/2016"},
               {"d MMM yyyy", "29 Feb 2016"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern);
    SetShortDatePattern(c.pattern);
    Harness h;
    ASSERT_EQ(ui::FormLoad(h.ctx, sys_days{2016y / 2 / 29}), ui::StartOutcome::kShowWindow);
    EXPECT_EQ(h.form.view.stopDate, c.shown);
    EXPECT_EQ(ParseDateText(h.form.view.stopDate), sys_days{2016y / 2 / 29});
  }
  SetShortDatePattern("M/d/yyyy");

  // Left to itself, the window starts from today on the user's calendar.
  Harness h;
  const sys_days before = LocalToday();
  ASSERT_EQ(ui::FormLoad(h.ctx), ui::StartOutcome::kShowWindow);
  const sys_days shown = ParseDateText(h.form.view.stopDate);
  EXPECT_TRUE(shown == before || shown == LocalToday()) << h.form.view.stopDate;
}

TEST(FormLoad, MissingCallSignStillStarts) {
  Harness h;
  h.settings.values.erase({"DXKeeper", "Configuration", "CallSign"});
  EXPECT_EQ(ui::FormLoad(h.ctx), ui::StartOutcome::kShowWindow);
  EXPECT_EQ(h.mod.HostCallSign, "");
  EXPECT_TRUE(h.dialogs.boxes.empty());
}

TEST(FormUnload, SendsCommandCompleteThenClosesSets) {
  struct Case {
    const char* name;
    bool hostQuitAfterStart;
    std::optional<int> executeFailure;
    std::vector<std::string> journal;
    size_t boxes;
  };
  const std::vector<Case> cases = {
      {"host up", false, {}, {"001commandcomplete"}, 0},
      {"host refused", false, err::kDdeRefused, {"001commandcomplete"}, 0},
      {"host quit", true, {}, {}, 0},
      {"connect error", false, err::kDdeTimeout, {"001commandcomplete"}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    ASSERT_EQ(ui::FormLoad(h.ctx), ui::StartOutcome::kShowWindow);
    if (c.hostQuitAfterStart) h.dde.conversation = false;
    h.dde.executeFailure = c.executeFailure;
    h.rec.calls.clear();

    ui::FormUnload(h.ctx);

    EXPECT_EQ(h.dde.journal, c.journal);
    EXPECT_EQ(h.dialogs.boxes.size(), c.boxes);
    EXPECT_EQ(h.rec.calls, (std::vector<std::string>{"send commandcomplete", "closeAllSets"}));
  }
}

}  // namespace
}  // namespace zorvik
