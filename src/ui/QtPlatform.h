#pragma once

#include <string>

#include <QLocale>

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

}  // namespace zorvik::ui
