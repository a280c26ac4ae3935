#include "core/FailureReport.h"
#include "logops/LogOperations.h"

namespace zorvik::logdb {
namespace {

constexpr const char* kCautionTitle = "+ + Proceed with Caution + +";
constexpr const char* kCautionText =
    "The DXKeeper & Zorvik selected database don't agree!\r\n"
    "See the Zorvik help file if you need more information.\r\n"
    "\r\n"
    "           * * * Do you want to continue? * * *";

}  // namespace

bool CheckSelectedDatabase(AppContext& ctx) {
  host::HostContext& h = ctx.host;
  host::CheckHostRunning(h);
  // Without DXKeeper there is nothing to compare with; the Add action finds out itself that
  // DXKeeper does not answer.
  if (!h.mod.HostRunning) return true;
  try {
    // Read afresh: the user may have switched logs in DXKeeper since Zorvik started. The paths
    // are compared exactly, since any difference may mean a different file.
    const std::string hostLog =
        h.settings.GetSetting(host::kHostApplication, host::kHostSection, "LogPathName");
    if (hostLog == h.view.DatabaseFieldText()) return true;
    return h.dialogs.MsgBox(kCautionText, mb::kYesNoStopDefaultNo, kCautionTitle) == Answer::kYes;
  } catch (const Failure& f) {
    ReportFailure(h.dialogs, f);
    return true;
  }
}

}  // namespace zorvik::logdb
