#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace zorvik::e2e {

// Zorvik's windows as another program sees them: found by the process that shows them, read
// without ever blocking for long on a program that is busy.

// Zorvik's main window in process `process`: the visible top-level window that has an OK button
// (control kIdCmdOk). Null when it shows none.
HWND FindMainWindow(DWORD process);

// A message box up in process `process`: its window, title and text.
struct MessageBoxSeen {
  HWND window = nullptr;
  std::string title;
  std::string text;
};
std::optional<MessageBoxSeen> FindMessageBox(DWORD process);

// The text (UTF-8) of `window`, also a control of another process (asked with WM_GETTEXT, which
// that process answers only between its handlers); nullopt when no answer came within `limit`.
std::optional<std::string> TextOf(HWND window,
                                  std::chrono::milliseconds limit = std::chrono::seconds(1));

// Checks `condition` until it holds or `limit` has passed, handling the calling thread's
// messages meanwhile; returns whether it held.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit);

}  // namespace zorvik::e2e
