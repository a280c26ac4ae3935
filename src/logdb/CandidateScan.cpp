#include "logdb/CandidateScan.h"

#include "logdb/ProgressTable.h"

namespace zorvik::logdb {
namespace {

// Band and mode compare as values: a text never equals a number, so the kind is part of the key.
std::string ValueKey(const Value& v) {
  return (v.IsText() ? "t" : "n") + v.ToText();
}

}  // namespace

QueuedSlots QueuedSlots::Read(Recordset& queue, std::int64_t rows) {
  QueuedSlots slots;
  queue.MoveFirst();
  for (std::int64_t i = 0; i < rows && !queue.IsEof(); ++i, queue.MoveNext()) {
    const Value band = queue.Fields("band");
    const Value mode = queue.Fields("mode");
    if (band.IsNull() || mode.IsNull()) continue;
    // A queue row without an entity stands for the entity code '' (no contact has a Null one
    // among the candidates anyway).
    slots.keys_.emplace(FoldCase(queue.Fields("dxccid").ToText()), ValueKey(band), ValueKey(mode));
  }
  return slots;
}

bool QueuedSlots::Contains(const Value& dxccid, const Value& band, const Value& mode) const {
  if (keys_.empty() || dxccid.IsNull() || band.IsNull() || mode.IsNull()) return false;
  return keys_.count({FoldCase(dxccid.ToText()), ValueKey(band), ValueKey(mode)}) != 0;
}

CandidateScan ScanCandidates(Recordset& qsos, std::int64_t candidates, const QueuedSlots& queued) {
  CandidateScan scan;
  qsos.MoveFirst();
  for (std::int64_t i = 0; i < candidates && !qsos.IsEof(); ++i, qsos.MoveNext()) {
    Value dxccid = qsos.Fields("dxccid");
    Value band = qsos.Fields("band");
    Value mode = qsos.Fields("mode");
    if (queued.Contains(dxccid, band, mode)) {
      qsos.Edit();
      qsos.SetField("QSL_Rcvd", kQueuedMark);
      qsos.Update();
    }
    if (scan.firstWithoutSlot) continue;  // the walk never gets past it; marking goes on
    if (dxccid.IsNull() || band.IsNull() || mode.IsNull()) {
      scan.firstWithoutSlot = i;
      continue;
    }
    // Compared field by field: joined into one text, entity 1 on 12M and entity 11 on 2M would
    // look like one slot and the second would never be queued.
    if (!scan.slots.empty()) {
      const SlotStart& previous = scan.slots.back();
      if (previous.dxccid.AsText() == dxccid.ToText() && previous.band.ToText() == band.ToText() &&
          previous.mode.ToText() == mode.ToText()) {
        continue;
      }
    }
    scan.slots.push_back({i, Value(dxccid.ToText()), std::move(band), std::move(mode)});
  }
  return scan;
}

}  // namespace zorvik::logdb
