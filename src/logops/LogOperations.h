#pragma once

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

// Queues the contact on which QsoSet stands (called by LoadQslQueue). Returns true when a row
// was added, false when the contact was already queued or a failure stopped it (reported).
bool AddQsoToQueue(AppContext& ctx);

}  // namespace zorvik::logdb
