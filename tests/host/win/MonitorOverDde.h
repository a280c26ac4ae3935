#pragma once

#include <memory>

#include "host/HostMonitor.h"
#include "host/Platform.h"
#include "support/FakeDialogs.h"
#include "support/FakeView.h"

namespace zorvik::testing {

// The host monitor over the real Windows link and settings store (DDEML, the registry), with the
// window and its boxes faked.
struct MonitorOverDde {
  ZorvikMod mod;
  std::unique_ptr<host::DdeClient> dde = host::MakeDdeClient();
  std::unique_ptr<host::SettingsStore> settings = host::MakeSettingsStore();
  FakeDialogs dialogs;
  FakeView view;
  host::HostContext ctx{mod, *dde, *settings, dialogs, view, {"Zorvik", 1, 4, 2}};
};

}  // namespace zorvik::testing
