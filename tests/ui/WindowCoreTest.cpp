// The window core without a window: the form over a toolkit's controls, the event order it keeps,
// busy and unload, and the places and tab order it works out from the design. The windows' own
// tests (tests/ui/qt, tests/ui/win) drive the same through real input.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "OpsRecorder.h"
#include "core/DateText.h"
#include "support/FakeDialogs.h"
#include "support/FakeHost.h"
#include "ui/UiContext.h"
#include "ui/WindowCore.h"
#include "ui/WindowLayout.h"

namespace zorvik {
namespace {

namespace design = ui::design;
using ui::PixelRect;

// Controls as plain values; every toolkit call that matters to the order is written to `log`.
class FakeToolkit : public ui::WindowToolkit {
 public:
  std::string Text(const design::Control& c) const override {
    const auto it = texts.find(&c);
    return it == texts.end() ? std::string() : it->second;
  }
  void SetText(const design::Control& c, const std::string& text) override { texts[&c] = text; }
  bool IsChecked(const design::Control& c) const override {
    return &c == option || (&c == &design::kChkOps && allOps);
  }
  void CheckOption(const design::Control& o) override { option = &o; }
  void SetCaption(const std::string&) override {}
  const design::Control* FocusedControl() const override { return focus; }
  void Focus(const design::Control& c) override {
    focus = &c;
    log.push_back(std::string("focus ") + c.name);
  }
  bool MouseButtonDown() const override { return buttonDown; }
  void ShowBusy(bool busy) override {
    log.push_back(busy ? "busy" : "not busy");
    if (busy) focus = nullptr;  // the window, disabled, takes the focus from its control
  }
  void DiscardWaitingInput() override { log.push_back("discard"); }
  void SetBillboardLook(const ui::BillboardLook&) override {}
  bool SetBillboardPoints(double points) override {
    tried.push_back(points);
    return points <= fitsAt;
  }

  std::map<const design::Control*, std::string> texts;
  const design::Control* option = nullptr;
  bool allOps = false;
  const design::Control* focus = nullptr;
  bool buttonDown = true;
  double fitsAt = 99;
  std::vector<double> tried;
  std::vector<std::string> log;
};

struct Harness {
  ZorvikMod mod;
  testing::FakeDde dde;
  testing::FakeSettings settings;
  testing::FakeDialogs dialogs;
  FakeToolkit toolkit;
  ui::WindowCore core{toolkit};
  host::HostContext host{mod, dde, settings, dialogs, core, {"Zorvik", 1, 4, 2}};
  testing::OpsRecorder rec;
  ui::UiContext ctx{host, core, rec.Bind(host), "/opt/zorvik", {}};

  Harness() {
    SetShortDatePattern("M/d/yyyy");
    core.Attach(ctx);
    toolkit.texts[&design::kTxtCall] = "/logs/log.sqlite";
    toolkit.texts[&design::kTDate] = "12/31/2015";
    toolkit.focus = &design::kTxtCall;
  }
};

// Where the check of the database field leaves the next press, by what the check did and by the
// mouse button.
TEST(WindowCore, APressThatLeftTheFieldIsHandedOnOnlyAfterAPassingCheckWithTheButtonDown) {
  const struct {
    const char* what;
    bool opens;       // the field's path opens as a log
    bool buttonDown;  // after the check
    bool pressHandedOn, releaseHandedOn, hintRuns;
  } cases[] = {
      {"check passes, button still down", true, true, true, true, true},
      {"check passes, a box took the release", true, false, false, true, false},
      {"check refuses", false, true, false, false, false},
      {"check refuses, a box took the release", false, false, false, false, false},
  };
  for (const auto& c : cases) {
    Harness h;
    if (!c.opens) h.rec.openFailure = Failure(3024, "Could not find file.");
    h.toolkit.buttonDown = c.buttonDown;
    h.core.FieldLeftByPress();
    EXPECT_EQ(h.toolkit.focus, c.opens ? &design::kCmdOk : &design::kTxtCall) << c.what;
    EXPECT_EQ(h.core.PressArrives(&design::kOptCleanLog), c.pressHandedOn) << c.what;
    EXPECT_EQ(h.core.ReleaseArrives(), c.releaseHandedOn) << c.what;
    h.core.ReleaseHandled(&design::kOptCleanLog);
    EXPECT_EQ(h.toolkit.texts[&design::kBillBoard].starts_with("This option will clean-up"),
              c.hintRuns)
        << c.what;
    // Whatever became of it, the next click is the user's own again.
    EXPECT_TRUE(h.core.PressArrives(&design::kChkOps)) << c.what;
    EXPECT_TRUE(h.core.ReleaseArrives()) << c.what;
  }
}

TEST(WindowCore, AHintRunsOnlyForTheReleaseOfItsOwnPress) {
  Harness h;
  h.toolkit.focus = &design::kHelp;
  h.core.ReleaseHandled(&design::kOptAdd);  // its press was never seen (dropped while busy)
  EXPECT_TRUE(h.toolkit.texts[&design::kBillBoard].empty());
  ASSERT_TRUE(h.core.PressArrives(&design::kOptAdd));
  h.core.ReleaseHandled(&design::kOptRefresh);  // released over another control
  EXPECT_TRUE(h.toolkit.texts[&design::kBillBoard].empty());
  ASSERT_TRUE(h.core.PressArrives(&design::kOptRefresh));
  h.core.ReleaseHandled(&design::kOptRefresh);
  EXPECT_EQ(h.toolkit.texts[&design::kBillBoard], "The QSO counter was refreshed");
}

TEST(WindowCore, UnloadRunsOnceAndNeverWhileSomethingWorks) {
  Harness h;
  std::vector<bool> refused;
  h.ctx.ops.loadQslQueue = [&] {
    h.rec.calls.push_back("loadQslQueue");
    refused.push_back(!h.core.Unload());  // in a handler
    h.core.BeginBusy();
    refused.push_back(!h.core.MayEnd());
    h.core.EndBusy();
  };
  h.toolkit.option = &design::kOptAdd;
  h.core.ButtonClicked(design::kCmdOk);
  EXPECT_EQ(refused, (std::vector<bool>{true, true}));
  EXPECT_EQ(h.rec.calls, std::vector<std::string>{"loadQslQueue"});
  EXPECT_TRUE(h.core.Unload());
  EXPECT_TRUE(h.core.Unload());
  EXPECT_EQ(h.rec.calls,
            (std::vector<std::string>{"loadQslQueue", "send commandcomplete", "closeAllSets"}));
  // After it nothing runs.
  h.rec.calls.clear();
  h.core.ButtonClicked(design::kCmdOk);
  h.core.FieldLeftByKey();
  EXPECT_TRUE(h.rec.calls.empty());

  Harness stopped;  // the program ended at once: closing it tells DXKeeper nothing
  stopped.core.Detach();
  EXPECT_TRUE(stopped.core.Unload());
  EXPECT_TRUE(stopped.rec.calls.empty());
}

// What the window takes while an action works, and where the focus goes when it is done.
TEST(WindowCore, ABusyActionDropsInputThenGivesTheFocusBack) {
  const struct {
    const char* what;
    const design::Control* focusBefore;
    bool askOkWhileBusy;
    const char* focusAfter;  // the last focus move, or none
  } cases[] = {
      {"focus comes back", &design::kCmdOk, false, "focus cmdOK"},
      {"a handler asked for OK meanwhile", &design::kTxtCall, true, "focus cmdOK"},
      {"nothing had it", nullptr, false, nullptr},
  };
  for (const auto& c : cases) {
    Harness h;
    h.toolkit.focus = c.focusBefore;
    h.core.BeginBusy();
    h.core.BeginBusy();  // nested: one busy look, one discard
    EXPECT_TRUE(h.core.Busy());
    if (c.askOkWhileBusy) h.core.FocusOk();
    // Input that reaches the window now runs nothing and voids nothing.
    EXPECT_FALSE(h.core.PressArrives(&design::kCmdOk)) << c.what;
    EXPECT_FALSE(h.core.ReleaseArrives()) << c.what;
    h.core.ButtonClicked(design::kCmdOk);
    h.core.FieldLeftByKey();
    EXPECT_FALSE(h.core.UserMovesFocus()) << c.what;
    h.core.EndBusy();
    EXPECT_TRUE(h.core.Busy());
    h.core.EndBusy();
    h.core.EndBusy();  // one too many changes nothing
    EXPECT_FALSE(h.core.Busy());
    std::vector<std::string> expected = {"busy", "discard", "not busy"};
    if (c.focusAfter) expected.push_back(c.focusAfter);
    EXPECT_EQ(h.toolkit.log, expected) << c.what;
    EXPECT_TRUE(h.rec.calls.empty()) << c.what;
    EXPECT_TRUE(h.core.PressArrives(&design::kCmdOk)) << c.what;
  }
}

// A message that does not fit the billboard at its style's size is drawn a quarter point smaller
// at a time, down to 6 pt, whatever the window.
TEST(WindowCore, TheBillboardShrinksToFitDownToSixPoints) {
  const struct {
    int stylePoints;
    double fitsAt;
    double shownAt;
  } cases[] = {{8, 99, 8}, {8, 7.5, 7.5}, {11, 9.25, 9.25}, {11, 0, 6}, {8, 6, 6}};
  for (const auto& c : cases) {
    Harness h;
    h.toolkit.fitsAt = c.fitsAt;
    h.core.ApplyBillboardLook({.centred = true, .pointSize = c.stylePoints});
    h.toolkit.tried.clear();
    h.core.SetBillboard("long message");
    ASSERT_FALSE(h.toolkit.tried.empty());
    EXPECT_EQ(h.toolkit.tried.front(), c.stylePoints) << c.stylePoints << " / " << c.fitsAt;
    EXPECT_EQ(h.toolkit.tried.back(), c.shownAt) << c.stylePoints << " / " << c.fitsAt;
    EXPECT_EQ(h.toolkit.tried.size(),
              static_cast<std::size_t>((c.stylePoints - c.shownAt) * 4 + 1));
  }
}

// Tab visits the controls that take the focus by the form's tab indexes; of the Action frame only
// the selected option (the first before any is selected), so Tab enters the frame where the form
// puts that option.
TEST(WindowLayout, TabFollowsTheFormsTabIndexes) {
  const struct {
    const design::Control* selected;
    std::vector<const char*> forward;  // from Help, round to Help
  } cases[] = {
      {nullptr, {"Help", "txtCall", "OptAdd", "cmdOK", "chkOps", "fDate", "tDate", "Help"}},
      {&design::kOptAdd,
       {"Help", "txtCall", "OptAdd", "cmdOK", "chkOps", "fDate", "tDate", "Help"}},
      {&design::kOptCleanLog,
       {"Help", "txtCall", "cmdOK", "chkOps", "fDate", "tDate", "OptCleanLog", "Help"}},
      {&design::kOptRefresh,
       {"Help", "txtCall", "cmdOK", "chkOps", "fDate", "tDate", "OptRefresh", "Help"}},
  };
  for (const auto& c : cases) {
    const std::string selected = c.selected ? c.selected->name : "none";
    const design::Control* at = &design::kHelp;
    std::vector<const char*> forward = {at->name};
    for (std::size_t i = 1; i < c.forward.size(); ++i) {
      at = &ui::NextTabStop(at, true, c.selected);
      forward.push_back(at->name);
    }
    std::vector<const char*> backward = {at->name};
    for (std::size_t i = 1; i < c.forward.size(); ++i) {
      at = &ui::NextTabStop(at, false, c.selected);
      backward.push_back(at->name);
    }
    EXPECT_EQ(std::vector<std::string>(forward.begin(), forward.end()),
              std::vector<std::string>(c.forward.begin(), c.forward.end()))
        << selected;
    EXPECT_EQ(std::vector<std::string>(backward.rbegin(), backward.rend()),
              std::vector<std::string>(c.forward.begin(), c.forward.end()))
        << selected;
  }
  // From a control Tab does not stop at (an option not selected, a label), and from none.
  EXPECT_STREQ(ui::NextTabStop(&design::kOptRefresh, true, &design::kOptAdd).name, "Help");
  EXPECT_STREQ(ui::NextTabStop(&design::kLabel3, true, &design::kOptAdd).name, "chkOps");
  EXPECT_STREQ(ui::NextTabStop(nullptr, true, nullptr).name, "Help");
  EXPECT_STREQ(ui::NextTabStop(nullptr, false, nullptr).name, "tDate");
}

TEST(WindowLayout, PlacesComeFromTheTwips) {
  const struct {
    const design::Control* control;
    double dpi;
    PixelRect place;
  } cases[] = {
      // At 96 DPI one pixel is 15 twips; the options sit in the Action frame (3000, 1050).
      {&design::kTxtCall, 96, {9, 34, 284, 19}},
      // Add's box reaches 8 pixels into Refresh's, Refresh's one into Log Clean's: each ends where
      // the next one begins.
      {&design::kOptAdd, 96, {207, 84, 78, 28}},
      {&design::kOptRefresh, 96, {207, 112, 78, 21}},
      {&design::kOptCleanLog, 96, {207, 133, 78, 22}},
      // At 144 DPI one pixel is 10 twips.
      {&design::kOptAdd, 144, {311, 126, 117, 42}},
      {&design::kCmdOk, 144, {300, 311, 50, 35}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ui::PlaceOf(*c.control, c.dpi), c.place) << c.control->name << " at " << c.dpi;
  }
  // The frame lines are one pixel wide at any DPI.
  EXPECT_EQ(ui::PlaceOf(design::kLines[0], 96), (PixelRect{10, 60, 181, 1}));
  EXPECT_EQ(ui::PlaceOf(design::kLines[1], 144), (PixelRect{285, 90, 1, 203}));
}

}  // namespace
}  // namespace zorvik
