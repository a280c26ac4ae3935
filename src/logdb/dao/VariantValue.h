#pragma once

#include <windows.h>

#include <oleauto.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "logdb/Value.h"
#include "logdb/dao/ComHolders.h"

// The one place where the log layer's values meet COM automation's VARIANTs: texts (UTF-8 in the
// layer, UTF-16 BSTRs in COM), numbers, dates and booleans, and Null. Used by the DAO engine, and
// by the test stand-in that plays DAO, so both sides read a value the same way.
namespace zorvik::logdb::dao {

// UTF-8 text as a BSTR, and back. Never fails: a byte that is no UTF-8 becomes U+FFFD.
UniqueBstr ToBstr(std::string_view utf8);
std::string FromBstr(BSTR text);  // nullptr is the empty text
std::string FromWide(std::wstring_view text);

// An automation date (days since 1899-12-30 00:00, negative before it; the time of day is the
// fraction's absolute value) as the layer's date text "YYYY-MM-DD HH:MM:SS", rounded to the
// millisecond, with ".fff" (trailing zeros cut) only when there are milliseconds. Throws
// Failure 13 (type mismatch) for a date outside the years 100 to 9999.
std::string DateText(DATE date);

// The automation date of a date text of the log (LogDateTime.h: "YYYY-MM-DD", an optional time
// with 'T' or a blank, optional seconds and fraction), or nullopt when the text is no such date
// or lies outside the years 100 to 9999.
std::optional<DATE> DateFromText(std::string_view text);

// The VARIANT that carries `value` to the engine: Null as VT_NULL, an integer as VT_I4 (VT_R8
// beyond 32 bits: Jet has no wider integer), a real as VT_R8, a text as VT_BSTR. For a field of
// date type (`dateField`) a text that is a date of the log becomes VT_DATE, so the engine never
// reads it by the user's locale; any other text goes as it is and the engine decides.
UniqueVariant ToVariant(const Value& value, bool dateField = false);

// The layer's value of a VARIANT the engine returned: VT_EMPTY and VT_NULL as Null; VT_BSTR as
// text; VT_DATE as date text (DateText); integers as integers, VT_BOOL as -1 (True, as VB
// counts it) or 0; VT_R8 as a real, VT_R4 as the real its shortest decimal text reads as (a
// Single 14.2 stays 14.2), currency and decimal as reals. A reference is followed. Throws
// Failure 13 (type mismatch) for anything else (an object, an array, an error value).
Value ToValue(const VARIANT& variant);

// A property's number or truth, through ToValue: an integer, or a real rounded; nonzero is true.
// Throws Failure 13 when the property is no number.
std::int64_t IntegerOf(const VARIANT& variant);
bool TruthOf(const VARIANT& variant);

}  // namespace zorvik::logdb::dao
