#pragma once

#include <memory>

#include "core/Dialogs.h"
#include "core/ZorvikMod.h"
#include "host/DdeClient.h"
#include "host/HostMonitor.h"
#include "host/SettingsStore.h"
#include "logdb/LogOperations.h"
#include "logdb/LogSession.h"
#include "ui/MainWindow.h"
#include "ui/QtDialogs.h"
#include "ui/StartupShutdown.h"
#include "ui/UiContext.h"

namespace zorvik::ui {

// The handlers bound to the host monitor and the log operations of `app`, which must outlive
// the result.
Operations MakeOperations(logdb::AppContext& app);

// One run of Zorvik: the shared state, the host link, the log session and the window, wired
// together. Needs a QApplication. Owns everything it is given.
class Program {
 public:
  // `dialogs` null: Qt's boxes and file dialog (modal to the window). Tests pass a fake, which
  // must outlive the program.
  Program(std::unique_ptr<host::DdeClient> dde, std::unique_ptr<host::SettingsStore> settings,
          Dialogs* dialogs = nullptr);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Form_Load, then shows the window centred unless the program must end. On kNotInstalled and
  // kNotRunning the window stays hidden and closing it later runs no Form_Unload.
  StartOutcome Start();

  MainWindow& Window() { return *window_; }
  ZorvikMod& Mod() { return mod_; }

 private:
  ZorvikMod mod_;
  std::unique_ptr<host::DdeClient> dde_;
  std::unique_ptr<host::SettingsStore> settings_;
  std::unique_ptr<MainWindow> window_;
  QtDialogs qtDialogs_;
  host::HostContext host_;
  logdb::LogSession session_;
  logdb::AppContext app_;
  UiContext ui_;
};

}  // namespace zorvik::ui
