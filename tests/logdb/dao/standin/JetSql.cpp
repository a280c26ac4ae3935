#include "JetSql.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>

#include "JetDateValue.h"
#include "JetErrors.h"

namespace zorvik::dao_standin {
namespace {

constexpr int kUpdateSyntax = 3144;  // "Syntax error in UPDATE statement."

struct Token {
  enum class Kind { kWord, kName, kText, kNumber, kDate, kSymbol };
  Kind kind;
  std::string text;  // a word or symbol as written; a name, text or date without its quotes
};
using Tokens = std::vector<Token>;

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool IsWord(const Token& t, std::string_view upper) {
  return t.kind == Token::Kind::kWord && Upper(t.text) == upper;
}

bool IsSymbol(const Token& t, std::string_view symbol) {
  return t.kind == Token::Kind::kSymbol && t.text == symbol;
}

// Jet's syntax failure for the statement or criterion being read.
[[noreturn]] void Syntax(int number, std::string_view text) {
  RaiseJet(number, text);
}

// Reads a quoted run that starts at `i` (the opening character) and ends with `close`; a doubled
// closing quote inside stands for one (not in brackets or dates).
std::optional<std::string> Quoted(std::string_view s, std::size_t& i, char close, bool doubling) {
  std::string value;
  for (std::size_t j = i + 1; j < s.size(); ++j) {
    if (s[j] != close) {
      value += s[j];
      continue;
    }
    if (doubling && j + 1 < s.size() && s[j + 1] == close) {
      value += close;
      ++j;
      continue;
    }
    i = j + 1;
    return value;
  }
  return std::nullopt;
}

Tokens Tokenize(std::string_view s, int syntaxNumber) {
  Tokens tokens;
  std::size_t i = 0;
  const auto symbol = [&](std::size_t length) {
    tokens.push_back({Token::Kind::kSymbol, std::string(s.substr(i, length))});
    i += length;
  };
  while (i < s.size()) {
    const char c = s[i];
    const char next = i + 1 < s.size() ? s[i + 1] : '\0';
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
      std::size_t j = i;
      while (j < s.size() && (std::isalnum(static_cast<unsigned char>(s[j])) || s[j] == '_')) ++j;
      tokens.push_back({Token::Kind::kWord, std::string(s.substr(i, j - i))});
      i = j;
    } else if (std::isdigit(static_cast<unsigned char>(c)) ||
               (c == '.' && std::isdigit(static_cast<unsigned char>(next)))) {
      std::size_t j = i;
      while (j < s.size() && (std::isdigit(static_cast<unsigned char>(s[j])) || s[j] == '.')) ++j;
      if (j < s.size() && (s[j] == 'E' || s[j] == 'e')) {
        ++j;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
      }
      tokens.push_back({Token::Kind::kNumber, std::string(s.substr(i, j - i))});
      i = j;
    } else if (c == '[' || c == '\'' || c == '"' || c == '#') {
      const char close = c == '[' ? ']' : c;
      const auto value = Quoted(s, i, close, c == '\'' || c == '"');
      if (!value) Syntax(syntaxNumber, s);
      const Token::Kind kind = c == '['   ? Token::Kind::kName
                               : c == '#' ? Token::Kind::kDate
                                          : Token::Kind::kText;
      tokens.push_back({kind, *value});
    } else if ((c == '<' && (next == '>' || next == '=')) || (c == '>' && next == '=')) {
      symbol(2);
    } else if (std::string_view("=<>+-*/&(),.;\\^").find(c) != std::string_view::npos) {
      symbol(1);
    } else {
      // `||`, `!=`, `%`, backquotes, `?`, ...: nothing Jet SQL reads.
      Syntax(syntaxNumber, s);
    }
  }
  return tokens;
}

// Words that are SQLite's and not Jet's: a statement that uses one fails as Jet fails it.
bool IsSqliteOnlyWord(const std::string& upper) {
  static const char* const kWords[] = {"LIMIT", "OFFSET",    "COLLATE", "CASE",   "WHEN",  "THEN",
                                       "ELSE",  "END",       "GLOB",    "REGEXP", "MATCH", "ESCAPE",
                                       "CAST",  "RETURNING", "ISNULL",  "NOTNULL"};
  return std::find(std::begin(kWords), std::end(kWords), upper) != std::end(kWords);
}

bool IsRowid(const std::string& upper) {
  return upper == "ROWID" || upper == "OID" || upper == "_ROWID_";
}

// Jet's functions the stand-in plays; any other name before '(' is no function to Jet here.
bool IsPlayedFunction(const std::string& upper) {
  return upper == "DATEVALUE" || upper == "STRCOMP";
}

// Words of an expression that pass as they are.
bool IsOperatorWord(const std::string& upper) {
  static const char* const kWords[] = {"AND", "OR", "NOT", "IS", "NULL", "IN", "BETWEEN", "XOR"};
  return std::find(std::begin(kWords), std::end(kWords), upper) != std::end(kWords);
}

std::string SqlText(std::string_view value) {
  std::string out = "'";
  for (char c : value) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

// A Like pattern with Jet's wildcards as one with SQLite's, escaped with '\'.
std::string LikePattern(std::string_view pattern) {
  std::string out;
  for (char c : pattern) {
    switch (c) {
      case '*':
        out += '%';
        break;
      case '?':
        out += '_';
        break;
      case '%':
      case '_':
      case '\\':
        out += '\\';
        out += c;
        break;
      case '#':
      case '[':
        NotPlayed("the Like wildcards # and [...]");
      default:
        out += c;
    }
  }
  return SqlText(out);
}

// An expression (condition or value) of tokens [begin, end), in SQLite's words.
std::string Expression(const Tokens& t, std::size_t begin, std::size_t end, int syntaxNumber,
                       std::string_view whole) {
  if (begin >= end) Syntax(syntaxNumber, whole);
  // What each open parenthesis is: a call's or In's argument list (commas allowed), or a group.
  std::vector<bool> lists;
  bool nextOpensList = false;
  std::string out;
  const auto emit = [&](std::string_view piece) {
    if (!out.empty()) out += ' ';
    out += piece;
  };
  for (std::size_t i = begin; i < end; ++i) {
    const Token& token = t[i];
    const bool opensList = std::exchange(nextOpensList, false);
    const bool beforeParen = i + 1 < end && IsSymbol(t[i + 1], "(");
    switch (token.kind) {
      case Token::Kind::kWord: {
        const std::string upper = Upper(token.text);
        if (IsRowid(upper)) RaiseJet(jet::kTooFewParameters);
        if (beforeParen && !IsOperatorWord(upper)) {
          if (!IsPlayedFunction(upper)) RaiseJet(jet::kUndefinedFunction, token.text);
          emit(upper);
          nextOpensList = true;
        } else if (IsSqliteOnlyWord(upper)) {
          Syntax(syntaxNumber, whole);
        } else if (upper == "LIKE") {
          if (i + 1 >= end || t[i + 1].kind != Token::Kind::kText) {
            NotPlayed("Like with a pattern that is not a text");
          }
          emit("LIKE " + LikePattern(t[++i].text) + " ESCAPE '\\'");
        } else if (upper == "TRUE" || upper == "YES" || upper == "ON") {
          emit("-1");
        } else if (upper == "FALSE" || upper == "NO" || upper == "OFF") {
          emit("0");
        } else if (upper == "MOD") {
          emit("%");
        } else if (IsOperatorWord(upper)) {
          emit(upper);
          nextOpensList = upper == "IN";
        } else {
          emit(SqlName(token.text));
        }
        break;
      }
      case Token::Kind::kName:
        emit(SqlName(token.text));
        break;
      case Token::Kind::kText:
        emit(SqlText(token.text));
        break;
      case Token::Kind::kNumber:
        emit(token.text);
        break;
      case Token::Kind::kDate: {
        const auto date = JetDateValue(token.text);
        if (!date) Syntax(syntaxNumber, whole);
        emit(SqlText(*date));
        break;
      }
      case Token::Kind::kSymbol:
        if (token.text == "(") {
          lists.push_back(opensList);
        } else if (token.text == ")") {
          if (lists.empty()) Syntax(syntaxNumber, whole);
          lists.pop_back();
        } else if (token.text == ",") {
          // Outside an argument list a comma makes a row value, which Jet does not have.
          if (lists.empty() || !lists.back()) Syntax(syntaxNumber, whole);
        } else if (token.text == "=" && i + 1 < end && IsSymbol(t[i + 1], "=")) {
          Syntax(syntaxNumber, whole);
        } else if (token.text == ";") {
          Syntax(syntaxNumber, whole);
        } else if (token.text == "\\" || token.text == "^") {
          NotPlayed("the operators \\ and ^");
        }
        emit(token.text == "&" ? "||" : token.text);
        break;
    }
  }
  if (!lists.empty()) Syntax(syntaxNumber, whole);
  return out;
}

// The tokens of a statement without a closing ';' (anything after one: 3142).
Tokens StatementTokens(std::string_view statement) {
  Tokens t = Tokenize(statement, err::kSyntaxError);
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (!IsSymbol(t[i], ";")) continue;
    if (i + 1 != t.size()) RaiseJet(jet::kAfterEndOfStatement);
    t.pop_back();
  }
  return t;
}

// The position of the first top-level word `upper` at or after `from`, or `t.size()`.
std::size_t FindTopLevel(const Tokens& t, std::size_t from, std::string_view upper) {
  int depth = 0;
  for (std::size_t i = from; i < t.size(); ++i) {
    if (IsSymbol(t[i], "(")) ++depth;
    if (IsSymbol(t[i], ")")) --depth;
    if (depth == 0 && IsWord(t[i], upper)) return i;
  }
  return t.size();
}

bool IsNameToken(const Token& t) {
  return t.kind == Token::Kind::kName || t.kind == Token::Kind::kWord;
}

}  // namespace

std::string SqlName(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

StatementKind KindOf(std::string_view statement) {
  // By the first word alone: the rest is for the statement's own reading to refuse.
  std::size_t i = 0;
  while (i < statement.size() && std::isspace(static_cast<unsigned char>(statement[i]))) ++i;
  std::size_t j = i;
  while (j < statement.size() &&
         (std::isalnum(static_cast<unsigned char>(statement[j])) || statement[j] == '_')) {
    ++j;
  }
  const std::string first = Upper(statement.substr(i, j - i));
  if (first == "SELECT") return StatementKind::kSelect;
  if (first == "UPDATE") return StatementKind::kUpdate;
  // A table's name alone, bare or in brackets.
  std::size_t end = statement.find_last_not_of(" \t\r\n");
  if (!first.empty() && end + 1 == j) return StatementKind::kTableName;
  if (i < statement.size() && statement[i] == '[' && end != std::string_view::npos &&
      statement[end] == ']' && statement.find(']', i) == end) {
    return StatementKind::kTableName;
  }
  return StatementKind::kOther;
}

SqlSelect ReadSelect(std::string_view statement) {
  const Tokens t = StatementTokens(statement);
  if (t.empty() || !IsWord(t[0], "SELECT")) RaiseJet(jet::kInvalidStatement);
  std::size_t i = 1;
  if (i < t.size() && (IsWord(t[i], "DISTINCT") || IsWord(t[i], "DISTINCTROW") ||
                       IsWord(t[i], "TOP") || IsWord(t[i], "ALL"))) {
    NotPlayed("SELECT " + t[i].text);
  }
  SqlSelect select;
  const std::size_t from = FindTopLevel(t, i, "FROM");
  if (from == t.size()) RaiseJet(err::kSyntaxError, statement);
  if (from == i + 1 && IsSymbol(t[i], "*")) {
    // every field of the table
  } else {
    for (; i < from; i += 2) {
      if (!IsNameToken(t[i]) || IsRowid(Upper(t[i].text))) {
        if (t[i].kind == Token::Kind::kWord && IsRowid(Upper(t[i].text))) {
          RaiseJet(jet::kTooFewParameters);
        }
        NotPlayed("a SELECT list of expressions");
      }
      select.fields.push_back(t[i].text);
      if (i + 1 < from && !IsSymbol(t[i + 1], ",")) RaiseJet(err::kSyntaxError, statement);
    }
  }
  i = from + 1;
  if (i >= t.size() || !IsNameToken(t[i])) RaiseJet(jet::kFromSyntax);
  select.table = t[i++].text;
  if (i < t.size() && IsWord(t[i], "WHERE")) {
    std::size_t order = FindTopLevel(t, i + 1, "ORDER");
    select.where = Expression(t, i + 1, order, err::kSyntaxError, statement);
    i = order;
  }
  if (i < t.size() && IsWord(t[i], "ORDER")) {
    if (i + 1 >= t.size() || !IsWord(t[i + 1], "BY")) RaiseJet(jet::kOrderBySyntax);
    i += 2;
    while (true) {
      if (i >= t.size() || !IsNameToken(t[i]) || IsSqliteOnlyWord(Upper(t[i].text))) {
        RaiseJet(jet::kOrderBySyntax);
      }
      if (t[i].kind == Token::Kind::kWord && IsRowid(Upper(t[i].text))) {
        RaiseJet(jet::kTooFewParameters);
      }
      if (!select.orderBy.empty()) select.orderBy += ", ";
      select.orderBy += SqlName(t[i++].text);
      if (i < t.size() && (IsWord(t[i], "ASC") || IsWord(t[i], "DESC"))) {
        select.orderBy += " " + Upper(t[i++].text);
      }
      if (i == t.size()) break;
      if (!IsSymbol(t[i], ",")) RaiseJet(jet::kOrderBySyntax);
      ++i;
    }
  }
  if (i != t.size()) RaiseJet(jet::kFromSyntax);  // a join, a second table, LIMIT, ...
  return select;
}

SqlUpdate ReadUpdate(std::string_view statement) {
  const Tokens t = StatementTokens(statement);
  if (t.size() < 2 || !IsWord(t[0], "UPDATE")) RaiseJet(jet::kInvalidStatement);
  if (!IsNameToken(t[1])) RaiseJet(kUpdateSyntax);
  SqlUpdate update;
  update.table = t[1].text;
  if (t.size() < 3 || !IsWord(t[2], "SET")) RaiseJet(kUpdateSyntax);
  const std::size_t where = FindTopLevel(t, 3, "WHERE");
  std::size_t i = 3;
  while (i < where) {
    // name = expression, up to the next top-level comma
    if (i + 2 > where || !IsNameToken(t[i]) || !IsSymbol(t[i + 1], "=")) RaiseJet(kUpdateSyntax);
    std::size_t end = i + 2;
    int depth = 0;
    for (; end < where; ++end) {
      if (IsSymbol(t[end], "(")) ++depth;
      if (IsSymbol(t[end], ")")) --depth;
      if (depth == 0 && IsSymbol(t[end], ",")) break;
    }
    update.assignments.emplace_back(t[i].text,
                                    Expression(t, i + 2, end, err::kSyntaxError, statement));
    i = end + 1;
  }
  if (update.assignments.empty()) RaiseJet(kUpdateSyntax);
  if (where < t.size()) {
    update.where = Expression(t, where + 1, t.size(), err::kSyntaxError, statement);
  }
  return update;
}

std::string ReadCriterion(std::string_view criterion) {
  const Tokens t = Tokenize(criterion, err::kCriterionSyntax);
  return Expression(t, 0, t.size(), err::kCriterionSyntax, criterion);
}

}  // namespace zorvik::dao_standin
