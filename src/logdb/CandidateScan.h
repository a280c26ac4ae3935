#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "logdb/Recordset.h"
#include "logdb/Value.h"

namespace zorvik::logdb {

// The slots (entity, band, mode) that already have a row in the QSL queue when a run starts.
class QueuedSlots {
 public:
  // Reads the first `rows` rows of `queue` from its first row.
  static QueuedSlots Read(Recordset& queue, std::int64_t rows);

  // True when a queue row has this contact's entity (compared like the log's text columns,
  // without regard to letter case) and exactly its band and mode (letter case included: "ssb" is
  // another slot than "SSB"). A Null band or mode never matches.
  bool Contains(const Value& dxccid, const Value& band, const Value& mode) const;

 private:
  std::set<std::tuple<std::string, std::string, std::string>> keys_;
};

// The first candidate of a slot in the candidate set's order: the latest contact of the slot.
struct SlotStart {
  std::int64_t index = 0;  // 0-based position in the candidate set
  Value dxccid, band, mode;
};

struct CandidateScan {
  std::vector<SlotStart> slots;  // in set order, up to the first candidate without a slot
  // The first candidate whose band or mode is Null, which forms no slot and stops the walk.
  std::optional<std::int64_t> firstWithoutSlot;
};

// One pass over the first `candidates` rows of `qsos` from its first row: marks every candidate
// of an already queued slot with "~" in QSL_Rcvd, and notes where each slot starts. A slot starts
// wherever entity, band or mode differ (exactly) from the previous candidate's.
CandidateScan ScanCandidates(Recordset& qsos, std::int64_t candidates, const QueuedSlots& queued);

// The text stored in QSL_Rcvd while a run lasts for a candidate whose slot is already queued.
inline constexpr const char* kQueuedMark = "~";

}  // namespace zorvik::logdb
