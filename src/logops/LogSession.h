#pragma once

#include <memory>

#include "logdb/Database.h"
#include "logdb/Recordset.h"

namespace zorvik::logdb {

// The log database handle and the four record sets shared by the log operations. `LogDb` is
// replaced by every operation that opens the log; the sets are opened by each Add run and closed
// at its end. Declared in this order so the sets are destroyed before the handle.
struct LogSession {
  std::unique_ptr<Database> LogDb;
  std::unique_ptr<Recordset> QsoSet;
  std::unique_ptr<Recordset> ProgressSet;
  std::unique_ptr<Recordset> QthSet;
  std::unique_ptr<Recordset> QueueSet;

  // Closes QsoSet, ProgressSet, QueueSet, QthSet in that order, ignoring every failure.
  void CloseAllSets() noexcept;

  // Replaces LogDb with a new handle on `path`. The record sets are closed first, since they
  // cannot outlive the handle they came from.
  void ReplaceDatabase(const std::string& path);

  ~LogSession() { CloseAllSets(); }
};

}  // namespace zorvik::logdb
