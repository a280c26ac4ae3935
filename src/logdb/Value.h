#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <system_error>
#include <variant>

namespace zorvik::logdb {

// A field value as the engine returns it: Null, an integer, a real or a text.
class Value {
 public:
  Value() = default;  // Null
  Value(std::int64_t v) : v_(v) {}
  Value(int v) : v_(static_cast<std::int64_t>(v)) {}
  Value(double v) : v_(v) {}
  Value(std::string v) : v_(std::move(v)) {}
  Value(const char* v) : v_(std::string(v)) {}

  bool IsNull() const { return std::holds_alternative<std::monostate>(v_); }
  bool IsInteger() const { return std::holds_alternative<std::int64_t>(v_); }
  bool IsReal() const { return std::holds_alternative<double>(v_); }
  bool IsText() const { return std::holds_alternative<std::string>(v_); }

  std::int64_t AsInteger() const { return std::get<std::int64_t>(v_); }
  double AsReal() const { return std::get<double>(v_); }
  const std::string& AsText() const { return std::get<std::string>(v_); }

  // The value as text: a text unchanged, a number in its shortest decimal form ("14.074",
  // "291"), Null as the empty text.
  std::string ToText() const {
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

  // Exact equality of two values as the program compares them: a Null on either side is never
  // equal; numbers compare by value (integer 14 equals real 14.0); texts compare exactly, letter
  // case included; a number never equals a text.
  friend bool SameValue(const Value& a, const Value& b) {
    if (a.IsNull() || b.IsNull()) return false;
    if (a.IsText() || b.IsText()) return a.IsText() && b.IsText() && a.AsText() == b.AsText();
    if (a.IsInteger() && b.IsInteger()) return a.AsInteger() == b.AsInteger();
    double x = a.IsInteger() ? static_cast<double>(a.AsInteger()) : a.AsReal();
    double y = b.IsInteger() ? static_cast<double>(b.AsInteger()) : b.AsReal();
    return x == y;
  }

  friend bool operator==(const Value& a, const Value& b) = default;  // representation equality

 private:
  std::variant<std::monostate, std::int64_t, double, std::string> v_;
};

}  // namespace zorvik::logdb
