#pragma once

#include "core/Failure.h"
#include "host/HostMonitor.h"
#include "logops/LogSession.h"

namespace zorvik::logdb {

// Everything a log operation touches. Owned by the caller; the references must outlive it.
struct AppContext {
  host::HostContext& host;  // mod, dde, settings, dialogs, view, identity
  LogSession& session;
};

// The queue count of DXKeeper's own log (LogPathName) into `mrkd`. Reports its own failures.
void ShowQueueCount(AppContext& ctx);

// Log Clean: blanks invalid QSL letters in QSOs and reports both counts, the window busy meanwhile.
// Reports its own failures.
void CleanLog(AppContext& ctx);

// Before every Add: refreshes the host state and, while DXKeeper runs, asks the user when its log
// differs from the selected one. Returns false when the user chose to stop.
bool CheckSelectedDatabase(AppContext& ctx);

// The Add action. Reports its own failures.
void LoadQslQueue(AppContext& ctx);

// What one call of AddQsoToQueue came to.
enum class QueueOutcome {
  kAdded,          // the contact's queue row was stored
  kAlreadyQueued,  // the same contact was in the queue already: nothing was written
  kFailed,         // a failure stopped it (reported); what it had written was taken back
  kRunOver,        // a failure after which the run's transaction cannot be trusted to hold
                   // exactly the work done in it (reported): the run must take everything back
};

// Queues the contact on which QsoSet stands (called by LoadQslQueue, inside the run's
// transaction). Reports its own failures, one box each. After a failed contact QueueSet is a
// fresh set over the queue: a row the undone work had added is never met again.
QueueOutcome AddQsoToQueue(AppContext& ctx);

// Failures that end an Add run and take all of it back: the engine ran out of memory or
// resources (2004, 3035), the disk (3026) or the lock table (3052) filled up. After them Jet
// keeps the transaction open but cannot say which of its writes it holds, so a commit would
// store an unknown part of the run. A failed commit or rollback ends the run the same way.
bool EndsTheRun(const Failure& f);

}  // namespace zorvik::logdb
