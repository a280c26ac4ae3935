#include "core/DateText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <optional>

#include "core/Failure.h"
#include "core/LocalToday.h"

namespace zorvik {
namespace {

using namespace std::chrono;

// Every test sets the pattern and month names it needs and puts the defaults back.
class DateTextTest : public ::testing::Test {
 protected:
  void TearDown() override {
    SetShortDatePattern("M/d/yyyy");
    SetLocaleMonthNames({});
  }
};

// A date as Y-M-D text, for readable messages.
std::string Shown(year_month_day d) {
  return std::to_string(static_cast<int>(d.year())) + "-" +
         std::to_string(static_cast<unsigned>(d.month())) + "-" +
         std::to_string(static_cast<unsigned>(d.day()));
}

struct ParseCase {
  const char* pattern;
  const char* text;
  year_month_day expected;
};

TEST_F(DateTextTest, ReadsDatesInEveryAcceptedForm) {
  const ParseCase cases[] = {
      {"M/d/yyyy", "1/1/1900", 1900y / 1 / 1},
      {"M/d/yyyy", "12/31/2015", 2015y / 12 / 31},
      {"M/d/yyyy", "  2/29/2016 ", 2016y / 2 / 29},
      {"M/d/yyyy", "2015-12-31", 2015y / 12 / 31},
      {"M/d/yyyy", "2015-12-31 23:59:59", 2015y / 12 / 31},
      {"M/d/yyyy", "31/12/2015", 2015y / 12 / 31},  // day/month: month 31 cannot be
      {"M/d/yyyy", "3/4/2015", 2015y / 3 / 4},      // month/day wins when both can be
      {"M/d/yyyy", "1/1/00", 2000y / 1 / 1},
      {"M/d/yyyy", "1/1/29", 2029y / 1 / 1},
      {"M/d/yyyy", "1/1/30", 1930y / 1 / 1},
      {"M/d/yyyy", "1/1/99", 1999y / 1 / 1},
      {"M/d/yy", "6/7/15", 2015y / 6 / 7},
      {"dd.MM.yyyy", "03.04.2015", 2015y / 4 / 3},  // the locale's order comes first
      {"dd.MM.yyyy", "3/4/2015", 2015y / 4 / 3},    // whatever the separator
      {"d/M/yyyy", "3/4/2015", 2015y / 4 / 3},
      {"d/M/yyyy", "12/31/2015", 2015y / 12 / 31},
      {"yyyy-MM-dd", "2016-01-01", 2016y / 1 / 1},
      {"d MMM yyyy", "5 Jan 2016", 2016y / 1 / 5},
      {"d MMMM yyyy", "5 january 2016", 2016y / 1 / 5},
  };
  for (const auto& c : cases) {
    SetShortDatePattern(c.pattern);
    try {
      EXPECT_EQ(year_month_day{ParseDateText(c.text)}, c.expected)
          << "pattern " << c.pattern << ", text \"" << c.text << "\"";
    } catch (const Failure& f) {
      ADD_FAILURE() << "pattern " << c.pattern << ", text \"" << c.text << "\": " << f.what();
    }
  }
}

TEST_F(DateTextTest, TextThatIsNotADateIsATypeMismatch) {
  const char* texts[] = {"",
                         "   ",
                         "Call",
                         "2/30/2015",
                         "13/13/2015",
                         "1/",
                         "/1/1",
                         "1/1/2015x",
                         "2015-02-29",
                         "2015-13-01",
                         "1//2015",
                         "1/1-2015",
                         "0/1/2015",
                         "1/1/99999",
                         "1/1/50 12",
                         "2015-01-01 25:00",
                         "1/1/2015 10",
                         "1/1/2015 13:00 PM",
                         "10:00",
                         "May 2004",
                         "May",
                         "Smarch 2, 2004",
                         "2 2004 May",
                         "2 May May",
                         "2004/13/1",
                         "1/1/",
                         "\"1/1/2015\""};
  for (const char* text : texts) {
    try {
      ParseDateText(text);
      ADD_FAILURE() << "\"" << text << "\" read as a date";
    } catch (const Failure& f) {
      EXPECT_EQ(f.Number(), err::kTypeMismatch) << text;
    }
  }
}

// What users of five locales type, read with the locale's short-date pattern and month names as
// the window hands them over. Dates without a year fall in 2031, the year given for "this year".
TEST_F(DateTextTest, ReadsWhatUsersTypeInTheirLocale) {
  const auto names = [](std::initializer_list<std::pair<const char*, const char*>> months) {
    LocaleMonthNames out;
    std::size_t i = 0;
    for (const auto& [full, shortName] : months) out[i++] = {full, shortName};
    return out;
  };
  const LocaleMonthNames german = names({{"Januar", "Jan."},
                                         {"Februar", "Feb."},
                                         {"März", "März"},
                                         {"April", "Apr."},
                                         {"Mai", "Mai"},
                                         {"Juni", "Juni"},
                                         {"Juli", "Juli"},
                                         {"August", "Aug."},
                                         {"September", "Sept."},
                                         {"Oktober", "Okt."},
                                         {"November", "Nov."},
                                         {"Dezember", "Dez."}});
  const LocaleMonthNames french = names({{"janvier", "janv."},
                                         {"février", "févr."},
                                         {"mars", "mars"},
                                         {"avril", "avr."},
                                         {"mai", "mai"},
                                         {"juin", "juin"},
                                         {"juillet", "juil."},
                                         {"août", "août"},
                                         {"septembre", "sept."},
                                         {"octobre", "oct."},
                                         {"novembre", "nov."},
                                         {"décembre", "déc."}});
  LocaleMonthNames japanese;
  for (int m = 1; m <= 12; ++m) japanese[m - 1] = {std::to_string(m) + "月"};
  const struct Locale {
    const char* name;
    const char* pattern;
    LocaleMonthNames months;
  } locales[] = {
      {"en_US", "M/d/yyyy", {}},         {"en_GB", "dd/MM/yyyy", {}},
      {"de_DE", "dd.MM.yyyy", german},   {"fr_FR", "dd/MM/yyyy", french},
      {"ja_JP", "yyyy/MM/dd", japanese},
  };
  struct Case {
    const char* locale;
    const char* text;
    std::optional<year_month_day> expected;  // nullopt: not a date (13)
  };
  const Case cases[] = {
      {"en_US", "5/1/2004", 2004y / 5 / 1},
      {"en_US", "5.1.2004", 2004y / 5 / 1},
      {"en_US", "5-1-04", 2004y / 5 / 1},
      {"en_US", "13/1/2004", 2004y / 1 / 13},  // no 13th month: day first then
      {"en_US", "5/1/04 10:00", 2004y / 5 / 1},
      {"en_US", "5/1/04 10:00:59 pm", 2004y / 5 / 1},
      {"en_US", "May 2, 2004", 2004y / 5 / 2},
      {"en_US", "2 May 2004", 2004y / 5 / 2},
      {"en_US", "2-May-2004", 2004y / 5 / 2},
      {"en_US", "sept 2 04", 2004y / 9 / 2},
      {"en_US", "2004/5/1", 2004y / 5 / 1},
      {"en_US", "2004-05-01T10:00:00", 2004y / 5 / 1},
      {"en_US", "5/1", 2031y / 5 / 1},
      {"en_US", "May 2", 2031y / 5 / 2},
      {"en_US", "2/29", std::nullopt},  // 2031 is no leap year
      {"en_US", "May 2004", std::nullopt},
      {"en_US", "Mai 2, 2004", std::nullopt},  // German names only in a German locale
      {"en_GB", "5/1/2004", 2004y / 1 / 5},
      {"en_GB", "5.1.2004", 2004y / 1 / 5},
      {"en_GB", "1/13/2004", 2004y / 1 / 13},
      {"en_GB", "5/1", 2031y / 1 / 5},
      {"en_GB", "2 May 2004", 2004y / 5 / 2},
      {"en_GB", "May 2, 2004", 2004y / 5 / 2},
      {"en_GB", "2004/5/1", 2004y / 5 / 1},
      {"en_GB", "05/01/2004 23:59", 2004y / 1 / 5},
      {"de_DE", "1.5.2004", 2004y / 5 / 1},
      {"de_DE", "1/5/2004", 2004y / 5 / 1},
      {"de_DE", "1-5-04", 2004y / 5 / 1},
      {"de_DE", "1.5.2004 10:00", 2004y / 5 / 1},
      {"de_DE", "1.5.", 2031y / 5 / 1},
      {"de_DE", "2. Mai 2004", 2004y / 5 / 2},
      {"de_DE", "2. März 2004", 2004y / 3 / 2},
      {"de_DE", "2 Okt. 2004", 2004y / 10 / 2},
      {"de_DE", "24. dez", 2031y / 12 / 24},
      {"de_DE", "2-May-2004", 2004y / 5 / 2},  // English names read everywhere
      {"de_DE", "2004-05-01", 2004y / 5 / 1},
      {"de_DE", "31.2.2004", std::nullopt},
      {"fr_FR", "1/5/2004", 2004y / 5 / 1},
      {"fr_FR", "1/5", 2031y / 5 / 1},
      {"fr_FR", "2 mai 2004", 2004y / 5 / 2},
      {"fr_FR", "2 Février 2004", 2004y / 2 / 2},
      {"fr_FR", "2 févr. 2004", 2004y / 2 / 2},
      {"fr_FR", "2 fév 2004", 2004y / 2 / 2},
      {"fr_FR", "14 juil 2004", 2004y / 7 / 14},
      {"fr_FR", "14 jui 2004", std::nullopt},  // juin or juillet
      {"ja_JP", "2004/5/1", 2004y / 5 / 1},
      {"ja_JP", "2004/05/01 10:00", 2004y / 5 / 1},
      {"ja_JP", "04/5/1", 2004y / 5 / 1},
      {"ja_JP", "5/1", 2031y / 5 / 1},
      {"ja_JP", "12/31/2004", 2004y / 12 / 31},
      {"ja_JP", "May 2, 2004", 2004y / 5 / 2},
  };
  for (const Case& c : cases) {
    const Locale& locale =
        *std::find_if(std::begin(locales), std::end(locales),
                      [&](const Locale& l) { return std::string_view(l.name) == c.locale; });
    SetShortDatePattern(locale.pattern);
    SetLocaleMonthNames(locale.months);
    const std::string what = std::string(c.locale) + " \"" + c.text + "\"";
    try {
      const year_month_day got{ParseDateText(c.text, 2031y)};
      if (c.expected) {
        EXPECT_EQ(Shown(got), Shown(*c.expected)) << what;
      } else {
        ADD_FAILURE() << what << " read as " << Shown(got);
      }
    } catch (const Failure& f) {
      EXPECT_FALSE(c.expected) << what << ": " << f.what();
      EXPECT_EQ(f.Number(), err::kTypeMismatch) << what;
    }
  }
}

// Without a year given, the reader takes the year of the same today the stop-date field shows.
TEST_F(DateTextTest, DayAndMonthAloneFallInTheYearOfToday) {
  const year before = year_month_day{LocalToday()}.year();
  const sys_days read = ParseDateText("12/31");
  const year after = year_month_day{LocalToday()}.year();
  EXPECT_TRUE(read == sys_days{before / 12 / 31} || read == sys_days{after / 12 / 31});
}

// Sets the process's time zone (a POSIX TZ text) for the C library's local time; nullopt restores
// the system's own.
void SetTimeZone(const std::optional<std::string>& zone) {
#ifdef _WIN32
  _putenv_s("TZ", zone ? zone->c_str() : "");
  _tzset();
#else
  if (zone) {
    setenv("TZ", zone->c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
#endif
}

// Today is the user's date, not the date in Greenwich: at 11:00 UTC on the first of January it is
// already the second in Kiribati and still the 31st on Baker Island.
TEST(LocalDay, IsTheDateInTheLocalTimeZone) {
  const std::optional<std::string> saved =
      std::getenv("TZ") ? std::optional<std::string>(std::getenv("TZ")) : std::nullopt;
  const std::time_t when = system_clock::to_time_t(sys_days{2016y / 1 / 1} + hours(11));
  // Three-letter zone names: the only form Windows' C library reads.
  const struct {
    const char* zone;
    year_month_day day;
  } cases[] = {{"UTC0", 2016y / 1 / 1}, {"LIT-14", 2016y / 1 / 2}, {"BIT+12", 2015y / 12 / 31}};
  for (const auto& c : cases) {
    SetTimeZone(c.zone);
    EXPECT_EQ(year_month_day{LocalDay(when)}, c.day) << c.zone;
  }
  SetTimeZone(saved);
}

TEST_F(DateTextTest, FormatReadsBackAsTheSameDateInEveryPattern) {
  const char* patterns[] = {"M/d/yyyy", "M/d/yy",     "dd.MM.yyyy",
                            "d/M/yy",   "yyyy-MM-dd", "d MMM yyyy"};
  const sys_days days[] = {sys_days{1900y / 1 / 1}, sys_days{1929y / 12 / 31},
                           sys_days{2016y / 2 / 29}, sys_days{2031y / 7 / 4}};
  for (const char* pattern : patterns) {
    SetShortDatePattern(pattern);
    for (sys_days d : days) {
      std::string text = FormatShortDate(d);
      EXPECT_EQ(ParseDateText(text), d) << pattern << " wrote \"" << text << "\"";
    }
  }
  SetShortDatePattern("M/d/yy");
  EXPECT_EQ(FormatShortDate(sys_days{1929y / 12 / 31}), "12/31/1929");
}

TEST_F(DateTextTest, IsoMidnightIsTheStoredForm) {
  EXPECT_EQ(IsoMidnight(sys_days{2016y / 1 / 1}), "2016-01-01 00:00:00");
  EXPECT_EQ(IsoMidnight(sys_days{1900y / 12 / 9}), "1900-12-09 00:00:00");
}

}  // namespace
}  // namespace zorvik
