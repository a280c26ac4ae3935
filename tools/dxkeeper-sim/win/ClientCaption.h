#pragma once

#include <windows.h>

#include <string>

namespace dxkeeper_sim::win {

// The caption (UTF-8) of the program on the other end of a DDE conversation: the title of the
// first visible top-level window with a title bar that belongs to the process owning `client`
// (the conversation's own window is hidden). Empty when that process shows no such window.
//
// Read without sending the program a message, so it is safe while the program waits for our
// answer; the journal uses it to show what Zorvik displayed while DXKeeper had its log.
std::string ClientCaption(HWND client);

}  // namespace dxkeeper_sim::win
