#include "BandModeSlots.h"

#include <array>

namespace zorvik::logtools {

namespace {

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
  const std::string modeText = mode.value_or("");
  const std::optional<int> position =
      SlotPosition(std::string_view(*band), std::string_view(modeText));
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
