#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

// A Jet Date/Time value is an OLE automation date: days since 1899-12-30 00:00 (negative before
// it), the time of day as the absolute value of the fraction. The DAO stand-in
// (tests/logdb/dao/standin) keeps such a value in the SQLite log behind a Jet-routed file as
// text: "YYYY-MM-DD HH:MM:SS" when that text reads back as the very same double (every date a
// test writes as text), and otherwise with as many digits of the seconds as it takes to give
// that double back, bit for bit. The log then reads the same to Zorvik's SQLite engine and to
// its dumps, and a date Jet holds a hair beside the second stays that hair beside it.
//
// Test code, shared by the stand-in and the tests that write such dates behind its back.
namespace zorvik::testing {

namespace jet_date_detail {

// Days from 1970-01-01 of a date of the proleptic Gregorian calendar (H. Hinnant's algorithm).
constexpr std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct Civil {
  std::int64_t y;
  unsigned m, d;
};

constexpr Civil CivilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp + (mp < 10 ? 3 : -9);
  return {y + (m <= 2), m, d};
}

inline constexpr std::int64_t kOleEpoch = DaysFromCivil(1899, 12, 30);

// Reads `count` digits at `at`; -1 when they are not all digits.
inline long long Digits(std::string_view text, std::size_t at, std::size_t count) {
  if (at + count > text.size()) return -1;
  long long n = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    n = n * 10 + (text[i] - '0');
  }
  return n;
}

}  // namespace jet_date_detail

// The automation date of "YYYY-MM-DD", optionally followed by a blank or 'T' and "HH:MM",
// ":SS" and a fraction of any length; nullopt for anything else or a day that does not exist.
inline std::optional<double> JetDateFromText(std::string_view text) {
  using namespace jet_date_detail;
  const long long y = Digits(text, 0, 4), m = Digits(text, 5, 2), d = Digits(text, 8, 2);
  if (y < 100 || m < 1 || m > 12 || d < 1 || text.size() < 10 || text[4] != '-' || text[7] != '-') {
    return std::nullopt;
  }
  const std::int64_t day = DaysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d));
  if (CivilFromDays(day).d != d) return std::nullopt;  // 2004-02-30
  long long h = 0, mi = 0, s = 0;
  double fraction = 0;
  if (text.size() > 10) {
    if ((text[10] != ' ' && text[10] != 'T') || text.size() < 16 || text[13] != ':') {
      return std::nullopt;
    }
    h = Digits(text, 11, 2);
    mi = Digits(text, 14, 2);
    std::size_t at = 16;
    if (text.size() > at) {
      if (text[at] != ':') return std::nullopt;
      s = Digits(text, at + 1, 2);
      at += 3;
      if (text.size() > at) {
        if (text[at] != '.' || text.size() == at + 1) return std::nullopt;
        const std::string_view digits = text.substr(at + 1);
        if (digits.size() > 18 || Digits(digits, 0, digits.size()) < 0) return std::nullopt;
        long long n = 0;
        double scale = 1;
        for (char c : digits) {
          n = n * 10 + (c - '0');
          scale *= 10;
        }
        fraction = static_cast<double>(n) / scale;
      }
    }
    if (h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || s > 59) return std::nullopt;
  }
  const double days = static_cast<double>(day - kOleEpoch);
  const double time = (static_cast<double>(h * 3600 + mi * 60 + s) + fraction) / 86400.0;
  return days >= 0 ? days + time : days - time;
}

// The text the stand-in keeps for `date`: the shortest of whole seconds, then 1 to 15 digits of
// them, that JetDateFromText reads back as exactly `date`. nullopt outside the years 100 to
// 9999 or for a double that no such text gives.
inline std::optional<std::string> JetDateText(double date) {
  using namespace jet_date_detail;
  if (!std::isfinite(date) || std::fabs(date) > 3e6) return std::nullopt;
  const double whole = std::trunc(date);
  const Civil civil = CivilFromDays(static_cast<std::int64_t>(whole) + kOleEpoch);
  if (civil.y < 100 || civil.y > 9999) return std::nullopt;
  // The seconds of the day, as exactly as a long double keeps them.
  const long double seconds = std::fabs(static_cast<long double>(date) - whole) * 86400.0L;
  char head[16];
  std::snprintf(head, sizeof head, "%04d-%02u-%02u", static_cast<int>(civil.y), civil.m, civil.d);
  long long scale = 1;
  for (int places = 0; places <= 15; ++places, scale *= 10) {
    const long long scaled = std::llround(seconds * static_cast<long double>(scale));
    const long long secs = scaled / scale, part = scaled % scale;
    if (secs >= 86400) continue;  // rounds up to the next day's midnight
    char text[64];
    int length = std::snprintf(text, sizeof text, "%s %02lld:%02lld:%02lld", head, secs / 3600,
                               secs / 60 % 60, secs % 60);
    if (part != 0) {
      length += std::snprintf(text + length, sizeof text - length, ".%0*lld", places, part);
      while (text[length - 1] == '0') --length;
    }
    const std::string candidate(text, static_cast<std::size_t>(length));
    const std::optional<double> back = JetDateFromText(candidate);
    if (back && *back == date && std::signbit(*back) == std::signbit(date)) return candidate;
  }
  return std::nullopt;
}

}  // namespace zorvik::testing
