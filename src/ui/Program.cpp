#include "ui/Program.h"

#include "ui/QtPlatform.h"

namespace zorvik::ui {

Operations MakeOperations(logdb::AppContext& app) {
  Operations ops;
  ops.checkHostRunning = [&app] { host::CheckHostRunning(app.host); };
  ops.sendHostCommand = [&app](const std::string& word) { host::SendHostCommand(app.host, word); };
  ops.showQueueCount = [&app] { logdb::ShowQueueCount(app); };
  ops.loadQslQueue = [&app] { logdb::LoadQslQueue(app); };
  ops.cleanLog = [&app] { logdb::CleanLog(app); };
  ops.closeAllSets = [&app]() noexcept { app.session.CloseAllSets(); };
  // The check's own handle: opened as given (never created) and closed again at once, so it
  // never replaces the log the operations share.
  ops.openDatabase = [](const std::string& path) {
    std::unique_ptr<logdb::Database> db = logdb::Database::Open(path);
  };
  return ops;
}

Program::Program(std::unique_ptr<host::DdeClient> dde,
                 std::unique_ptr<host::SettingsStore> settings, Dialogs* dialogs)
    : dde_(std::move(dde)),
      settings_(std::move(settings)),
      window_(std::make_unique<MainWindow>()),
      qtDialogs_(window_.get()),
      host_{mod_,       *dde_,
            *settings_, dialogs ? *dialogs : qtDialogs_,
            *window_,   CurrentProgramIdentity()},
      app_{host_, session_},
      ui_{host_, *window_, MakeOperations(app_), ProgramFolder(), {}} {
  window_->Attach(ui_);
}

Program::~Program() {
  window_->Detach();
}

StartOutcome Program::Start() {
  const StartOutcome outcome = FormLoad(ui_);
  if (outcome == StartOutcome::kShowWindow) {
    window_->CentreOnScreen();
    window_->show();
  } else {
    // The program ends at once: nothing may reach DXKeeper on the way out.
    window_->Detach();
  }
  return outcome;
}

}  // namespace zorvik::ui
