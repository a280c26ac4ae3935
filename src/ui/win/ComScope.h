#pragma once

#include <windows.h>

#include <objbase.h>

namespace zorvik::ui::win {

// COM on the calling thread for the lifetime of the object: initialised as a single-threaded
// apartment with `flags` added, uninitialised again when it had started. Never throws; without
// COM, what needs it (the shell's help-page viewer, the imaging component) fails on its own.
class ComScope {
 public:
  explicit ComScope(DWORD flags = 0)
      : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | flags))) {}
  ~ComScope() {
    if (initialised_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialised_;
};

}  // namespace zorvik::ui::win
