#pragma once

#include <functional>
#include <optional>
#include <string>

#include "host/HostMonitor.h"
#include "ui/MainForm.h"

namespace zorvik::ui {

// The operations of the other subsystems that the handlers start. The program binds them to the
// host monitor and the log operations (ProgramWiring.h); handler tests bind recorders, so the
// window's logic is tested without a log or a host. Each reports its own failures like the
// function it stands for; openDatabase throws Failure when the path does not open as a log.
struct Operations {
  std::function<void()> checkHostRunning;
  std::function<void(const std::string& word)> sendHostCommand;
  std::function<void()> showQueueCount;
  std::function<void()> loadQslQueue;
  std::function<void()> cleanLog;
  std::function<void()> closeAllSets;  // ignores every failure
  // Opens the file as a log and closes it again; never creates it.
  std::function<void(const std::string& path)> openDatabase;
};

// Everything the window's handlers work with. Owned by the program (or a test); the references
// must outlive it.
struct UiContext {
  host::HostContext& host;  // mod, settings, dialogs, identity; host.view is `form`
  MainForm& form;
  Operations ops;
  std::string programFolder;  // the running executable's folder, no trailing separator

  // The file dialog remembers its last chosen file, as Windows' common file dialog does for a
  // program that keeps it: a cancel puts the last choice back.
  std::string lastChosenFile;
};

}  // namespace zorvik::ui
