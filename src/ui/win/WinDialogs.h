#pragma once

#include <windows.h>

#include "core/Dialogs.h"

namespace zorvik::ui::win {

// Message boxes (MessageBoxW: the flag numbers are Win32's own), the file-open dialog
// (GetOpenFileNameW), the beep and the help page (ShellExecuteW) of Windows. Boxes and the dialog
// are modal to `owner` while it is visible (before the window shows, they stand alone); the owner
// is not owned.
class WinDialogs : public Dialogs {
 public:
  explicit WinDialogs(HWND owner = nullptr) : owner_(owner) {}

  Answer MsgBox(const std::string& text, int flags, const std::string& title) override;
  // Throws Failure when Windows cannot show the dialog at all (not for a cancel).
  std::optional<std::string> ShowOpen(const std::string& folder, const std::string& file) override;
  void Beep() override;
  bool OpenHelpPage(const std::string& path) override;

 private:
  HWND Owner() const;

  HWND owner_;
};

}  // namespace zorvik::ui::win
