#pragma once

#include <windows.h>

#include <string>

namespace zorvik::e2e {

// Saves what the screen shows of `window` (its frame included, not the pointer) as a PNG file
// at `path` (UTF-8), encoded by the Windows Imaging Component. Call with COM initialised on the
// thread. Returns an error text, empty on success.
std::string SaveWindowPicture(HWND window, const std::string& path);

}  // namespace zorvik::e2e
