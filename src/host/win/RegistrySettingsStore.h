#pragma once

#include <string>

#include "host/SettingsStore.h"

namespace zorvik::host::win {

// DXKeeper's settings where a Visual Basic program keeps them: the value <key> of
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>.
// Only string values count (REG_SZ, and REG_EXPAND_SZ returned unexpanded); a missing key or
// value, a value of another type, or an empty name reads as the empty text. Never throws for
// what the registry holds. Text is UTF-8 on our side.
class RegistrySettingsStore : public SettingsStore {
 public:
  // The key below HKEY_CURRENT_USER that holds `application`'s `section`
  // ("Software\VB and VBA Program Settings\<application>\<section>"). The names are not
  // checked.
  static std::wstring KeyPath(const std::string& application, const std::string& section);

  std::string GetSetting(const std::string& application, const std::string& section,
                         const std::string& key) const override;
};

}  // namespace zorvik::host::win
