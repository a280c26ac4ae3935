#include <string>

#include "core/FailureReport.h"
#include "logdb/CleanLogStatements.h"
#include "logdb/LogBackup.h"
#include "logdb/LogOperations.h"

namespace zorvik::logdb {

void CleanLog(AppContext& ctx) {
  LogSession& s = ctx.session;
  MainView& view = ctx.host.view;
  try {
    s.ReplaceDatabase(view.DatabaseFieldText());
    BackUpBeforeWriting(*s.LogDb);
    // Each count is read right after its own statement; a change made by the first statement
    // stays if the second one fails.
    s.LogDb->Execute(std::string(kCleanReceivedStatement));
    const std::int64_t received = s.LogDb->RecordsAffected();
    s.LogDb->Execute(std::string(kCleanSentStatement));
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
