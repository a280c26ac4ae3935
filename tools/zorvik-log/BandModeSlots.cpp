#include "BandModeSlots.h"

#include <array>

namespace zorvik::logtools {

namespace {

constexpr std::array<std::string_view, kBandCount> kBands = {
    "160M", "80M", "40M", "30M", "20M", "17M", "15M", "12M", "10M", "6M", "2M"};

int Rank(char status) {
  switch (status) {
    case kVerified:
      return 3;
    case kConfirmed:
      return 2;
    case kWorked:
      return 1;
    default:
      return 0;
  }
}

}  // namespace

std::optional<int> BandIndex(std::string_view band) {
  for (std::size_t i = 0; i < kBands.size(); ++i) {
    if (kBands[i] == band) return static_cast<int>(i) + 1;
  }
  return std::nullopt;
}

int ModeGroupOffset(std::string_view mode) {
  if (mode == "AM" || mode == "FM" || mode == "SSB") return 0;
  if (mode == "CW") return 11;
  if (mode == "PSK31" || mode == "PSK63" || mode == "PSK125") return 33;
  return 22;
}

std::optional<int> SlotPosition(std::string_view band, std::string_view mode) {
  const std::optional<int> index = BandIndex(band);
  if (!index) return std::nullopt;
  return *index + ModeGroupOffset(mode);
}

char StatusOfContact(const std::optional<std::string>& qslRcvd) {
  if (qslRcvd && qslRcvd->size() == 1) {
    const char letter = (*qslRcvd)[0];
    if (letter == 'Y' || letter == 'y') return kConfirmed;
    if (letter == 'V' || letter == 'v') return kVerified;
  }
  return kWorked;
}

void ProgressTally::Add(const std::optional<std::string>& dxccId,
                        const std::optional<std::string>& band,
                        const std::optional<std::string>& mode,
                        const std::optional<std::string>& qslRcvd) {
  if (!dxccId || dxccId->empty() || *dxccId == "0" || !band) return;
  // A Null mode is "some other mode" for the host's progress as well.
  const std::optional<int> position = SlotPosition(*band, mode.value_or(""));
  if (!position) return;
  auto [it, inserted] = entities_.try_emplace(*dxccId, std::string(kBandModesLength, kNotWorked));
  char& slot = it->second[static_cast<std::size_t>(*position - 1)];
  const char status = StatusOfContact(qslRcvd);
  if (Rank(status) > Rank(slot)) slot = status;
}

std::string ProgressTally::BandModes(const std::string& dxccId) const {
  const auto it = entities_.find(dxccId);
  return it != entities_.end() ? it->second : std::string(kBandModesLength, kNotWorked);
}

}  // namespace zorvik::logtools
