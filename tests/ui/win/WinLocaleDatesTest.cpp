// The hand-over of the Windows locale's date facts to the date reader: what users of five
// locales type reads as they mean it, month names in Windows' own spellings and case forms.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "core/DateText.h"
#include "core/Failure.h"
#include "host/win/WideText.h"
#include "ui/win/WinPlatform.h"

namespace zorvik::ui::win {
namespace {

using namespace std::chrono;

TEST(WinLocaleDates, TypedDatesReadInTheUsersLocale) {
  const struct {
    const wchar_t* locale;
    const char* text;
    year_month_day expected;
  } cases[] = {
      {L"en-US", "5/1/2004", 2004y / 5 / 1},       {L"en-US", "May 2, 2004 10:00", 2004y / 5 / 2},
      {L"en-GB", "5/1/2004", 2004y / 1 / 5},       {L"de-DE", "1/5/2004", 2004y / 5 / 1},
      {L"de-DE", "2. März 2004", 2004y / 3 / 2},   {L"de-DE", "2. MÄRZ 2004", 2004y / 3 / 2},
      {L"de-DE", "2. märz 2004", 2004y / 3 / 2},   {L"fr-FR", "1.5.2004", 2004y / 5 / 1},
      {L"fr-FR", "2 février 2004", 2004y / 2 / 2}, {L"fr-FR", "2 FÉVRIER 2004", 2004y / 2 / 2},
      {L"ja-JP", "04/5/1", 2004y / 5 / 1},         {L"ja-JP", "2004/05/01 10:00", 2004y / 5 / 1},
  };
  for (const auto& c : cases) {
    UseLocaleDates(c.locale);
    const std::string what = host::win::ToUtf8(c.locale) + " \"" + c.text + "\"";
    try {
      EXPECT_TRUE(year_month_day{ParseDateText(c.text)} == c.expected) << what;
    } catch (const Failure& f) {
      ADD_FAILURE() << what << ": " << f.what();
    }
  }
  // A locale Windows does not know hands over the defaults.
  UseLocaleDates(L"xx-NOWHERE");
  EXPECT_EQ(ShortDatePattern(), "M/d/yyyy");
  EXPECT_TRUE(MonthNamesOf(L"xx-NOWHERE")[0].empty());
}

}  // namespace
}  // namespace zorvik::ui::win
