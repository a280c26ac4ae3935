#pragma once

#include <set>
#include <string>
#include <tuple>

#include "logdb/Recordset.h"
#include "logdb/Value.h"

namespace zorvik::logdb {

// The slots (entity, band, mode) that already have a row in the print queue, compared the way
// the log's queries compare them: the entity code without regard to letter case (a row without
// an entity stands for the code ''), band and mode exactly ("ssb" is not DXKeeper's SSB slot). A
// row with a Null band or mode stands for no slot.
class QueuedSlots {
 public:
  // Entity code (lower case), band, mode.
  using Slot = std::tuple<std::string, std::string, std::string>;

  // Reads every row of `queue` from its first; an empty set gives no slots. Moves the set's
  // position. Throws the layer's failures.
  static QueuedSlots Read(Recordset& queue);

  bool Contains(const Value& dxccid, const Value& band, const Value& mode) const;
  const std::set<Slot>& Slots() const { return slots_; }

 private:
  std::set<Slot> slots_;
};

}  // namespace zorvik::logdb
