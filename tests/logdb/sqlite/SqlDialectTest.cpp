#include "logdb/sqlite/SqlDialect.h"

#include <gtest/gtest.h>

#include "core/Failure.h"

namespace zorvik::logdb {
namespace {

int FailureNumber(auto&& action) {
  try {
    action();
  } catch (const Failure& f) {
    return f.Number();
  }
  return 0;
}

TEST(SqlDialect, TranslatesDoubleQuotedTextsToLiterals) {
  const std::pair<const char*, const char*> cases[] = {
      {R"(QSO_End >= DateValue("1/1/1900"))", "QSO_End >= DateValue('1/1/1900')"},
      {R"(X = "Call")", "X = 'Call'"},               // never a column
      {R"(X = "O'Brien")", "X = 'O''Brien'"},        // apostrophe escaped
      {R"(X = "say ""hi""")", R"(X = 'say "hi"')"},  // doubled quote is one
      {R"(X = 'a "b" c')", R"(X = 'a "b" c')"},      // inside a literal: untouched
      {R"(X = 'it''s' And Y = "z")", "X = 'it''s' And Y = 'z'"},
      {R"(Order By DXCCID, [Band], Mode DESC)", "Order By DXCCID, [Band], Mode DESC"},
      {R"([we"ird] = "")", R"([we"ird] = '')"},
  };
  for (const auto& [host, sqlite] : cases) {
    EXPECT_EQ(TranslateStatement(host), sqlite) << host;
  }
  for (const char* bad : {R"(X = "open)", "X = 'open", "[Band = 1"}) {
    EXPECT_EQ(FailureNumber([&] { TranslateStatement(bad); }), err::kSyntaxError) << bad;
  }
}

TEST(SqlDialect, RowidSelectKeepsEverythingFromFromOnward) {
  auto s = MakeRowidSelect("SELECT  * FROM QSOs WHERE (A = '(FROM x)') Order By [Band], B DESC");
  EXPECT_EQ(s.table, "QSOs");
  EXPECT_EQ(s.sql, "SELECT rowid FROM QSOs WHERE (A = '(FROM x)') Order By [Band], B DESC");
  EXPECT_EQ(MakeRowidSelect("select Call, (select 1 from QTHs) from [Print Queue]").table,
            "Print Queue");
  for (const char* bad : {"Update QSOs Set A = 1", "Select 1", "Select * From A, B",
                          "Select * From A Join B On 1", "Select * From "}) {
    EXPECT_EQ(FailureNumber([&] { MakeRowidSelect(bad); }), err::kSyntaxError) << bad;
  }
}

TEST(SqlDialect, RowidSelectNamesThePlainOrderingFields) {
  using Fields = std::vector<std::string>;
  const std::pair<const char*, Fields> cases[] = {
      {"SELECT * FROM QSOs WHERE A = 1 Order By DXCCID, [Band], Mode, QSO_End DESC",
       {"DXCCID", "Band", "Mode", "QSO_End"}},
      {"select * from QSOs order by Call asc;", {"Call"}},
      {"SELECT * FROM QSOs", {}},
      {"SELECT * FROM QSOs Order By lower(Call)", {}},
      {"SELECT * FROM QSOs Order By Call Collate Binary", {}},
      {"SELECT * FROM QSOs Order By Call, 2", {}},
      {"SELECT * FROM QSOs Order By Call Limit 5", {}},
      {"SELECT * FROM QSOs WHERE A In (Select B From T Order By C)", {}},
      {"SELECT * FROM QSOs WHERE A = 'x Order By C'", {}},
  };
  for (const auto& [statement, fields] : cases) {
    EXPECT_EQ(MakeRowidSelect(statement).orderedBy, fields) << statement;
  }
}

TEST(SqlDialect, ParsesCriteriaAndRefusesAnythingElse) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"DXCCID = '291'", "DXCCID", "291"},
      {"CountryCode='291'", "CountryCode", "291"},
      {"  Call = 'K1ABC'  ", "Call", "K1ABC"},
      {"Call = 'O''Brien'", "Call", "O'Brien"},
      {"[Band] = ''", "Band", ""},
      {"Call = \"W1AW\"", "Call", "W1AW"},
  };
  for (const auto& [text, field, value] : cases) {
    Criterion c = ParseCriterion(text);
    EXPECT_EQ(c.field, field) << text;
    EXPECT_EQ(c.value, value) << text;
  }
  for (const char* bad : {"Call = 'O'BRIEN'", "Call = K1ABC", "Call 'K1ABC'", "= 'x'",
                          "Call = 'x' Or 1=1", "Call = 'x", "Call <> 'x'"}) {
    EXPECT_EQ(FailureNumber([&] { ParseCriterion(bad); }), err::kCriterionSyntax) << bad;
  }
}

}  // namespace
}  // namespace zorvik::logdb
