#include "ui/ProgramWiring.h"

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

ProgramWiring::ProgramWiring(std::unique_ptr<host::DdeClient> dde,
                             std::unique_ptr<host::SettingsStore> settings, Dialogs& dialogs,
                             MainForm& form, host::ProgramIdentity identity,
                             std::string programFolder)
    : dde_(std::move(dde)),
      settings_(std::move(settings)),
      host_{mod_, *dde_, *settings_, dialogs, form, std::move(identity)},
      app_{host_, session_},
      ui_{host_, form, MakeOperations(app_), std::move(programFolder), {}} {}

StartOutcome ProgramWiring::Start(StartupWindow& window) {
  const StartOutcome outcome = FormLoad(ui_);
  if (outcome == StartOutcome::kShowWindow) {
    window.ShowCentred();
  } else {
    window.StopHandlers();
  }
  return outcome;
}

}  // namespace zorvik::ui
