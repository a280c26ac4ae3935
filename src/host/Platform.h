#pragma once

#include <memory>

#include "host/DdeClient.h"
#include "host/SettingsStore.h"

namespace zorvik::host {

// The platform's host link and settings store. On Linux and macOS they come from the Qt-based
// library zorvik_host_link (local sockets, an INI file); on Windows from src/host/win (DDEML,
// the registry). The caller owns the result.

// A new DDE client with no conversation open. Never throws for a missing host: that shows only
// when a link is set up.
std::unique_ptr<DdeClient> MakeDdeClient();

// DXKeeper's settings as this platform keeps them.
std::unique_ptr<SettingsStore> MakeSettingsStore();

}  // namespace zorvik::host
