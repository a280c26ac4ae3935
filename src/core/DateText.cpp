// Placeholder until the date parser lands; replaced by the real one.
#include "core/DateText.h"

#include "core/Failure.h"

namespace zorvik {
namespace {
std::string& Pattern() {
  static std::string pattern = "M/d/yyyy";
  return pattern;
}
}  // namespace
void SetShortDatePattern(std::string pattern) { Pattern() = std::move(pattern); }
const std::string& ShortDatePattern() { return Pattern(); }
std::chrono::sys_days ParseDateText(std::string_view) {
  throw Failure(err::kTypeMismatch, "Type mismatch");
}
std::string FormatShortDate(std::chrono::sys_days) { return {}; }
std::string IsoMidnight(std::chrono::sys_days) { return {}; }
}  // namespace zorvik
