// Fuzzes the date reader that both date fields and the log's DateValue() use. For any text it
// must either give a date in the years 100 to 9999 that reads back from its own short form, or
// fail with the type mismatch (13); nothing else may come out of it.
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/DateText.h"
#include "core/Failure.h"

namespace {

// Short-date patterns of real locales; the first input byte picks one, and whether the French
// month names are read beside the English ones.
constexpr std::array<const char*, 8> kPatterns = {
    "M/d/yyyy", "d/M/yyyy", "dd.MM.yyyy", "yyyy-MM-dd",
    "d/M/yy",   "MM/dd/yy", "yyyy.M.d",   "d-M-yyyy",
};

const zorvik::LocaleMonthNames kFrench = {{{"janvier", "janv."},
                                           {"février", "févr."},
                                           {"mars", "MARS"},
                                           {"avril", "avr."},
                                           {"mai", "MAI"},
                                           {"juin", "JUIN"},
                                           {"juillet", "juil."},
                                           {"août", "AOÛT"},
                                           {"septembre", "sept."},
                                           {"octobre", "oct."},
                                           {"novembre", "nov."},
                                           {"décembre", "déc."}}};

[[noreturn]] void Fail() {
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  zorvik::SetShortDatePattern(kPatterns[data[0] % kPatterns.size()]);
  zorvik::SetLocaleMonthNames((data[0] / kPatterns.size()) % 2 ? kFrench
                                                               : zorvik::LocaleMonthNames{});
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  std::chrono::sys_days day;
  try {
    day = zorvik::ParseDateText(text);
  } catch (const zorvik::Failure& f) {
    if (f.Number() != zorvik::err::kTypeMismatch) Fail();
    return 0;
  }
  const std::chrono::year_month_day ymd(day);
  if (!ymd.ok() || ymd.year() < std::chrono::year(100) || ymd.year() > std::chrono::year(9999)) {
    Fail();
  }
  if (zorvik::ParseDateText(zorvik::FormatShortDate(day)) != day) Fail();
  if (zorvik::IsoMidnight(day).size() != 19) Fail();
  return 0;
}
