#include "ui/ActionHandlers.h"

#include <algorithm>
#include <chrono>

#include "core/DateText.h"
#include "core/FailureReport.h"
#include "ui/BillboardStyle.h"

namespace zorvik::ui {
namespace {

constexpr const char* kOkEmptyFieldText =
    "The Call Sign field can not be empty!\r\nPlease enter a call sign.";
constexpr const char* kLostFocusEmptyFieldText =
    "The Database field can not be empty!\r\n"
    "Please enter a valid path & Name for a database\r\n"
    "or double-click the database window to select one.";
constexpr const char* kUsageNote =
    "For this utility to function properly it requires DXKeeper "
    "to be running. QSOs may be added with this utility, but they can only "
    "be removed with the 'Clear' button in DXKeeper's QSL tab. See the Help "
    "file for additional information and instructions.";
constexpr const char* kDataMissingTitle = "Data Missing";

void ReportOpenFailure(Dialogs& dialogs, const Failure& failure) {
  dialogs.MsgBox("Error code: " + std::to_string(failure.Number()) +
                     "\r\nDescription: " + failure.Description(),
                 mb::kOkInformation, "Connect Error");
}

std::string DayAfter(const std::string& dateText) {
  return FormatShortDate(ParseDateText(dateText) + std::chrono::days(1));
}

}  // namespace

void CmdOkClick(UiContext& ctx) {
  ZorvikMod& mod = ctx.host.mod;
  if (ctx.form.DatabaseFieldText().empty()) {
    ctx.host.dialogs.MsgBox(kOkEmptyFieldText, mb::kOkExclamation, kDataMissingTitle);
    ctx.form.FocusDatabaseField();
    return;
  }
  try {
    mod.StopDatePlusOne = DayAfter(ctx.form.StopDateText());
    switch (ctx.form.SelectedAction()) {
      case Action::kAdd:
        ctx.ops.loadQslQueue();
        break;
      case Action::kCleanLog:
        ctx.ops.cleanLog();
        break;
      case Action::kRefresh:
      case Action::kNone:
        break;
    }
  } catch (const Failure& failure) {
    if (failure.Number() != err::kObjectNotSet) ReportFailure(ctx.host.dialogs, failure);
  }
}

void HelpClick(UiContext& ctx) {
  // In the folder's own separator: a backslash in a Windows path, a slash elsewhere.
  const char separator = ctx.programFolder.find('\\') != std::string::npos ? '\\' : '/';
  const std::string page = ctx.programFolder + separator + "help" + separator + "ZorvikHelp.htm";
  if (!ctx.host.dialogs.OpenHelpPage(page)) {
    ctx.host.dialogs.MsgBox("The help page could not be opened:\r\n" + page, mb::kOkExclamation,
                            kAppTitle);
  }
}

std::string DialogStartFolderOf(const std::string& logPath) {
  const auto windows = logPath.find("\\Databases\\");
  const auto native = logPath.find("/Databases/");
  const auto at = std::min(windows, native);
  if (at == std::string::npos) return {};
  return logPath.substr(0, at + 1);
}

void TxtCallDblClick(UiContext& ctx) {
  ZorvikMod& mod = ctx.host.mod;
  mod.DialogStartFolder = DialogStartFolderOf(mod.LogPathName);
  // The dialog remembers its last choice: it opens on that file (in its folder, its name filled
  // in), and a cancel puts it back (empty before the first choice, which the check below then
  // refuses with "Data Missing"). Users know this from DXKeeper's own dialogs, and the help page
  // explains it.
  if (auto chosen = ctx.host.dialogs.ShowOpen(mod.DialogStartFolder, ctx.lastChosenFile)) {
    ctx.lastChosenFile = *chosen;
  }
  ctx.form.SetDatabaseFieldText(ctx.lastChosenFile);
  TxtCallLostFocus(ctx);
}

void TxtCallLostFocus(UiContext& ctx) {
  ZorvikMod& mod = ctx.host.mod;
  Dialogs& dialogs = ctx.host.dialogs;
  const std::string path = ctx.form.DatabaseFieldText();
  if (path.empty()) {
    dialogs.MsgBox(kLostFocusEmptyFieldText, mb::kOkExclamation, kDataMissingTitle);
    ctx.form.FocusDatabaseField();
    return;
  }
  try {
    ctx.ops.openDatabase(path);
    SetBillboardStyle(ctx.form, kBillboardNormal);
    mod.BillboardNeedsReset = false;
    ctx.ops.showQueueCount();
    ctx.form.SetBillboard(kUsageNote);
    ctx.form.SelectAdd();
    ctx.form.FocusOk();
  } catch (const Failure& failure) {
    ReportOpenFailure(dialogs, failure);
    ctx.form.FocusDatabaseField();
  }
}

}  // namespace zorvik::ui
