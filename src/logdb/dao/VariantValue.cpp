#include "logdb/dao/VariantValue.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>

#include "core/Failure.h"
#include "logdb/LogDateTime.h"

namespace zorvik::logdb::dao {
namespace {

using namespace std::chrono;

constexpr sys_days kDateZero = year{1899} / December / 30;
constexpr long long kMillisecondsPerDay = 86'400'000;
constexpr int kFirstYear = 100, kLastYear = 9999;  // the range of automation dates

[[noreturn]] void TypeMismatch() {
  throw Failure(err::kTypeMismatch, "Type mismatch");
}

// The real a Single stands for when read as its shortest decimal text, as VB shows it.
double FromSingle(float single) {
  char text[32];
  const auto written = std::to_chars(text, text + sizeof text, single);
  double result = single;
  std::from_chars(text, written.ptr, result);
  return result;
}

// A number of another kind (currency, decimal, unsigned) as a double, through COM's conversion.
double ConvertedToReal(const VARIANT& variant) {
  UniqueVariant real;
  if (FAILED(VariantChangeType(real.Receive(), const_cast<VARIANT*>(&variant), 0, VT_R8)))
    TypeMismatch();
  return real.Get().dblVal;
}

Value FromUnsigned(unsigned long long number) {
  if (number <= static_cast<unsigned long long>(std::numeric_limits<std::int64_t>::max())) {
    return Value(static_cast<std::int64_t>(number));
  }
  return Value(static_cast<double>(number));
}

}  // namespace

UniqueBstr ToBstr(std::string_view utf8) {
  if (utf8.empty()) return UniqueBstr(SysAllocStringLen(L"", 0));
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  UniqueBstr text(SysAllocStringLen(nullptr, static_cast<UINT>(length)));
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, text.get(), length);
  return text;
}

std::string FromWide(std::wstring_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), size, nullptr, nullptr);
  return utf8;
}

std::string FromBstr(BSTR text) {
  return FromWide(std::wstring_view(text, SysStringLen(text)));
}

std::string DateText(DATE date) {
  if (!std::isfinite(date) || std::fabs(date) > 1e7) TypeMismatch();
  const double whole = std::trunc(date);
  long long days = static_cast<long long>(whole);
  long long ms = std::llround(std::fabs(date - whole) * kMillisecondsPerDay);
  // 23:59:59.9996 is the next day's midnight, before and after 1899-12-30 alike.
  if (ms >= kMillisecondsPerDay) {
    ms -= kMillisecondsPerDay;
    ++days;
  }
  const year_month_day ymd{kDateZero + sys_days::duration{days}};
  const int y = static_cast<int>(ymd.year());
  if (y < kFirstYear || y > kLastYear) TypeMismatch();
  char text[40];
  int length = std::snprintf(text, sizeof text, "%04d-%02u-%02u %02lld:%02lld:%02lld", y,
                             static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                             ms / 3'600'000, ms / 60'000 % 60, ms / 1000 % 60);
  if (ms % 1000 != 0) {
    length += std::snprintf(text + length, sizeof text - length, ".%03lld", ms % 1000);
    while (text[length - 1] == '0') --length;
  }
  return std::string(text, static_cast<std::size_t>(length));
}

std::optional<DATE> DateFromText(std::string_view text) {
  LogDateTime t;
  try {
    t = ToLogDateTime(Value(std::string(text)));
  } catch (const Failure&) {
    return std::nullopt;
  }
  if (t.year < kFirstYear || t.year > kLastYear) return std::nullopt;
  const sys_days day = year{t.year} / month{static_cast<unsigned>(t.month)} /
                       std::chrono::day{static_cast<unsigned>(t.day)};
  const double days = static_cast<double>((day - kDateZero).count());
  double seconds = t.hour * 3600.0 + t.minute * 60.0 + t.second;
  if (!t.fraction.empty()) {
    // from_chars reads "0.5" the same in every locale.
    const std::string fraction = "0." + t.fraction;
    double part = 0;
    std::from_chars(fraction.data(), fraction.data() + fraction.size(), part);
    seconds += part;
  }
  const double time = seconds / 86'400.0;
  return days >= 0 ? days + time : days - time;
}

UniqueVariant ToVariant(const Value& value, bool dateField) {
  UniqueVariant result;
  VARIANT& v = *result.Receive();
  if (value.IsNull()) {
    v.vt = VT_NULL;
  } else if (value.IsInteger()) {
    const std::int64_t n = value.AsInteger();
    if (n >= std::numeric_limits<LONG>::min() && n <= std::numeric_limits<LONG>::max()) {
      v.vt = VT_I4;
      v.lVal = static_cast<LONG>(n);
    } else {
      v.vt = VT_R8;
      v.dblVal = static_cast<double>(n);
    }
  } else if (value.IsReal()) {
    v.vt = VT_R8;
    v.dblVal = value.AsReal();
  } else if (const std::optional<DATE> date =
                 dateField ? DateFromText(value.AsText()) : std::nullopt) {
    v.vt = VT_DATE;
    v.date = *date;
  } else {
    v.vt = VT_BSTR;
    v.bstrVal = ToBstr(value.AsText()).release();
  }
  return result;
}

Value ToValue(const VARIANT& variant) {
  if ((variant.vt & VT_BYREF) != 0) {
    UniqueVariant target;
    if (FAILED(VariantCopyInd(target.Receive(), const_cast<VARIANT*>(&variant)))) TypeMismatch();
    return ToValue(target.Get());
  }
  switch (variant.vt) {
    case VT_EMPTY:
    case VT_NULL:
      return Value();
    case VT_BSTR:
      return Value(FromBstr(variant.bstrVal));
    case VT_DATE:
      return Value(DateText(variant.date));
    case VT_BOOL:
      return Value(variant.boolVal != VARIANT_FALSE ? -1 : 0);
    case VT_UI1:
      return Value(static_cast<int>(variant.bVal));
    case VT_I1:
      return Value(static_cast<int>(variant.cVal));
    case VT_I2:
      return Value(static_cast<int>(variant.iVal));
    case VT_UI2:
      return Value(static_cast<int>(variant.uiVal));
    case VT_I4:
      return Value(static_cast<std::int64_t>(variant.lVal));
    case VT_INT:
      return Value(static_cast<std::int64_t>(variant.intVal));
    case VT_UI4:
      return Value(static_cast<std::int64_t>(variant.ulVal));
    case VT_UINT:
      return Value(static_cast<std::int64_t>(variant.uintVal));
    case VT_I8:
      return Value(static_cast<std::int64_t>(variant.llVal));
    case VT_UI8:
      return FromUnsigned(variant.ullVal);
    case VT_R4:
      return Value(FromSingle(variant.fltVal));
    case VT_R8:
      return Value(variant.dblVal);
    case VT_CY:
    case VT_DECIMAL:
      return Value(ConvertedToReal(variant));
    default:
      TypeMismatch();
  }
}

std::int64_t IntegerOf(const VARIANT& variant) {
  const Value value = ToValue(variant);
  if (value.IsInteger()) return value.AsInteger();
  if (value.IsReal() && std::isfinite(value.AsReal())) return std::llround(value.AsReal());
  TypeMismatch();
}

bool TruthOf(const VARIANT& variant) {
  return IntegerOf(variant) != 0;
}

}  // namespace zorvik::logdb::dao
