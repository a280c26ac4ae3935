#include "ui/qt/Program.h"

#include "ui/qt/QtPlatform.h"

namespace zorvik::ui {

Program::Program(std::unique_ptr<host::DdeClient> dde,
                 std::unique_ptr<host::SettingsStore> settings, Dialogs* dialogs)
    : window_(std::make_unique<MainWindow>()),
      qtDialogs_(window_.get()),
      wiring_(std::move(dde), std::move(settings), dialogs ? *dialogs : qtDialogs_, window_->Form(),
              CurrentProgramIdentity(), ProgramFolder()) {
  window_->Attach(wiring_.Ui());
}

Program::~Program() {
  window_->Detach();
}

StartOutcome Program::Start() {
  return wiring_.Start(*this);
}

void Program::ShowCentred() {
  window_->CentreOnScreen();
  window_->show();
}

}  // namespace zorvik::ui
