#pragma once

#include <array>
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

// The date fields hold dates as typed or in the user's locale short-date form, and the log's
// DateValue() reads the same texts, so one reader serves both.

// The locale's short-date pattern in Qt's pattern letters ("M/d/yy", "dd.MM.yyyy", ...). It is a
// process-wide fact, set once at start by the window (tests set it too); the default is "M/d/yyyy".
void SetShortDatePattern(std::string pattern);
const std::string& ShortDatePattern();

// The month names of the user's locale, read beside the English ones: `names[m]` lists the
// spellings of month m + 1 that the front end knows (full and abbreviated, in the case forms it
// wants read; a trailing "." is optional when typed). ASCII letters match without regard to case,
// other characters exactly. Process-wide like the pattern; the default is none.
using LocaleMonthNames = std::array<std::vector<std::string>, 12>;
void SetLocaleMonthNames(LocaleMonthNames names);

// Reads a date as DXKeeper's engine reads a typed one. Accepted, with blanks around ignored:
// - the locale's short-date pattern;
// - three numbers split by one kind of separator ("/", "-" or "."), day and month in the
//   locale's order whatever the separator, the other order when that gives no date; a first
//   number of three or four digits is the year ("2004/5/1", "2004-05-01");
// - day and month without a year, in the locale's order ("5/1", "1.5."): a date of
//   `currentYear`;
// - a month name, English or the locale's, full or cut to three or more letters, with the day
//   and year as numbers ("May 2, 2004", "2 May 2004", "2-May-2004", "2. Mai 2004"), or with the
//   day alone (`currentYear`);
// - any of these followed by a time of day, which a date ignores ("5/1/04 10:00",
//   "2004-05-01T10:00:00", "5/1/04 10:00 PM").
// Years of one or two digits: 00-29 are 20xx, 30-99 are 19xx. Years run from 100 to 9999. Throws
// Failure(err::kTypeMismatch) for anything else.
std::chrono::sys_days ParseDateText(std::string_view text, std::chrono::year currentYear);

// ParseDateText in the year of LocalToday().
std::chrono::sys_days ParseDateText(std::string_view text);

// Writes a date in the locale's short-date pattern, always with a four-digit year, so that
// ParseDateText reads it back as the same date.
std::string FormatShortDate(std::chrono::sys_days day);

// "YYYY-MM-DD 00:00:00": midnight of `day` as the log stores date-times.
std::string IsoMidnight(std::chrono::sys_days day);

}  // namespace zorvik
