#include "logops/CandidateScan.h"

namespace zorvik::logdb {

CandidateScan ScanCandidates(Recordset& qsos, std::int64_t candidates) {
  CandidateScan scan;
  qsos.MoveFirst();
  for (std::int64_t i = 0; i < candidates && !qsos.IsEof(); ++i, qsos.MoveNext()) {
    Value dxccid = qsos.Fields("dxccid");
    Value band = qsos.Fields("band");
    Value mode = qsos.Fields("mode");
    if (dxccid.IsNull() || band.IsNull() || mode.IsNull()) {
      scan.firstWithoutSlot = i;  // the walk never gets past it
      break;
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
