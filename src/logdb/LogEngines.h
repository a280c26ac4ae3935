#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "logdb/Database.h"

namespace zorvik::logdb {

// The engines a log file can need, told apart by the file's first bytes.
enum class LogFileKind { kSqlite, kJet };

// How many of a file's first bytes LogFileKindOf looks at.
inline constexpr std::size_t kLogHeaderBytes = 19;

// The kind a file's first bytes announce: SQLite's header "SQLite format 3" and a zero byte at
// bytes 0 to 15; Jet's "Standard Jet DB" (DXKeeper's .mdb) or "Standard ACE DB" (the newer
// format) at bytes 4 to 18. nullopt for anything else, too few bytes included.
std::optional<LogFileKind> LogFileKindOf(std::string_view first_bytes);

// Opens an existing log of its kind; throws zorvik::Failure as Database::Open does.
using LogEngine = std::function<std::unique_ptr<Database>(const std::string& path)>;

// Makes `engine` the one Database::Open uses for logs of `kind` (an empty function: none) and
// returns the one it replaces, so that a caller can put it back. SQLite's engine is there from
// the start; Jet has none until a program that has one (DAO, on Windows) registers it at
// start-up. Not thread-safe: call it on the window's thread, never while a log is being opened.
LogEngine SetLogEngine(LogFileKind kind, LogEngine engine);

}  // namespace zorvik::logdb
