#include "host/HostMonitor.h"

#include <gtest/gtest.h>

#include "core/Failure.h"
#include "support/FakeDialogs.h"
#include "support/FakeHost.h"
#include "support/FakeView.h"

namespace zorvik::host {
namespace {

using testing::FakeDde;
using testing::FakeDialogs;
using testing::FakeSettings;
using testing::FakeView;

struct World {
  ZorvikMod mod;
  FakeDde dde;
  FakeSettings settings;
  FakeDialogs dialogs;
  FakeView view;
  HostContext ctx{mod, dde, settings, dialogs, view, ProgramIdentity{"Zorvik", 1, 4, 2}};
};

struct CheckCase {
  const char* name;
  bool running;
  std::string ddeCommand;
  std::optional<int> linkFailure;
  bool wantRunning;
  std::string wantStatus;  // empty: state and caption unchanged, connect box shown
};

TEST(CheckHostRunning, DecidesFromTheDdeCommandItem) {
  const CheckCase cases[] = {
      {"host up", true, "ready", std::nullopt, true, status::kRunning},
      {"host absent (282)", false, "ready", std::nullopt, false, status::kClosed},
      {"empty DDECommand", true, "", std::nullopt, false, status::kClosed},
      {"no answer in time (286)", true, "ready", err::kDdeTimeout, true, ""},
      {"refused link (285)", true, "ready", err::kDdeRefused, true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    World w;
    // A previous check found the host; a failing check must leave that as it was, and a
    // stale value in the text box must never count as a fresh answer.
    w.mod.HostRunning = true;
    w.mod.HostStatusText = status::kRunning;
    w.dde.text = "stale";
    w.dde.running = c.running;
    w.dde.items["DDECommand"] = c.ddeCommand;
    w.dde.linkFailure = c.linkFailure;

    CheckHostRunning(w.ctx);

    EXPECT_EQ(w.dde.topic, "DXKeeper|DDEServer");
    EXPECT_EQ(w.dde.item, "DDECommand");
    EXPECT_EQ(w.mod.HostRunning, c.wantRunning);
    if (c.wantStatus.empty()) {
      EXPECT_EQ(w.mod.HostStatusText, status::kRunning);
      EXPECT_TRUE(w.view.captions.empty());
      ASSERT_EQ(w.dialogs.boxes.size(), 1u);
      EXPECT_EQ(w.dialogs.boxes[0].title, "Connect Error");
      EXPECT_EQ(w.dialogs.boxes[0].flags, mb::kOkStop);
      EXPECT_EQ(w.dialogs.boxes[0].text,
                "error code: " + std::to_string(*c.linkFailure) + "\r\nDescription: link failure");
    } else {
      EXPECT_EQ(w.mod.HostStatusText, c.wantStatus);
      EXPECT_EQ(w.view.captions, std::vector<std::string>{"Zorvik 1.4.2 - " + c.wantStatus});
      EXPECT_TRUE(w.dialogs.boxes.empty());
    }
  }
}

TEST(SendHostCommand, ReportsOnlyUnexpectedFailures) {
  struct Case {
    const char* name;
    bool conversation;
    std::optional<int> executeFailure;
    bool wantBox;
  } const cases[] = {
      {"accepted", true, std::nullopt, false},
      {"refused (285)", true, err::kDdeRefused, false},
      {"no conversation (293)", false, std::nullopt, false},
      {"timeout (286)", true, err::kDdeTimeout, true},
      {"host quit mid-command (other number)", true, 291, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    World w;
    w.dde.conversation = c.conversation;
    w.dde.executeFailure = c.executeFailure;

    SendHostCommand(w.ctx, "closelog");

    if (c.conversation) {
      EXPECT_EQ(w.dde.journal, std::vector<std::string>{"001closelog"});
    }
    ASSERT_EQ(w.dialogs.boxes.size(), c.wantBox ? 1u : 0u);
    if (c.wantBox) {
      EXPECT_EQ(w.dialogs.boxes[0].title, "Connect Error");
      EXPECT_EQ(
          w.dialogs.boxes[0].text.rfind("error code: " + std::to_string(*c.executeFailure), 0), 0u);
    }
    EXPECT_TRUE(w.view.captions.empty());
  }
}

TEST(SendHostCommand, AfterAnAbsentHostIsSilent) {
  World w;
  w.dde.running = false;
  CheckHostRunning(w.ctx);
  SendHostCommand(w.ctx, "commandcomplete");
  EXPECT_TRUE(w.dde.journal.empty());
  EXPECT_TRUE(w.dialogs.boxes.empty());
}

TEST(ShowHostStatus, WritesNameVersionAndStatus) {
  const struct {
    ProgramIdentity identity;
    std::string status;
    std::string want;
  } cases[] = {
      {{"Zorvik", 1, 4, 2}, status::kRunning, "Zorvik 1.4.2 - (DXKeeper Running)"},
      {{"zorvik-dev", 10, 0, 12}, status::kUnavailable, "zorvik-dev 10.0.12 - (DXKeeper UnAvail)"},
      {{"Zorvik", 1, 4, 2}, "", "Zorvik 1.4.2 - "},
  };
  for (const auto& c : cases) {
    World w;
    w.ctx.identity = c.identity;
    w.mod.HostStatusText = c.status;
    ShowHostStatus(w.ctx);
    EXPECT_EQ(w.view.captions, std::vector<std::string>{c.want});
  }
}

TEST(ShowHostStatus, ReportsAFailingCaptionInTheStandardBox) {
  struct ThrowingView : FakeView {
    void SetCaption(const std::string&) override { throw Failure(7, "Out of memory"); }
  };
  World w;
  ThrowingView view;
  HostContext ctx{w.mod, w.dde, w.settings, w.dialogs, view, w.ctx.identity};
  ShowHostStatus(ctx);
  ASSERT_EQ(w.dialogs.boxes.size(), 1u);
  EXPECT_EQ(w.dialogs.boxes[0].text, "7 : Out of memory");
  EXPECT_EQ(w.dialogs.boxes[0].flags, mb::kOkOnly);
}

}  // namespace
}  // namespace zorvik::host
