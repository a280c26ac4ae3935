#include "RawDdeServer.h"

// after windows.h, which it needs
#include <dde.h>

#include <cstring>

#include "host/win/WideText.h"

namespace dxkeeper_sim::win {
namespace {

using zorvik::host::win::AnsiToUtf8;
using zorvik::host::win::Utf8ToAnsi;

constexpr char kConversationClass[] = "ZorvikRawDdeServerConversation";
constexpr UINT kAckPositive = 0x8000;
constexpr UINT kAckBusy = 0x4000;

std::string AtomText(ATOM atom) {
  char name[256] = {};
  GlobalGetAtomNameA(atom, name, sizeof name);
  return name;
}

void PostAck(HWND conv, HWND client, UINT status, UINT_PTR second) {
  PostMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(conv),
               PackDDElParam(WM_DDE_ACK, status, second));
}

bool RegisterClasses(WNDPROC mainProc, WNDPROC conversationProc) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA main{};
  main.lpfnWndProc = mainProc;
  main.hInstance = instance;
  main.lpszClassName = RawDdeServer::kWindowClass;
  WNDCLASSA conv{};
  conv.lpfnWndProc = conversationProc;
  conv.hInstance = instance;
  conv.lpszClassName = kConversationClass;
  auto registered = [](const WNDCLASSA& cls) {
    return RegisterClassA(&cls) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  };
  return registered(main) && registered(conv);
}

// The server that created `hwnd` (both window classes keep it in GWLP_USERDATA).
RawDdeServer* ServerOf(HWND hwnd, UINT msg, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lp);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return reinterpret_cast<RawDdeServer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

}  // namespace

RawDdeServer::RawDdeServer(std::string service, std::string topic, ExecuteHandler onExecute,
                           ServerFaults faults)
    : service_(std::move(service)),
      topic_(std::move(topic)),
      onExecute_(std::move(onExecute)),
      faults_(faults) {}

RawDdeServer::~RawDdeServer() {
  if (main_ != nullptr) DestroyWindow(main_);
}

std::string RawDdeServer::Open(const std::string& title) {
  if (!RegisterClasses(&RawDdeServer::MainProc, &RawDdeServer::ConversationProc)) {
    return "cannot register the window classes (error " + std::to_string(GetLastError()) + ")";
  }
  main_ = CreateWindowA(kWindowClass, title.c_str(), WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                        GetModuleHandleA(nullptr), this);
  if (main_ == nullptr) {
    return "cannot create the server window (error " + std::to_string(GetLastError()) + ")";
  }
  return {};
}

bool RawDdeServer::AnotherServerAnswers() {
  const ATOM application = GlobalAddAtomA(service_.c_str());
  const ATOM topic = GlobalAddAtomA(topic_.c_str());
  probing_ = true;
  probeAnswered_ = false;
  // Every server answers with a WM_DDE_ACK sent to our window before the broadcast returns.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(HWND_BROADCAST, WM_DDE_INITIATE, reinterpret_cast<WPARAM>(main_),
                      MAKELPARAM(application, topic), SMTO_ABORTIFHUNG, 2000, &ignored);
  probing_ = false;
  GlobalDeleteAtom(application);
  GlobalDeleteAtom(topic);
  return probeAnswered_;
}

void RawDdeServer::SetItem(const std::string& item, const std::string& value) {
  const std::string name = Utf8ToAnsi(item);
  items_[name] = Utf8ToAnsi(value);
  for (const Link& link : links_) {
    if (lstrcmpiA(link.item.c_str(), name.c_str()) != 0) continue;
    for (const auto& [conv, client] : conversations_) {
      if (client == link.client) PostData(conv, client, link.item, false, link.ackRequested);
    }
  }
}

int RawDdeServer::Run() {
  serving_ = true;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  serving_ = false;
  return 0;
}

LRESULT CALLBACK RawDdeServer::MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  RawDdeServer* server = ServerOf(hwnd, msg, lp);
  return server ? server->OnMainMessage(hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK RawDdeServer::ConversationProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  RawDdeServer* server = ServerOf(hwnd, msg, lp);
  return server ? server->OnConversationMessage(hwnd, msg, wp, lp)
                : DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT RawDdeServer::OnMainMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_DDE_INITIATE:
      if (serving_) OnInitiate(reinterpret_cast<HWND>(wp), LOWORD(lp), HIWORD(lp));
      return 0;
    case WM_DDE_ACK:
      // A server answering our probe: note it, and end the conversation it opened at once.
      if (probing_) {
        probeAnswered_ = true;
        GlobalDeleteAtom(LOWORD(lp));
        GlobalDeleteAtom(HIWORD(lp));
        PostMessageA(reinterpret_cast<HWND>(wp), WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(hwnd),
                     0);
      }
      return 0;
    case WM_COPYDATA: {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
      const std::string text(static_cast<const char*>(data->lpData), data->cbData);
      const auto eq = text.find('=');
      if (eq == std::string::npos) return FALSE;
      SetItem(text.substr(0, eq), text.substr(eq + 1));
      return TRUE;
    }
    case WM_CLOSE:
      Close();
      return 0;
    case WM_DESTROY:
      main_ = nullptr;
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void RawDdeServer::OnInitiate(HWND client, ATOM application, ATOM topic) {
  // A zero atom asks for any service or topic.
  if ((application && lstrcmpiA(AtomText(application).c_str(), service_.c_str()) != 0) ||
      (topic && lstrcmpiA(AtomText(topic).c_str(), topic_.c_str()) != 0)) {
    return;
  }
  HWND conv = CreateWindowA(kConversationClass, "", WS_CHILD, 0, 0, 0, 0, main_, nullptr,
                            GetModuleHandleA(nullptr), this);
  if (conv == nullptr) return;
  conversations_[conv] = client;
  SendMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(conv),
               MAKELPARAM(GlobalAddAtomA(service_.c_str()), GlobalAddAtomA(topic_.c_str())));
}

LRESULT RawDdeServer::OnConversationMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  HWND client = reinterpret_cast<HWND>(wp);
  switch (msg) {
    case WM_DDE_REQUEST:
      if (!Misbehave(faults_.onRequest)) OnRequest(hwnd, client, lp);
      return 0;
    case WM_DDE_ADVISE:
      if (!Misbehave(faults_.onAdvise)) OnAdvise(hwnd, client, lp);
      return 0;
    case WM_DDE_EXECUTE:
      if (!Misbehave(faults_.onExecute)) OnExecute(hwnd, client, lp);
      return 0;
    case WM_DDE_UNADVISE: {
      const std::string item = AtomText(HIWORD(lp));
      std::erase_if(links_, [&](const Link& l) { return l.client == client && l.item == item; });
      PostAck(hwnd, client, kAckPositive, HIWORD(lp));
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
      std::erase_if(links_, [&](const Link& l) { return l.client == client; });
      if (conversations_.erase(hwnd)) {
        PostMessageA(client, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(hwnd), 0);
      }
      DestroyWindow(hwnd);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void RawDdeServer::OnRequest(HWND conv, HWND client, LPARAM lp) {
  const UINT format = LOWORD(lp);
  const ATOM atom = HIWORD(lp);
  const std::string item = AtomText(atom);
  GlobalDeleteAtom(atom);
  if (format == CF_TEXT && items_.contains(item)) {
    PostData(conv, client, item, true, false);
  } else {
    PostAck(conv, client, 0, GlobalAddAtomA(item.c_str()));
  }
}

void RawDdeServer::OnAdvise(HWND conv, HWND client, LPARAM lp) {
  UINT_PTR options = 0, atom = 0;
  UnpackDDElParam(WM_DDE_ADVISE, lp, &options, &atom);
  FreeDDElParam(WM_DDE_ADVISE, lp);
  const std::string item = AtomText(static_cast<ATOM>(atom));
  HGLOBAL handle = reinterpret_cast<HGLOBAL>(options);
  auto* advise = static_cast<DDEADVISE*>(GlobalLock(handle));
  const bool ok =
      !faults_.refuseAdvise && advise && advise->cfFormat == CF_TEXT && items_.contains(item);
  if (ok) links_.push_back({client, item, advise->fAckReq != 0});
  if (advise) GlobalUnlock(handle);
  // The options are ours to free once we accept them; on a refusal they stay the client's.
  if (ok) GlobalFree(handle);
  PostAck(conv, client, ok ? kAckPositive : 0, atom);
}

void RawDdeServer::OnExecute(HWND conv, HWND client, LPARAM lp) {
  HGLOBAL commands = reinterpret_cast<HGLOBAL>(lp);
  UINT status = 0;
  if (const char* text = static_cast<const char*>(GlobalLock(commands))) {
    const std::string command = AnsiToUtf8(std::string(text, strnlen(text, GlobalSize(commands))));
    GlobalUnlock(commands);
    switch (onExecute_(command, client)) {
      case ExecuteReply::kAck:
        status = kAckPositive;
        break;
      case ExecuteReply::kBusy:
        status = kAckBusy;
        break;
      case ExecuteReply::kNack:
        break;
    }
  }
  PostAck(conv, client, status, reinterpret_cast<UINT_PTR>(commands));
}

bool RawDdeServer::Misbehave(Fault fault) {
  switch (fault) {
    case Fault::kNone:
      return false;
    case Fault::kIgnore:
      return true;
    case Fault::kHang:
      Sleep(INFINITE);
      return true;
    case Fault::kQuit:
      PostMessageA(main_, WM_CLOSE, 0, 0);
      return true;
  }
  return false;
}

void RawDdeServer::PostData(HWND conv, HWND client, const std::string& item, bool response,
                            bool ackReq) {
  const std::string& value = items_[item];
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

void RawDdeServer::Close() {
  for (const auto& [conv, client] : conversations_) {
    PostMessageA(client, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(conv), 0);
  }
  conversations_.clear();
  links_.clear();
  if (main_ != nullptr) DestroyWindow(main_);
}

}  // namespace dxkeeper_sim::win
