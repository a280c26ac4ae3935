#include "ui/win/WinProgram.h"

#include "ui/win/WinPlatform.h"

namespace zorvik::ui::win {

WinProgram::WinProgram(std::unique_ptr<host::DdeClient> dde,
                       std::unique_ptr<host::SettingsStore> settings)
    : dialogs_(window_.Handle()),
      wiring_(std::move(dde), std::move(settings), dialogs_, window_.Form(),
              CurrentProgramIdentity(), ProgramFolder()) {
  window_.Attach(wiring_.Ui());
}

WinProgram::~WinProgram() {
  window_.StopHandlers();
}

int WinProgram::Run() {
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!window_.HandleDialogKeys(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace zorvik::ui::win
