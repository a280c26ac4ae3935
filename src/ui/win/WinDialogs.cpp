#include "ui/win/WinDialogs.h"

#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "core/Failure.h"
#include "core/ZorvikMod.h"
#include "host/win/WideText.h"

namespace zorvik::ui::win {
namespace {

using host::win::ToUtf8;
using host::win::ToWide;

// Room for any path Windows accepts (long paths included).
constexpr std::size_t kLongestPath = 32768;

}  // namespace

HWND WinDialogs::Owner() const {
  return owner_ && IsWindowVisible(owner_) ? owner_ : nullptr;
}

Answer WinDialogs::MsgBox(const std::string& text, int flags, const std::string& title) {
  const std::string shownTitle = title.empty() ? std::string(kAppTitle) : title;
  for (;;) {
    switch (MessageBoxW(Owner(), ToWide(text).c_str(), ToWide(shownTitle).c_str(),
                        static_cast<UINT>(flags))) {
      case IDYES:
        return Answer::kYes;
      case IDNO:
        return Answer::kNo;
      case IDCANCEL:
        // A Yes/No box has no Cancel: Windows ignores Escape on it, Wine closes it with
        // IDCANCEL. Either way the question stays until Yes or No is chosen.
        if ((flags & 0x0F) == MB_YESNO) continue;
        return Answer::kOk;
      default:
        return Answer::kOk;
    }
  }
}

std::optional<std::string> WinDialogs::ShowOpen(const std::string& folder,
                                                const std::string& file) {
  // A file given: the dialog starts in its folder with its name filled in.
  const std::filesystem::path given(ToWide(file));
  const std::wstring startIn = file.empty() ? ToWide(folder) : given.parent_path().wstring();
  const std::wstring name = given.filename().wstring();
  std::vector<wchar_t> chosen(std::max(kLongestPath, name.size() + 1), L'\0');
  std::copy(name.begin(), name.end(), chosen.begin());
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = Owner();
  dialog.lpstrFile = chosen.data();
  dialog.nMaxFile = static_cast<DWORD>(chosen.size());
  dialog.lpstrInitialDir = startIn.empty() ? nullptr : startIn.c_str();
  // No filter, title or default extension: the platform's defaults. The process's current
  // folder stays where it was.
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (GetOpenFileNameW(&dialog)) return ToUtf8(chosen.data());
  if (const DWORD error = CommDlgExtendedError(); error != 0) {
    throw Failure(err::kInternalError,
                  "The file dialog could not be shown (error " + std::to_string(error) + ")");
  }
  return std::nullopt;  // cancelled
}

void WinDialogs::Beep() {
  MessageBeep(MB_OK);
}

bool WinDialogs::OpenHelpPage(const std::string& path) {
  // The page's path as one argument, never a command line: blanks in it need no quoting.
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(Owner(), L"open", ToWide(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

}  // namespace zorvik::ui::win
