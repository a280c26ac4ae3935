#pragma once

#include <string>

namespace dxkeeper_sim {

// Writes DXKeeper's settings (section Configuration, LogPathName and CallSign) where the
// program's settings store reads them on this system: the INI file on Linux and macOS (replaced
// atomically), the registry on Windows. Returns an error text, empty on success.
std::string WriteHostSettings(const std::string& logPath, const std::string& callSign);

}  // namespace dxkeeper_sim
