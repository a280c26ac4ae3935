#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace zorvik::logtools {

// An amateur band by its ADIF name (upper case, as the host stores it) and its edges in MHz.
struct BandEdges {
  std::string_view name;
  double lowMHz;
  double highMHz;
};

// The bands the tools know, from 160M to 23CM, in order of frequency.
std::span<const BandEdges> KnownBands();

// The band a frequency lies in, for records that give FREQ but no BAND; nullopt outside them.
std::optional<std::string_view> BandOfFrequency(double mhz);

// The edges of a band by name (exact upper-case text); nullopt for a band the tools do not know.
std::optional<BandEdges> EdgesOfBand(std::string_view band);

}  // namespace zorvik::logtools
