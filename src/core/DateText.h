#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace zorvik {

// The date fields hold dates as typed or in the user's locale short-date form, and the log's
// DateValue() reads the same texts, so one parser serves both.

// The locale's short-date pattern in Qt's pattern letters ("M/d/yy", "dd.MM.yyyy", ...). It is a
// process-wide fact, set once at start by the window (tests set it too); the default is "M/d/yyyy".
void SetShortDatePattern(std::string pattern);
const std::string& ShortDatePattern();

// Reads a date: the locale's short-date pattern first, then ISO "YYYY-MM-DD", then month/day/year,
// then day/month/year when month/day/year cannot be a date. Two-digit years 00-29 mean 20xx and
// 30-99 mean 19xx. Surrounding blanks are ignored. Throws Failure(err::kTypeMismatch) for text
// that is not a date.
std::chrono::sys_days ParseDateText(std::string_view text);

// Writes a date in the locale's short-date pattern, always with a four-digit year, so that
// ParseDateText reads it back as the same date.
std::string FormatShortDate(std::chrono::sys_days day);

// "YYYY-MM-DD 00:00:00": midnight of `day` as the log stores date-times.
std::string IsoMidnight(std::chrono::sys_days day);

}  // namespace zorvik
