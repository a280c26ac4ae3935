#pragma once

#include <filesystem>
#include <string>

namespace zorvik::logdb {

// The program keeps paths as UTF-8 text, as SQLite takes them. Handed to std::filesystem as plain
// narrow text, a Windows path with letters beyond ASCII would be read in the ANSI code page and
// name another file; this reads it as UTF-8 on every system.
inline std::filesystem::path Utf8Path(const std::string& path) {
  return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

}  // namespace zorvik::logdb
