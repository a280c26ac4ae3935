#include "host/linux/IniFile.h"

#include <cstdlib>

namespace zorvik::host {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view s) {
  const auto first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(kBlanks);
  return s.substr(first, last - first + 1);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::optional<std::filesystem::path> ConfigHome() {
  // A relative XDG_CONFIG_HOME is invalid and must be ignored, not resolved against the
  // current directory.
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
    return std::filesystem::path(xdg);
  }
  if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
    return std::filesystem::path(home) / ".config";
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::filesystem::path> IniFilePath(std::string_view application) {
  if (application.empty() || application == "." || application == ".." ||
      application.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) {
    return std::nullopt;
  }
  auto home = ConfigHome();
  if (!home) return std::nullopt;
  const std::string name(application);
  return *home / name / (name + ".ini");
}

std::optional<std::string> FindIniValue(std::string_view text, std::string_view section,
                                        std::string_view key) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  bool inSection = false;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    line = Trim(line);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      const auto close = line.find(']');
      inSection =
          close != std::string_view::npos && EqualsNoCase(Trim(line.substr(1, close - 1)), section);
      continue;
    }
    if (!inSection) continue;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos || !EqualsNoCase(Trim(line.substr(0, eq)), key)) continue;
    std::string_view value = Trim(line.substr(eq + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
  }
  return std::nullopt;
}

std::optional<std::string> FormatIniValue(std::string_view value) {
  if (value.find_first_of("\r\n") != std::string_view::npos) return std::nullopt;
  // Quote whenever reading back verbatim would otherwise lose or change something: outer blanks
  // would be trimmed, and an unquoted value that itself starts and ends with '"' would lose them.
  const bool quote = !value.empty() && (kBlanks.find(value.front()) != std::string_view::npos ||
                                        kBlanks.find(value.back()) != std::string_view::npos ||
                                        (value.front() == '"' && value.back() == '"'));
  return quote ? "\"" + std::string(value) + "\"" : std::string(value);
}

}  // namespace zorvik::host
