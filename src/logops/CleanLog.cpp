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

// Runs one update in a transaction of its own and gives the rows it changed. Jet does not run an
// update statement as a unit: one that fails on a row (a row DXKeeper holds locked) keeps the
// rows it changed before it, dbFailOnError or not. Here it changes every row it means or none.
// The count is read before the commit, while it still belongs to this statement.
std::int64_t RunWhole(Database& db, std::string_view statement) {
  Transaction whole(db);
  db.Execute(InDialect(statement, db.Dialect()));
  const std::int64_t changed = db.RecordsAffected();
  whole.Commit();
  return changed;
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
    // Each count is read right after its own statement; the first statement's change is stored
    // before the second one runs, and stays if that one fails.
    const std::int64_t received = RunWhole(*s.LogDb, kCleanReceivedStatement);
    const std::int64_t sent = RunWhole(*s.LogDb, kCleanSentStatement);
    view.SetBillboard(std::to_string(received) + " QSL_Rcvd records were cleaned\r\n\r\n" +
                      std::to_string(sent) + " QSL_Sent records were cleaned");
    view.SelectAdd();
    view.FocusOk();
  } catch (const Failure& f) {
    ReportFailure(ctx.host.dialogs, f);
  }
}

}  // namespace zorvik::logdb
