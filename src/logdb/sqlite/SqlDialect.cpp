#include "logdb/sqlite/SqlDialect.h"

#include <cctype>

#include "core/Failure.h"

namespace zorvik::logdb {
namespace {

[[noreturn]] void SyntaxError(std::string_view what, std::string_view text,
                              int number = err::kSyntaxError) {
  throw Failure(number, std::string(what) + " in: " + std::string(text));
}

[[noreturn]] void CriterionError(std::string_view what, std::string_view text) {
  SyntaxError(what, text, err::kCriterionSyntax);
}

bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool IsSpace(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// Index just past the quoted or bracketed run that starts at `i` (s[i] is the opener); a
// doubled closing quote inside stays in the run. npos when it is not closed.
std::size_t SkipQuoted(std::string_view s, std::size_t i) {
  char open = s[i];
  char close = open == '[' ? ']' : open;
  for (std::size_t j = i + 1; j < s.size(); ++j) {
    if (s[j] != close) continue;
    if (open != '[' && j + 1 < s.size() && s[j + 1] == close) {
      ++j;
      continue;
    }
    return j + 1;
  }
  return std::string_view::npos;
}

// The word (identifier run) starting at `i`, empty when none starts there.
std::string_view WordAt(std::string_view s, std::size_t i) {
  if (i > 0 && IsWordChar(s[i - 1])) return {};
  std::size_t j = i;
  while (j < s.size() && IsWordChar(s[j])) ++j;
  return s.substr(i, j - i);
}

std::size_t SkipSpace(std::string_view s, std::size_t i) {
  while (i < s.size() && IsSpace(s[i])) ++i;
  return i;
}

// A table or field name: [bracketed], `quoted`, or a bare word. Advances `i` past it.
std::string ReadName(std::string_view s, std::size_t& i) {
  if (i < s.size() && (s[i] == '[' || s[i] == '`')) {
    std::size_t end = SkipQuoted(s, i);
    if (end == std::string_view::npos) return {};
    std::string name(s.substr(i + 1, end - i - 2));
    i = end;
    return name;
  }
  std::string_view word = WordAt(s, i);
  i += word.size();
  return std::string(word);
}

}  // namespace

std::string TranslateStatement(std::string_view statement) {
  std::string out;
  out.reserve(statement.size() + 8);
  std::size_t i = 0;
  while (i < statement.size()) {
    char c = statement[i];
    if (c == '\'' || c == '[' || c == '`' || c == '"') {
      std::size_t end = SkipQuoted(statement, i);
      if (end == std::string_view::npos) {
        SyntaxError(c == '[' ? "Unclosed bracket" : "Unterminated text", statement);
      }
      if (c != '"') {
        out.append(statement.substr(i, end - i));
      } else {
        out += '\'';
        for (std::size_t j = i + 1; j + 1 < end; ++j) {
          char t = statement[j];
          if (t == '"') ++j;  // "" inside is one quote
          if (t == '\'') out += '\'';
          out += t;
        }
        out += '\'';
      }
      i = end;
    } else {
      out += c;
      ++i;
    }
  }
  return out;
}

namespace {

// The plain field names of the top-level ORDER BY that starts at or after `i`, or none.
std::vector<std::string> OrderByFields(std::string_view sql, std::size_t i) {
  int depth = 0;
  std::size_t order = std::string_view::npos;
  while (i < sql.size()) {
    char c = sql[i];
    if (c == '\'' || c == '[' || c == '`' || c == '"') {
      i = SkipQuoted(sql, i);
      if (i == std::string_view::npos) return {};
      continue;
    }
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (depth == 0 && EqualNoCase(WordAt(sql, i), "ORDER")) {
      std::size_t by = SkipSpace(sql, i + 5);
      if (EqualNoCase(WordAt(sql, by), "BY")) order = by + 2;
    }
    ++i;
  }
  if (order == std::string_view::npos) return {};
  std::vector<std::string> fields;
  std::size_t j = SkipSpace(sql, order);
  while (true) {
    const bool bracketed = j < sql.size() && (sql[j] == '[' || sql[j] == '`');
    std::string name = ReadName(sql, j);
    // "Order By 2" means the second output field, not a field named 2.
    if (name.empty() || (!bracketed && std::isdigit(static_cast<unsigned char>(name[0])))) {
      return {};
    }
    j = SkipSpace(sql, j);
    std::string_view word = WordAt(sql, j);
    if (EqualNoCase(word, "ASC") || EqualNoCase(word, "DESC")) j = SkipSpace(sql, j + word.size());
    fields.push_back(std::move(name));
    if (j == sql.size() || (sql[j] == ';' && SkipSpace(sql, j + 1) == sql.size())) return fields;
    if (sql[j] != ',') return {};  // an expression, COLLATE, LIMIT...: not plain fields
    j = SkipSpace(sql, j + 1);
  }
}

}  // namespace

RowidSelect MakeRowidSelect(std::string_view sql) {
  std::size_t i = SkipSpace(sql, 0);
  if (!EqualNoCase(WordAt(sql, i), "SELECT")) SyntaxError("Not a SELECT statement", sql);
  i += 6;
  // The first FROM outside quotes, brackets and parentheses ends the field list.
  int depth = 0;
  std::size_t from = std::string_view::npos;
  while (i < sql.size() && from == std::string_view::npos) {
    char c = sql[i];
    if (c == '\'' || c == '[' || c == '`' || c == '"') {
      i = SkipQuoted(sql, i);
      if (i == std::string_view::npos) SyntaxError("Unterminated text", sql);
      continue;
    }
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (depth == 0 && EqualNoCase(WordAt(sql, i), "FROM")) from = i;
    ++i;
  }
  if (from == std::string_view::npos) SyntaxError("SELECT without FROM", sql);
  std::size_t j = SkipSpace(sql, from + 4);
  RowidSelect result;
  result.table = ReadName(sql, j);
  if (result.table.empty()) SyntaxError("No table after FROM", sql);
  j = SkipSpace(sql, j);
  std::string_view next = j < sql.size() ? WordAt(sql, j) : std::string_view{};
  if ((j < sql.size() && sql[j] == ',') || EqualNoCase(next, "JOIN") ||
      EqualNoCase(next, "INNER") || EqualNoCase(next, "LEFT") || EqualNoCase(next, "CROSS") ||
      EqualNoCase(next, "NATURAL")) {
    SyntaxError("A record set reads one table only", sql);
  }
  result.from = std::string(sql.substr(from));
  result.sql = "SELECT rowid " + result.from;
  result.orderedBy = OrderByFields(sql, from);
  return result;
}

Criterion ParseCriterion(std::string_view text) {
  std::size_t i = SkipSpace(text, 0);
  Criterion c;
  c.field = ReadName(text, i);
  if (c.field.empty()) CriterionError("No field name in criterion", text);
  i = SkipSpace(text, i);
  if (i >= text.size() || text[i] != '=') CriterionError("Expected '=' in criterion", text);
  i = SkipSpace(text, i + 1);
  if (i >= text.size() || (text[i] != '\'' && text[i] != '"')) {
    CriterionError("Expected a quoted value in criterion", text);
  }
  char quote = text[i];
  std::size_t end = SkipQuoted(text, i);
  if (end == std::string_view::npos) CriterionError("Unterminated text in criterion", text);
  for (std::size_t j = i + 1; j + 1 < end; ++j) {
    c.value += text[j];
    if (text[j] == quote) ++j;
  }
  if (SkipSpace(text, end) != text.size()) CriterionError("Unexpected text after value", text);
  return c;
}

std::string QuoteIdentifier(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

}  // namespace zorvik::logdb
