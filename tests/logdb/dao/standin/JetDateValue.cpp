#include "JetDateValue.h"

#include <windows.h>

#include <sqlite3.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "JetErrors.h"
#include "support/JetDateText.h"

namespace zorvik::dao_standin {
namespace {

constexpr const char* kFailurePrefix = "dao-standin failure ";

// One piece of a typed date: a run of digits, a run of letters, or one separator character.
struct Piece {
  enum class Kind { kNumber, kWord, kSeparator } kind;
  std::string text;
};

std::vector<Piece> Pieces(std::string_view text) {
  std::vector<Piece> pieces;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    std::size_t j = i + 1;
    if (std::isdigit(c)) {
      while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
      pieces.push_back({Piece::Kind::kNumber, std::string(text.substr(i, j - i))});
    } else if (std::isalpha(c)) {
      while (j < text.size() && std::isalpha(static_cast<unsigned char>(text[j]))) ++j;
      pieces.push_back({Piece::Kind::kWord, std::string(text.substr(i, j - i))});
    } else if (c != ' ') {
      pieces.push_back({Piece::Kind::kSeparator, std::string(1, text[i])});
    }
    i = j;
  }
  return pieces;
}

// 1 to 12 for an English month name, full or cut to three letters; 0 otherwise.
int MonthNamed(const std::string& word) {
  static const char* const kMonths[] = {"january",   "february", "march",    "april",
                                        "may",       "june",     "july",     "august",
                                        "september", "october",  "november", "december"};
  if (word.size() < 3) return 0;
  for (int m = 0; m < 12; ++m) {
    const std::string full = kMonths[m];
    if (word.size() != 3 && word.size() != full.size()) continue;
    if (_strnicmp(word.c_str(), full.c_str(), word.size()) == 0) return m + 1;
  }
  return 0;
}

int ThisYear() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return now.wYear;
}

// A year as typed: one or two digits are 1930 to 2029, three or four digits as they are.
int YearOf(const Piece& p) {
  const int n = std::atoi(p.text.c_str());
  if (p.text.size() <= 2) return n < 30 ? 2000 + n : 1900 + n;
  return p.text.size() <= 4 ? n : -1;
}

std::optional<std::string> Day(int y, int m, int d) {
  if (y < 100 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31) return std::nullopt;
  char text[24];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d 00:00:00", y, m, d);
  // A day the month does not have (2004-02-30) is no date.
  if (!zorvik::testing::JetDateFromText(std::string_view(text, 10))) return std::nullopt;
  return std::string(text);
}

// The pieces of a time of day at the end, which DateValue drops: H:MM[:SS] [AM|PM]. Returns how
// many pieces the date itself has, or -1 when what follows it is no time of day.
int DatePieces(const std::vector<Piece>& p) {
  int end = static_cast<int>(p.size());
  if (end > 0 && p[end - 1].kind == Piece::Kind::kWord &&
      (_stricmp(p[end - 1].text.c_str(), "AM") == 0 ||
       _stricmp(p[end - 1].text.c_str(), "PM") == 0)) {
    --end;
  }
  // Back over N:NN or N:NN:NN.
  int at = end;
  int colons = 0;
  while (at >= 2 && p[at - 1].kind == Piece::Kind::kNumber && p[at - 2].text == ":") {
    at -= 2;
    ++colons;
  }
  if (colons > 0) {
    if (colons > 2 || at < 1 || p[at - 1].kind != Piece::Kind::kNumber) return -1;
    return at - 1;
  }
  return end == static_cast<int>(p.size()) ? end : -1;
}

bool IsNumber(const Piece& p) {
  return p.kind == Piece::Kind::kNumber;
}

}  // namespace

std::optional<std::string> JetDateValue(std::string_view text) {
  const std::vector<Piece> all = Pieces(text);
  const int n = DatePieces(all);
  if (n <= 0) return std::nullopt;
  const std::vector<Piece> p(all.begin(), all.begin() + n);
  const auto number = [&](int i) { return std::atoi(p[static_cast<std::size_t>(i)].text.c_str()); };
  // Three numbers with one kind of separator.
  if (n == 5 && IsNumber(p[0]) && IsNumber(p[2]) && IsNumber(p[4]) &&
      p[1].kind == Piece::Kind::kSeparator && p[1].text == p[3].text &&
      (p[1].text == "/" || p[1].text == "-")) {
    if (p[0].text.size() >= 3) return Day(YearOf(p[0]), number(2), number(4));  // y-M-d
    const int y = YearOf(p[4]);
    if (auto md = Day(y, number(0), number(2))) return md;  // M/d/y
    return Day(y, number(2), number(0));                    // d/M/y where M/d is no date
  }
  // M/d of this year.
  if (n == 3 && IsNumber(p[0]) && IsNumber(p[2]) && p[1].text == "/") {
    return Day(ThisYear(), number(0), number(2));
  }
  // Forms with a month name: the numbers around it are the day and (last) the year.
  std::vector<int> numbers;
  int month = 0, words = 0;
  for (const Piece& piece : p) {
    if (piece.kind == Piece::Kind::kWord) {
      month = MonthNamed(piece.text);
      ++words;
    } else if (IsNumber(piece)) {
      numbers.push_back(static_cast<int>(&piece - p.data()));
    } else if (piece.text != "," && piece.text != "-") {
      return std::nullopt;
    }
  }
  if (words != 1 || month == 0 || numbers.empty() || numbers.size() > 2) return std::nullopt;
  const int day = number(numbers[0]);
  const int year =
      numbers.size() == 2 ? YearOf(p[static_cast<std::size_t>(numbers[1])]) : ThisYear();
  if (p[static_cast<std::size_t>(numbers[0])].text.size() > 2) return std::nullopt;
  return Day(year, month, day);
}

namespace {

void SetFailure(sqlite3_context* context, int number) {
  const std::string message = kFailurePrefix + std::to_string(number);
  sqlite3_result_error(context, message.c_str(), -1);
}

void DateValueFunction(sqlite3_context* context, int, sqlite3_value** values) {
  if (sqlite3_value_type(values[0]) == SQLITE_NULL) {
    SetFailure(context, err::kInvalidUseOfNull);
    return;
  }
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(values[0]));
  const std::optional<std::string> day = JetDateValue(text ? text : "");
  if (!day) {
    SetFailure(context, jet::kCriteriaTypeMismatch);
    return;
  }
  sqlite3_result_text(context, day->c_str(), -1, SQLITE_TRANSIENT);
}

// Jet's StrComp(a, b[, compare]): -1, 0 or 1; binary (0, the default) or text (1) comparison;
// Null when a text is Null.
void StrCompFunction(sqlite3_context* context, int count, sqlite3_value** values) {
  if (count < 2 || count > 3) {
    SetFailure(context, jet::kTooFewParameters);
    return;
  }
  if (sqlite3_value_type(values[0]) == SQLITE_NULL ||
      sqlite3_value_type(values[1]) == SQLITE_NULL) {
    sqlite3_result_null(context);
    return;
  }
  const auto* a = reinterpret_cast<const char*>(sqlite3_value_text(values[0]));
  const auto* b = reinterpret_cast<const char*>(sqlite3_value_text(values[1]));
  const bool asText = count > 2 && sqlite3_value_int(values[2]) == 1;
  const int order = asText ? _stricmp(a, b) : std::strcmp(a, b);
  sqlite3_result_int(context, (order > 0) - (order < 0));
}

}  // namespace

void RegisterJetFunctions(sqlite3* db) {
  sqlite3_create_function(db, "DateValue", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                          &DateValueFunction, nullptr, nullptr);
  sqlite3_create_function(db, "StrComp", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                          &StrCompFunction, nullptr, nullptr);
}

int JetFunctionFailure(std::string_view message) {
  const std::string_view prefix = kFailurePrefix;
  const auto at = message.find(prefix);
  if (at == std::string_view::npos) return 0;
  return std::atoi(std::string(message.substr(at + prefix.size())).c_str());
}

}  // namespace zorvik::dao_standin
