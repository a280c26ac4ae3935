#pragma once

#include <cstdint>

#include "ui/MainForm.h"

namespace zorvik::ui {

// The billboard's two text styles, by the values callers pass.
enum BillboardStyle : std::int16_t { kBillboardNormal = 0, kBillboardAlert = 1 };

// Normal: left, 8 pt, navy. Alert: centred, 11 pt, red. Any other value changes nothing, so a
// caller's bad value never leaves the billboard half restyled.
void SetBillboardStyle(MainForm& form, std::int16_t style);

}  // namespace zorvik::ui
