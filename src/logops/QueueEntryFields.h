#pragma once

#include "logops/LogSession.h"

namespace zorvik::logdb {

// The statement QueueSet is opened with: the whole print queue.
inline constexpr const char* kQueueSetStatement = "Select * From PrintQueue";

// Checks, before anything is written, that the log has every field the queue entry builder
// (AddQsoToQueue) reads or writes: in QSOs through QsoSet, in PrintQueue through QueueSet and in
// QTHs through QthSet. A log missing one would otherwise fail the same way for every contact the
// Add tries to queue. Throws 3265 naming the table and the first missing field, 91 when a set is
// not open. Defined beside the builder, from the same field tables, so the two cannot drift.
void RequireQueueEntryFields(const LogSession& s);

}  // namespace zorvik::logdb
