#include "logops/QueuedSlots.h"

#include "logdb/FoldCase.h"

namespace zorvik::logdb {

QueuedSlots QueuedSlots::Read(Recordset& queue) {
  QueuedSlots result;
  if (queue.RecordCount() == 0) return result;
  for (queue.MoveFirst(); !queue.IsEof(); queue.MoveNext()) {
    const Value band = queue.Fields("band");
    const Value mode = queue.Fields("mode");
    if (band.IsNull() || mode.IsNull()) continue;
    const Value dxccid = queue.Fields("dxccid");
    result.slots_.emplace(FoldCase(dxccid.IsNull() ? std::string() : dxccid.ToText()),
                          band.ToText(), mode.ToText());
  }
  return result;
}

bool QueuedSlots::Contains(const Value& dxccid, const Value& band, const Value& mode) const {
  if (dxccid.IsNull() || band.IsNull() || mode.IsNull()) return false;
  return slots_.count({FoldCase(dxccid.ToText()), band.ToText(), mode.ToText()}) > 0;
}

}  // namespace zorvik::logdb
