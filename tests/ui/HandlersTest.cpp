// The OK, Help and database-field handlers, the option hints and the billboard styles, without a
// window.

#include <gtest/gtest.h>

#include "FakeForm.h"
#include "OpsRecorder.h"
#include "core/DateText.h"
#include "support/FakeDialogs.h"
#include "support/FakeHost.h"
#include "ui/ActionHandlers.h"
#include "ui/BillboardStyle.h"
#include "ui/OptionHints.h"

namespace zorvik {
namespace {

using testing::FakeDde;
using testing::FakeDialogs;
using testing::FakeForm;
using testing::FakeSettings;
using testing::OpsRecorder;

constexpr const char* kUsageNote =
    "For this utility to function properly it requires DXKeeper to be running. QSOs may be added "
    "with this utility, but they can only be removed with the 'Clear' button in DXKeeper's QSL "
    "tab. See the Help file for additional information and instructions.";

const ui::BillboardLook kNormal{false, 8, 0, 0, 128};
const ui::BillboardLook kAlert{true, 11, 192, 0, 0};

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
    SetShortDatePattern("M/d/yyyy");
    mod.LogPathName = "/home/op/DXKeeper/Databases/log.sqlite";
    form.view.databaseField = mod.LogPathName;
  }
};

TEST(SetBillboardStyle, AppliesOnlyTheTwoKnownStyles) {
  const std::vector<std::pair<std::int16_t, std::vector<ui::BillboardLook>>> cases = {
      {0, {kNormal}}, {1, {kAlert}}, {2, {}}, {-1, {}}};
  for (const auto& [style, looks] : cases) {
    FakeForm form;
    ui::SetBillboardStyle(form, style);
    EXPECT_EQ(form.looks, looks) << "style " << style;
    EXPECT_EQ(form.view.billboardWrites, 0) << "style " << style;
  }
}

TEST(CmdOkClick, EmptyFieldIsRefusedAndRunsNothing) {
  Harness h;
  h.form.view.databaseField = "";
  h.form.action = ui::Action::kAdd;
  h.mod.StopDatePlusOne = "before";

  ui::CmdOkClick(h.ctx);

  ASSERT_EQ(h.dialogs.boxes.size(), 1u);
  EXPECT_EQ(h.dialogs.boxes[0].text,
            "The Call Sign field can not be empty!\r\nPlease enter a call sign.");
  EXPECT_EQ(h.dialogs.boxes[0].flags, 48);
  EXPECT_EQ(h.dialogs.boxes[0].title, "Data Missing");
  EXPECT_EQ(h.form.focus, "txtCall");
  EXPECT_TRUE(h.rec.calls.empty());
  EXPECT_EQ(h.mod.StopDatePlusOne, "before");
}

TEST(CmdOkClick, StoresTheDayAfterTheStopDate) {
  const std::vector<std::pair<const char*, const char*>> cases = {{"12/31/2015", "1/1/2016"},
                                                                  {"2/28/2016", "2/29/2016"},
                                                                  {"2/28/2015", "3/1/2015"},
                                                                  {"1/31/2016", "2/1/2016"},
                                                                  {"4/30/2024", "5/1/2024"}};
  for (const auto& [stop, next] : cases) {
    Harness h;
    h.form.view.stopDate = stop;
    ui::CmdOkClick(h.ctx);
    EXPECT_EQ(h.mod.StopDatePlusOne, next) << stop;
    EXPECT_TRUE(h.dialogs.boxes.empty()) << stop;
  }
}

TEST(CmdOkClick, RunsTheSelectedAction) {
  const std::vector<std::pair<ui::Action, std::vector<std::string>>> cases = {
      {ui::Action::kAdd, {"loadQslQueue"}},
      {ui::Action::kCleanLog, {"cleanLog"}},
      {ui::Action::kRefresh, {}},
      {ui::Action::kNone, {}}};
  for (const auto& [action, calls] : cases) {
    Harness h;
    h.form.action = action;
    ui::CmdOkClick(h.ctx);
    EXPECT_EQ(h.rec.calls, calls) << static_cast<int>(action);
    EXPECT_EQ(h.mod.StopDatePlusOne, "1/1/2016");
  }
}

TEST(CmdOkClick, StopDateThatIsNoDateIsReportedAndNothingRuns) {
  Harness h;
  h.form.action = ui::Action::kAdd;
  h.form.view.stopDate = "someday";
  h.mod.StopDatePlusOne = "before";

  ui::CmdOkClick(h.ctx);

  ASSERT_EQ(h.dialogs.boxes.size(), 1u);
  EXPECT_EQ(h.dialogs.boxes[0].text.rfind("13 : ", 0), 0u) << h.dialogs.boxes[0].text;
  EXPECT_EQ(h.dialogs.boxes[0].flags, 0);
  EXPECT_EQ(h.dialogs.boxes[0].title, "Zorvik");
  EXPECT_TRUE(h.rec.calls.empty());
  EXPECT_EQ(h.mod.StopDatePlusOne, "before");
}

TEST(CmdOkClick, FailureEscapingTheActionIsReportedExceptObjectNotSet) {
  for (const auto& [number, boxes] : std::vector<std::pair<int, size_t>>{{91, 0}, {3026, 1}}) {
    Harness h;
    h.form.action = ui::Action::kAdd;
    h.rec.actionFailure = Failure(number, "failed");
    ui::CmdOkClick(h.ctx);
    EXPECT_EQ(h.dialogs.boxes.size(), boxes) << number;
  }
}

TEST(HelpClick, OpensThePageBesideTheProgram) {
  const std::pair<const char*, const char*> cases[] = {
      {"/opt/zorvik", "/opt/zorvik/help/ZorvikHelp.htm"},
      {"C:\\Program Files\\Zorvik", "C:\\Program Files\\Zorvik\\help\\ZorvikHelp.htm"},
  };
  for (const auto& [folder, page] : cases) {
    Harness h;
    h.ctx.programFolder = folder;
    ui::HelpClick(h.ctx);
    EXPECT_EQ(h.dialogs.helpPages, std::vector<std::string>{page});
    EXPECT_TRUE(h.dialogs.boxes.empty());
    EXPECT_EQ(h.form.view.billboardWrites, 0);
  }
}

TEST(HelpClick, SaysSoWhenNoViewerStarts) {
  struct NoViewer : FakeDialogs {
    bool OpenHelpPage(const std::string& path) override {
      FakeDialogs::OpenHelpPage(path);
      return false;
    }
  };
  NoViewer dialogs;
  Harness h;
  host::HostContext host{h.mod, h.dde, h.settings, dialogs, h.form, {}};
  ui::UiContext ctx{host, h.form, h.rec.Bind(host), "/opt/zorvik", {}};
  ui::HelpClick(ctx);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_NE(dialogs.boxes[0].text.find("/opt/zorvik/help/ZorvikHelp.htm"), std::string::npos);
}

TEST(DialogStartFolderOf, CutsBeforeTheDatabasesFolder) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"C:\\DXLab\\DXKeeper\\Databases\\log.mdb", "C:\\DXLab\\DXKeeper\\"},
      {"/home/op/DXKeeper/Databases/log.sqlite", "/home/op/DXKeeper/"},
      {"/a/Databases/b/Databases/log.sqlite", "/a/"},
      {"/home/op/logs/log.sqlite", ""},
      {"/home/op/databases/log.sqlite", ""},  // the folder name's case counts
      {"/home/op/Databases", ""},             // a folder, not a file in it
      {"", ""},
  };
  for (const auto& [path, folder] : cases) EXPECT_EQ(ui::DialogStartFolderOf(path), folder) << path;
}

TEST(TxtCallLostFocus, GoodDatabaseResetsBillboardRecountsAndSelectsAdd) {
  Harness h;
  h.mod.BillboardNeedsReset = true;
  h.form.view.databaseField = "/tmp/other.sqlite";

  ui::TxtCallLostFocus(h.ctx);

  EXPECT_TRUE(h.dialogs.boxes.empty());
  EXPECT_EQ(h.rec.calls,
            (std::vector<std::string>{"openDatabase /tmp/other.sqlite", "showQueueCount"}));
  EXPECT_EQ(h.form.looks, std::vector<ui::BillboardLook>{kNormal});
  EXPECT_FALSE(h.mod.BillboardNeedsReset);
  EXPECT_EQ(h.form.view.billboard, kUsageNote);
  EXPECT_EQ(h.form.action, ui::Action::kAdd);
  EXPECT_EQ(h.form.focus, "cmdOK");
}

TEST(TxtCallLostFocus, RefusedPathChangesNothingButTheFocus) {
  struct Case {
    const char* name;
    std::string field;
    std::optional<Failure> openFailure;
    FakeDialogs::Box box;
  };
  const std::vector<Case> cases = {
      {"empty",
       "",
       {},
       {"The Database field can not be empty!\r\nPlease enter a valid path & Name for a "
        "database\r\nor double-click the database window to select one.",
        48, "Data Missing"}},
      {"missing file",
       "/no/such.sqlite",
       Failure(3024, "Could not find file '/no/such.sqlite'."),
       {"Error code: 3024\r\nDescription: Could not find file '/no/such.sqlite'.", 64,
        "Connect Error"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    h.mod.BillboardNeedsReset = true;
    h.form.view.databaseField = c.field;
    h.form.view.billboard = "warning";
    h.rec.openFailure = c.openFailure;

    ui::TxtCallLostFocus(h.ctx);

    ASSERT_EQ(h.dialogs.boxes.size(), 1u);
    EXPECT_EQ(h.dialogs.boxes[0].text, c.box.text);
    EXPECT_EQ(h.dialogs.boxes[0].flags, c.box.flags);
    EXPECT_EQ(h.dialogs.boxes[0].title, c.box.title);
    EXPECT_EQ(h.form.focus, "txtCall");
    EXPECT_EQ(h.form.view.databaseField, c.field);
    EXPECT_EQ(h.form.view.billboard, "warning");
    EXPECT_TRUE(h.form.looks.empty());
    EXPECT_TRUE(h.mod.BillboardNeedsReset);
    EXPECT_EQ(h.form.action, ui::Action::kNone);
    for (const std::string& call : h.rec.calls) EXPECT_NE(call, "showQueueCount");
  }
}

TEST(TxtCallDblClick, ChosenFileIsPutInTheFieldAndChecked) {
  Harness h;
  h.dialogs.openResults.push_back("/data/chosen.sqlite");

  ui::TxtCallDblClick(h.ctx);

  EXPECT_EQ(h.dialogs.openFolders, std::vector<std::string>{"/home/op/DXKeeper/"});
  EXPECT_EQ(h.mod.DialogStartFolder, "/home/op/DXKeeper/");
  EXPECT_EQ(h.form.view.databaseField, "/data/chosen.sqlite");
  EXPECT_EQ(h.rec.calls,
            (std::vector<std::string>{"openDatabase /data/chosen.sqlite", "showQueueCount"}));
  EXPECT_EQ(h.form.focus, "cmdOK");
}

TEST(TxtCallDblClick, CancelPutsBackTheDialogsLastChoice) {
  // First cancel: the dialog has no file name yet, so the field empties and "Data Missing" follows.
  Harness h;
  h.form.view.databaseField = "/data/typed.sqlite";
  h.dialogs.openResults.push_back(std::nullopt);
  ui::TxtCallDblClick(h.ctx);
  EXPECT_EQ(h.form.view.databaseField, "");
  ASSERT_EQ(h.dialogs.boxes.size(), 1u);
  EXPECT_EQ(h.dialogs.boxes[0].title, "Data Missing");
  EXPECT_EQ(h.form.focus, "txtCall");

  // After a choice, a cancel brings the chosen file back and checks it again.
  h.dialogs.openResults.push_back("/data/chosen.sqlite");
  ui::TxtCallDblClick(h.ctx);
  h.form.view.databaseField = "/data/typed-later.sqlite";
  h.dialogs.openResults.push_back(std::nullopt);
  h.rec.calls.clear();
  ui::TxtCallDblClick(h.ctx);
  EXPECT_EQ(h.form.view.databaseField, "/data/chosen.sqlite");
  EXPECT_EQ(h.rec.calls,
            (std::vector<std::string>{"openDatabase /data/chosen.sqlite", "showQueueCount"}));
  // Each dialog opened on the file chosen before it, none before the first choice.
  EXPECT_EQ(h.dialogs.openFiles, (std::vector<std::string>{"", "", "/data/chosen.sqlite"}));
}

TEST(TxtCallDblClick, LogOutsideADatabasesFolderOpensTheDefaultFolder) {
  Harness h;
  h.mod.LogPathName = "/srv/logs/log.sqlite";
  ui::TxtCallDblClick(h.ctx);
  EXPECT_EQ(h.dialogs.openFolders, std::vector<std::string>{""});
}

using HintHandler = void (*)(ui::UiContext&);

TEST(OptionHints, ShowTheirTextAndLeaveTheStartupStyleOnce) {
  struct Case {
    const char* name;
    HintHandler handler;
    std::string text;
    std::vector<std::string> calls;
  };
  const std::vector<Case> cases = {
      {"chkOps",
       ui::ChkOpsMouseUp,
       "When checked, this selection will include all the operators in the current database. If "
       "unchecked only the  call sign, desiginated in DXKeeper will be used for any of the "
       "functions shown in the action group.",
       {}},
      {"OptAdd",
       ui::OptAddMouseUp,
       "When checked, this selection will add Bands / Modes QSOs to the QSL Queue. \r\n\r\n"
       "Entries may only be removed by pressing the 'Clear' button in DXkeeper's QSL tab.",
       {}},
      {"OptCleanLog",
       ui::OptCleanLogMouseUp,
       "This option will clean-up the QSO log prior to using Zorvik. Before using this option "
       "read and understand the help file section titled Log Clean-Up. This option should only "
       "be required once per log if at all. \r\n\r\nSee Help file for detailed instructions",
       {}},
      {"OptRefresh", ui::OptRefreshMouseUp, "The QSO counter was refreshed", {"showQueueCount"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    h.mod.BillboardNeedsReset = true;

    c.handler(h.ctx);
    EXPECT_EQ(h.form.view.billboard, c.text);
    EXPECT_EQ(h.form.looks, std::vector<ui::BillboardLook>{kNormal});
    EXPECT_FALSE(h.mod.BillboardNeedsReset);
    EXPECT_EQ(h.rec.calls, c.calls);
    // Only the recount is an action: the window is busy while it runs.
    EXPECT_EQ(h.form.view.busyCount, c.calls.empty() ? 0 : 1);
    EXPECT_EQ(h.form.view.busyDepth, 0);

    // A second click shows the same hint without restyling.
    c.handler(h.ctx);
    EXPECT_EQ(h.form.view.billboard, c.text);
    EXPECT_EQ(h.form.looks.size(), 1u);
  }
}

}  // namespace
}  // namespace zorvik
