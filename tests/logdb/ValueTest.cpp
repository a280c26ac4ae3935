#include "logdb/Value.h"

#include <gtest/gtest.h>

namespace zorvik::logdb {
namespace {

TEST(Value, ToTextGivesTheShortestDecimalForm) {
  const std::pair<Value, const char*> cases[] = {
      {Value(), ""},
      {Value("R"), "R"},
      {Value(291), "291"},
      {Value(14.074), "14.074"},
      {Value(14.0), "14"},
      {Value(-0.5), "-0.5"},
      {Value(std::int64_t{9007199254740993}), "9007199254740993"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(value.ToText(), text) << text;
}

TEST(Value, SameValueComparesAsTheProgramDoes) {
  struct Case {
    Value a, b;
    bool same;
  };
  const Case cases[] = {
      {Value(), Value(), false},
      {Value(), Value(""), false},
      {Value(14), Value(14.0), true},
      {Value(14.074), Value(14.074), true},
      {Value(14.074), Value(14.07), false},
      {Value("SSB"), Value("SSB"), true},
      {Value("ssb"), Value("SSB"), false},
      {Value("14"), Value(14), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SameValue(c.a, c.b), c.same) << c.a.ToText() << " vs " << c.b.ToText();
    EXPECT_EQ(SameValue(c.b, c.a), c.same) << c.b.ToText() << " vs " << c.a.ToText();
  }
}

}  // namespace
}  // namespace zorvik::logdb
