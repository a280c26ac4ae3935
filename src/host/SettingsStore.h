#pragma once

#include <string>

namespace zorvik::host {

// DXKeeper's per-user settings, read only. A missing application, section or key reads as the
// empty text; reading never throws. Plain C++ so that the Windows implementation (the registry)
// builds without Qt.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::string GetSetting(const std::string& application, const std::string& section,
                                 const std::string& key) const = 0;
};

}  // namespace zorvik::host
