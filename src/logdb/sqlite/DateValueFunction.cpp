#include "logdb/sqlite/DateValueFunction.h"

#include <sqlite3.h>

#include "core/DateText.h"
#include "core/Failure.h"
#include "logdb/sqlite/SqliteSupport.h"

namespace zorvik::logdb {
namespace {

// SQLite carries only a message from a function to the caller; this prefix marks ours.
constexpr std::string_view kMarker = "zorvik-date-mismatch: ";

void DateValueImpl(sqlite3_context* ctx, int, sqlite3_value** args) {
  if (sqlite3_value_type(args[0]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  const auto* raw = reinterpret_cast<const char*>(sqlite3_value_text(args[0]));
  std::string text(raw ? raw : "", sqlite3_value_bytes(args[0]));
  try {
    std::string iso = IsoMidnight(ParseDateText(text));
    sqlite3_result_text(ctx, iso.c_str(), static_cast<int>(iso.size()), SQLITE_TRANSIENT);
  } catch (const Failure& f) {
    std::string message = std::string(kMarker) + f.Description();
    sqlite3_result_error(ctx, message.c_str(), static_cast<int>(message.size()));
  } catch (...) {
    sqlite3_result_error_nomem(ctx);
  }
}

}  // namespace

void RegisterDateValue(sqlite3* db) {
  int rc = sqlite3_create_function_v2(db, "DateValue", 1,
                                      SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                      nullptr, DateValueImpl, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) ThrowSqlite(db, rc, "DateValue");
}

std::optional<std::string> DateValueFailureText(const std::string& message) {
  std::size_t at = message.find(kMarker);
  if (at == std::string::npos) return std::nullopt;
  return message.substr(at + kMarker.size());
}

}  // namespace zorvik::logdb
