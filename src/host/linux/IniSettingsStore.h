#pragma once

#include "host/SettingsStore.h"

namespace zorvik::host {

// SettingsStore over the per-user INI files described in IniFile.h. The file is read afresh on
// every call, so a value DXKeeper changed while Zorvik runs is seen at the next read. A missing
// or unreadable file reads as empty texts.
class IniSettingsStore : public SettingsStore {
 public:
  std::string GetSetting(const std::string& application, const std::string& section,
                         const std::string& key) const override;
};

}  // namespace zorvik::host
