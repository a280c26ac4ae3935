#pragma once

#include <memory>
#include <string>

#include "core/Dialogs.h"
#include "core/ZorvikMod.h"
#include "host/DdeClient.h"
#include "host/HostMonitor.h"
#include "host/SettingsStore.h"
#include "logops/LogOperations.h"
#include "logops/LogSession.h"
#include "ui/MainForm.h"
#include "ui/StartupShutdown.h"
#include "ui/UiContext.h"

namespace zorvik::ui {

// A front end's window as start-up sees it.
class StartupWindow {
 public:
  virtual ~StartupWindow() = default;
  // Form_Load passed: the window opens, centred on the screen.
  virtual void ShowCentred() = 0;
  // The program ends at once: from now on the window runs no handler, Form_Unload included, so
  // nothing reaches DXKeeper on the way out.
  virtual void StopHandlers() = 0;
};

// The handlers' operations bound to the host monitor and the log operations of `app`, which must
// outlive the result.
Operations MakeOperations(logdb::AppContext& app);

// One run of Zorvik apart from its window: the shared state, DXKeeper's settings and host link,
// the log session, and the contexts the handlers and the log operations work with, wired
// together. Plain C++: each front end (the Qt window, the Win32 window) owns one beside its window
// and its dialogs, and turns the window's events into the handlers of Ui().
class ProgramWiring {
 public:
  // Owns the host link and the settings store. `dialogs` and `form` (the window) are not owned and
  // must outlive the wiring. `identity` names the program in the caption; `programFolder` is the
  // folder that holds help/.
  ProgramWiring(std::unique_ptr<host::DdeClient> dde, std::unique_ptr<host::SettingsStore> settings,
                Dialogs& dialogs, MainForm& form, host::ProgramIdentity identity,
                std::string programFolder);
  ProgramWiring(const ProgramWiring&) = delete;
  ProgramWiring& operator=(const ProgramWiring&) = delete;

  // Form_Load, then opens `window`, or stops its handlers when the program must end at once
  // (kNotInstalled, kNotRunning: the caller then ends the program without running it).
  StartOutcome Start(StartupWindow& window);

  UiContext& Ui() { return ui_; }
  ZorvikMod& Mod() { return mod_; }

 private:
  ZorvikMod mod_;
  std::unique_ptr<host::DdeClient> dde_;
  std::unique_ptr<host::SettingsStore> settings_;
  host::HostContext host_;
  logdb::LogSession session_;
  logdb::AppContext app_;
  UiContext ui_;
};

}  // namespace zorvik::ui
