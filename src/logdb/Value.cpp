#include "logdb/Value.h"

#include <charconv>

namespace zorvik::logdb {

std::string Value::ToText() const {
  if (IsText()) return AsText();
  if (IsInteger()) return std::to_string(AsInteger());
  if (IsReal()) {
    // to_chars without a format gives the shortest text that reads back as the same double.
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, AsReal());
    return ec == std::errc{} ? std::string(buf, end) : std::string{};
  }
  return {};
}

bool SameValue(const Value& a, const Value& b) {
  if (a.IsNull() || b.IsNull()) return false;
  if (a.IsText() || b.IsText()) return a.IsText() && b.IsText() && a.AsText() == b.AsText();
  if (a.IsInteger() && b.IsInteger()) return a.AsInteger() == b.AsInteger();
  double x = a.IsInteger() ? static_cast<double>(a.AsInteger()) : a.AsReal();
  double y = b.IsInteger() ? static_cast<double>(b.AsInteger()) : b.AsReal();
  return x == y;
}

}  // namespace zorvik::logdb
