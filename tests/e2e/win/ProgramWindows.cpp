#include "ProgramWindows.h"

#include <vector>

#include "host/win/WideText.h"
#include "ui/win/ControlIds.h"

namespace zorvik::e2e {
namespace {

// A message box is a dialog of the system class; its text is the static control numbered -1.
constexpr const wchar_t* kDialogClass = L"#32770";
constexpr int kMessageBoxTextId = 0xFFFF;

std::vector<HWND> VisibleTopLevelWindows(DWORD process) {
  struct Search {
    DWORD process;
    std::vector<HWND> found;
  } search{process, {}};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s->process && IsWindowVisible(window)) s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool IsDialog(HWND window) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return std::wstring_view(name) == kDialogClass;
}

}  // namespace

HWND FindMainWindow(DWORD process) {
  for (HWND window : VisibleTopLevelWindows(process)) {
    if (!IsDialog(window) && GetDlgItem(window, ui::win::kIdCmdOk) != nullptr) return window;
  }
  return nullptr;
}

std::optional<MessageBoxSeen> FindMessageBox(DWORD process) {
  for (HWND window : VisibleTopLevelWindows(process)) {
    if (!IsDialog(window)) continue;
    const HWND text = GetDlgItem(window, kMessageBoxTextId);
    if (text == nullptr) continue;
    MessageBoxSeen box{window, {}, {}};
    wchar_t title[256] = {};
    GetWindowTextW(window, title, static_cast<int>(std::size(title)));
    box.title = host::win::ToUtf8(title);
    box.text = TextOf(text).value_or("");
    return box;
  }
  return std::nullopt;
}

std::optional<std::string> TextOf(HWND window, std::chrono::milliseconds limit) {
  const auto timeout = static_cast<UINT>(limit.count());
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, timeout, &length)) {
    return std::nullopt;
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, timeout, &copied)) {
    return std::nullopt;
  }
  text.resize(copied);
  return host::win::ToUtf8(text);
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    // Waits with this thread's messages handled: a program that broadcasts (as a DDE client's
    // search for its server does) waits on every top-level window, COM's hidden one here too.
    MsgWaitForMultipleObjectsEx(0, nullptr, 20, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  return true;
}

}  // namespace zorvik::e2e
