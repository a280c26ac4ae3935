#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The gate every statement and search criterion passes before the stand-in runs it on SQLite:
// read as Jet SQL (Jet 4.0's ANSI-89 dialect, as DAO hands it over) and written anew for
// SQLite. What Jet SQL does not have is refused with Jet's numbers, so that a statement that
// works only because SQLite reads it never passes here:
// - `||`, `!=`, `%`, backquotes and other characters Jet SQL has no use for: 3075 (3077 in a
//   criterion);
// - COLLATE, CASE, LIMIT and the other words of SQLite's: 3075 (3131 / 3138 after FROM and
//   ORDER BY);
// - functions other than the few of Jet's the stand-in plays (DateValue, StrComp): 3085
//   (CAST, IFNULL, COALESCE, SUBSTR, ...);
// - rowid (to Jet an unknown name, so a parameter): 3061; row values such as (a, b) In (...):
//   3075;
// - a second statement after ';': 3142.
// What Jet reads its own way is translated: "..." is a text, [name] a name, & joins texts,
// True is -1, #date# a date, and Like takes Jet's wildcards (* ? for any text / one character;
// % and _ are plain characters).
namespace zorvik::dao_standin {

enum class StatementKind { kSelect, kUpdate, kTableName, kOther };

// What a statement is, by its first word (a lone name: a table).
StatementKind KindOf(std::string_view statement);

// SELECT * (or a list of fields) FROM one table [WHERE ...] [ORDER BY fields [ASC|DESC], ...].
struct SqlSelect {
  std::string table;
  std::vector<std::string> fields;  // as listed; empty for *
  std::string where;                // the condition in SQLite's words; empty: none
  std::string orderBy;              // SQLite's ORDER BY list; empty: none
};
SqlSelect ReadSelect(std::string_view statement);

// UPDATE table SET field = expression, ... [WHERE ...].
struct SqlUpdate {
  std::string table;
  std::vector<std::pair<std::string, std::string>> assignments;  // field, SQLite expression
  std::string where;
};
SqlUpdate ReadUpdate(std::string_view statement);

// A FindFirst / FindNext criterion (a condition without WHERE) in SQLite's words. Failures are
// 3077, as Jet's for a criterion.
std::string ReadCriterion(std::string_view criterion);

// A name quoted for SQLite, whatever it is ("Unique" is one of its keywords).
std::string SqlName(std::string_view name);

}  // namespace zorvik::dao_standin
