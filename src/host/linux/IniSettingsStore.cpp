#include "host/linux/IniSettingsStore.h"

#include <fstream>
#include <sstream>

#include "host/linux/IniFile.h"

namespace zorvik::host {

std::string IniSettingsStore::GetSetting(const std::string& application, const std::string& section,
                                         const std::string& key) const {
  try {
    const auto path = IniFilePath(application);
    if (!path) return {};
    std::ifstream in(*path, std::ios::binary);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return FindIniValue(text.str(), section, key).value_or(std::string());
  } catch (const std::exception&) {
    // Reading settings never fails the caller; an unreadable file is a missing one.
    return {};
  }
}

}  // namespace zorvik::host
