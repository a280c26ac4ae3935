#pragma once

namespace zorvik::logdb {

// The run-time failure a Null raises where a text or a date-time is needed (a contact without a
// call sign, band, mode or start time). Numbered as users of the Windows original know it.
inline constexpr int kInvalidUseOfNull = 94;

}  // namespace zorvik::logdb
