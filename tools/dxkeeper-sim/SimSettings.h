#pragma once

#include <string>

namespace dxkeeper_sim {

// Writes DXKeeper's settings file ([Configuration] LogPathName and CallSign) where the program's
// settings store reads it, replacing the file atomically. Returns an error text, empty on
// success.
std::string WriteHostSettings(const std::string& logPath, const std::string& callSign);

}  // namespace dxkeeper_sim
