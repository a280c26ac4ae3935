#include <memory>
#include <optional>
#include <string>

#include "core/Failure.h"
#include "core/FailureReport.h"
#include "logops/CandidateScan.h"
#include "logops/CandidateStatement.h"
#include "logops/LogBackup.h"
#include "logops/LogOperations.h"
#include "logops/ProgressTable.h"
#include "logops/QueueEntryFields.h"
#include "logops/QueuedSlots.h"
#include "logops/SlotRules.h"

namespace zorvik::logdb {
namespace {

constexpr const char* kQslModeText =
    "DXKeeper must be in 'QSL via Cards' mode for this function to work.\r\n"
    "           Please select the 'QSL via Cards' mode to continue.";
constexpr const char* kRemoveMarks = "Update QSOs Set QSL_Rcvd='' Where QSL_Rcvd='~'";
constexpr const char* kLoadedText = " QSO records were loaded into the QSL queue.";

// What one run has opened and achieved: the finishing steps act on nothing else.
struct Run {
  bool qsoSetOpened = false, progressSetOpened = false, qthSetOpened = false,
       queueSetOpened = false;
  // All the run's writes, so that a crash or a kill leaves the log exactly as it was.
  std::unique_ptr<Transaction> writes;
  std::int64_t loaded = 0;  // rows really added to the queue
  bool failureShown = false;
  // A failure after which the transaction cannot be trusted (EndsTheRun, a failed commit or
  // rollback): the run stores nothing.
  bool takenBack = false;
};

// One message per run: a later step failing the same way (the mark removal on a log without
// QSL_Rcvd, say) stays quiet.
void ShowRunFailure(Dialogs& dialogs, Run& run, const Failure& f) {
  if (run.failureShown) return;
  run.failureShown = true;
  dialogs.MsgBox(
      "Error code: " + std::to_string(f.Number()) + "\r\nDescription: " + f.Description(),
      mb::kOkStop, "Error!");
}

// Ends of the run that are no failure: no candidates, an empty Progress table, or DXKeeper not
// answering the QSL mode link.
bool EndsSilently(const Failure& f) {
  return f.Number() == err::kNoCurrentRecord || f.Number() == err::kDdeNoAnswer;
}

void SetHostStatus(host::HostContext& h, const char* status) {
  h.mod.HostStatusText = status;
  host::ShowHostStatus(h);
}

// Queues the first candidate of every "W" slot whose slot is not queued yet. Throws on failure;
// whatever was queued before the failure stays.
void Walk(AppContext& ctx, Run& run, const CandidateScan& scan, const ProgressTable& progress,
          const QueuedSlots& queued) {
  Recordset& qsos = *ctx.session.QsoSet;
  qsos.MoveFirst();
  std::int64_t at = 0;
  for (const SlotStart& slot : scan.slots) {
    const std::optional<int> position = SlotPosition(slot.band, slot.mode);
    const Value* bandModes = progress.BandModes(slot.dxccid.AsText());
    if (!position || !bandModes || !SlotIsWorkedNotConfirmed(*bandModes, *position)) continue;
    if (queued.Contains(slot.dxccid, slot.band, slot.mode)) continue;
    for (; at < slot.index; ++at) qsos.MoveNext();
    const QueueOutcome outcome = AddQsoToQueue(ctx);
    if (outcome == QueueOutcome::kAdded) ++run.loaded;
    if (outcome == QueueOutcome::kRunOver) {
      // The builder has said why; every further contact would only add to work that is taken
      // back, or fail the same way, one message box each.
      run.takenBack = true;
      return;
    }
  }
  if (scan.firstWithoutSlot) throw Failure(err::kInvalidUseOfNull, "Invalid use of Null");
}

template <class Step>
void IgnoringFailures(Step&& step) noexcept {
  try {
    step();
  } catch (...) {
  }
}

// Everything from "closelog" to the end of the walk. Throws on failure.
void Load(AppContext& ctx, Run& run) {
  host::HostContext& h = ctx.host;
  LogSession& s = ctx.session;

  if (h.mod.HostRunning) {
    host::SendHostCommand(h, "closelog");
    h.mod.HostLogClosed = true;
    SetHostStatus(h, status::kUnavailable);
  }

  s.ReplaceDatabase(h.view.DatabaseFieldText());
  // Before the run's transaction: a backup that fails leaves nothing for Finish to write.
  BackUpBeforeWriting(*s.LogDb);
  run.writes = std::make_unique<Transaction>(*s.LogDb);

  const CandidateCriteria criteria{h.view.StartDateText(), h.mod.StopDatePlusOne,
                                   h.view.IncludeAllOperators(), h.mod.HostCallSign};
  const std::string statement = BuildCandidateStatement(criteria);
  s.QsoSet = s.LogDb->OpenRecordset(statement);
  run.qsoSetOpened = true;
  s.QsoSet->MoveLast();  // no candidates: ends the loading here
  const std::int64_t candidates = s.QsoSet->RecordCount();

  s.ProgressSet = s.LogDb->OpenRecordset("Select * From Progress Order By CountryCode");
  run.progressSetOpened = true;
  s.ProgressSet->MoveLast();  // no entities: nothing can be eligible

  s.QthSet = s.LogDb->OpenRecordset("Select * From QTHs");
  run.qthSetOpened = true;  // stays on its first row: its address goes on every queue row

  s.QueueSet = s.LogDb->OpenRecordset(kQueueSetStatement);
  run.queueSetOpened = true;
  std::int64_t queueRows = 0;
  try {
    s.QueueSet->MoveLast();
    queueRows = s.QueueSet->RecordCount();
  } catch (const Failure&) {
    queueRows = 0;  // an empty queue
  }
  // Before the first write: a log missing a field gets one message and stays as it was.
  RequireQueueEntryFields(s);

  // Candidates of slots that already have a queue row are not queued again, and all of them
  // end the run with QSL_Rcvd '' (earlier versions marked them "~" and cleared the marks at the
  // end: two writes for most of them). The walk skips those slots by the queue's own rows.
  QueuedSlots queued;
  const auto clearQueuedSlots = [&] {
    if (queueRows == 0) return;
    for (const std::string& statement :
         BuildQueuedSlotClearStatements(criteria, queued.Slots(), s.LogDb->Dialect())) {
      s.LogDb->Execute(statement);
    }
  };
  // The reading comes first because any write through Execute drops the fields the candidate
  // set holds (entity, band and mode of every candidate, read along with the set). The clear
  // still comes before anything is queued, and also when the reading fails, as it always has.
  std::optional<ProgressTable> progress;
  std::optional<CandidateScan> scan;
  try {
    if (queueRows > 0) queued = QueuedSlots::Read(*s.QueueSet);
    progress.emplace(ProgressTable::Read(*s.ProgressSet));
    scan.emplace(ScanCandidates(*s.QsoSet, candidates));
  } catch (...) {
    IgnoringFailures(clearQueuedSlots);  // the reading's failure is the one to report
    throw;
  }
  clearQueuedSlots();
  Walk(ctx, run, *scan, *progress, queued);
}

void CloseSet(std::unique_ptr<Recordset>& set, bool openedByRun) noexcept {
  if (!openedByRun || !set) return;
  IgnoringFailures([&] { set->Close(); });
  set.reset();
}

// Run exactly once per run that got past the QSL mode check. A failure in here is reported and
// the remaining steps still run, so DXKeeper always gets its log back.
void Finish(AppContext& ctx, Run& run) {
  host::HostContext& h = ctx.host;
  LogSession& s = ctx.session;

  // Without the run's transaction (the log is read-only or locked, or the engine rolled it
  // back) there are no marks of this run, and the removal could only fail again. After a failure
  // that leaves the transaction in doubt nothing of it is stored: it is rolled back below.
  if (run.writes && (run.takenBack || !run.writes->Active())) {
    run.loaded = 0;
  } else if (run.writes) {
    try {
      // Removes "~" marks that a run of an older version left behind.
      s.LogDb->Execute(kRemoveMarks);
      run.writes->Commit();
    } catch (const Failure& f) {
      ShowRunFailure(h.dialogs, run, f);
      // The marks could not be removed or the writes not stored: take the whole run back rather
      // than leave contacts marked, and say so in the count.
      run.loaded = 0;
    }
  }
  run.writes.reset();

  if (h.mod.HostLogClosed) {
    host::SendHostCommand(h, "openlastlog");
    h.mod.HostLogClosed = false;
    SetHostStatus(h, status::kRunning);
  }

  h.view.SetBillboard(std::to_string(run.loaded) + kLoadedText);
  h.view.SelectAdd();

  CloseSet(s.QsoSet, run.qsoSetOpened);
  CloseSet(s.ProgressSet, run.progressSetOpened);
  CloseSet(s.QueueSet, run.queueSetOpened);
  CloseSet(s.QthSet, run.qthSetOpened);

  h.dialogs.Beep();
  ShowQueueCount(ctx);
}

}  // namespace

void LoadQslQueue(AppContext& ctx) {
  host::HostContext& h = ctx.host;
  if (!CheckSelectedDatabase(ctx)) return;

  BusyScope busy(h.view);
  Run run;
  try {
    host::SetUpHostLink(h.dde, "QSLMode");
    if (h.dde.Text() != "0") {
      // Queue rows only make sense while DXKeeper prints cards; nothing has been touched yet.
      h.dialogs.MsgBox(kQslModeText, mb::kOkOnly, kAppTitle);
      return;
    }
    Load(ctx, run);
  } catch (const Failure& f) {
    if (EndsTheRun(f)) run.takenBack = true;
    if (!EndsSilently(f)) ShowRunFailure(h.dialogs, run, f);
  } catch (const std::exception& e) {
    ShowRunFailure(h.dialogs, run, Failure(err::kEngineError, e.what()));
  }
  Finish(ctx, run);
}

}  // namespace zorvik::logdb
