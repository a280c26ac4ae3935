#pragma once

#include <string>

#include "core/Dialogs.h"
#include "core/MainView.h"
#include "core/ZorvikMod.h"
#include "host/DdeClient.h"
#include "host/SettingsStore.h"

namespace zorvik::host {

// The program's name and version as the caption shows them.
struct ProgramIdentity {
  std::string name;  // the executable's file name without its extension
  int major = 0;
  int minor = 0;
  int revision = 0;
};

// What the host operations work with. Owned by the caller (the window, or a test); every
// reference must outlive the context.
struct HostContext {
  ZorvikMod& mod;
  DdeClient& dde;
  SettingsStore& settings;
  Dialogs& dialogs;
  MainView& view;
  ProgramIdentity identity;
};

inline constexpr const char* kHostTopic = "DXKeeper|DDEServer";
inline constexpr const char* kHostApplication = "DXKeeper";
inline constexpr const char* kHostSection = "Configuration";

// "<name> <major>.<minor>.<revision> - <status>".
std::string CaptionText(const ProgramIdentity& identity, const std::string& status);

// Link set-up on `item` (text emptied, topic, item, automatic link). Throws what the client throws.
void SetUpHostLink(DdeClient& dde, const std::string& item);

// Decides whether DXKeeper runs (a non-empty "DDECommand"), sets HostRunning and HostStatusText
// and rewrites the caption. 282 is passed over; any other failure shows the connect-error box and
// changes nothing.
void CheckHostRunning(HostContext& ctx);

// Sends "001" + word as one execute. 285 and 293 are silent; any other failure shows the
// connect-error box. Never throws.
void SendHostCommand(HostContext& ctx, const std::string& word);

// Rewrites the caption from HostStatusText. Never throws.
void ShowHostStatus(HostContext& ctx);

}  // namespace zorvik::host
