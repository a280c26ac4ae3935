#include "AdifReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvik::logtools {
namespace {

struct FieldCase {
  const char* name;
  std::string text;
  const char* field;
  std::string expected;
};

TEST(AdifReader, ReadsFieldValuesByByteLength) {
  const std::vector<FieldCase> cases = {
      {"lower-case tags", "<call:4>W1AW<eor>", "CALL", "W1AW"},
      {"mixed-case tags", "<Call:4>W1AW<Eor>", "CALL", "W1AW"},
      {"type indicator", "<FREQ:6:N>14.074<EOR>", "FREQ", "14.074"},
      // "Jürg" is four characters but five bytes.
      {"multi-byte value", "<NAME:5>J\xC3\xBCrg<EOR>", "NAME", "J\xC3\xBCrg"},
      {"value holding a tag-like text", "<COMMENT:13>see <EOR> now<CALL:2>K1<EOR>", "COMMENT",
       "see <EOR> now"},
      {"value over lines", "<ADDRESS:8>1 Road\nX<EOR>", "ADDRESS", "1 Road\nX"},
      {"length shorter than the text", "<CALL:3>W1AWX<EOR>", "CALL", "W1A"},
      {"zero length", "<QSL_VIA:0><CALL:2>K1<EOR>", "QSL_VIA", ""},
      {"first of a repeated field", "<CALL:2>K1<CALL:2>K2<EOR>", "CALL", "K1"},
  };
  for (const FieldCase& c : cases) {
    const AdifDocument doc = ParseAdif(c.text);
    ASSERT_EQ(doc.records.size(), 1u) << c.name;
    const auto value = doc.records[0].Get(c.field);
    ASSERT_TRUE(value.has_value()) << c.name;
    EXPECT_EQ(*value, c.expected) << c.name;
    EXPECT_TRUE(doc.problems.empty()) << c.name << ": " << doc.problems.front().message;
  }
}

TEST(AdifReader, SeparatesTheHeaderFromTheRecords) {
  const AdifDocument doc = ParseAdif(
      "Exported by a logger <with> odd text\n<ADIF_VER:5>3.1.6 <programid:4>Test\n<eoh>\n"
      "<CALL:4>W1AW<QSO_DATE:8>20240101<EOR>\n<CALL:3>K1X<EOR>\n");
  EXPECT_EQ(doc.header.Get("ADIF_VER").value_or(""), "3.1.6");
  EXPECT_EQ(doc.header.Get("PROGRAMID").value_or(""), "Test");
  ASSERT_EQ(doc.records.size(), 2u);
  EXPECT_FALSE(doc.records[0].Get("ADIF_VER").has_value());
  EXPECT_EQ(doc.records[0].number, 1u);
  EXPECT_EQ(doc.records[1].number, 2u);
  EXPECT_EQ(doc.records[1].Get("call").value_or(""), "K1X");
}

TEST(AdifReader, HeaderRulesAtTheStartOfTheFile) {
  struct Case {
    const char* name;
    std::string text;
    std::size_t records;
    std::size_t problems;
  };
  const std::vector<Case> cases = {
      {"no header when the file starts with a tag", "<CALL:2>K1<EOR><CALL:2>K2<EOR>", 2, 0},
      {"byte order mark before the header", "\xEF\xBB\xBFhdr <EOH><CALL:2>K1<EOR>", 1, 0},
      // A header field is not a record even though it looks like one.
      {"header fields stay in the header", "x <ADIF_VER:5>3.1.6<EOH><CALL:2>K1<EOR>", 1, 0},
      {"text but no end of header", "Log of K1X\n<CALL:2>K1<EOR>", 1, 1},
      {"empty file", "", 0, 0},
      {"header only", "hdr <EOH>\n", 0, 0},
  };
  for (const Case& c : cases) {
    const AdifDocument doc = ParseAdif(c.text);
    EXPECT_EQ(doc.records.size(), c.records) << c.name;
    EXPECT_EQ(doc.problems.size(), c.problems) << c.name;
  }
}

TEST(AdifReader, ReportsDamageWithoutGivingUp) {
  struct Case {
    const char* name;
    std::string text;
    std::size_t records;
    std::size_t problemRecord;
  };
  const std::vector<Case> cases = {
      {"fields after the last end of record", "<CALL:2>K1<EOR><CALL:2>K2", 1, 2},
      {"length past the end of the file", "<CALL:2>K1<EOR><NAME:99>Al", 1, 2},
      {"length that is not a number", "<CALL:x>K1<CALL:2>K2<EOR>", 1, 1},
      {"negative length", "<CALL:-2>K1<CALL:2>K2<EOR>", 1, 1},
      {"tag without a length", "<CALL>K1<CALL:2>K2<EOR>", 1, 1},
      {"unterminated tag", "<CALL:2>K1<EOR><CALL:2", 1, 2},
      {"end of header among the records", "<CALL:2>K1<EOH><EOR>", 1, 1},
  };
  for (const Case& c : cases) {
    const AdifDocument doc = ParseAdif(c.text);
    EXPECT_EQ(doc.records.size(), c.records) << c.name;
    ASSERT_EQ(doc.problems.size(), 1u) << c.name;
    EXPECT_EQ(doc.problems[0].record, c.problemRecord) << c.name;
  }
  // The good record next to a bad tag still has its call.
  EXPECT_EQ(ParseAdif("<CALL:x>K1<CALL:2>K2<EOR>").records[0].Get("CALL").value_or(""), "K2");
}

}  // namespace
}  // namespace zorvik::logtools
