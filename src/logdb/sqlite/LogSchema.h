#pragma once

#include <string_view>

namespace zorvik::logdb {

// The CREATE TABLE statements of a new log (src/logdb/sqlite/LogSchema.sql, built in).
std::string_view LogSchemaSql();

}  // namespace zorvik::logdb
