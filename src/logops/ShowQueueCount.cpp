#include <string>

#include "core/FailureReport.h"
#include "logops/LogOperations.h"
#include "logops/SkipNoCurrentRecord.h"

namespace zorvik::logdb {

void ShowQueueCount(AppContext& ctx) {
  LogSession& s = ctx.session;
  try {
    // Always DXKeeper's own log, whatever database the user has selected for the actions.
    s.ReplaceDatabase(ctx.host.mod.LogPathName);
    s.QsoSet = s.LogDb->OpenRecordset("Select * From PrintQueue");
    // An empty queue has no last row; the count is then simply 0.
    SkipNoCurrentRecord([&] { s.QsoSet->MoveLast(); });
    std::int64_t count = 0;
    SkipNoCurrentRecord([&] { count = s.QsoSet->RecordCount(); });
    ctx.host.view.SetQueueCountText(std::to_string(count));
  } catch (const Failure& f) {
    ReportFailure(ctx.host.dialogs, f);
  }
  if (s.QsoSet) {
    try {
      s.QsoSet->Close();
    } catch (...) {
    }
    s.QsoSet.reset();
  }
}

}  // namespace zorvik::logdb
