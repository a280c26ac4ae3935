#pragma once

#include <utility>

#include "core/Failure.h"

namespace zorvik::logdb {

// Runs one step whose only expected failure is "no current record" (an empty queue, an empty
// QTHs table) and passes over that failure so the operation goes on with its next step. Every
// other failure propagates.
template <class Step>
void SkipNoCurrentRecord(Step&& step) {
  try {
    std::forward<Step>(step)();
  } catch (const Failure& f) {
    if (f.Number() != err::kNoCurrentRecord) throw;
  }
}

}  // namespace zorvik::logdb
