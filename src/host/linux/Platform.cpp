#include "host/Platform.h"

#include "host/linux/IniSettingsStore.h"
#include "host/linux/LocalDdeClient.h"

namespace zorvik::host {

std::unique_ptr<DdeClient> MakeDdeClient() {
  return std::make_unique<LocalDdeClient>();
}

std::unique_ptr<SettingsStore> MakeSettingsStore() {
  return std::make_unique<IniSettingsStore>();
}

}  // namespace zorvik::host
