#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "logdb/Recordset.h"
#include "logdb/Value.h"

namespace zorvik::logdb {

// The first candidate of a slot in the candidate set's order: the latest contact of the slot.
struct SlotStart {
  std::int64_t index = 0;  // 0-based position in the candidate set
  Value dxccid;            // as text
  Value band, mode;
};

struct CandidateScan {
  std::vector<SlotStart> slots;  // in set order, up to the first candidate without a slot
  // The first candidate whose band or mode is Null, which forms no slot and stops the walk.
  std::optional<std::int64_t> firstWithoutSlot;
};

// One pass over the first `candidates` rows of `qsos` from its first row, noting where each slot
// starts: wherever entity, band or mode differ (exactly) from the previous candidate's. Reads
// three fields per candidate and writes nothing.
CandidateScan ScanCandidates(Recordset& qsos, std::int64_t candidates);

}  // namespace zorvik::logdb
