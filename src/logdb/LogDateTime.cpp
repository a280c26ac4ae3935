#include "logdb/LogDateTime.h"

#include <cctype>
#include <chrono>
#include <string_view>

#include "core/Failure.h"

namespace zorvik::logdb {
namespace {

[[noreturn]] void NotADateTime() {
  throw Failure(err::kTypeMismatch, "Type mismatch");
}

// Reads exactly `width` digits at `pos`.
int Digits(std::string_view s, std::size_t& pos, std::size_t width) {
  if (pos + width > s.size()) NotADateTime();
  int v = 0;
  for (std::size_t i = 0; i < width; ++i) {
    char c = s[pos + i];
    if (!std::isdigit(static_cast<unsigned char>(c))) NotADateTime();
    v = v * 10 + (c - '0');
  }
  pos += width;
  return v;
}

void Expect(std::string_view s, std::size_t& pos, char c) {
  if (pos >= s.size() || s[pos] != c) NotADateTime();
  ++pos;
}

}  // namespace

LogDateTime ToLogDateTime(const Value& value) {
  if (value.IsNull()) throw Failure(err::kInvalidUseOfNull, "Invalid use of Null");
  if (!value.IsText()) NotADateTime();
  std::string_view s = value.AsText();
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);

  LogDateTime t;
  std::size_t pos = 0;
  t.year = Digits(s, pos, 4);
  Expect(s, pos, '-');
  t.month = Digits(s, pos, 2);
  Expect(s, pos, '-');
  t.day = Digits(s, pos, 2);
  if (pos < s.size()) {
    if (s[pos] != ' ' && s[pos] != 'T') NotADateTime();
    ++pos;
    t.hour = Digits(s, pos, 2);
    Expect(s, pos, ':');
    t.minute = Digits(s, pos, 2);
    if (pos < s.size()) {
      Expect(s, pos, ':');
      t.second = Digits(s, pos, 2);
      if (pos < s.size()) {
        Expect(s, pos, '.');
        if (pos >= s.size()) NotADateTime();
        for (; pos < s.size(); ++pos) {
          if (!std::isdigit(static_cast<unsigned char>(s[pos]))) NotADateTime();
          t.fraction.push_back(s[pos]);
        }
        while (!t.fraction.empty() && t.fraction.back() == '0') t.fraction.pop_back();
      }
    }
  }
  using namespace std::chrono;
  year_month_day ymd{std::chrono::year{t.year}, std::chrono::month{static_cast<unsigned>(t.month)},
                     std::chrono::day{static_cast<unsigned>(t.day)}};
  if (!ymd.ok() || t.hour > 23 || t.minute > 59 || t.second > 59) NotADateTime();
  return t;
}

}  // namespace zorvik::logdb
