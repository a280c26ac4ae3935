#pragma once

#include <memory>

#include "core/Dialogs.h"
#include "core/ZorvikMod.h"
#include "host/DdeClient.h"
#include "host/SettingsStore.h"
#include "ui/ProgramWiring.h"
#include "ui/StartupShutdown.h"
#include "ui/qt/MainWindow.h"
#include "ui/qt/QtDialogs.h"

namespace zorvik::ui {

// One run of Zorvik with the Qt window: the window and Qt's dialogs beside the shared wiring.
// Needs a QApplication. Owns everything it is given.
class Program : private StartupWindow {
 public:
  // `dialogs` null: Qt's boxes and file dialog (modal to the window). Tests pass a fake, which
  // must outlive the program.
  Program(std::unique_ptr<host::DdeClient> dde, std::unique_ptr<host::SettingsStore> settings,
          Dialogs* dialogs = nullptr);
  ~Program() override;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Form_Load, then shows the window centred unless the program must end. On kNotInstalled and
  // kNotRunning the window stays hidden and closing it later runs no Form_Unload.
  StartOutcome Start();

  MainWindow& Window() { return *window_; }
  ZorvikMod& Mod() { return wiring_.Mod(); }

 private:
  void ShowCentred() override;
  void StopHandlers() override { window_->Detach(); }

  std::unique_ptr<MainWindow> window_;
  QtDialogs qtDialogs_;
  ProgramWiring wiring_;
};

}  // namespace zorvik::ui
