#include <string>

#include "core/FailureReport.h"
#include "logdb/LogBackup.h"
#include "logdb/LogOperations.h"

namespace zorvik::logdb {
namespace {

// Only these QSL letters mean something to DXKeeper; anything else keeps a contact out of the
// Add candidates for good, so it is blanked. Null and empty values are left as they are.
constexpr const char* kCleanReceived =
    "Update QSOs Set QSL_Rcvd='' "
    "Where QSL_Rcvd <> ''  "
    "and QSL_Rcvd <> 'R' "
    "and QSL_Rcvd <> 'Y' "
    "and QSL_Rcvd <> 'S' "
    "and QSL_Rcvd <> 'V' "
    "and QSL_Rcvd <> 'I' "
    "and QSL_Rcvd <> 'X'";

constexpr const char* kCleanSent =
    "Update QSOs Set QSL_Sent='' "
    "Where QSL_Sent <> ''  "
    "and QSL_Sent <> 'R' "
    "and QSL_Sent <> 'Y'";

}  // namespace

void CleanLog(AppContext& ctx) {
  LogSession& s = ctx.session;
  MainView& view = ctx.host.view;
  try {
    s.ReplaceDatabase(view.DatabaseFieldText());
    BackUpBeforeWriting(*s.LogDb);
    // Each count is read right after its own statement; a change made by the first statement
    // stays if the second one fails.
    s.LogDb->Execute(kCleanReceived);
    const std::int64_t received = s.LogDb->RecordsAffected();
    s.LogDb->Execute(kCleanSent);
    const std::int64_t sent = s.LogDb->RecordsAffected();
    view.SetBillboard(std::to_string(received) + " QSL_Rcvd records were cleaned\r\n\r\n" +
                      std::to_string(sent) + " QSL_Sent records were cleaned");
    view.SelectAdd();
    view.FocusOk();
  } catch (const Failure& f) {
    ReportFailure(ctx.host.dialogs, f);
  }
}

}  // namespace zorvik::logdb
