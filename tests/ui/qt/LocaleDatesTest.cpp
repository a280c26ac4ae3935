// The hand-over of the locale's date facts from Qt to the date reader: what users of five locales
// type reads as they mean it, month names in the case forms Qt knows included.
#include <gtest/gtest.h>

#include <QLocale>
#include <chrono>

#include "core/DateText.h"
#include "core/Failure.h"
#include "ui/qt/QtPlatform.h"

namespace zorvik {
namespace {

using namespace std::chrono;

TEST(LocaleDates, TypedDatesReadInTheUsersLocale) {
  struct Case {
    QLocale::Language language;
    QLocale::Country country;
    const char* text;
    year_month_day expected;
  };
  const Case cases[] = {
      {QLocale::English, QLocale::UnitedStates, "5/1/2004", 2004y / 5 / 1},
      {QLocale::English, QLocale::UnitedStates, "May 2, 2004 10:00", 2004y / 5 / 2},
      {QLocale::English, QLocale::UnitedKingdom, "5/1/2004", 2004y / 1 / 5},
      {QLocale::English, QLocale::UnitedKingdom, "2-Sept-2004", 2004y / 9 / 2},
      {QLocale::German, QLocale::Germany, "1/5/2004", 2004y / 5 / 1},
      {QLocale::German, QLocale::Germany, "2. März 2004", 2004y / 3 / 2},
      {QLocale::German, QLocale::Germany, "2. MÄRZ 2004", 2004y / 3 / 2},
      {QLocale::German, QLocale::Germany, "2 Okt. 2004", 2004y / 10 / 2},
      {QLocale::French, QLocale::France, "1.5.2004", 2004y / 5 / 1},
      {QLocale::French, QLocale::France, "2 FÉVRIER 2004", 2004y / 2 / 2},
      {QLocale::French, QLocale::France, "2 déc. 2004", 2004y / 12 / 2},
      {QLocale::Japanese, QLocale::Japan, "04/5/1", 2004y / 5 / 1},
      {QLocale::Japanese, QLocale::Japan, "2004/05/01 10:00", 2004y / 5 / 1},
  };
  for (const Case& c : cases) {
    const QLocale locale(c.language, c.country);
    ui::UseLocaleDates(locale);
    const std::string what = locale.name().toStdString() + " \"" + c.text + "\"";
    try {
      EXPECT_TRUE(year_month_day{ParseDateText(c.text)} == c.expected) << what;
    } catch (const Failure& f) {
      ADD_FAILURE() << what << ": " << f.what();
    }
  }
  ui::UseLocaleDates(QLocale::c());
  EXPECT_EQ(ShortDatePattern(), "M/d/yyyy");
  EXPECT_TRUE(ui::MonthNamesOf(QLocale::c())[0].empty());
}

}  // namespace
}  // namespace zorvik
