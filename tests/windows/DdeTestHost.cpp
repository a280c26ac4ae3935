// A stand-in for DXKeeper's DDE server, written with raw WM_DDE_* messages rather than DDEML
// (Wine's DDEML server answers a request with an extra ACK that shifts every later reply). Its
// windows are ANSI, as a Visual Basic host's are, so the client's Unicode executes reach it
// converted.
//
//   dde-test-host.exe --ready <event> [--journal <file>] [--refuse-execute] [--busy]
//                     [--no-advise] [--hang-after-connect] [--hang-on-advise]
//                     [--quit-after-connect] [--quit-on-advise] [item=value ...]
//
// Serves service "DXKeeper", topic "DDEServer"; items as given (CF_TEXT, ANSI code page), any
// other item is refused. Each execute is appended to the journal as one UTF-8 line before it is
// acknowledged. Runtime control through the top-level window (titled with the ready event's
// name): WM_COPYDATA "item=value" changes an item and advises linked clients; WM_CLOSE ends every
// conversation and quits.
#include <windows.h>
// after windows.h, which they need
#include <dde.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

struct Options {
  std::wstring readyEvent;
  std::wstring journal;
  bool refuseExecute = false;
  bool busy = false;
  bool noAdvise = false;
  bool hangAfterConnect = false;
  bool hangOnAdvise = false;      // answers the request, then blocks on the advise
  bool quitAfterConnect = false;  // quits instead of answering the request
  bool quitOnAdvise = false;      // answers the request, then quits instead of answering the advise
};

struct Link {
  HWND client;
  std::string item;
  bool ackRequested;
  bool deferred;
};

Options gOptions;
std::map<std::string, std::string> gItems;  // names as given, values in the ANSI code page
std::vector<Link> gLinks;
std::map<HWND, HWND> gConversations;  // our window -> the client's window
HWND gMain = nullptr;
const char kMainClass[] = "ZorvikDdeTestHost";
const char kConvClass[] = "ZorvikDdeTestHostConversation";

std::string Narrow(UINT codePage, const std::wstring& text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::wstring Widen(UINT codePage, const std::string& text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string AtomText(ATOM atom) {
  char name[256] = {};
  GlobalGetAtomNameA(atom, name, sizeof name);
  return name;
}

void Journal(const std::string& ansiCommand) {
  if (gOptions.journal.empty()) return;
  FILE* f = _wfopen(gOptions.journal.c_str(), L"ab");
  if (!f) return;
  std::string line = Narrow(CP_UTF8, Widen(CP_ACP, ansiCommand)) + "\n";
  fwrite(line.data(), 1, line.size(), f);
  fclose(f);
}

// Posts the item's value to `client`: as the answer to a request, or as an advise.
void PostData(HWND conv, HWND client, const std::string& item, bool response, bool ackReq) {
  const std::string& value = gItems[item];
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, sizeof(DDEDATA) + value.size() + 1);
  if (!mem) return;
  auto* data = static_cast<DDEDATA*>(GlobalLock(mem));
  std::memset(data, 0, sizeof(DDEDATA));
  data->fResponse = response ? 1 : 0;
  data->fRelease = 1;
  data->fAckReq = ackReq ? 1 : 0;
  data->cfFormat = CF_TEXT;
  std::memcpy(data->Value, value.c_str(), value.size() + 1);
  GlobalUnlock(mem);
  ATOM atom = GlobalAddAtomA(item.c_str());
  LPARAM lp = PackDDElParam(WM_DDE_DATA, reinterpret_cast<UINT_PTR>(mem), atom);
  if (!PostMessageA(client, WM_DDE_DATA, reinterpret_cast<WPARAM>(conv), lp)) {
    FreeDDElParam(WM_DDE_DATA, lp);
    GlobalFree(mem);
    GlobalDeleteAtom(atom);
  }
}

void PostAck(HWND conv, HWND client, UINT status, UINT_PTR second) {
  PostMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(conv),
               PackDDElParam(WM_DDE_ACK, status, second));
}

void HangIfAsked() {
  if (gOptions.hangAfterConnect) Sleep(INFINITE);
}

LRESULT CALLBACK ConversationProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  HWND client = reinterpret_cast<HWND>(wp);
  switch (msg) {
    case WM_DDE_REQUEST: {
      HangIfAsked();
      if (gOptions.quitAfterConnect) {
        PostMessageA(gMain, WM_CLOSE, 0, 0);
        return 0;
      }
      const UINT format = LOWORD(lp);
      const ATOM atom = HIWORD(lp);
      const std::string item = AtomText(atom);
      GlobalDeleteAtom(atom);
      if (format == CF_TEXT && gItems.count(item)) {
        PostData(hwnd, client, item, true, false);
      } else {
        PostAck(hwnd, client, 0, GlobalAddAtomA(item.c_str()));
      }
      return 0;
    }
    case WM_DDE_ADVISE: {
      HangIfAsked();
      if (gOptions.hangOnAdvise) Sleep(INFINITE);
      if (gOptions.quitOnAdvise) {
        PostMessageA(gMain, WM_CLOSE, 0, 0);
        return 0;
      }
      UINT_PTR options = 0, atom = 0;
      UnpackDDElParam(msg, lp, &options, &atom);
      FreeDDElParam(msg, lp);
      const std::string item = AtomText(static_cast<ATOM>(atom));
      auto* advise = static_cast<DDEADVISE*>(GlobalLock(reinterpret_cast<HGLOBAL>(options)));
      const bool ok =
          !gOptions.noAdvise && advise && advise->cfFormat == CF_TEXT && gItems.count(item);
      if (ok) {
        gLinks.push_back({client, item, advise->fAckReq != 0, advise->fDeferUpd != 0});
        GlobalUnlock(reinterpret_cast<HGLOBAL>(options));
        GlobalFree(reinterpret_cast<HGLOBAL>(options));
      } else if (advise) {
        GlobalUnlock(reinterpret_cast<HGLOBAL>(options));
      }
      PostAck(hwnd, client, ok ? 0x8000 : 0, atom);
      return 0;
    }
    case WM_DDE_UNADVISE: {
      const std::string item = AtomText(HIWORD(lp));
      std::erase_if(gLinks, [&](const Link& l) { return l.client == client && l.item == item; });
      PostAck(hwnd, client, 0x8000, HIWORD(lp));
      return 0;
    }
    case WM_DDE_EXECUTE: {
      HangIfAsked();
      HGLOBAL commands = reinterpret_cast<HGLOBAL>(lp);
      UINT status = 0x8000;
      if (gOptions.busy) {
        status = 0x4000;
      } else if (gOptions.refuseExecute) {
        status = 0;
      } else if (const char* text = static_cast<const char*>(GlobalLock(commands))) {
        Journal(text);
        GlobalUnlock(commands);
      }
      PostAck(hwnd, client, status, reinterpret_cast<UINT_PTR>(commands));
      return 0;
    }
    case WM_DDE_POKE: {
      UINT_PTR data = 0, atom = 0;
      UnpackDDElParam(msg, lp, &data, &atom);
      FreeDDElParam(msg, lp);
      PostAck(hwnd, client, 0, atom);
      return 0;
    }
    case WM_DDE_ACK:  // to an advise that asked for one
      FreeDDElParam(msg, lp);
      return 0;
    case WM_DDE_TERMINATE:
      std::erase_if(gLinks, [&](const Link& l) { return l.client == client; });
      if (gConversations.erase(hwnd)) {
        PostMessageA(client, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(hwnd), 0);
      }
      DestroyWindow(hwnd);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_DDE_INITIATE: {
      HWND client = reinterpret_cast<HWND>(wp);
      const ATOM app = LOWORD(lp), topic = HIWORD(lp);
      if ((app && lstrcmpiA(AtomText(app).c_str(), "DXKeeper") != 0) ||
          (topic && lstrcmpiA(AtomText(topic).c_str(), "DDEServer") != 0)) {
        return 0;
      }
      HWND conv = CreateWindowA(kConvClass, "", WS_CHILD, 0, 0, 0, 0, hwnd, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
      if (!conv) return 0;
      gConversations[conv] = client;
      SendMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(conv),
                   MAKELPARAM(GlobalAddAtomA("DXKeeper"), GlobalAddAtomA("DDEServer")));
      return 0;
    }
    case WM_COPYDATA: {
      const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
      std::string text(static_cast<const char*>(cds->lpData), cds->cbData);
      const auto eq = text.find('=');
      if (eq == std::string::npos) return FALSE;
      const std::string item = text.substr(0, eq);
      gItems[item] = Narrow(CP_ACP, Widen(CP_UTF8, text.substr(eq + 1)));
      for (const Link& link : gLinks) {
        if (link.item != item) continue;
        for (const auto& [conv, client] : gConversations) {
          if (client == link.client) PostData(conv, client, item, false, link.ackRequested);
        }
      }
      return TRUE;
    }
    case WM_CLOSE:
      for (const auto& [conv, client] : gConversations) {
        PostMessageA(client, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(conv), 0);
      }
      gConversations.clear();
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

bool ParseArguments() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return false;
  for (int i = 1; i < argc; ++i) {
    std::wstring arg = argv[i];
    if (arg == L"--ready" && i + 1 < argc) {
      gOptions.readyEvent = argv[++i];
    } else if (arg == L"--journal" && i + 1 < argc) {
      gOptions.journal = argv[++i];
    } else if (arg == L"--refuse-execute") {
      gOptions.refuseExecute = true;
    } else if (arg == L"--busy") {
      gOptions.busy = true;
    } else if (arg == L"--no-advise") {
      gOptions.noAdvise = true;
    } else if (arg == L"--hang-after-connect") {
      gOptions.hangAfterConnect = true;
    } else if (arg == L"--hang-on-advise") {
      gOptions.hangOnAdvise = true;
    } else if (arg == L"--quit-after-connect") {
      gOptions.quitAfterConnect = true;
    } else if (arg == L"--quit-on-advise") {
      gOptions.quitOnAdvise = true;
    } else if (auto eq = arg.find(L'='); eq != std::wstring::npos) {
      gItems[Narrow(CP_ACP, arg.substr(0, eq))] = Narrow(CP_ACP, arg.substr(eq + 1));
    } else {
      LocalFree(argv);
      return false;
    }
  }
  LocalFree(argv);
  return !gOptions.readyEvent.empty();
}

}  // namespace

int main() {
  if (!ParseArguments()) {
    std::fprintf(stderr, "usage: dde-test-host --ready <event> [options] [item=value ...]\n");
    return 2;
  }
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA main{};
  main.lpfnWndProc = MainProc;
  main.hInstance = instance;
  main.lpszClassName = kMainClass;
  WNDCLASSA conv{};
  conv.lpfnWndProc = ConversationProc;
  conv.hInstance = instance;
  conv.lpszClassName = kConvClass;
  if (!RegisterClassA(&main) || !RegisterClassA(&conv)) return 3;
  gMain = CreateWindowA(kMainClass, Narrow(CP_ACP, gOptions.readyEvent).c_str(), WS_OVERLAPPED, 0,
                        0, 0, 0, nullptr, nullptr, instance, nullptr);
  if (!gMain) return 4;

  if (HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, gOptions.readyEvent.c_str())) {
    SetEvent(ready);
    CloseHandle(ready);
  }
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
