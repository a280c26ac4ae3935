#include "core/DateText.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <optional>
#include <vector>

#include "core/Failure.h"
#include "core/LocalToday.h"

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

LocaleMonthNames& LocaleNames() {
  static LocaleMonthNames names;
  return names;
}

constexpr std::array<std::string_view, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Letter case of ASCII letters ignored, every other byte compared as it is: the front end hands
// over the other case forms of a locale's names itself.
bool EqualAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// `word` is `name` or its first three or more bytes (a typed word ends on a character boundary,
// so a match never cuts a character).
bool NameOrItsStart(std::string_view word, std::string_view name) {
  if (word.size() < 3 && word.size() != name.size()) return false;
  return word.size() <= name.size() && EqualAsciiNoCase(word, name.substr(0, word.size()));
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// What may stand between the parts of a date: blanks, "/", "-", "." and ",".
bool IsSeparator(char c) {
  return IsBlank(c) || c == '/' || c == '-' || c == '.' || c == ',';
}

// Letters of a month name: anything but digits, separators and the time's colon, so that names
// with letters beyond ASCII ("März", "février") stay one word.
bool IsWordChar(char c) {
  return !IsDigit(c) && !IsSeparator(c) && c != ':';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
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
// are 19xx, as DXKeeper's users are used to.
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

// The month a typed word names: an English name, full or cut to three or more letters, or a
// spelling of the locale's (its trailing "." optional), full or cut likewise. A word that could
// be two months ("jui" in French) names none.
std::optional<int> MonthOfWord(std::string_view word) {
  if (word.empty()) return std::nullopt;
  std::optional<int> found;
  bool twoMonths = false;
  const auto consider = [&](int month) {
    if (found && *found != month) twoMonths = true;
    found = month;
  };
  for (std::size_t i = 0; i < kMonthNames.size(); ++i) {
    if (word.size() >= 3 && NameOrItsStart(word, kMonthNames[i])) consider(static_cast<int>(i) + 1);
  }
  const LocaleMonthNames& locale = LocaleNames();
  for (std::size_t i = 0; i < locale.size(); ++i) {
    for (std::string_view name : locale[i]) {
      if (!name.empty() && name.back() == '.') name.remove_suffix(1);
      if (!name.empty() && NameOrItsStart(word, name)) consider(static_cast<int>(i) + 1);
    }
  }
  if (twoMonths) return std::nullopt;
  return found;
}

// The month name at `pos`; the position moves past it only when it names a month.
std::optional<int> ReadMonthName(std::string_view s, std::size_t& pos) {
  std::size_t end = pos;
  while (end < s.size() && IsWordChar(s[end])) ++end;
  const std::optional<int> month = MonthOfWord(s.substr(pos, end - pos));
  if (month) pos = end;
  return month;
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
        if (IsBlank(c)) {
          while (pos < text.size() && IsBlank(text[pos])) ++pos;
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

// "H:MM", "H:MM:SS", either followed by AM or PM (or A, P), the hour then 1 to 12.
bool IsTimeOfDay(std::string_view text) {
  std::size_t pos = 0;
  const auto hour = ReadNumber(text, pos, 2);
  if (!hour || pos >= text.size() || text[pos++] != ':') return false;
  const auto minute = ReadNumber(text, pos, 2);
  if (!minute || *minute > 59) return false;
  if (pos < text.size() && text[pos] == ':') {
    ++pos;
    const auto second = ReadNumber(text, pos, 2);
    if (!second || *second > 59) return false;
  }
  const std::string_view half = Trim(text.substr(pos));
  if (half.empty()) return *hour <= 23;
  for (std::string_view marker : {"AM", "PM", "A", "P"}) {
    if (EqualAsciiNoCase(half, marker)) return *hour >= 1 && *hour <= 12;
  }
  return false;
}

// The date part of a text that may end in a time of day (after a blank, or "T" as in ISO 8601);
// nullopt when what looks like a time is none.
std::optional<std::string_view> WithoutTimeOfDay(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return text;
  std::size_t start = colon;
  while (start > 0 && IsDigit(text[start - 1])) --start;
  if (start == 0 || !IsTimeOfDay(text.substr(start))) return std::nullopt;
  const char before = text[start - 1];
  if (!IsBlank(before) && before != 'T' && before != 't') return std::nullopt;
  return Trim(text.substr(0, start - 1));
}

// A date part cut into numbers and words, and what stands between them.
struct DateWord {
  bool isNumber = false;
  int value = 0;           // a number's value (only read when it has at most four digits)
  std::size_t digits = 0;  // a number's length
  std::string_view text;   // the word or the digits
};
struct DateWords {
  std::vector<DateWord> words;
  std::vector<std::string_view> gaps;  // gaps[i] stands between words[i] and words[i + 1]
  std::string_view tail;               // separators after the last word
};

std::optional<DateWords> SplitDate(std::string_view text) {
  DateWords out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t start = pos;
    DateWord word;
    if (IsDigit(text[pos])) {
      word.isNumber = true;
      while (pos < text.size() && IsDigit(text[pos])) {
        if (pos - start < 4) word.value = word.value * 10 + (text[pos] - '0');
        ++pos;
      }
      word.digits = pos - start;
    } else {
      while (pos < text.size() && IsWordChar(text[pos])) ++pos;
      if (pos == start) return std::nullopt;  // a separator before the first word
    }
    word.text = text.substr(start, pos - start);
    out.words.push_back(word);
    const std::size_t gapStart = pos;
    while (pos < text.size() && IsSeparator(text[pos])) ++pos;
    out.gaps.push_back(text.substr(gapStart, pos - gapStart));
  }
  if (out.words.empty()) return std::nullopt;
  out.tail = out.gaps.back();
  out.gaps.pop_back();
  return out;
}

enum class FieldOrder { kMonthDayYear, kDayMonthYear, kYearMonthDay };

// The order of day, month and year in the locale's short-date pattern.
FieldOrder LocaleOrder() {
  std::string letters;
  for (const PatternToken& t : Tokenize(Pattern())) {
    if (t.letter != 0 && letters.find(t.letter) == std::string::npos) letters += t.letter;
  }
  if (!letters.empty() && letters.front() == 'y') return FieldOrder::kYearMonthDay;
  const std::size_t dayAt = letters.find('d'), monthAt = letters.find('M');
  if (dayAt != std::string::npos && monthAt != std::string::npos && dayAt < monthAt)
    return FieldOrder::kDayMonthYear;
  return FieldOrder::kMonthDayYear;
}

std::optional<sys_days> DateOf(const DateWord& y, const DateWord& m, const DateWord& d) {
  if (y.digits > 4 || m.digits > 2 || d.digits > 2) return std::nullopt;
  return MakeDate(ExpandYear(y.value, y.digits), m.value, d.value);
}

std::optional<sys_days> DateOf(int y, const DateWord& m, const DateWord& d) {
  if (m.digits > 2 || d.digits > 2) return std::nullopt;
  return MakeDate(y, m.value, d.value);
}

// Two or three numbers: in the locale's order first, then (day and month swapped) the other one.
std::optional<sys_days> ReadNumbers(const std::vector<DateWord>& n, year currentYear) {
  const FieldOrder order = LocaleOrder();
  const bool dayFirst = order == FieldOrder::kDayMonthYear;
  if (n.size() == 2) {
    const int y = static_cast<int>(currentYear);
    if (auto r = dayFirst ? DateOf(y, n[1], n[0]) : DateOf(y, n[0], n[1])) return r;
    return dayFirst ? DateOf(y, n[0], n[1]) : DateOf(y, n[1], n[0]);
  }
  if (n[0].digits > 2 || order == FieldOrder::kYearMonthDay) {
    if (auto r = DateOf(n[0], n[1], n[2])) return r;
    if (n[0].digits > 2) return std::nullopt;  // a year comes first or not at all
  }
  if (auto r = dayFirst ? DateOf(n[2], n[1], n[0]) : DateOf(n[2], n[0], n[1])) return r;
  return dayFirst ? DateOf(n[2], n[0], n[1]) : DateOf(n[2], n[1], n[0]);
}

// A month name with the day, and the year unless it is `currentYear`: "May 2, 2004",
// "2 May 2004", "2004-May-02", "May 2", "2 May".
std::optional<sys_days> ReadWithMonthName(const std::vector<DateWord>& w, int month,
                                          year currentYear) {
  const DateWord named{true, month, 1, {}};
  const int y = static_cast<int>(currentYear);
  if (w.size() == 2) return w[0].isNumber ? DateOf(y, named, w[0]) : DateOf(y, named, w[1]);
  if (!w[0].isNumber) return DateOf(w[2], named, w[1]);   // May 2, 2004
  if (w[0].digits > 2) return DateOf(w[0], named, w[2]);  // 2004-May-02
  return DateOf(w[2], named, w[0]);                       // 2 May 2004
}

// Everything but the locale's own pattern: numbers split by one separator kind, or a month name
// with numbers.
std::optional<sys_days> ReadTypedDate(std::string_view text, year currentYear) {
  const auto split = SplitDate(text);
  if (!split) return std::nullopt;
  const std::vector<DateWord>& w = split->words;
  if (w.size() < 2 || w.size() > 3) return std::nullopt;
  std::vector<std::size_t> names;
  for (std::size_t i = 0; i < w.size(); ++i) {
    if (!w[i].isNumber) names.push_back(i);
  }
  if (names.empty()) {
    // One separator throughout; a trailing dot only after dots ("1.5.").
    const std::string_view sep = split->gaps[0];
    if (sep != "/" && sep != "-" && sep != ".") return std::nullopt;
    for (std::string_view gap : split->gaps) {
      if (gap != sep) return std::nullopt;
    }
    if (!split->tail.empty() && !(sep == "." && split->tail == ".")) return std::nullopt;
    return ReadNumbers(w, currentYear);
  }
  if (names.size() != 1 || !split->tail.empty()) return std::nullopt;
  if (w.size() == 3 && names[0] == 2) return std::nullopt;  // "2 2004 May"
  const std::optional<int> month = MonthOfWord(w[names[0]].text);
  if (!month) return std::nullopt;
  return ReadWithMonthName(w, *month, currentYear);
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

void SetLocaleMonthNames(LocaleMonthNames names) {
  LocaleNames() = std::move(names);
}

std::chrono::sys_days ParseDateText(std::string_view raw, std::chrono::year currentYear) {
  const std::string_view text = Trim(raw);
  if (!text.empty()) {
    if (const auto date = WithoutTimeOfDay(text)) {
      if (auto r = ParseWithPattern(*date, Pattern())) return *r;
      if (auto r = ReadTypedDate(*date, currentYear)) return *r;
    }
  }
  throw Failure(err::kTypeMismatch, "Type mismatch: \"" + std::string(raw) + "\" is not a date");
}

std::chrono::sys_days ParseDateText(std::string_view text) {
  return ParseDateText(text, year_month_day{LocalToday()}.year());
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
          out += kMonthNames[m - 1].substr(0, 3);
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
