#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The test stand-in for DAO (tests/logdb/dao/standin) plays Jet over SQLite logs. Zorvik picks the
// engine by a log's first bytes, so a log it is to open with DAO must start like a Jet file. A
// Jet-routed log is such a file: Jet 4's first 20 bytes, then the path of the SQLite log it
// stands for (UTF-8; relative paths from the Jet-routed file's folder). Zorvik reads its header
// only; the stand-in follows the path. scripts/dao-standin writes the same files.
namespace zorvik::testing {

inline constexpr std::string_view kJetHeader("\x00\x01\x00\x00Standard Jet DB\x00", 20);

// Writes `jetPath` standing for the SQLite log at `sqlitePath` (written as given), with the
// stand-in's switches `directives` (lines as above).
inline void WriteJetRoutedLog(const std::filesystem::path& jetPath, const std::string& sqlitePath,
                              const std::vector<std::string>& directives = {}) {
  std::ofstream file(jetPath, std::ios::binary | std::ios::trunc);
  file << kJetHeader << sqlitePath;
  for (const std::string& line : directives) file << '\n' << line;
}

// The lines after the header of a Jet-routed file: the SQLite log's path first, then the
// switches. Empty when the file is none.
inline std::vector<std::string> JetRoutedLines(const std::filesystem::path& jetPath) {
  std::ifstream file(jetPath, std::ios::binary);
  const std::string bytes(std::istreambuf_iterator<char>(file), {});
  if (bytes.size() <= kJetHeader.size() || bytes.compare(0, kJetHeader.size(), kJetHeader) != 0) {
    return {};
  }
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = kJetHeader.size(); i <= bytes.size(); ++i) {
    if (i == bytes.size() || bytes[i] == '\n') {
      while (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) lines.push_back(line);
      line.clear();
    } else {
      line += bytes[i];
    }
  }
  return lines;
}

// The SQLite log a Jet-routed file stands for, or nullopt when the file is none.
inline std::optional<std::filesystem::path> SqliteLogOf(const std::filesystem::path& jetPath) {
  const std::vector<std::string> lines = JetRoutedLines(jetPath);
  if (lines.empty()) return std::nullopt;
  const std::string& target = lines.front();
  const std::filesystem::path path(std::u8string(target.begin(), target.end()));
  return path.is_absolute() ? path : jetPath.parent_path() / path;
}

}  // namespace zorvik::testing
