#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zorvik::host {

// DXKeeper's settings file outside Windows: `<config>/<application>/<application>.ini`, where
// <config> is $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
//
// Format (UTF-8, LF or CRLF): "[Section]" lines open a group; "Key=Value" lines belong to the
// last group; lines starting with ';' or '#' and blank lines are ignored. Section and key
// compare without regard to ASCII letter case (as the Windows registry does). The value is the
// text after the first '=', blanks around it removed, taken verbatim: no escapes, so Windows
// paths with backslashes, commas and semicolons read back exactly. A value wholly enclosed in
// double quotes is the text between them, which keeps leading or trailing blanks. The first
// matching key wins.

// The file for `application`, or nullopt when no config folder is known or the name could leave
// that folder (empty, '.', '..', or containing a slash or NUL).
std::optional<std::filesystem::path> IniFilePath(std::string_view application);

// The value of `key` in `section` of the INI text, or nullopt when absent.
std::optional<std::string> FindIniValue(std::string_view text, std::string_view section,
                                        std::string_view key);

// `value` as written after "Key=" so that FindIniValue reads back exactly `value`. Returns
// nullopt for values that cannot be written on one line (CR or LF in them).
std::optional<std::string> FormatIniValue(std::string_view value);

}  // namespace zorvik::host
