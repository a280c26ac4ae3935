#pragma once

#include <cstdint>
#include <string>
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
  std::string ToText() const;

  // Exact equality of two values as the program compares them: a Null on either side is never
  // equal; numbers compare by value (integer 14 equals real 14.0); texts compare exactly, letter
  // case included; a number never equals a text.
  friend bool SameValue(const Value& a, const Value& b);

  friend bool operator==(const Value& a, const Value& b) = default;  // representation equality

 private:
  std::variant<std::monostate, std::int64_t, double, std::string> v_;
};

}  // namespace zorvik::logdb
