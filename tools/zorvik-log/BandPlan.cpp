#include "BandPlan.h"

#include <array>

namespace zorvik::logtools {

namespace {

constexpr std::array<BandEdges, 16> kBands = {{
    {"160M", 1.8, 2.0},
    {"80M", 3.5, 4.0},
    {"60M", 5.06, 5.45},
    {"40M", 7.0, 7.3},
    {"30M", 10.1, 10.15},
    {"20M", 14.0, 14.35},
    {"17M", 18.068, 18.168},
    {"15M", 21.0, 21.45},
    {"12M", 24.89, 24.99},
    {"10M", 28.0, 29.7},
    {"6M", 50.0, 54.0},
    {"4M", 70.0, 71.0},
    {"2M", 144.0, 148.0},
    {"1.25M", 222.0, 225.0},
    {"70CM", 420.0, 450.0},
    {"23CM", 1240.0, 1300.0},
}};

}  // namespace

std::span<const BandEdges> KnownBands() {
  return kBands;
}

std::optional<std::string_view> BandOfFrequency(double mhz) {
  for (const BandEdges& band : kBands) {
    if (mhz >= band.lowMHz && mhz <= band.highMHz) return band.name;
  }
  return std::nullopt;
}

std::optional<BandEdges> EdgesOfBand(std::string_view name) {
  for (const BandEdges& band : kBands) {
    if (band.name == name) return band;
  }
  return std::nullopt;
}

}  // namespace zorvik::logtools
