#pragma once

#include <string>

#include <QLocale>

#include "core/DateText.h"
#include "host/HostMonitor.h"

namespace zorvik::ui {

// The running executable's name (without extension) and the version record 1.4.0.2 as
// major 1, minor 4, revision 2.
host::ProgramIdentity CurrentProgramIdentity();

// The folder of the running executable, without a trailing separator.
std::string ProgramFolder();

// The locale's short-date pattern with a four-digit year ("M/d/yy" becomes "M/d/yyyy"), so that a
// date written with it reads back as the same date in any century.
std::string ShortDatePatternOf(const QLocale& locale);

// The locale's month names as the date reader takes them: for each month the full and the
// abbreviated name, in the form used in dates and the one used alone, each also in lower and in
// upper case (the reader folds only ASCII letters itself). None for the C locale: the reader
// knows the English names anyway.
LocaleMonthNames MonthNamesOf(const QLocale& locale);

// Hands the locale's short-date pattern and month names to the date reader (core/DateText.h).
// Called once at start, before any date is read or written.
void UseLocaleDates(const QLocale& locale);

}  // namespace zorvik::ui
