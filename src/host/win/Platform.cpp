// The Windows platform services: DDEML for the host link, the registry for DXKeeper's settings.
#include "host/Platform.h"

#include "host/win/DdemlClient.h"
#include "host/win/RegistrySettingsStore.h"

namespace zorvik::host {

std::unique_ptr<DdeClient> MakeDdeClient() {
  return std::make_unique<win::DdemlClient>();
}

std::unique_ptr<SettingsStore> MakeSettingsStore() {
  return std::make_unique<win::RegistrySettingsStore>();
}

}  // namespace zorvik::host
