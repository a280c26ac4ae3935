#include "core/DateText.h"

#include <gtest/gtest.h>

#include "core/Failure.h"

namespace zorvik {
namespace {

using namespace std::chrono;

// Every test sets the pattern it needs and puts the default back.
class DateTextTest : public ::testing::Test {
 protected:
  void TearDown() override { SetShortDatePattern("M/d/yyyy"); }
};

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
      {"dd.MM.yyyy", "3/4/2015", 2015y / 3 / 4},    // other forms still read
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
                         "1/1",
                         "1/1/2015x",
                         "2015-02-29",
                         "2015-13-01",
                         "1//2015",
                         "1/1-2015",
                         "0/1/2015",
                         "1/1/99999",
                         "1/1/50 12",
                         "2015-01-01 25:00",
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
