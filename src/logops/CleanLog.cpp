#include <string>
#include <string_view>

#include "core/FailureReport.h"
#include "logops/CleanLogStatements.h"
#include "logops/LogBackup.h"
#include "logops/LogOperations.h"

namespace zorvik::logdb {
namespace {

// Jet compares text without regard to case, so in a DXKeeper log "y" and "r" are the letters Y
// and R and stay. On SQLite each comparison says so itself: a log whose columns were declared
// without COLLATE NOCASE must not lose its lower-case confirmations.
std::string InDialect(std::string_view statement, StatementDialect dialect) {
  std::string text(statement);
  if (dialect == StatementDialect::kJet) return text;
  for (const std::string_view column : {"QSL_Rcvd <>", "QSL_Sent <>"}) {
    const std::string_view name = column.substr(0, column.find(' '));
    for (auto at = text.find(column); at != std::string::npos;
         at = text.find(column, at + column.size())) {
      text.insert(at + name.size(), " Collate NoCase");
    }
  }
  return text;
}

}  // namespace

void CleanLog(AppContext& ctx) {
  LogSession& s = ctx.session;
  MainView& view = ctx.host.view;
  // Two statements over the whole log: the window is busy meanwhile, as for Add.
  BusyScope busy(view);
  try {
    s.ReplaceDatabase(view.DatabaseFieldText());
    BackUpBeforeWriting(*s.LogDb);
    // Each count is read right after its own statement; a change made by the first statement
    // stays if the second one fails.
    s.LogDb->Execute(InDialect(kCleanReceivedStatement, s.LogDb->Dialect()));
    const std::int64_t received = s.LogDb->RecordsAffected();
    s.LogDb->Execute(InDialect(kCleanSentStatement, s.LogDb->Dialect()));
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
