// The pure pieces of the Add action: slot positions, quoting and the candidate statement.
#include <gtest/gtest.h>

#include "core/Failure.h"
#include "logdb/LogDateTime.h"
#include "logops/CandidateStatement.h"
#include "logops/SlotRules.h"
#include "logops/SqlQuote.h"

namespace zorvik::logdb {
namespace {

TEST(SlotRules, PositionsOfBandAndModeGroup) {
  struct Case {
    Value band, mode;
    std::optional<int> position;
  };
  const Case cases[] = {
      {"160M", "SSB", 1},  {"20M", "AM", 5},      {"2M", "FM", 11},   {"160M", "CW", 12},
      {"40M", "CW", 14},   {"20M", "RTTY", 27},   {"40M", "FT8", 25}, {"2M", "PSK63", 44},
      {"6M", "PSK31", 43}, {"80M", "PSK125", 35}, {"20M", "ssb", 27}, {"20M", "PSK", 27},
      {"60M", "SSB", {}},  {"20m", "SSB", {}},    {"70CM", "FM", {}}, {Value(), "SSB", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SlotPosition(c.band, c.mode), c.position)
        << c.band.ToText() << " " << c.mode.ToText();
  }
}

TEST(SlotRules, OnlyAWAtThePositionIsEligible) {
  struct Case {
    Value bandModes;
    int position;
    bool eligible;
  };
  const Case cases[] = {
      {"W", 1, true},      {"-W", 2, true}, {"-W", 1, false},
      {"w", 1, false},     {"C", 1, false}, {"WWW", 4, false},
      {Value(), 1, false}, {"", 1, false},  {std::string(44, 'W'), 44, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SlotIsWorkedNotConfirmed(c.bandModes, c.position), c.eligible)
        << "'" << c.bandModes.ToText() << "' at " << c.position;
  }
}

TEST(SqlQuote, DoublesOnlyItsOwnQuote) {
  EXPECT_EQ(QuoteText("K1ABC"), "K1ABC");
  EXPECT_EQ(QuoteText("O'BRIEN"), "O''BRIEN");
  EXPECT_EQ(QuoteText("''"), "''''");
  EXPECT_EQ(QuoteText("a\"b"), "a\"b");
  EXPECT_EQ(QuoteDoubleQuoted("1/1/2004"), "1/1/2004");
  EXPECT_EQ(QuoteDoubleQuoted("1/1\"/2004"), "1/1\"\"/2004");
  EXPECT_EQ(QuoteDoubleQuoted("it's"), "it's");
}

TEST(CandidateStatement, OrdinaryValuesGiveTheStatementAsWritten) {
  const std::string own = BuildCandidateStatement({"1/1/2004", "1/1/2016", false, "W1AW"});
  EXPECT_EQ(own,
            "SELECT  * FROM QSOs WHERE (QSO_End >= DateValue(\"1/1/2004\") And QSO_End <= "
            "DateValue(\"1/1/2016\"))   AND (QSL_Sent Is Null Or QSL_Sent = '')   AND (QSL_Rcvd "
            "Is Null Or QSL_Rcvd = '')   AND DXCCID <> '0'  And Operator = 'W1AW' Order By "
            "DXCCID, [Band], Mode, QSO_End DESC");
  const std::string all = BuildCandidateStatement({"1/1/2004", "1/1/2016", true, "W1AW"});
  EXPECT_EQ(all.find("Operator"), std::string::npos) << all;
  EXPECT_NE(all.find("AND DXCCID <> '0'  Order By DXCCID"), std::string::npos) << all;
}

TEST(CandidateStatement, QuotesWhatTheUserTyped) {
  const std::string s = BuildCandidateStatement({"1/1\"/2004", "1/1/2016", false, "O'X"});
  EXPECT_NE(s.find("DateValue(\"1/1\"\"/2004\")"), std::string::npos) << s;
  EXPECT_NE(s.find("Operator = 'O''X' Order"), std::string::npos) << s;
}

// The updates of queued slots' candidates touch exactly the candidates: the same conditions as
// the candidate statement, values quoted the same way, in each engine's dialect. Jet refuses
// SQLite's words, and gets one update per queued slot (what Jet does with them is shown by the
// log-operation tests through DAO).
TEST(CandidateStatement, ClearStatementsShareTheCandidateConditions) {
  const std::set<QueuedSlots::Slot> queued = {{"1a", "20M", "SSB"}, {"", "40M", "C'W"}};
  for (const auto dialect : {StatementDialect::kSqlite, StatementDialect::kJet}) {
    const bool jet = dialect == StatementDialect::kJet;
    SCOPED_TRACE(jet ? "Jet" : "SQLite");
    const std::vector<std::string> clears =
        BuildQueuedSlotClearStatements({"1/1\"/2004", "1/1/2016", false, "O'X"}, queued, dialect);
    ASSERT_EQ(clears.size(), jet ? 2u : 1u);
    for (const std::string& clear : clears) {
      EXPECT_EQ(clear.rfind("Update QSOs Set QSL_Rcvd='' ", 0), 0u) << clear;
      EXPECT_NE(clear.find("WHERE (QSO_End >= DateValue(\"1/1\"\"/2004\") And QSO_End <= "
                           "DateValue(\"1/1/2016\"))   AND (QSL_Sent Is Null Or QSL_Sent = '')   "
                           "AND (QSL_Rcvd Is Null Or QSL_Rcvd = '')   AND DXCCID <> '0'  And "
                           "Operator = 'O''X' And "),
                std::string::npos)
          << clear;
      for (const char* sqliteOnly : {"Collate", "rowid", "ifnull"}) {
        EXPECT_EQ(clear.find(sqliteOnly) == std::string::npos, jet) << sqliteOnly << ": " << clear;
      }
    }
    if (jet) {
      EXPECT_NE(clears[0].find("DXCCID = '' And Band = '40M' And Mode = 'C''W' And "
                               "StrComp(Band, '40M', 0) = 0 And StrComp(Mode, 'C''W', 0) = 0"),
                std::string::npos)
          << clears[0];
    }
    const std::vector<std::string> allOps =
        BuildQueuedSlotClearStatements({"1/1/2004", "1/1/2016", true, "O'X"}, queued, dialect);
    for (const std::string& clear : allOps) {
      EXPECT_EQ(clear.find("Operator"), std::string::npos) << clear;
    }
  }
}

TEST(LogDateTime, SpellingsOfOneInstantAreEqual) {
  struct Case {
    const char* a;
    const char* b;
    bool equal;
  };
  const Case cases[] = {
      {"2004-05-01 12:00:00", "2004-05-01T12:00:00", true},
      {"2004-05-01 12:00", "2004-05-01 12:00:00", true},
      {"2004-05-01", "2004-05-01 00:00:00", true},
      {"2004-05-01 12:00:00.500", "2004-05-01 12:00:00.5", true},
      {"2004-05-01 12:00:00.5", "2004-05-01 12:00:00.51", false},
      {"2004-05-01 12:00:00", "2004-05-01 12:00:01", false},
      {" 2004-05-01 12:00:00 ", "2004-05-01 12:00:00", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToLogDateTime(Value(c.a)) == ToLogDateTime(Value(c.b)), c.equal)
        << c.a << " vs " << c.b;
  }
}

TEST(LogDateTime, NullAndNonsenseFail) {
  struct Case {
    Value v;
    int number;
  };
  const Case cases[] = {{Value(), 94},
                        {"yesterday", err::kTypeMismatch},
                        {"2004-02-30 00:00:00", err::kTypeMismatch},
                        {"2004-05-01 25:00:00", err::kTypeMismatch},
                        {Value(std::int64_t{20040501}), err::kTypeMismatch}};
  for (const Case& c : cases) {
    try {
      ToLogDateTime(c.v);
      ADD_FAILURE() << "accepted " << c.v.ToText();
    } catch (const Failure& f) {
      EXPECT_EQ(f.Number(), c.number) << c.v.ToText();
    }
  }
}

}  // namespace
}  // namespace zorvik::logdb
