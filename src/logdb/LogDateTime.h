#pragma once

#include <compare>
#include <string>

#include "logdb/Value.h"

namespace zorvik::logdb {

// A date-time as the log stores it ("YYYY-MM-DD HH:MM:SS", optionally with a 'T' separator, no
// seconds, a fraction, or no time at all), read so that two spellings of one instant compare
// equal and the stored precision is kept: fractions compare digit by digit.
struct LogDateTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  std::string fraction;  // fractional-second digits without trailing zeros

  friend auto operator<=>(const LogDateTime&, const LogDateTime&) = default;
};

// Reads a stored date-time. Throws Failure 94 (invalid use of Null) for a Null and Failure 13
// (type mismatch) for anything that is not a date-time.
LogDateTime ToLogDateTime(const Value& value);

}  // namespace zorvik::logdb
