#include "logdb/SlotRules.h"

#include <array>

namespace zorvik::logdb {
namespace {

constexpr std::array<std::string_view, 11> kBands = {"160M", "80M", "40M", "30M", "20M", "17M",
                                                     "15M",  "12M", "10M", "6M",  "2M"};
constexpr int kBandsPerGroup = static_cast<int>(kBands.size());

}  // namespace

std::optional<int> BandIndex(const Value& band) {
  if (!band.IsText()) return std::nullopt;
  for (int i = 0; i < kBandsPerGroup; ++i) {
    if (band.AsText() == kBands[static_cast<std::size_t>(i)]) return i + 1;
  }
  return std::nullopt;
}

int ModeGroupOffset(const Value& mode) {
  if (mode.IsText()) {
    const std::string& m = mode.AsText();
    if (m == "AM" || m == "FM" || m == "SSB") return 0;
    if (m == "CW") return kBandsPerGroup;
    if (m == "PSK31" || m == "PSK63" || m == "PSK125") return 3 * kBandsPerGroup;
  }
  return 2 * kBandsPerGroup;
}

std::optional<int> SlotPosition(const Value& band, const Value& mode) {
  std::optional<int> index = BandIndex(band);
  if (!index) return std::nullopt;
  return *index + ModeGroupOffset(mode);
}

bool SlotIsWorkedNotConfirmed(const Value& bandModes, int position) {
  if (!bandModes.IsText() || position < 1) return false;
  const std::string& text = bandModes.AsText();
  return static_cast<std::size_t>(position) <= text.size() &&
         text[static_cast<std::size_t>(position) - 1] == 'W';
}

}  // namespace zorvik::logdb
