#include "BandModeSlots.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvik::logtools {
namespace {

TEST(BandModeSlots, PositionsFollowTheBandTableAndModeGroups) {
  struct Case {
    std::string_view band;
    std::string_view mode;
    std::optional<int> position;
  };
  const std::vector<Case> cases = {
      {"160M", "SSB", 1},
      {"160M", "AM", 1},
      {"2M", "FM", 11},
      {"40M", "CW", 14},
      {"20M", "RTTY", 27},
      {"20M", "FT8", 27},
      {"2M", "PSK63", 44},
      {"80M", "PSK31", 35},
      {"10M", "PSK125", 42},
      {"6M", "", 32},
      // Exact texts only: other case, other bands and PSK rates outside the group.
      {"20M", "ssb", 27},
      {"20M", "PSK", 27},
      {"20M", "PSK250", 27},
      {"20m", "SSB", {}},
      {"60M", "SSB", {}},
      {"70CM", "FM", {}},
      {"", "CW", {}},
      {" 20M", "CW", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SlotPosition(c.band, c.mode), c.position) << c.band << " " << c.mode;
  }
}

TEST(BandModeSlots, BestStatusOfASlotWins) {
  struct Case {
    const char* name;
    std::vector<std::optional<std::string>> rcvd;  // QSL_Rcvd of contacts in one slot
    char status;
  };
  const std::optional<std::string> null;
  const std::vector<Case> cases = {
      {"one contact, no card", {null}, 'W'},
      {"empty and requested", {"", "R"}, 'W'},
      {"stray values count as worked", {"N", "YES", "~", "S", "I", "X"}, 'W'},
      {"card after worked", {null, "Y"}, 'C'},
      {"worked after card", {"Y", null}, 'C'},
      {"lower-case card", {"y"}, 'C'},
      {"verified beats card", {"Y", "V", "Y"}, 'V'},
  };
  for (const Case& c : cases) {
    ProgressTally tally;
    for (const auto& rcvd : c.rcvd) tally.Add("1", "20M", "CW", rcvd);
    const std::string modes = tally.BandModes("1");
    ASSERT_EQ(modes.size(), 44u) << c.name;
    EXPECT_EQ(modes[15], c.status) << c.name;
    EXPECT_EQ(std::string(modes).erase(15, 1), std::string(43, '-')) << c.name;
  }
}

TEST(BandModeSlots, TallyKeepsEntitiesApartAndSkipsWhatHasNoSlot) {
  ProgressTally tally;
  tally.Add("100", "20M", "SSB", "Y");
  tally.Add("100", "20M", "AM", std::nullopt);  // shares the SSB character, which stays C
  tally.Add("7", "2M", "PSK63", std::nullopt);
  tally.Add("7", "60M", "SSB", std::nullopt);  // no band index
  tally.Add("0", "20M", "SSB", std::nullopt);  // no entity
  tally.Add(std::nullopt, "20M", "SSB", std::nullopt);
  tally.Add("", "20M", "SSB", std::nullopt);
  tally.Add("9", std::nullopt, "SSB", std::nullopt);
  tally.Add("8", "40M", std::nullopt, std::nullopt);  // Null mode: the other-modes run

  EXPECT_EQ(tally.Entities().size(), 3u);
  EXPECT_EQ(tally.BandModes("100"), "----C" + std::string(39, '-'));
  EXPECT_EQ(tally.BandModes("7"), std::string(43, '-') + "W");
  EXPECT_EQ(tally.BandModes("8")[24], 'W');
  EXPECT_EQ(tally.BandModes("42"), std::string(44, '-'));
}

}  // namespace
}  // namespace zorvik::logtools
