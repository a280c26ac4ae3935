#pragma once

#include <string>

namespace zorvik {

// The program's shared state, alive for the whole run. One instance is owned by the window (or
// by a test) and passed by reference to the operations that read or write it. The log database
// handle and the four record sets live beside it in logdb::LogSession, since core cannot know
// the database layer.
struct ZorvikMod {
  std::string LogPathName;           // DXKeeper's last-used log, read once at start
  std::string HostCallSign;          // DXKeeper's operator call sign, read once at start
  bool BillboardNeedsReset = false;  // the billboard still shows the start-up warning (Alert)
  std::string StopDatePlusOne;       // the day after the stop date, as date text; set by OK
  bool HostRunning = false;          // result of the last completed host check
  std::string HostStatusText;        // shown at the end of the window caption
  bool HostLogClosed = false;        // "closelog" sent and "openlastlog" not yet sent
  std::string DialogStartFolder;     // start folder of the file-open dialog
};

// The host status texts shown in the caption.
namespace status {
inline constexpr const char* kRunning = "(DXKeeper Running)";
inline constexpr const char* kClosed = "(DXKeeper Closed)";
inline constexpr const char* kUnavailable = "(DXKeeper UnAvail)";
}  // namespace status

inline constexpr const char* kAppTitle = "Zorvik";

}  // namespace zorvik
