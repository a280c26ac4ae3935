#include "JetFields.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

#include "JetDateValue.h"
#include "JetErrors.h"
#include "logdb/dao/VariantValue.h"
#include "support/JetDateText.h"

namespace zorvik::dao_standin {
namespace {

using logdb::Value;
using logdb::dao::UniqueVariant;

struct Described {
  const char* table;
  const char* field;
  JetType type;
  int size;
};

constexpr JetType kText = JetType::kText, kMemo = JetType::kMemo, kDate = JetType::kDate,
                  kDouble = JetType::kDouble;

// DXKeeper's tables as Zorvik expects to find them (docs/log-format.md). A queue field holds
// what its contact field holds: same type, same size.
constexpr Described kDxKeeperFields[] = {
    {"QSOs", "Call", kText, 20},
    {"QSOs", "QSO_Begin", kDate, 0},
    {"QSOs", "QSO_End", kDate, 0},
    {"QSOs", "Freq", kDouble, 0},
    {"QSOs", "Band", kText, 10},
    {"QSOs", "Mode", kText, 20},
    {"QSOs", "DXCCID", kText, 10},
    {"QSOs", "DXCCPrefix", kText, 10},
    {"QSOs", "QSL_Sent", kText, 10},
    {"QSOs", "QSL_Rcvd", kText, 10},
    {"QSOs", "QSL_Via", kText, 50},
    {"QSOs", "QSLMsg", kMemo, 0},
    {"QSOs", "Operator", kText, 20},
    {"QSOs", "RST_Sent", kText, 10},
    {"QSOs", "RST_Rcvd", kText, 10},
    {"QSOs", "MYQTHID", kText, 50},
    {"QSOs", "BAND_RX", kText, 10},
    {"QSOs", "FREQ_RX", kDouble, 0},
    {"QSOs", "PROP_MODE", kText, 10},
    {"QSOs", "SAT_NAME", kText, 50},
    {"QSOs", "SAT_MODE", kText, 10},
    {"QSOs", "Name", kText, 100},
    {"QSOs", "Address", kMemo, 0},
    {"QSOs", "TX_Power", kText, 10},
    {"QSOs", "QTH", kText, 100},
    {"QSOs", "CONTEST_ID", kText, 50},

    {"Progress", "CountryCode", kText, 10},
    {"Progress", "Prefix", kText, 10},
    {"Progress", "BandModes", kText, 44},

    {"QTHs", "QTHID", kText, 50},
    {"QTHs", "City", kText, 50},
    {"QTHs", "County", kText, 50},
    {"QTHs", "State", kText, 50},
    {"QTHs", "Country", kText, 50},
    {"QTHs", "Grid", kText, 10},
    {"QTHs", "Latitude", kText, 20},
    {"QTHs", "Longitude", kText, 20},
    {"QTHs", "CQZone", kText, 10},
    {"QTHs", "ITUZone", kText, 10},
    {"QTHs", "Iota", kText, 10},
    {"QTHs", "StreetAddress", kText, 100},
    {"QTHs", "PostalCode", kText, 20},

    {"PrintQueue", "Call", kText, 20},
    {"PrintQueue", "DXCC", kText, 10},
    {"PrintQueue", "QSO_Begin", kDate, 0},
    {"PrintQueue", "RST_Sent", kText, 10},
    {"PrintQueue", "RST_Rcvd", kText, 10},
    {"PrintQueue", "mode", kText, 20},
    {"PrintQueue", "Freq", kDouble, 0},
    {"PrintQueue", "band", kText, 10},
    {"PrintQueue", "via", kText, 50},
    {"PrintQueue", "Operator", kText, 20},
    {"PrintQueue", "QSL_Rcvd", kText, 10},
    {"PrintQueue", "Incidence", kText, 10},
    {"PrintQueue", "Unique", kText, 1},
    {"PrintQueue", "Needed", kText, 1},
    {"PrintQueue", "Notes", kMemo, 0},
    {"PrintQueue", "Enabled", kText, 1},
    {"PrintQueue", "MYQTHID", kText, 50},
    {"PrintQueue", "City", kText, 50},
    {"PrintQueue", "County", kText, 50},
    {"PrintQueue", "State", kText, 50},
    {"PrintQueue", "Country", kText, 50},
    {"PrintQueue", "Grid", kText, 10},
    {"PrintQueue", "Latitude", kText, 20},
    {"PrintQueue", "Longitude", kText, 20},
    {"PrintQueue", "CQZone", kText, 10},
    {"PrintQueue", "ITUZone", kText, 10},
    {"PrintQueue", "Iota", kText, 10},
    {"PrintQueue", "StreetAddress", kText, 100},
    {"PrintQueue", "PostalCode", kText, 20},
    {"PrintQueue", "BAND_RX", kText, 10},
    {"PrintQueue", "FREQ_RX", kDouble, 0},
    {"PrintQueue", "PROP_MODE", kText, 10},
    {"PrintQueue", "SAT_NAME", kText, 50},
    {"PrintQueue", "SAT_MODE", kText, 10},
    {"PrintQueue", "dxccid", kText, 10},
    {"PrintQueue", "Name", kText, 100},
    {"PrintQueue", "Address", kMemo, 0},
    {"PrintQueue", "TX_Power", kText, 10},
    {"PrintQueue", "QTH", kText, 100},
    {"PrintQueue", "CONTEST_ID", kText, 50},
};

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && _strnicmp(a.data(), b.data(), a.size()) == 0;
}

// The words of a declared type, upper case, and the number in its parentheses (0: none).
struct Declared {
  std::vector<std::string> words;
  int size = 0;
};

Declared Read(std::string_view declared) {
  Declared d;
  std::string word;
  for (std::size_t i = 0; i <= declared.size(); ++i) {
    const char c = i < declared.size() ? declared[i] : ' ';
    if (std::isalnum(static_cast<unsigned char>(c))) {
      word += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      continue;
    }
    if (!word.empty()) {
      if (std::isdigit(static_cast<unsigned char>(word[0]))) {
        d.size = std::atoi(word.c_str());
      } else {
        d.words.push_back(word);
      }
      word.clear();
    }
  }
  return d;
}

[[noreturn]] void ConversionError() {
  RaiseJet(jet::kConversionError);
}

// `value` changed to `type` as Jet changes an assigned value: 3349 for a number beyond the type,
// 3421 for a value of no use to it.
UniqueVariant Changed(const VARIANT& value, VARTYPE type) {
  UniqueVariant out;
  const HRESULT result =
      VariantChangeTypeEx(out.Receive(), const_cast<VARIANT*>(&value), LOCALE_INVARIANT, 0, type);
  if (result == DISP_E_OVERFLOW) RaiseJet(jet::kNumericOverflow);
  if (FAILED(result)) ConversionError();
  return out;
}

// The double of a Single's shortest decimal text: the Single reads back from it exactly.
double SingleStored(float single) {
  char text[32];
  const auto written = std::to_chars(text, text + sizeof text, single);
  double value = single;
  std::from_chars(text, written.ptr, value);
  return value;
}

// A stored value as a VARIANT of its own kind, for conversion.
UniqueVariant Plain(const Value& stored) {
  UniqueVariant v;
  VARIANT& out = *v.Receive();
  if (stored.IsNull()) {
    out.vt = VT_NULL;
  } else if (stored.IsInteger()) {
    out.vt = VT_I8;
    out.llVal = stored.AsInteger();
  } else if (stored.IsReal()) {
    out.vt = VT_R8;
    out.dblVal = stored.AsReal();
  } else {
    out.vt = VT_BSTR;
    out.bstrVal = logdb::dao::ToBstr(stored.AsText()).release();
  }
  return v;
}

Value StoredDate(double date) {
  const std::optional<std::string> text = zorvik::testing::JetDateText(date);
  if (!text) ConversionError();
  return Value(*text);
}

}  // namespace

long FieldSpec::Size() const {
  switch (type) {
    case JetType::kText:
      return size;
    case JetType::kMemo:
      return 0;
    case JetType::kBoolean:
    case JetType::kByte:
      return 1;
    case JetType::kInteger:
      return 2;
    case JetType::kLong:
    case JetType::kSingle:
      return 4;
    default:
      return 8;
  }
}

FieldSpec DescribeField(std::string_view table, std::string_view column,
                        std::string_view declaredType, bool notNull) {
  FieldSpec field;
  field.name = std::string(column);
  field.required = notNull;
  const Declared declared = Read(declaredType);
  for (const std::string& word : declared.words) {
    if (word == "NOTEMPTY") field.allowZeroLength = false;
  }
  struct Named {
    const char* word;
    JetType type;
  };
  constexpr Named kJetTypes[] = {
      {"SINGLE", JetType::kSingle}, {"DOUBLE", JetType::kDouble}, {"CURRENCY", JetType::kCurrency},
      {"YESNO", JetType::kBoolean}, {"DATETIME", JetType::kDate}, {"LONG", JetType::kLong},
      {"SHORT", JetType::kInteger}, {"BYTE", JetType::kByte},     {"MEMO", JetType::kMemo},
  };
  for (const std::string& word : declared.words) {
    for (const Named& n : kJetTypes) {
      if (word == n.word) {
        field.type = n.type;
        return field;
      }
    }
    if (word == "TEXT" && declared.size > 0) {
      field.type = JetType::kText;
      field.size = declared.size;
      return field;
    }
  }
  for (const Described& d : kDxKeeperFields) {
    if (SameName(d.table, table) && SameName(d.field, column)) {
      field.type = d.type;
      field.size = d.size;
      return field;
    }
  }
  // SQLite's affinity rules, in their order.
  const auto has = [&](std::string_view part) {
    for (const std::string& word : declared.words) {
      if (word.find(part) != std::string::npos) return true;
    }
    return false;
  };
  if (has("INT")) {
    field.type = JetType::kLong;
  } else if (has("CHAR") || has("CLOB") || has("TEXT")) {
    field.type = JetType::kText;
    field.size = 255;
  } else if (has("REAL") || has("FLOA") || has("DOUB")) {
    field.type = JetType::kDouble;
  } else {
    field.type = JetType::kMemo;
  }
  return field;
}

UniqueVariant JetValueOf(const FieldSpec& field, const Value& stored) {
  UniqueVariant result;
  if (stored.IsNull()) {
    result.Receive()->vt = VT_NULL;
    return result;
  }
  switch (field.type) {
    case JetType::kText:
    case JetType::kMemo: {
      VARIANT& v = *result.Receive();
      v.vt = VT_BSTR;
      v.bstrVal = logdb::dao::ToBstr(stored.ToText()).release();
      return result;
    }
    case JetType::kDate: {
      VARIANT& v = *result.Receive();
      if (stored.IsText()) {
        const std::optional<double> date = zorvik::testing::JetDateFromText(stored.AsText());
        if (!date) ConversionError();
        v.vt = VT_DATE;
        v.date = *date;
      } else {
        v.vt = VT_DATE;
        v.date = stored.IsInteger() ? static_cast<double>(stored.AsInteger()) : stored.AsReal();
      }
      return result;
    }
    default:
      break;
  }
  const UniqueVariant plain = Plain(stored);
  switch (field.type) {
    case JetType::kBoolean: {
      const UniqueVariant truth = Changed(plain.Get(), VT_BOOL);
      VARIANT& v = *result.Receive();
      v.vt = VT_BOOL;
      v.boolVal = truth.Get().boolVal != VARIANT_FALSE ? VARIANT_TRUE : VARIANT_FALSE;
      return result;
    }
    case JetType::kByte:
      return Changed(plain.Get(), VT_UI1);
    case JetType::kInteger:
      return Changed(plain.Get(), VT_I2);
    case JetType::kLong:
      return Changed(plain.Get(), VT_I4);
    case JetType::kCurrency:
      return Changed(plain.Get(), VT_CY);
    case JetType::kSingle:
      return Changed(plain.Get(), VT_R4);
    default:
      return Changed(plain.Get(), VT_R8);
  }
}

Value StoredFromVariant(const FieldSpec& field, const VARIANT& value) {
  if (value.vt == VT_NULL || value.vt == VT_EMPTY) return Value();
  switch (field.type) {
    case JetType::kText:
    case JetType::kMemo: {
      const UniqueVariant text = Changed(value, VT_BSTR);
      const BSTR b = text.Get().bstrVal;
      if (field.type == JetType::kText && SysStringLen(b) > static_cast<UINT>(field.size)) {
        RaiseJet(jet::kFieldTooSmall);
      }
      return Value(logdb::dao::FromBstr(b));
    }
    case JetType::kDate:
      if (value.vt == VT_BSTR) ConversionError();
      return StoredDate(Changed(value, VT_DATE).Get().date);
    case JetType::kBoolean:
      return Value(Changed(value, VT_BOOL).Get().boolVal != VARIANT_FALSE ? -1 : 0);
    case JetType::kByte:
      return Value(static_cast<int>(Changed(value, VT_UI1).Get().bVal));
    case JetType::kInteger:
      return Value(static_cast<int>(Changed(value, VT_I2).Get().iVal));
    case JetType::kLong:
      return Value(static_cast<std::int64_t>(Changed(value, VT_I4).Get().lVal));
    case JetType::kCurrency: {
      double real = 0;
      VarR8FromCy(Changed(value, VT_CY).Get().cyVal, &real);
      return Value(real);
    }
    case JetType::kSingle:
      return Value(SingleStored(Changed(value, VT_R4).Get().fltVal));
    case JetType::kDouble:
      return Value(Changed(value, VT_R8).Get().dblVal);
  }
  ConversionError();
}

Value StoredFromSql(const FieldSpec& field, const Value& value) {
  if (field.type == JetType::kDate && value.IsText()) {
    std::optional<double> date = zorvik::testing::JetDateFromText(value.AsText());
    if (!date) {
      const auto day = JetDateValue(value.AsText());
      if (day) date = zorvik::testing::JetDateFromText(*day);
    }
    if (!date) ConversionError();
    return StoredDate(*date);
  }
  const UniqueVariant plain = Plain(value);
  return StoredFromVariant(field, plain.Get());
}

void CheckRecordField(const FieldSpec& field, const Value& stored) {
  if (field.required && stored.IsNull()) RaiseJet(jet::kRequired, field.name);
  if (!field.allowZeroLength && stored.IsText() && stored.AsText().empty() &&
      (field.type == JetType::kText || field.type == JetType::kMemo)) {
    RaiseJet(jet::kZeroLength, field.name);
  }
}

}  // namespace zorvik::dao_standin
