#include "ui/qt/QtPlatform.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>

#include "zorvik/Version.h"

namespace zorvik::ui {

host::ProgramIdentity CurrentProgramIdentity() {
  return {
      .name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString(),
      .major = version::kMajor,
      .minor = version::kMinor,
      .revision = version::kRevision,
  };
}

std::string ProgramFolder() {
  return QCoreApplication::applicationDirPath().toStdString();
}

std::string ShortDatePatternOf(const QLocale& locale) {
  // Without a locale (servers, CI) Qt's pattern spells the month ("7 Dec 2026"); the numeric
  // month/day/year form of the fields' design values reads better and parses the same.
  if (locale.language() == QLocale::C) return "M/d/yyyy";
  QString pattern = locale.dateFormat(QLocale::ShortFormat);
  // Exactly two y's (not part of a longer run) is a two-digit year.
  static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
  pattern.replace(twoDigitYear, QStringLiteral("yyyy"));
  return pattern.toStdString();
}

LocaleMonthNames MonthNamesOf(const QLocale& locale) {
  LocaleMonthNames names;
  if (locale.language() == QLocale::C) return names;
  for (int month = 1; month <= 12; ++month) {
    QStringList spellings;
    for (const QLocale::FormatType format : {QLocale::LongFormat, QLocale::ShortFormat}) {
      for (const QString& name :
           {locale.monthName(month, format), locale.standaloneMonthName(month, format)}) {
        spellings << name << locale.toLower(name) << locale.toUpper(name);
      }
    }
    spellings.removeDuplicates();
    for (const QString& spelling : spellings) {
      if (!spelling.isEmpty()) names[month - 1].push_back(spelling.toStdString());
    }
  }
  return names;
}

void UseLocaleDates(const QLocale& locale) {
  SetShortDatePattern(ShortDatePatternOf(locale));
  SetLocaleMonthNames(MonthNamesOf(locale));
}

}  // namespace zorvik::ui
