#pragma once

#include <memory>

#include "core/ZorvikMod.h"
#include "host/DdeClient.h"
#include "host/SettingsStore.h"
#include "ui/ProgramWiring.h"
#include "ui/StartupShutdown.h"
#include "ui/win/MainWindow.h"
#include "ui/win/WinDialogs.h"

namespace zorvik::ui::win {

// One run of Zorvik with the Win32 window: the window and Windows' dialogs beside the shared
// wiring. Owns everything it is given; lives on the thread that runs its message loop.
class WinProgram {
 public:
  WinProgram(std::unique_ptr<host::DdeClient> dde, std::unique_ptr<host::SettingsStore> settings);
  ~WinProgram();
  WinProgram(const WinProgram&) = delete;
  WinProgram& operator=(const WinProgram&) = delete;

  // Form_Load, then shows the window centred unless the program must end.
  StartOutcome Start() { return wiring_.Start(window_); }

  // The message loop, until the window is closed. Returns the process exit status (0).
  int Run();

 private:
  MainWindow window_;
  WinDialogs dialogs_;
  ProgramWiring wiring_;
};

}  // namespace zorvik::ui::win
