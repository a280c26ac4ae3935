#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik::logdb {

// The host's SQL dialect, brought into SQLite's. Pure text work, no connection needed.

// Rewrites a statement for SQLite: every double-quoted text becomes a single-quoted literal
// (the host reads "..." as a string, SQLite would take it for a column whenever one has that
// name). Single-quoted literals and [bracketed] names pass unchanged. Throws
// Failure(err::kSyntaxError) for an unterminated quote or bracket.
std::string TranslateStatement(std::string_view statement);

// A single-table SELECT split for a record set: the table it reads and the statement rewritten to
// give only the rowids of its rows, in the statement's order. Expects a translated statement.
struct RowidSelect {
  std::string table;  // as written, brackets or quotes removed
  std::string sql;    // "SELECT rowid FROM ..."
  std::string from;   // the statement from its FROM on
  // The field names of the ORDER BY, in order, when every one of its terms is a plain field name
  // (with ASC or DESC at most); empty otherwise. The engine has these values at hand anyway.
  std::vector<std::string> orderedBy;
};

// Throws Failure(err::kSyntaxError) when the statement is not a SELECT over one table.
RowidSelect MakeRowidSelect(std::string_view translated);

// A record-set search criterion "Field = 'value'" (blanks around '=' optional, a doubled quote
// inside the value stands for one, the field may be [bracketed]). Throws
// Failure(err::kCriterionSyntax) for anything else, an apostrophe inside the value included.
struct Criterion {
  std::string field;
  std::string value;
};
Criterion ParseCriterion(std::string_view criterion);

// "name" with inner quotes doubled: an identifier SQLite takes whatever the name is (Unique is
// a keyword).
std::string QuoteIdentifier(std::string_view name);

}  // namespace zorvik::logdb
