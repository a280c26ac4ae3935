#include "core/DateText.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <optional>
#include <vector>

#include "core/Failure.h"

namespace zorvik {
namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::sys_days;
using std::chrono::year;
using std::chrono::year_month_day;

std::string& Pattern() {
  static std::string pattern = "M/d/yyyy";
  return pattern;
}

constexpr std::array<const char*, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// Reads 1..max_digits digits at `pos`; none read gives nullopt.
std::optional<int> ReadNumber(std::string_view s, std::size_t& pos, std::size_t max_digits) {
  std::size_t start = pos;
  int value = 0;
  while (pos < s.size() && pos - start < max_digits && IsDigit(s[pos])) {
    value = value * 10 + (s[pos] - '0');
    ++pos;
  }
  if (pos == start) return std::nullopt;
  return value;
}

// A year typed with one or two digits is a year of a sliding century: 00-29 are 20xx, 30-99
// are 19xx, as users of the original expect.
int ExpandYear(int value, std::size_t digits) {
  if (digits > 2) return value;
  return value < 30 ? 2000 + value : 1900 + value;
}

std::optional<sys_days> MakeDate(int y, int m, int d) {
  // The host's dates run from year 100 to 9999; anything else is not a date to it.
  if (y < 100 || y > 9999) return std::nullopt;
  year_month_day ymd{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}};
  if (m < 1 || m > 12 || d < 1 || d > 31 || !ymd.ok()) return std::nullopt;
  return sys_days{ymd};
}

// A month name, full or abbreviated to three or more letters.
std::optional<int> ReadMonthName(std::string_view s, std::size_t& pos) {
  std::size_t start = pos;
  while (pos < s.size() && std::isalpha(static_cast<unsigned char>(s[pos]))) ++pos;
  std::string_view word = s.substr(start, pos - start);
  if (word.size() >= 3) {
    for (std::size_t i = 0; i < kMonthNames.size(); ++i) {
      std::string_view name = kMonthNames[i];
      if (word.size() <= name.size() && EqualNoCase(word, name.substr(0, word.size())))
        return static_cast<int>(i) + 1;
    }
  }
  pos = start;
  return std::nullopt;
}

// One element of a short-date pattern: a field (d, M, y runs) or a literal text.
struct PatternToken {
  char letter = 0;  // 'd', 'M', 'y', or 0 for a literal
  std::size_t count = 0;
  std::string literal;
};

std::vector<PatternToken> Tokenize(std::string_view pattern) {
  std::vector<PatternToken> tokens;
  std::size_t i = 0;
  while (i < pattern.size()) {
    char c = pattern[i];
    if (c == 'd' || c == 'M' || c == 'y') {
      std::size_t j = i;
      while (j < pattern.size() && pattern[j] == c) ++j;
      tokens.push_back({c, j - i, {}});
      i = j;
    } else if (c == '\'') {
      // Quoted literal text; '' is one apostrophe.
      std::string text;
      ++i;
      while (i < pattern.size()) {
        if (pattern[i] == '\'') {
          if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
            text += '\'';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        text += pattern[i++];
      }
      if (text.empty()) text = "'";
      tokens.push_back({0, 0, std::move(text)});
    } else {
      if (tokens.empty() || tokens.back().letter != 0) tokens.push_back({0, 0, {}});
      tokens.back().literal += c;
      ++i;
    }
  }
  return tokens;
}

std::optional<sys_days> ParseWithPattern(std::string_view text, std::string_view pattern) {
  std::optional<int> y, m, d;
  std::size_t pos = 0;
  for (const PatternToken& t : Tokenize(pattern)) {
    if (t.letter == 0) {
      // Blanks in a literal match any run of blanks, including none.
      for (char c : t.literal) {
        if (std::isspace(static_cast<unsigned char>(c))) {
          while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
        } else if (pos < text.size() && text[pos] == c) {
          ++pos;
        } else {
          return std::nullopt;
        }
      }
    } else if (t.letter == 'd') {
      if (t.count > 2) return std::nullopt;  // weekday names are not part of a date
      d = ReadNumber(text, pos, 2);
      if (!d) return std::nullopt;
    } else if (t.letter == 'M') {
      m = t.count <= 2 ? ReadNumber(text, pos, 2) : ReadMonthName(text, pos);
      if (!m) return std::nullopt;
    } else {
      std::size_t start = pos;
      auto v = ReadNumber(text, pos, 4);
      if (!v) return std::nullopt;
      y = ExpandYear(*v, pos - start);
    }
  }
  if (pos != text.size() || !y || !m || !d) return std::nullopt;
  return MakeDate(*y, *m, *d);
}

// "YYYY-MM-DD", optionally followed by a time of day, which a date ignores.
std::optional<sys_days> ParseIso(std::string_view text) {
  std::size_t pos = 0;
  auto y = ReadNumber(text, pos, 4);
  if (!y || pos != 4 || pos >= text.size() || text[pos++] != '-') return std::nullopt;
  auto m = ReadNumber(text, pos, 2);
  if (!m || pos >= text.size() || text[pos++] != '-') return std::nullopt;
  auto d = ReadNumber(text, pos, 2);
  if (!d) return std::nullopt;
  if (pos < text.size()) {
    if (text[pos] != ' ' && text[pos] != 'T') return std::nullopt;
    ++pos;
    int h = 0, mi = 0, s = 0;
    char tail = 0;
    std::string rest(text.substr(pos));
    int n = std::sscanf(rest.c_str(), "%2d:%2d:%2d%c", &h, &mi, &s, &tail);
    if (n < 2 || n > 3 || h > 23 || mi > 59 || s > 59) return std::nullopt;
  }
  return MakeDate(*y, *m, *d);
}

// Three numbers split by one separator kind ('/', '-' or '.'): a, b, and the year.
struct NumericDate {
  int a, b, y;
};

std::optional<NumericDate> SplitNumeric(std::string_view text) {
  std::size_t pos = 0;
  auto a = ReadNumber(text, pos, 2);
  if (!a || pos >= text.size()) return std::nullopt;
  char sep = text[pos];
  if (sep != '/' && sep != '-' && sep != '.') return std::nullopt;
  ++pos;
  auto b = ReadNumber(text, pos, 2);
  if (!b || pos >= text.size() || text[pos] != sep) return std::nullopt;
  ++pos;
  std::size_t start = pos;
  auto y = ReadNumber(text, pos, 4);
  if (!y || pos != text.size()) return std::nullopt;
  return NumericDate{*a, *b, ExpandYear(*y, pos - start)};
}

std::string Pad(int value, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", width, value);
  return buf;
}

}  // namespace

void SetShortDatePattern(std::string pattern) {
  Pattern() = std::move(pattern);
}
const std::string& ShortDatePattern() {
  return Pattern();
}

std::chrono::sys_days ParseDateText(std::string_view raw) {
  std::string_view text = Trim(raw);
  if (!text.empty()) {
    if (auto r = ParseWithPattern(text, Pattern())) return *r;
    if (auto r = ParseIso(text)) return *r;
    if (auto n = SplitNumeric(text)) {
      if (auto r = MakeDate(n->y, n->a, n->b)) return *r;  // month/day/year
      if (auto r = MakeDate(n->y, n->b, n->a)) return *r;  // day/month/year
    }
  }
  throw Failure(err::kTypeMismatch, "Type mismatch: \"" + std::string(raw) + "\" is not a date");
}

std::string FormatShortDate(std::chrono::sys_days when) {
  year_month_day ymd{when};
  int y = static_cast<int>(ymd.year());
  int m = static_cast<int>(static_cast<unsigned>(ymd.month()));
  int d = static_cast<int>(static_cast<unsigned>(ymd.day()));
  std::string out;
  for (const PatternToken& t : Tokenize(Pattern())) {
    switch (t.letter) {
      case 'd':
        // Weekday names are not written; the day number keeps the text readable back.
        out += Pad(d, t.count == 2 ? 2 : 1);
        break;
      case 'M':
        if (t.count <= 2)
          out += Pad(m, static_cast<int>(t.count));
        else if (t.count == 3)
          out += std::string(kMonthNames[m - 1]).substr(0, 3);
        else
          out += kMonthNames[m - 1];
        break;
      case 'y':
        // Always four digits, so that the text never depends on the century rule.
        out += Pad(y, 4);
        break;
      default:
        out += t.literal;
    }
  }
  return out;
}

std::string IsoMidnight(std::chrono::sys_days when) {
  year_month_day ymd{when};
  return Pad(static_cast<int>(ymd.year()), 4) + "-" +
         Pad(static_cast<int>(static_cast<unsigned>(ymd.month())), 2) + "-" +
         Pad(static_cast<int>(static_cast<unsigned>(ymd.day())), 2) + " 00:00:00";
}

}  // namespace zorvik
