#pragma once

#include <optional>
#include <string>

struct sqlite3;

namespace zorvik::logdb {

// Registers DateValue(text) on a connection: the text read as a date (the user's short date,
// ISO, month/day/year, day/month/year) and returned as "YYYY-MM-DD 00:00:00", so it compares
// exactly with the log's stored date-times. Null gives Null. Deterministic, so SQLite reads a
// constant argument once per statement. Throws Failure on a registration failure.
void RegisterDateValue(sqlite3* db);

// When an SQLite error message is DateValue's "not a date", the description to report with
// err::kTypeMismatch.
std::optional<std::string> DateValueFailureText(const std::string& sqlite_message);

}  // namespace zorvik::logdb
