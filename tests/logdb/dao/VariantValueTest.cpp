// The values between the log layer and DAO's VARIANTs: Null, texts, numbers, dates, booleans.
#include <gtest/gtest.h>

#include "core/Failure.h"
#include "logdb/dao/VariantValue.h"

namespace zorvik::logdb::dao {
namespace {

UniqueVariant Make(VARTYPE type, auto set) {
  UniqueVariant result;
  VARIANT& v = *result.Receive();
  v.vt = type;
  set(v);
  return result;
}

std::string Describe(const Value& v) {
  if (v.IsNull()) return "Null";
  if (v.IsInteger()) return "integer " + v.ToText();
  if (v.IsReal()) return "real " + v.ToText();
  return "text '" + v.AsText() + "'";
}

// Automation dates and the log's date texts, both ways. Days count from 1899-12-30; before it the
// day counts down while the time of day still counts up.
TEST(VariantValue, DatesAndTheLogsDateTexts) {
  struct Case {
    DATE date;
    const char* text;
  };
  const Case cases[] = {
      {0.0, "1899-12-30 00:00:00"},
      {1.0, "1899-12-31 00:00:00"},
      {38108.5, "2004-05-01 12:00:00"},
      {38108.0 + 45296.0 / 86400.0, "2004-05-01 12:34:56"},
      {36526.0, "2000-01-01 00:00:00"},
      {36585.0, "2000-02-29 00:00:00"},
      {-1.25, "1899-12-29 06:00:00"},
      {-657434.0, "0100-01-01 00:00:00"},
      {2958465.0 + 86399.0 / 86400.0, "9999-12-31 23:59:59"},
      {38108.0 + 0.25 / 86400.0, "2004-05-01 00:00:00.25"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DateText(c.date), c.text) << c.date;
    const std::optional<DATE> back = DateFromText(c.text);
    ASSERT_TRUE(back.has_value()) << c.text;
    EXPECT_NEAR(*back, c.date, 1e-9) << c.text;
  }
  // A date computed by the engine lands a hair beside the second; it reads as that second.
  EXPECT_EQ(DateText(38108.5 - 1e-10), "2004-05-01 12:00:00");
  EXPECT_EQ(DateText(38108.0 - 1e-10), "2004-05-01 00:00:00");
  // Before 1899-12-30 the day's end still carries into the next day.
  EXPECT_EQ(DateText(-1.0 - (1.0 - 1e-10)), "1899-12-30 00:00:00");
  // Other spellings of the log's dates give the same instant.
  EXPECT_EQ(DateFromText("2004-05-01T12:00"), DateFromText("2004-05-01 12:00:00"));
  EXPECT_EQ(DateFromText("2004-05-01"), std::optional<DATE>(38108.0));
}

TEST(VariantValue, TextsThatAreNoDateAndDatesOutOfRange) {
  for (const char* text : {"", "yesterday", "1/5/2004", "2004-02-30", "0099-12-31 00:00:00"}) {
    EXPECT_FALSE(DateFromText(text).has_value()) << text;
  }
  for (const DATE date : {-657435.0, 2958466.0, 1e300}) {
    try {
      DateText(date);
      ADD_FAILURE() << "accepted " << date;
    } catch (const Failure& f) {
      EXPECT_EQ(f.Number(), err::kTypeMismatch) << date;
    }
  }
}

// What the engine returns, as the layer reads it.
TEST(VariantValue, EngineValuesAsTheLayerReadsThem) {
  struct Case {
    const char* what;
    UniqueVariant variant;
    Value expected;
  };
  LONG referenced = 291;
  Case cases[] = {
      {"Null", Make(VT_NULL, [](VARIANT&) {}), Value()},
      {"Empty", Make(VT_EMPTY, [](VARIANT&) {}), Value()},
      {"text", Make(VT_BSTR, [](VARIANT& v) { v.bstrVal = SysAllocString(L"DL1XX"); }), "DL1XX"},
      {"text beyond ASCII",
       Make(VT_BSTR,
            [](VARIANT& v) { v.bstrVal = SysAllocString(L"Z\u00fcrich \u041c\u0438\u0440"); }),
       "Z\xc3\xbcrich \xd0\x9c\xd0\xb8\xd1\x80"},
      {"empty text", Make(VT_BSTR, [](VARIANT& v) { v.bstrVal = nullptr; }), ""},
      {"Byte", Make(VT_UI1, [](VARIANT& v) { v.bVal = 200; }), 200},
      {"Integer", Make(VT_I2, [](VARIANT& v) { v.iVal = -5; }), -5},
      {"Long", Make(VT_I4, [](VARIANT& v) { v.lVal = 2000000000; }), std::int64_t{2000000000}},
      {"True", Make(VT_BOOL, [](VARIANT& v) { v.boolVal = VARIANT_TRUE; }), -1},
      {"False", Make(VT_BOOL, [](VARIANT& v) { v.boolVal = VARIANT_FALSE; }), 0},
      {"Double", Make(VT_R8, [](VARIANT& v) { v.dblVal = 14.074; }), 14.074},
      {"Single", Make(VT_R4, [](VARIANT& v) { v.fltVal = 14.2f; }), 14.2},
      {"Currency", Make(VT_CY, [](VARIANT& v) { v.cyVal.int64 = 123456; }), 12.3456},
      {"Date", Make(VT_DATE, [](VARIANT& v) { v.date = 38108.5; }), "2004-05-01 12:00:00"},
      {"a reference", Make(VT_I4 | VT_BYREF, [&](VARIANT& v) { v.plVal = &referenced; }),
       std::int64_t{291}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Describe(ToValue(c.variant.Get())), Describe(c.expected)) << c.what;
  }
  const UniqueVariant object = Make(VT_DISPATCH, [](VARIANT& v) { v.pdispVal = nullptr; });
  EXPECT_THROW(ToValue(object.Get()), Failure);
}

// What the layer hands the engine, read back as the engine would give it.
TEST(VariantValue, LayerValuesForTheEngine) {
  struct Case {
    Value value;
    bool dateField;
    VARTYPE type;
    std::string readBack;
  };
  const Case cases[] = {
      {Value(), false, VT_NULL, "Null"},
      {Value("R"), false, VT_BSTR, "text 'R'"},
      {Value(""), false, VT_BSTR, "text ''"},
      {Value("O'BRIEN \xc3\xa9"), false, VT_BSTR, "text 'O'BRIEN \xc3\xa9'"},
      {Value(3), false, VT_I4, "integer 3"},
      {Value(std::int64_t{5'000'000'000}), false, VT_R8, "real 5e+09"},
      {Value(14.2), false, VT_R8, "real 14.2"},
      // Into a Date/Time field a date text goes as a date, never read by the user's locale.
      {Value("2004-05-01 12:00:00"), true, VT_DATE, "text '2004-05-01 12:00:00'"},
      {Value("2004-05-01T12:00:00.5"), true, VT_DATE, "text '2004-05-01 12:00:00.5'"},
      {Value("2004-05-01 12:00:00"), false, VT_BSTR, "text '2004-05-01 12:00:00'"},
      {Value("not yet"), true, VT_BSTR, "text 'not yet'"},
      {Value(38108), true, VT_I4, "integer 38108"},
  };
  for (const Case& c : cases) {
    const UniqueVariant variant = ToVariant(c.value, c.dateField);
    EXPECT_EQ(variant.Get().vt, c.type) << Describe(c.value);
    EXPECT_EQ(Describe(ToValue(variant.Get())), c.readBack) << Describe(c.value);
  }
}

}  // namespace
}  // namespace zorvik::logdb::dao
