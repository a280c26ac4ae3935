#pragma once

namespace zorvik::logdb {

// The run-time failure a Null raises where a text or a date-time is needed (a contact without a
// call sign, band, mode or start time): "Invalid use of Null", numbered as in VB and DXKeeper.
inline constexpr int kInvalidUseOfNull = 94;

}  // namespace zorvik::logdb
