#pragma once

#include <cstddef>

#include "SqliteLog.h"

namespace zorvik::logtools {

struct ProgressSummary {
  std::size_t entities = 0;        // Progress rows written
  std::size_t rowsInserted = 0;    // of them, rows for entities the table did not have
  std::size_t workedSlots = 0;     // "W" characters over all rows
  std::size_t confirmedSlots = 0;  // "C" and "V" characters
};

// Recomputes Progress.BandModes from the contacts in QSOs. Existing rows are updated in place
// (their Prefix and any other columns kept; an entity without contacts becomes all "-"); an
// entity with contacts but no row gets one, its Prefix taken from the contacts' DXCCPrefix.
// Runs inside the caller's transaction, if any. Throws ToolError.
ProgressSummary RecomputeProgress(LogConnection& log);

}  // namespace zorvik::logtools
