#pragma once

#include <optional>
#include <string>
#include <string_view>

struct sqlite3;

// Jet's DateValue, played by the stand-in with a table of its own: the forms the Jet of an
// English (United States) Windows reads, the locale of the test prefix. Deliberately not
// Zorvik's own date reader (core/DateText.h), so that Zorvik's statements are shown to hand
// their dates to the engine as typed, and a form only Zorvik's reader knows is not taken here.
namespace zorvik::dao_standin {

// The day `text` names, as "YYYY-MM-DD 00:00:00" (the form the stand-in keeps dates in, so that
// stored dates compare with it), or nullopt. The forms, each optionally followed by a time of
// day (H:MM or H:MM:SS, AM or PM), which DateValue drops:
//   M/d/y  M-d-y  (d/M/y where M/d gives no date)   M/d  (this year)
//   y-M-d  y/M/d  (y of three or four digits)
//   MMM d, y  MMM d y  d MMM y  d-MMM-y  MMM d  d MMM  (English month names, full or cut to
//   three letters)
// Years of one or two digits are 1930 to 2029; others 100 to 9999.
std::optional<std::string> JetDateValue(std::string_view text);

// Registers DateValue (above; a text that is no date fails the statement with 3464) and Jet's
// StrComp(a, b[, compare]) on a connection.
void RegisterJetFunctions(sqlite3* db);

// The failure number a function registered here raised, read from SQLite's error message;
// 0 when the message is none of theirs.
int JetFunctionFailure(std::string_view sqliteMessage);

}  // namespace zorvik::dao_standin
