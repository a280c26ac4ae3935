#include "logops/SlotRules.h"

#include <array>

namespace zorvik::logdb {
namespace {

constexpr std::array<std::string_view, kBandCount> kBands = {
    "160M", "80M", "40M", "30M", "20M", "17M", "15M", "12M", "10M", "6M", "2M"};

}  // namespace

std::optional<int> BandIndex(std::string_view band) {
  for (int i = 0; i < kBandCount; ++i) {
    if (band == kBands[static_cast<std::size_t>(i)]) return i + 1;
  }
  return std::nullopt;
}

int ModeGroupOffset(std::string_view mode) {
  if (mode == "AM" || mode == "FM" || mode == "SSB") return 0;
  if (mode == "CW") return kBandCount;
  if (mode == "PSK31" || mode == "PSK63" || mode == "PSK125") return 3 * kBandCount;
  return 2 * kBandCount;
}

std::optional<int> SlotPosition(std::string_view band, std::string_view mode) {
  const std::optional<int> index = BandIndex(band);
  if (!index) return std::nullopt;
  return *index + ModeGroupOffset(mode);
}

std::optional<int> BandIndex(const Value& band) {
  if (!band.IsText()) return std::nullopt;
  return BandIndex(std::string_view(band.AsText()));
}

int ModeGroupOffset(const Value& mode) {
  // A Null or numeric mode is not one of the named modes: the "other modes" group.
  if (!mode.IsText()) return 2 * kBandCount;
  return ModeGroupOffset(std::string_view(mode.AsText()));
}

std::optional<int> SlotPosition(const Value& band, const Value& mode) {
  const std::optional<int> index = BandIndex(band);
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
