#include "ui/StartupShutdown.h"

#include "core/DateText.h"
#include "core/FailureReport.h"
#include "ui/BillboardStyle.h"

namespace zorvik::ui {
namespace {

// The two start-up boxes break their lines with a lone carriage return.
constexpr const char* kNotInstalledText =
    "DXKeeper Installation not found!\r"
    "DXKeeper must be installed for this utility to work.";
constexpr const char* kNotRunningText =
    "DXKeeper is not running!\r"
    "DXKeeper must be running for this utility to work.\r"
    "\r"
    "Zorvik will now Close!";
constexpr const char* kStartupWarning =
    "* * * Warning * * *\r\n"
    "Backup your database!\r\n"
    "\r\n"
    "Before using this utility read the Help file carefully.\r\n"
    "\r\n"
    "This utility only works in the 'QSL via Cards' mode";

std::string ReadHostSetting(UiContext& ctx, const char* key) {
  return ctx.host.settings.GetSetting(host::kHostApplication, host::kHostSection, key);
}

}  // namespace

int ExitStatus(StartOutcome outcome) {
  switch (outcome) {
    case StartOutcome::kShowWindow:
      return 0;
    case StartOutcome::kNotInstalled:
      return 2;
    case StartOutcome::kNotRunning:
      return 3;
  }
  return 1;
}

StartOutcome FormLoad(UiContext& ctx, std::chrono::sys_days today) {
  ZorvikMod& mod = ctx.host.mod;
  Dialogs& dialogs = ctx.host.dialogs;
  try {
    mod.LogPathName = ReadHostSetting(ctx, "LogPathName");
    if (mod.LogPathName.empty()) {
      dialogs.MsgBox(kNotInstalledText, mb::kOkExclamation, kAppTitle);
      return StartOutcome::kNotInstalled;
    }
    ctx.ops.checkHostRunning();
    if (!mod.HostRunning) {
      dialogs.MsgBox(kNotRunningText, mb::kOkExclamation,
                     std::string(kAppTitle) + " - Critical Error!");
      return StartOutcome::kNotRunning;
    }
    SetBillboardStyle(ctx.form, kBillboardAlert);
    mod.BillboardNeedsReset = true;
    ctx.form.SetBillboard(kStartupWarning);
    ctx.form.SetDatabaseFieldText(mod.LogPathName);
    ctx.form.SetStopDateText(FormatShortDate(today));
    mod.HostCallSign = ReadHostSetting(ctx, "CallSign");
  } catch (const Failure& failure) {
    ReportFailure(dialogs, failure);
  }
  return StartOutcome::kShowWindow;
}

void FormUnload(UiContext& ctx) noexcept {
  // The send reports or swallows its own failures; nothing here may keep the window open.
  try {
    ctx.ops.sendHostCommand("commandcomplete");
  } catch (const Failure& failure) {
    if (failure.Number() != err::kDdeNoConversation) {
      try {
        ReportHostConnectError(ctx.host.dialogs, failure);
      } catch (...) {
      }
    }
  } catch (...) {
  }
  try {
    ctx.ops.closeAllSets();
  } catch (...) {
  }
}

}  // namespace zorvik::ui
