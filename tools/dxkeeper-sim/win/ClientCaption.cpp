#include "ClientCaption.h"

#include "host/win/WideText.h"

namespace dxkeeper_sim::win {
namespace {

struct Search {
  DWORD process = 0;
  HWND found = nullptr;
};

BOOL CALLBACK Consider(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->process || !IsWindowVisible(window)) return TRUE;
  if ((GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) != WS_CAPTION) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

std::string ClientCaption(HWND client) {
  Search search;
  if (GetWindowThreadProcessId(client, &search.process) == 0) return {};
  EnumWindows(&Consider, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) return {};
  // For a window of another process this reads the title Windows keeps; no WM_GETTEXT is sent.
  wchar_t title[512] = {};
  GetWindowTextW(search.found, title, static_cast<int>(std::size(title)));
  return zorvik::host::win::ToUtf8(title);
}

}  // namespace dxkeeper_sim::win
