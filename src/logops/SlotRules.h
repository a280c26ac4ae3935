#pragma once

#include <optional>
#include <string_view>

#include "logdb/Value.h"

namespace zorvik::logdb {

// Where a contact's slot sits in an entity's Progress.BandModes text: four runs of eleven
// characters, one per band, for the mode groups AM/FM/SSB, CW, every other mode, and PSK.
// Band and mode texts are matched exactly, letter case included, because DXKeeper stores them
// in upper case and anything else is not one of its slots.

inline constexpr int kBandCount = 11;
inline constexpr int kBandModesLength = 44;

// The same rules on plain texts, for tools that read the log without record sets.
std::optional<int> BandIndex(std::string_view band);
int ModeGroupOffset(std::string_view mode);
std::optional<int> SlotPosition(std::string_view band, std::string_view mode);

// 1 ("160M") to 11 ("2M"); nullopt for any other band, a Null or a non-text value.
std::optional<int> BandIndex(const Value& band);

// 0 for AM, FM, SSB; 11 for CW; 33 for PSK31, PSK63, PSK125; 22 for any other value.
int ModeGroupOffset(const Value& mode);

// The 1-based position (1..44) of the slot, or nullopt when the band has no index.
std::optional<int> SlotPosition(const Value& band, const Value& mode);

// True only when `bandModes` is a text whose character at `position` is "W"; a Null, or a text
// too short to have that position, is not eligible.
bool SlotIsWorkedNotConfirmed(const Value& bandModes, int position);

}  // namespace zorvik::logdb
