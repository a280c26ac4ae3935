#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "core/DateText.h"
#include "host/HostMonitor.h"

namespace zorvik::ui::win {

// The four fields of an executable's version record (its VERSIONINFO resource).
struct VersionRecord {
  int major = 0;
  int minor = 0;
  int build = 0;
  int revision = 0;
  friend bool operator==(const VersionRecord&, const VersionRecord&) = default;
};

// The version record of the executable file at `path`, or nullopt when it has none.
std::optional<VersionRecord> ReadVersionRecord(const std::wstring& path);

// The full path of the running executable.
std::wstring ExecutablePath();

// The running executable's name (without extension) and its version record, 1.4.0.2 read as
// major 1, minor 4, revision 2. Without a record (a build fault) the version compiled in stands.
host::ProgramIdentity CurrentProgramIdentity();

// The folder of the running executable (UTF-8), without a trailing backslash.
std::string ProgramFolder();

// `pattern` with every shorter year ("y", "yy") widened to four digits ("yyyy").
std::string WithFourDigitYear(std::string pattern);

// The short-date pattern of the Windows locale `locale` (a locale name such as L"de-DE", or
// LOCALE_NAME_USER_DEFAULT) with a four-digit year, so that a date written with it reads back as
// the same date in any century; "M/d/yyyy" when Windows knows no such locale.
std::string ShortDatePatternOf(const wchar_t* locale);

// The month names of the Windows locale `locale`, as the date reader takes them: full and
// abbreviated, as written in a date (genitive) and on their own, each also in lower and upper
// case. Empty lists when Windows knows no such locale.
LocaleMonthNames MonthNamesOf(const wchar_t* locale);

// Hands the user's date facts (short-date pattern and month names) to the date reader, once at
// start, so that typed dates read as DXKeeper's engine reads them on this computer.
void UseLocaleDates(const wchar_t* locale = LOCALE_NAME_USER_DEFAULT);

}  // namespace zorvik::ui::win
