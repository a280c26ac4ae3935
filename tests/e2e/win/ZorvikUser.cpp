// zorvik-user.exe: the user of Zorvik.exe in the Windows demo and its end-to-end run. Starts the
// program, clicks its controls with real mouse input, reads what the window shows and closes it
// with Alt+F4, as a user at the screen would.
//
//   zorvik-user [--screenshot FILE.png] PROGRAM [STEP...]     STEP: refresh, clean, add
//
// refresh  clicks Refresh (recounts the queue), then reports the count
// clean    clicks Log Clean, then OK; reports the billboard
// add      clicks Add, then OK; reports the billboard and the queue count
//
// Clicks and keys go through SendInput, the input queue the mouse and keyboard fill, so the
// window under the pointer gets them. Every click must change the billboard (a hint, a result):
// the step waits, at most two minutes, until it has changed and the window takes input again
// (an action disables it while it works). A message box is reported, answered with a click on
// its default button and ends the steps. Prints one "key: value" line per fact, as the Linux
// demo's user does (caption, database, queue count, log clean, add, message box, screenshot,
// message boxes), then "exit status: N" of the program once it has ended.
//
// Exit status: 0 when every step ran, no message box came up and the program ended with 0; 1
// otherwise (also when the program ended at start, after its box); 2 for a wrong command line.

#include <windows.h>

#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "ProgramWindows.h"
#include "WindowPicture.h"
#include "host/win/WideText.h"
#include "support/win/RealInput.h"
#include "logdb/dao/ComHolders.h"
#include "ui/win/ControlIds.h"

namespace {

using namespace std::chrono_literals;
using zorvik::e2e::FindMainWindow;
using zorvik::e2e::FindMessageBox;
using zorvik::e2e::MessageBoxSeen;
using zorvik::e2e::TextOf;
using zorvik::e2e::WaitUntil;
using zorvik::host::win::ToUtf8;
using zorvik::host::win::ToWide;
using zorvik::testing::MouseAt;
using zorvik::testing::MouseAtPoint;
namespace id = zorvik::ui::win;

constexpr auto kStepLimit = 120s;
constexpr auto kStartLimit = 60s;

struct HandleCloser {
  void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// One fact on one line: line breaks (CR LF, a lone CR or LF, blank lines) become " / ".
void Say(const std::string& key, const std::string& value) {
  std::string line;
  bool lineBreak = false;
  for (const char c : value) {
    if (c == '\r' || c == '\n') {
      lineBreak = true;
      continue;
    }
    if (lineBreak && !line.empty()) line += " / ";
    lineBreak = false;
    line += c;
  }
  std::printf("%s: %s\n", key.c_str(), line.c_str());
  std::fflush(stdout);
}

bool Send(std::vector<INPUT> inputs) {
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

bool ClickAt(HWND control) {
  return Send({MouseAt(control, MOUSEEVENTF_LEFTDOWN), MouseAt(control, MOUSEEVENTF_LEFTUP)});
}

class User {
 public:
  User(HANDLE process, DWORD processId) : process_(process), processId_(processId) {}

  // Waits until the program shows its window, answering the boxes that come before it. False
  // when the program ended (or showed nothing) instead.
  bool WaitForWindow() {
    while (true) {
      if (!WaitUntil([&] { return Ended() || FindMainWindow(processId_) || Box(); }, kStartLimit)) {
        std::fprintf(stderr, "zorvik-user: the program showed no window\n");
        return false;
      }
      if (Ended()) return false;
      if (auto box = Box()) {
        Answer(*box);
        continue;
      }
      window_ = FindMainWindow(processId_);
      return true;
    }
  }

  bool RunStep(const std::string& step) {
    if (step == "refresh") {
      if (!Click(id::kIdOptRefresh)) return false;
      Say("queue count", Text(id::kIdMrkd));
      return true;
    }
    if (step == "clean") {
      if (!Click(id::kIdOptCleanLog) || !Click(id::kIdCmdOk)) return false;
      Say("log clean", Text(id::kIdBillBoard));
      return true;
    }
    if (step == "add") {
      if (!Click(id::kIdOptAdd) || !Click(id::kIdCmdOk)) return false;
      Say("add", Text(id::kIdBillBoard));
      Say("queue count", Text(id::kIdMrkd));
      return true;
    }
    return false;
  }

  HWND Window() const { return window_; }
  std::string Text(int control) const {
    return TextOf(GetDlgItem(window_, control), 10s).value_or("");
  }
  std::string Caption() const {
    wchar_t title[512] = {};
    GetWindowTextW(window_, title, static_cast<int>(std::size(title)));
    return ToUtf8(title);
  }

  // The pointer off the window, and no tooltip left over it.
  bool MovePointerAway() {
    RECT r{};
    GetWindowRect(window_, &r);
    if (!Send({MouseAtPoint({r.left / 2, r.top / 2}, 0)})) return false;
    return WaitUntil([&] { return !TooltipShown(); }, 10s);
  }

  // Alt+F4 to the window, then waits for the program to end, answering the boxes it shows.
  // Returns its exit status, or -1 when it did not end.
  int Close() {
    if (GetForegroundWindow() != window_) ClickAt(GetDlgItem(window_, id::kIdLabel1));
    using zorvik::testing::Key;
    Send({Key(VK_MENU), Key(VK_F4), Key(VK_F4, KEYEVENTF_KEYUP), Key(VK_MENU, KEYEVENTF_KEYUP)});
    return WaitForEnd();
  }

  int WaitForEnd() {
    while (WaitUntil([&] { return Ended() || Box(); }, kStepLimit)) {
      if (auto box = Box()) {
        Answer(*box);
        continue;
      }
      DWORD status = 0;
      GetExitCodeProcess(process_, &status);
      return static_cast<int>(status);
    }
    return -1;
  }

  int BoxesAnswered() const { return boxes_; }

 private:
  bool Ended() const { return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }
  std::optional<MessageBoxSeen> Box() const { return FindMessageBox(processId_); }

  bool TooltipShown() const {
    bool shown = false;
    EnumThreadWindows(
        GetWindowThreadProcessId(window_, nullptr),
        [](HWND w, LPARAM param) -> BOOL {
          wchar_t name[32] = {};
          GetClassNameW(w, name, static_cast<int>(std::size(name)));
          if (IsWindowVisible(w) && std::wstring_view(name) == L"tooltips_class32") {
            *reinterpret_cast<bool*>(param) = true;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&shown));
    return shown;
  }

  // Reports the box and clicks its default button.
  void Answer(const MessageBoxSeen& box) {
    ++boxes_;
    Say("message box", box.title + " | " + box.text);
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(box.window, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    const int button = HIWORD(answer) == DC_HASDEFID ? LOWORD(answer) : IDOK;
    ClickAt(GetDlgItem(box.window, button));
    WaitUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); }, kStepLimit);
  }

  // Clicks a control of the window and waits until the click has changed the billboard and the
  // window takes input again. False when a box came up instead, or nothing changed in time.
  bool Click(int control) {
    const std::string before = Text(id::kIdBillBoard);
    if (!ClickAt(GetDlgItem(window_, control))) return false;
    const bool answered = WaitUntil(
        [&] {
          if (Box() || Ended()) return true;
          const auto now = TextOf(GetDlgItem(window_, id::kIdBillBoard));
          return now && *now != before && IsWindowEnabled(window_);
        },
        kStepLimit);
    if (auto box = Box()) {
      Answer(*box);
      return false;
    }
    return answered && !Ended();
  }

  HANDLE process_;
  DWORD processId_;
  HWND window_ = nullptr;
  int boxes_ = 0;
};

std::vector<std::string> Arguments() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 1; argv != nullptr && i < argc; ++i) args.push_back(ToUtf8(argv[i]));
  LocalFree(argv);
  return args;
}

int Usage() {
  std::fprintf(stderr,
               "usage: zorvik-user [--screenshot FILE.png] PROGRAM [refresh|clean|add]...\n");
  return 2;
}

}  // namespace

int main() {
  std::string screenshot;
  std::string program;
  std::vector<std::string> steps;
  const std::vector<std::string> args = Arguments();
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--screenshot" && i + 1 < args.size()) {
      screenshot = args[++i];
    } else if (program.empty() && !args[i].starts_with("--")) {
      program = args[i];
    } else if (args[i] == "refresh" || args[i] == "clean" || args[i] == "add") {
      steps.push_back(args[i]);
    } else {
      return Usage();
    }
  }
  if (program.empty()) return Usage();
  // Lines end in LF alone: the scripts that read them run on Linux.
  _setmode(_fileno(stdout), _O_BINARY);
  // The picture is encoded by the Windows Imaging Component, a COM server.
  const zorvik::logdb::dao::ComApartment com;

  std::wstring commandLine = L"\"" + ToWide(program) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    std::fprintf(stderr, "zorvik-user: cannot start %s (error %lu)\n", program.c_str(),
                 GetLastError());
    return 1;
  }
  const UniqueHandle process(started.hProcess);
  const UniqueHandle thread(started.hThread);
  User user(process.get(), started.dwProcessId);

  bool allRan = true;
  int status = -1;
  if (user.WaitForWindow()) {
    Say("caption", user.Caption());
    Say("database", user.Text(id::kIdTxtCall));
    for (const std::string& step : steps) {
      if (!user.RunStep(step)) {
        std::fprintf(stderr, "zorvik-user: step %s could not be carried out\n", step.c_str());
        allRan = false;
        break;
      }
    }
    Say("caption", user.Caption());
    if (!screenshot.empty()) {
      std::string error = user.MovePointerAway() ? "" : "a tooltip stayed over the window";
      if (error.empty()) error = zorvik::e2e::SaveWindowPicture(user.Window(), screenshot);
      Say("screenshot", error.empty() ? screenshot : "not saved: " + error);
      allRan = allRan && error.empty();
    }
    status = user.Close();
  } else {
    allRan = false;
    status = user.WaitForEnd();
  }
  Say("message boxes", std::to_string(user.BoxesAnswered()));
  Say("exit status", std::to_string(status));
  return allRan && user.BoxesAnswered() == 0 && status == 0 ? 0 : 1;
}
