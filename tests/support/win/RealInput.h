#pragma once

#include <windows.h>

namespace zorvik::testing {

// Input events for SendInput: they go through the same input queue the mouse and the keyboard
// fill, so the window under the pointer (or with the focus) gets them as a user's.

// The pointer moved to `point` (screen pixels) with `buttons` (MOUSEEVENTF_LEFTDOWN, ...; 0 for
// a move alone).
inline INPUT MouseAtPoint(POINT point, DWORD buttons) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  // Absolute positions are in 65536ths of the screen; rounded up so that they map back to the
  // same pixel.
  input.mi.dx = (point.x * 65536 + width - 1) / width;
  input.mi.dy = (point.y * 65536 + height - 1) / height;
  input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | buttons;
  return input;
}

// The same at the centre of `window` (a control, also one of another process).
inline INPUT MouseAt(HWND window, DWORD buttons) {
  RECT r{};
  GetWindowRect(window, &r);
  return MouseAtPoint({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, buttons);
}

// A key going down, or up with KEYEVENTF_KEYUP.
inline INPUT Key(WORD key, DWORD flags = 0) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = flags;
  return input;
}

}  // namespace zorvik::testing
