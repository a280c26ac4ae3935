#pragma once

#include <windows.h>

#include <oaidl.h>

#include <string>
#include <string_view>

#include "logdb/Value.h"
#include "logdb/dao/ComHolders.h"

// Jet's typed fields, as the stand-in plays them over the SQLite log behind a Jet-routed file.
// Every field of DXKeeper's four tables has the Jet type and size a DXKeeper log is expected to
// have (DescribeField; docs/log-format.md lists them as Zorvik's assumption). A value reads back
// as the VARIANT kind Jet gives for its type, and a value written is converted to the type and
// checked as Jet checks it: a text longer than its field 3163, a number beyond its type 3349, a
// value of no use to the type 3421, a Null in a Required field 3314, an empty text where the
// field allows none 3315.
//
// In the SQLite file the values keep forms both engines read alike: texts and numbers as they
// are, a Single as the double of its shortest decimal text (14.2, not 14.199999809265137), a
// Yes/No as -1 or 0, Currency as its double, a Date/Time as text (support/JetDateText.h: the
// double itself, bit for bit).
namespace zorvik::dao_standin {

// Jet's field types, by DAO's Field.Type numbers.
enum class JetType : int {
  kBoolean = 1,  // Yes/No
  kByte = 2,
  kInteger = 3,
  kLong = 4,
  kCurrency = 5,
  kSingle = 6,
  kDouble = 7,
  kDate = 8,
  kText = 10,
  kMemo = 12,
};

struct FieldSpec {
  std::string name;  // as the SQLite log spells it
  JetType type = JetType::kMemo;
  int size = 0;  // characters, for a Text field
  bool required = false;
  bool allowZeroLength = true;

  // DAO's Field.Size: the characters of a Text field, the bytes of a number, 0 for a Memo.
  long Size() const;
};

// The field `column` of `table` (the SQLite log's column and its declared type): a declared type
// that names a Jet type ("Single", "Double", "Currency", "YesNo", "DateTime", "Long", "Short",
// "Byte", "Memo", "Text(n)"; "NotEmpty" anywhere: no zero-length texts) is the field's type, so
// that a test can give a log fields of other types; otherwise the field's type in DXKeeper's
// table, and for a field DXKeeper's tables do not have, the type SQLite's affinity suggests.
// NOT NULL makes the field Required.
FieldSpec DescribeField(std::string_view table, std::string_view column,
                        std::string_view declaredType, bool notNull);

// A stored value as the VARIANT Jet gives for the field: VT_NULL, VT_BSTR, VT_DATE, VT_R4,
// VT_R8, VT_I4, VT_I2, VT_UI1, VT_BOOL or VT_CY. Throws 3421 for a stored value the type cannot
// hold.
logdb::dao::UniqueVariant JetValueOf(const FieldSpec& field, const logdb::Value& stored);

// What is stored for `value` assigned to the field (Field.Value). A text assigned to a Date/Time
// field is refused (3421) where Jet would read it in the user's locale: Zorvik must send dates
// as dates.
logdb::Value StoredFromVariant(const FieldSpec& field, const VARIANT& value);

// What is stored for a value an SQL expression gave (the SET of an Update statement); a text
// for a Date/Time field is read as Jet reads a date literal.
logdb::Value StoredFromSql(const FieldSpec& field, const logdb::Value& value);

// The checks of Update for one field of the record: 3314, 3315.
void CheckRecordField(const FieldSpec& field, const logdb::Value& stored);

}  // namespace zorvik::dao_standin
