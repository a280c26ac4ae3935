// The Win32 window, driven as a user drives it: every press, release and key goes through the
// input queue (SendInput), and the window's own messages run until the queue is empty. The
// operations record their calls; the boxes are faked, except where the real box matters.

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "LogFixture.h"
#include "OpsRecorder.h"
#include "core/DateText.h"
#include "host/win/WideText.h"
#include "support/FakeDialogs.h"
#include "support/FakeHost.h"
#include "support/win/RealInput.h"
#include "ui/BillboardStyle.h"
#include "ui/StartupShutdown.h"
#include "ui/Twips.h"
#include "ui/UiContext.h"
#include "ui/win/MainWindow.h"
#include "ui/win/WinDialogs.h"
#include "ui/win/WinPlatform.h"

namespace zorvik::ui::win {
namespace {

using host::win::ToUtf8;
using testing::FakeDialogs;
using testing::Key;
using testing::MouseAt;
using testing::MouseAtPoint;

constexpr const char* kLogPath = "C:\\DXLab\\DXKeeper\\Databases\\log.mdb";
constexpr const char* kLogCleanHintStart = "This option will clean-up the QSO log";

// A window with recording operations behind it, as the program wires it.
struct Rig {
  explicit Rig(Dialogs* realDialogs = nullptr)
      : host{mod,           dde,
             settings,      realDialogs ? *realDialogs : dialogs,
             window.Form(), CurrentProgramIdentity()},
        ctx{host, window.Form(), rec.Bind(host), "C:\\Program Files\\Zorvik", {}} {
    settings.Set("LogPathName", kLogPath);
    window.Attach(ctx);
  }
  ~Rig() { window.StopHandlers(); }

  // Form_Load, then the window opens as the program opens it. Tooltips are switched off: one
  // that pops up under the pointer would take the next click.
  void Start() {
    ASSERT_EQ(FormLoad(ctx), StartOutcome::kShowWindow);
    window.ShowCentred();
    SendMessageW(window.Tooltips(), TTM_ACTIVATE, FALSE, 0);
    Pump();
  }

  // Runs the window's messages until none is left, as the program's loop does.
  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quitPosted = true;
        continue;
      }
      if (!window.HandleDialogKeys(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
  }

  HWND Control(ControlId id) const { return window.Control(id); }
  int Count(const std::string& call) const {
    return static_cast<int>(std::count(rec.calls.begin(), rec.calls.end(), call));
  }
  std::string Text(ControlId id) const {
    wchar_t text[1024] = {};
    GetWindowTextW(Control(id), text, 1024);
    return ToUtf8(text);
  }
  bool Checked(ControlId id) const {
    return IsDlgButtonChecked(window.Handle(), id) == BST_CHECKED;
  }

  ZorvikMod mod;
  testing::FakeDde dde;
  testing::FakeSettings settings;
  FakeDialogs dialogs;
  MainWindow window;
  host::HostContext host;
  testing::OpsRecorder rec;
  UiContext ctx;
  bool quitPosted = false;
};

void Send(std::vector<INPUT> inputs) {
  ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)),
            inputs.size());
}

enum class Touch { kSlowClick, kQuickTap };

// A slow click lets the window handle the press before the button comes up; a quick tap (as a
// touchpad gives) queues both before the window sees either.
void Click(Rig& rig, ControlId id, Touch touch = Touch::kSlowClick) {
  const HWND control = rig.Control(id);
  if (touch == Touch::kQuickTap) {
    Send({MouseAt(control, MOUSEEVENTF_LEFTDOWN), MouseAt(control, MOUSEEVENTF_LEFTUP)});
  } else {
    Send({MouseAt(control, MOUSEEVENTF_LEFTDOWN)});
    rig.Pump();
    Send({MouseAt(control, MOUSEEVENTF_LEFTUP)});
  }
  rig.Pump();
}

void DoubleClick(Rig& rig, ControlId id) {
  const HWND control = rig.Control(id);
  Send({MouseAt(control, MOUSEEVENTF_LEFTDOWN), MouseAt(control, MOUSEEVENTF_LEFTUP),
        MouseAt(control, MOUSEEVENTF_LEFTDOWN), MouseAt(control, MOUSEEVENTF_LEFTUP)});
  rig.Pump();
}

void Press(Rig& rig, WORD key) {
  Send({Key(key), Key(key, KEYEVENTF_KEYUP)});
  rig.Pump();
}

// Puts the focus into the database field with a click, as the user does before leaving it.
void EnterField(Rig& rig) {
  Click(rig, kIdTxtCall);
  ASSERT_EQ(GetFocus(), rig.Control(kIdTxtCall));
  rig.rec.calls.clear();
}

const std::vector<std::string> kCheck = {std::string("openDatabase ") + kLogPath, "showQueueCount"};

std::vector<std::string> CheckThen(const std::string& call) {
  std::vector<std::string> calls = kCheck;
  calls.push_back(call);
  return calls;
}

// The font a control is drawn in, as the window gave it.
LOGFONTW FontOf(const Rig& rig, ControlId id) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(rig.Control(id), WM_GETFONT, 0, 0)), sizeof font,
             &font);
  return font;
}

// Where a control sits, in the window's client coordinates.
RECT ClientRect(const Rig& rig, ControlId id) {
  RECT r;
  GetWindowRect(rig.Control(id), &r);
  MapWindowPoints(nullptr, rig.window.Handle(), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The database field has the focus; the next control is clicked slowly or tapped quickly.
class FieldThenClick : public ::testing::TestWithParam<Touch> {
 protected:
  void SetUp() override {
    rig.Start();
    EnterField(rig);
  }
  Rig rig;
};

INSTANTIATE_TEST_SUITE_P(Win32Window, FieldThenClick,
                         ::testing::Values(Touch::kSlowClick, Touch::kQuickTap),
                         [](const ::testing::TestParamInfo<Touch>& info) {
                           return info.param == Touch::kQuickTap ? "QuickTaps" : "SlowClicks";
                         });

TEST_P(FieldThenClick, LogCleanThenOkRunsLogClean) {
  Click(rig, kIdOptCleanLog, GetParam());
  // The check ran first (it selects Add), then the click chose Log Clean and showed its hint.
  EXPECT_EQ(rig.rec.calls, kCheck);
  EXPECT_TRUE(rig.Checked(kIdOptCleanLog));
  EXPECT_FALSE(rig.Checked(kIdOptAdd));
  EXPECT_EQ(rig.Text(kIdBillBoard).rfind(kLogCleanHintStart, 0), 0u) << rig.Text(kIdBillBoard);
  Click(rig, kIdCmdOk, GetParam());
  EXPECT_EQ(rig.rec.calls, CheckThen("cleanLog"));
  EXPECT_TRUE(rig.dialogs.boxes.empty());
}

TEST_P(FieldThenClick, OkChecksThenRunsAdd) {
  Click(rig, kIdCmdOk, GetParam());
  EXPECT_EQ(rig.rec.calls, CheckThen("loadQslQueue"));
  EXPECT_TRUE(rig.Checked(kIdOptAdd));
  EXPECT_EQ(GetFocus(), rig.Control(kIdCmdOk));
}

TEST_P(FieldThenClick, WrongPathShowsOneBoxKeepsTheFieldAndSwallowsTheClick) {
  rig.rec.openFailure = Failure(3024, "Could not find the log file");
  const std::string billboard = rig.Text(kIdBillBoard);
  Click(rig, kIdOptCleanLog, GetParam());
  ASSERT_EQ(rig.dialogs.boxes.size(), 1u);
  EXPECT_EQ(rig.dialogs.boxes[0].title, "Connect Error");
  EXPECT_EQ(GetFocus(), rig.Control(kIdTxtCall));
  // The click did nothing: no option chosen, no hint, no action.
  EXPECT_FALSE(rig.Checked(kIdOptCleanLog));
  EXPECT_EQ(rig.Text(kIdBillBoard), billboard);
  EXPECT_EQ(rig.rec.calls, std::vector<std::string>{kCheck[0]});
}

// Counts the message boxes that come up and answers each with the Enter key.
int boxesShown = 0;
LRESULT CALLBACK AnswerBoxes(int code, WPARAM wParam, LPARAM lParam) {
  wchar_t className[16] = {};
  if (code == HCBT_ACTIVATE && GetClassNameW(reinterpret_cast<HWND>(wParam), className, 16) &&
      std::wstring(className) == L"#32770") {
    ++boxesShown;
    Send({Key(VK_RETURN), Key(VK_RETURN, KEYEVENTF_KEYUP)});
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(Win32Window, WrongPathWithTheRealBoxShowsItOnceAndComesBackToTheField) {
  // The real MessageBoxW, answered with the Enter key as soon as it is up. Showing it takes the
  // focus from the field; that must not count as leaving the field (a second box).
  WinDialogs realDialogs;
  Rig rig(&realDialogs);
  rig.Start();
  EnterField(rig);
  rig.rec.openFailure = Failure(3024, "Could not find the log file");
  boxesShown = 0;
  HHOOK hook = SetWindowsHookExW(WH_CBT, &AnswerBoxes, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  Click(rig, kIdOptCleanLog);
  rig.Pump();
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(boxesShown, 1);
  EXPECT_EQ(GetFocus(), rig.Control(kIdTxtCall));
  EXPECT_FALSE(rig.Checked(kIdOptCleanLog));
  EXPECT_EQ(rig.rec.calls, std::vector<std::string>{kCheck[0]});
}

TEST(Win32Window, TabFromTheFieldChecksItAndLeavesTheFocusOnOk) {
  Rig rig;
  rig.Start();
  EnterField(rig);
  Press(rig, VK_TAB);
  EXPECT_EQ(rig.rec.calls, kCheck);
  EXPECT_EQ(GetFocus(), rig.Control(kIdCmdOk));
  EXPECT_TRUE(rig.Checked(kIdOptAdd));
  // Tab on from OK: the check does not run again.
  Press(rig, VK_TAB);
  EXPECT_EQ(GetFocus(), rig.Control(kIdChkOps));
  EXPECT_EQ(rig.rec.calls, kCheck);
}

TEST(Win32Window, AnotherWindowTakingTheFocusIsNotLeavingTheField) {
  // The user turns to DXKeeper and back while the focus is in the field: no check either way.
  Rig rig;
  rig.Start();
  EnterField(rig);
  const HWND other = CreateWindowExW(0, L"STATIC", L"DXKeeper", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                     nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  SetActiveWindow(other);
  rig.Pump();
  SetActiveWindow(rig.window.Handle());
  rig.Pump();
  DestroyWindow(other);
  rig.Pump();
  EXPECT_TRUE(rig.rec.calls.empty()) << rig.rec.calls.front();
  EXPECT_EQ(GetFocus(), rig.Control(kIdTxtCall));
}

TEST(Win32Window, DoubleClickPicksAFileAndChecksItOnce) {
  Rig rig;
  rig.Start();
  rig.dialogs.openResults.push_back("C:\\Logs\\chosen.mdb");
  DoubleClick(rig, kIdTxtCall);
  EXPECT_EQ(rig.Text(kIdTxtCall), "C:\\Logs\\chosen.mdb");
  EXPECT_EQ(rig.dialogs.openFolders, std::vector<std::string>{"C:\\DXLab\\DXKeeper\\"});
  EXPECT_EQ(rig.Count("openDatabase C:\\Logs\\chosen.mdb"), 1);
  EXPECT_EQ(GetFocus(), rig.Control(kIdCmdOk));
}

TEST(Win32Window, HelpOpensThePageBelowTheProgramFolder) {
  Rig rig;
  rig.Start();
  Click(rig, kIdHelp);
  EXPECT_EQ(rig.dialogs.helpPages,
            std::vector<std::string>{"C:\\Program Files\\Zorvik\\help\\ZorvikHelp.htm"});
}

TEST(Win32Window, RefreshRecountsAndLeavesAddSelected) {
  Rig rig;
  rig.Start();
  rig.rec.calls.clear();
  Click(rig, kIdOptRefresh);
  EXPECT_EQ(rig.rec.calls, std::vector<std::string>{"showQueueCount"});
  EXPECT_TRUE(rig.Checked(kIdOptAdd));
  EXPECT_FALSE(rig.Checked(kIdOptRefresh));
  EXPECT_EQ(rig.Text(kIdBillBoard), "The QSO counter was refreshed");
}

TEST(Win32Window, AClickOnAnOptionsTextChoosesThatOption) {
  // The form lets each option's box reach into the next one's: Add's covers the top of
  // Refresh's text. Where the user sees an option's text, a click chooses that option.
  const struct {
    const char* where;
    int frameY;  // twips below the top of the Action frame
    const char* billboardStart;
    std::vector<std::string> calls;
  } rows[] = {
      {"top of Add's designed box, above its text",
       270,
       "When checked, this selection will add",
       {}},
      {"middle of Add", 480, "When checked, this selection will add", {}},
      {"top of Refresh's text, inside Add's designed box",
       720,
       "The QSO counter was refreshed",
       {"showQueueCount"}},
      {"middle of Refresh", 795, "The QSO counter was refreshed", {"showQueueCount"}},
      {"middle of Log Clean", 1110, kLogCleanHintStart, {}},
  };
  for (const auto& row : rows) {
    Rig rig;
    rig.Start();
    rig.rec.calls.clear();
    const int dpi = rig.window.Dpi();
    POINT point{TwipsToPixels(3000 + 600, dpi), TwipsToPixels(1050 + row.frameY, dpi)};
    ClientToScreen(rig.window.Handle(), &point);
    Send({MouseAtPoint(point, MOUSEEVENTF_LEFTDOWN)});
    rig.Pump();
    Send({MouseAtPoint(point, MOUSEEVENTF_LEFTUP)});
    rig.Pump();
    EXPECT_EQ(rig.Text(kIdBillBoard).rfind(row.billboardStart, 0), 0u)
        << row.where << ": " << rig.Text(kIdBillBoard);
    EXPECT_EQ(rig.rec.calls, row.calls) << row.where;
  }
}

// A control's pixels, either as the screen shows them or as the control draws itself alone.
struct Picture {
  explicit Picture(HWND control) {
    GetWindowRect(control, &place);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = place.right - place.left;
    info.bmiHeader.biHeight = place.top - place.bottom;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc = CreateCompatibleDC(nullptr);
    bitmap =
        CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    SelectObject(dc, bitmap);
  }
  ~Picture() {
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  std::vector<DWORD> Pixels() const {
    GdiFlush();
    return {bits, bits + (place.right - place.left) * (place.bottom - place.top)};
  }
  RECT place{};
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  DWORD* bits = nullptr;
};

std::vector<DWORD> OnScreen(HWND control) {
  Picture picture(control);
  HDC screen = GetDC(nullptr);
  BitBlt(picture.dc, 0, 0, picture.place.right - picture.place.left,
         picture.place.bottom - picture.place.top, screen, picture.place.left, picture.place.top,
         SRCCOPY);
  ReleaseDC(nullptr, screen);
  return picture.Pixels();
}

std::vector<DWORD> DrawnAlone(HWND control) {
  Picture picture(control);
  PrintWindow(control, picture.dc, 0);
  return picture.Pixels();
}

TEST(Win32Window, TheActionFrameAndItsOptionsShowInFullAfterClicks) {
  // Choosing an option redraws the one it unchecks; that one's box must not paint over the
  // option below it.
  Rig rig;
  rig.Start();
  for (ControlId id : {kIdOptCleanLog, kIdOptAdd, kIdOptRefresh, kIdOptCleanLog}) Click(rig, id);
  for (ControlId id : {kIdOptAdd, kIdOptRefresh, kIdOptCleanLog}) {
    EXPECT_TRUE(OnScreen(rig.Control(id)) == DrawnAlone(rig.Control(id))) << id;
  }
  // A group box draws only its frame and caption: inside it, beside the options, the window's
  // background shows, not whatever the screen held before.
  const HWND frame = rig.Control(kIdGrpAction);
  RECT place;
  GetWindowRect(frame, &place);
  const int width = place.right - place.left;
  const int height = place.bottom - place.top;
  const std::vector<DWORD> inside = OnScreen(frame);
  const int x = TwipsToPixels(75, rig.window.Dpi());  // between the frame's edge and the options
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const DWORD faceBits = RGB(GetBValue(face), GetGValue(face), GetRValue(face));  // DIBs are BGR
  for (int y = height / 3; y < 2 * height / 3; ++y) {
    ASSERT_EQ(inside[y * width + x], faceBits) << "row " << y << " of the Action frame";
  }
}

TEST(Win32Window, ABusyActionTakesNoInputAndGivesTheFocusBack) {
  // The action shows a real box while it works, as the Add does on a bad contact; the box takes
  // the focus, and afterwards OK has it again.
  WinDialogs realDialogs;
  Rig rig(&realDialogs);
  rig.Start();
  bool enabledWhileBusy = true;
  rig.ctx.ops.loadQslQueue = [&rig, &realDialogs, &enabledWhileBusy] {
    BusyScope busy(rig.window.Form());
    enabledWhileBusy = IsWindowEnabled(rig.window.Handle()) != FALSE;
    realDialogs.MsgBox("Error!", mb::kOkExclamation, "");
  };
  Click(rig, kIdOptAdd);
  boxesShown = 0;
  HHOOK hook = SetWindowsHookExW(WH_CBT, &AnswerBoxes, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  Click(rig, kIdCmdOk);
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(boxesShown, 1);
  EXPECT_FALSE(enabledWhileBusy);
  EXPECT_TRUE(IsWindowEnabled(rig.window.Handle()));
  EXPECT_EQ(GetFocus(), rig.Control(kIdCmdOk));
}

// Windows' own boxes and file dialog, made once the window exists so that they are modal to it,
// as the program makes them.
class OwnedDialogs : public Dialogs {
 public:
  void OwnedBy(const MainWindow& window) { real_.emplace(window.Handle()); }
  Answer MsgBox(const std::string& text, int flags, const std::string& title) override {
    return real_->MsgBox(text, flags, title);
  }
  std::optional<std::string> ShowOpen(const std::string& startFolder,
                                      const std::string& fileName) override {
    return real_->ShowOpen(startFolder, fileName);
  }
  void Beep() override {}
  bool OpenHelpPage(const std::string&) override { return true; }

 private:
  std::optional<WinDialogs> real_;
};

// A user at each dialog (box or file dialog) that comes up: `act` runs from the dialog's own
// message loop once it is up, as the user acts on what the dialog shows.
std::function<void(HWND)> actOnDialog;
std::set<HWND> dialogsSeen;
HWND lastDialog = nullptr;

void CALLBACK ActOnLastDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (actOnDialog) actOnDialog(lastDialog);
}

LRESULT CALLBACK WatchDialogs(int code, WPARAM wParam, LPARAM lParam) {
  wchar_t className[16] = {};
  const auto window = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_ACTIVATE && GetClassNameW(window, className, 16) &&
      std::wstring(className) == L"#32770" && dialogsSeen.insert(window).second) {
    lastDialog = window;
    SetTimer(nullptr, 0, 0, &ActOnLastDialog);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

class DialogUser {
 public:
  explicit DialogUser(std::function<void(HWND)> act)
      : hook_(SetWindowsHookExW(WH_CBT, &WatchDialogs, nullptr, GetCurrentThreadId())) {
    actOnDialog = std::move(act);
    dialogsSeen.clear();
  }
  ~DialogUser() {
    UnhookWindowsHookEx(hook_);
    actOnDialog = nullptr;
  }
  DialogUser(const DialogUser&) = delete;
  DialogUser& operator=(const DialogUser&) = delete;
  int Shown() const { return static_cast<int>(dialogsSeen.size()); }

 private:
  HHOOK hook_;
};

TEST(Win32Window, ABoxDuringAPassingCheckLeavesNothingPressed) {
  // The check passes but shows a box (the queue of DXKeeper's own log cannot be counted); the
  // user lets the button go while the box is up, so the box's loop takes the release. The press
  // must not reach its control afterwards: that control would keep the mouse and the next click.
  for (const ControlId pressed : {kIdOptCleanLog, kIdCmdOk}) {
    OwnedDialogs boxes;
    Rig rig(&boxes);
    boxes.OwnedBy(rig.window);
    rig.Start();
    rig.ctx.ops.showQueueCount = [&] {
      rig.rec.calls.push_back("showQueueCount");
      boxes.MsgBox("3044 : Not a valid path.", mb::kOkOnly, "");
    };
    EnterField(rig);
    const HWND control = rig.Control(pressed);
    DialogUser user([control](HWND) {
      Send({MouseAt(control, MOUSEEVENTF_LEFTUP), Key(VK_RETURN), Key(VK_RETURN, KEYEVENTF_KEYUP)});
    });
    Send({MouseAt(control, MOUSEEVENTF_LEFTDOWN)});
    rig.Pump();
    EXPECT_EQ(user.Shown(), 1) << pressed;
    EXPECT_EQ(GetCapture(), nullptr) << pressed;
    EXPECT_FALSE(SendMessageW(control, BM_GETSTATE, 0, 0) & BST_PUSHED) << pressed;
    Click(rig, kIdChkOps);
    EXPECT_TRUE(rig.Checked(kIdChkOps)) << pressed;
    EXPECT_TRUE(rig.Checked(kIdOptAdd)) << pressed;
    EXPECT_EQ(rig.rec.calls, kCheck) << pressed;
  }
}

TEST(Win32Window, InputMadeDuringARealAddRunsNothingAfterIt) {
  // A real Add on a real log, DXKeeper played by the fake host (its journal). Clicks and a key
  // made while Add works (here: as it beeps at its end) wait in the input queue; when it is done
  // they are dropped: DXKeeper is asked once to release its log, and no choice changes.
  logops_test::ScratchLog log;
  log.AddQso({});
  log.SetProgress("230", logops_test::BandModesWith({5}));  // 20M SSB, the contact's slot
  log.Disconnect();
  Rig rig;
  rig.settings.Set("LogPathName", log.Path());
  logdb::LogSession session;
  logdb::AppContext app{rig.host, session};
  rig.ctx.ops = MakeOperations(app);
  rig.Start();
  Click(rig, kIdTxtCall);
  const HWND ok = rig.Control(kIdCmdOk);
  const HWND clean = rig.Control(kIdOptCleanLog);
  bool sent = false;
  rig.dialogs.onBeep = [&] {
    if (std::exchange(sent, true)) return;
    Send({MouseAt(ok, MOUSEEVENTF_LEFTDOWN), MouseAt(ok, MOUSEEVENTF_LEFTUP),
          MouseAt(clean, MOUSEEVENTF_LEFTDOWN), MouseAt(clean, MOUSEEVENTF_LEFTUP), Key(VK_SPACE),
          Key(VK_SPACE, KEYEVENTF_KEYUP)});
  };
  Click(rig, kIdCmdOk);
  rig.Pump();
  EXPECT_TRUE(sent);
  EXPECT_EQ(rig.dde.journal, (std::vector<std::string>{"001closelog", "001openlastlog"}));
  EXPECT_TRUE(rig.Checked(kIdOptAdd));
  EXPECT_FALSE(rig.Checked(kIdOptCleanLog));
  EXPECT_EQ(GetFocus(), ok);
  // The window takes input again at once: Space on OK is a second Add of its own.
  Press(rig, VK_SPACE);
  EXPECT_EQ(rig.dde.journal.size(), 4u);
  EXPECT_TRUE(rig.dialogs.boxes.empty()) << rig.dialogs.boxes.front().text;
}

TEST(Win32Window, EnterRunsTheFocusedButton) {
  for (const ControlId button : {kIdCmdOk, kIdHelp}) {
    Rig rig;
    rig.Start();
    EnterField(rig);
    Click(rig, button);  // the check, then the button once
    ASSERT_EQ(GetFocus(), rig.Control(button)) << button;
    rig.rec.calls.clear();
    rig.dialogs.helpPages.clear();
    Press(rig, VK_RETURN);
    EXPECT_EQ(button == kIdHelp ? static_cast<int>(rig.dialogs.helpPages.size())
                                : rig.Count("loadQslQueue"),
              1)
        << button;
  }
}

TEST(Win32Window, EscapeOnABoxDoesWhatItsButtonsAllow) {
  // An OK box closes; a Yes/No box has no Cancel, so Escape does not answer it: the question stays
  // (Windows ignores the key, Wine closes the box and Zorvik asks again) until Yes is clicked.
  const struct {
    int flags;
    Answer answer;
  } cases[] = {
      {mb::kOkExclamation, Answer::kOk},
      {mb::kYesNoStopDefaultNo, Answer::kYes},
  };
  for (const auto& c : cases) {
    OwnedDialogs boxes;
    Rig rig(&boxes);
    boxes.OwnedBy(rig.window);
    rig.Start();
    int escapes = 0;
    DialogUser user([&](HWND box) {
      if (escapes++ == 0) {
        Send({Key(VK_ESCAPE), Key(VK_ESCAPE, KEYEVENTF_KEYUP)});
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
          if (!IsDialogMessageW(box, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
          }
        }
        if (!IsWindowVisible(box)) return;  // closed by Escape
      }
      if (const HWND yes = GetDlgItem(box, IDYES)) {
        Send({MouseAt(yes, MOUSEEVENTF_LEFTDOWN), MouseAt(yes, MOUSEEVENTF_LEFTUP)});
      }
    });
    std::optional<Answer> answer;
    rig.ctx.ops.loadQslQueue = [&] { answer = boxes.MsgBox("Go on?", c.flags, ""); };
    EnterField(rig);
    Click(rig, kIdCmdOk);
    EXPECT_GE(user.Shown(), 1) << c.flags;
    EXPECT_EQ(answer, c.answer) << c.flags;
  }
}

TEST(Win32Window, LogoffAndShutdownSayCommandCompleteOnce) {
  const struct {
    const char* what;
    WPARAM ending;  // WM_ENDSESSION's: the session really ends, or the user went back
    LPARAM how;
    std::vector<std::string> journal;
  } cases[] = {
      {"logoff", TRUE, ENDSESSION_LOGOFF, {"001commandcomplete"}},
      {"shutdown", TRUE, 0, {"001commandcomplete"}},
      {"cancelled", FALSE, ENDSESSION_LOGOFF, {}},
  };
  for (const auto& c : cases) {
    Rig rig;
    rig.Start();
    const HWND window = rig.window.Handle();
    EXPECT_TRUE(SendMessageW(window, WM_QUERYENDSESSION, 0, c.how)) << c.what;
    SendMessageW(window, WM_ENDSESSION, c.ending, c.how);
    EXPECT_EQ(rig.dde.journal, c.journal) << c.what;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(rig.dde.journal, std::vector<std::string>{"001commandcomplete"}) << c.what;
  }
  // While an action works the session must wait: the action finishes, then the window closes.
  Rig rig;
  rig.Start();
  LRESULT mayEnd = TRUE;
  rig.ctx.ops.loadQslQueue = [&] {
    mayEnd = SendMessageW(rig.window.Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  };
  EnterField(rig);
  Click(rig, kIdCmdOk);
  EXPECT_FALSE(mayEnd);
  EXPECT_TRUE(rig.dde.journal.empty());
}

TEST(Win32Window, ANewMonitorDpiRedoesTheLayoutFromTheTwips) {
  // Moved to a monitor at 150 %, the window is laid out again at 144 DPI: one pixel is ten
  // twips there.
  Rig rig;
  rig.Start();
  const HWND window = rig.window.Handle();
  RECT suggested{};
  GetWindowRect(window, &suggested);
  suggested.right = suggested.left + 700;
  suggested.bottom = suggested.top + 600;
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  rig.Pump();
  EXPECT_EQ(rig.window.Dpi(), 144);
  const struct {
    ControlId id;
    RECT rect;  // in the window's client area
  } places[] = {
      {kIdTxtCall, {14, 51, 14 + 426, 51 + 29}},
      {kIdBillBoard, {24, 98, 24 + 252, 98 + 194}},
      {kIdOptCleanLog, {300 + 11, 105 + 95, 300 + 11 + 117, 105 + 95 + 33}},
      {kIdCmdOk, {300, 311, 300 + 50, 311 + 35}},
  };
  for (const auto& p : places) {
    const RECT r = ClientRect(rig, p.id);
    EXPECT_EQ(r.left, p.rect.left) << p.id;
    EXPECT_EQ(r.top, p.rect.top) << p.id;
    EXPECT_EQ(r.right, p.rect.right) << p.id;
    EXPECT_EQ(r.bottom, p.rect.bottom) << p.id;
  }
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, TwipsToPixels(kClientWidthTwips, 144));
  EXPECT_EQ(client.bottom, TwipsToPixels(kClientHeightTwips, 144));
  EXPECT_EQ(FontOf(rig, kIdTxtCall).lfHeight, -16);
  EXPECT_EQ(FontOf(rig, kIdLabel1).lfHeight, -24);

  // The program says it draws itself for each monitor, and takes paths of any length.
  const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(found, nullptr);
  const std::string manifest(static_cast<const char*>(LockResource(LoadResource(nullptr, found))),
                             SizeofResource(nullptr, found));
  EXPECT_NE(manifest.find("<dpiAwareness"), std::string::npos);
  EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
  EXPECT_NE(manifest.find("<longPathAware"), std::string::npos);
}

TEST(Win32Window, TheFileDialogStartsOnTheChosenLog) {
  // Before the first choice the dialog starts beside DXKeeper's Databases folder with no name;
  // after a choice, in the chosen log's folder with its name filled in.
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::filesystem::path root = std::filesystem::path(temp) / L"zorvik-file-dialog";
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root / L"DXKeeper" / L"Databases");
  std::filesystem::create_directories(root / L"Other");
  const std::filesystem::path chosen = root / L"Other" / L"chosen.mdb";
  std::fclose(_wfopen(chosen.c_str(), L"wb"));

  OwnedDialogs dialogs;
  Rig rig(&dialogs);
  dialogs.OwnedBy(rig.window);
  rig.settings.Set("LogPathName",
                   ToUtf8((root / L"DXKeeper" / L"Databases" / L"log.mdb").wstring()));
  rig.Start();
  struct Seen {
    std::wstring folder, name;
  };
  std::vector<Seen> seen;
  DialogUser user([&](HWND dialog) {
    wchar_t folder[MAX_PATH] = {}, name[MAX_PATH] = {};
    SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
    SendMessageW(dialog, CDM_GETSPEC, MAX_PATH, reinterpret_cast<LPARAM>(name));
    seen.push_back({folder, name});
    std::vector<INPUT> keys;
    if (seen.size() == 1) {
      // Types the chosen log's path into the name field, then Enter.
      for (const wchar_t ch : chosen.wstring()) {
        INPUT key = Key(0, KEYEVENTF_UNICODE);
        key.ki.wScan = ch;
        keys.push_back(key);
        key.ki.dwFlags |= KEYEVENTF_KEYUP;
        keys.push_back(key);
      }
      keys.push_back(Key(VK_RETURN));
      keys.push_back(Key(VK_RETURN, KEYEVENTF_KEYUP));
    } else {
      keys = {Key(VK_ESCAPE), Key(VK_ESCAPE, KEYEVENTF_KEYUP)};
    }
    Send(keys);
  });
  DoubleClick(rig, kIdTxtCall);
  EXPECT_EQ(rig.Text(kIdTxtCall), ToUtf8(chosen.wstring()));
  DoubleClick(rig, kIdTxtCall);
  ASSERT_EQ(seen.size(), 2u);
  auto same = [](const std::wstring& a, const std::filesystem::path& b) {
    return std::filesystem::path(a).lexically_normal() == b.lexically_normal() ||
           std::filesystem::path(a + L"\\").lexically_normal() == b.lexically_normal();
  };
  EXPECT_TRUE(same(seen[0].folder, root / L"DXKeeper" / L"")) << ToUtf8(seen[0].folder);
  EXPECT_EQ(seen[0].name, L"");
  EXPECT_TRUE(same(seen[1].folder, root / L"Other")) << ToUtf8(seen[1].folder);
  EXPECT_EQ(seen[1].name, L"chosen.mdb");
  EXPECT_EQ(rig.Text(kIdTxtCall), ToUtf8(chosen.wstring()));  // cancelled: the choice stays
  std::filesystem::remove_all(root);
}

TEST(Win32Window, ClosingSaysCommandCompleteOnceAndEndsTheLoop) {
  Rig rig;
  rig.Start();
  SendMessageW(rig.window.Handle(), WM_CLOSE, 0, 0);
  SendMessageW(rig.window.Handle(), WM_CLOSE, 0, 0);
  rig.Pump();
  EXPECT_EQ(rig.dde.journal, std::vector<std::string>{"001commandcomplete"});
  EXPECT_TRUE(rig.quitPosted);
  EXPECT_FALSE(IsWindowVisible(rig.window.Handle()));
}

TEST(Win32Window, LayoutFollowsTheTwipsAtTheSystemDpi) {
  Rig rig;
  const int dpi = rig.window.Dpi();
  {
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(dpi, GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
  }
  std::printf("system DPI: %d\n", dpi);
  auto px = [dpi](int twips) { return TwipsToPixels(twips, dpi); };
  const struct {
    ControlId id;
    TwipsRect rect;
    bool inFrame;
  } places[] = {
      {kIdTxtCall, {135, 510, 4260, 285}, false},
      {kIdBillBoard, {240, 975, 2520, 1935}, false},
      {kIdOptCleanLog, {105, 945, 1170, 330}, true},
      {kIdCmdOk, {3000, 3105, 495, 345}, false},
  };
  for (const auto& p : places) {
    const RECT r = ClientRect(rig, p.id);
    const int left = px(p.rect.left) + (p.inFrame ? px(3000) : 0);
    const int top = px(p.rect.top) + (p.inFrame ? px(1050) : 0);
    EXPECT_EQ(r.left, left) << p.id;
    EXPECT_EQ(r.top, top) << p.id;
    EXPECT_EQ(r.right - r.left, px(p.rect.width)) << p.id;
    EXPECT_EQ(r.bottom - r.top, px(p.rect.height)) << p.id;
  }
  RECT client;
  GetClientRect(rig.window.Handle(), &client);
  EXPECT_EQ(client.right, px(kClientWidthTwips));
  EXPECT_EQ(client.bottom, px(kClientHeightTwips));
  const LONG_PTR style = GetWindowLongPtrW(rig.window.Handle(), GWL_STYLE);
  EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_THICKFRAME));

  // The window's font at 8 pt, the title's at 12 pt bold, in the design's face.
  EXPECT_EQ(FontOf(rig, kIdTxtCall).lfHeight, -MulDiv(8, dpi, 72));
  EXPECT_EQ(std::wstring(FontOf(rig, kIdTxtCall).lfFaceName), L"MS Sans Serif");
  EXPECT_EQ(FontOf(rig, kIdLabel1).lfHeight, -MulDiv(12, dpi, 72));
  EXPECT_EQ(FontOf(rig, kIdLabel1).lfWeight, FW_BOLD);

  // Centred on the work area when it opens.
  rig.Start();
  RECT work, window;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(rig.window.Handle(), &window);
  EXPECT_LE(std::abs((window.left + window.right) - (work.left + work.right)), 1);
  EXPECT_LE(std::abs((window.top + window.bottom) - (work.top + work.bottom)), 1);
}

// The colour a static control is drawn in, as the window tells Windows.
COLORREF TextColourOf(Rig& rig, ControlId id) {
  HDC dc = CreateCompatibleDC(nullptr);
  SendMessageW(rig.window.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(rig.Control(id)));
  const COLORREF colour = GetTextColor(dc);
  DeleteDC(dc);
  return colour;
}

TEST(Win32Window, ColoursStylesAndTooltipsAreTheDesigned) {
  Rig rig;
  rig.Start();
  EXPECT_EQ(TextColourOf(rig, kIdLabel1), RGB(0, 0, 128));
  EXPECT_EQ(TextColourOf(rig, kIdMrkd), RGB(128, 0, 0));
  // Start-up shows the warning in the Alert style: centred, red, 11 pt (or smaller to fit).
  const HWND billboard = rig.Control(kIdBillBoard);
  EXPECT_EQ(TextColourOf(rig, kIdBillBoard), RGB(192, 0, 0));
  EXPECT_EQ(GetWindowLongPtrW(billboard, GWL_STYLE) & SS_TYPEMASK, SS_CENTER);
  Click(rig, kIdOptAdd);  // the first hint turns it to Normal: left, navy, 8 pt
  EXPECT_EQ(TextColourOf(rig, kIdBillBoard), RGB(0, 0, 128));
  EXPECT_EQ(GetWindowLongPtrW(billboard, GWL_STYLE) & SS_TYPEMASK, SS_LEFT);
  EXPECT_EQ(FontOf(rig, kIdBillBoard).lfHeight, -MulDiv(8, rig.window.Dpi(), 72));
  // A message that fits is shown at the style's size; Alert is 11 pt.
  rig.window.Form().SetBillboard("Backup your database!");
  SetBillboardStyle(rig.window.Form(), kBillboardAlert);
  EXPECT_EQ(FontOf(rig, kIdBillBoard).lfHeight, -MulDiv(11, rig.window.Dpi(), 72));

  const struct {
    ControlId id;
    const char* tip;
  } tips[] = {
      {kIdTxtCall,
       "Database to manipulate. Default is DXKeeper's last used. Double-click to select another."},
      {kIdChkOps,
       "When checked, will include all operators in this database (for explaination see Help "
       "file)"},
      {kIdBillBoard, "User messages are displayed here"},
  };
  for (const auto& t : tips) {
    wchar_t text[512] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = rig.window.Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(rig.Control(t.id));
    tool.lpszText = text;
    SendMessageW(rig.window.Tooltips(), TTM_GETTEXTW, std::size(text),
                 reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(ToUtf8(text), t.tip);
  }
  EXPECT_EQ(SendMessageW(rig.window.Tooltips(), TTM_GETTOOLCOUNT, 0, 0), 9);
}

void PressShiftTab(Rig& rig) {
  Send({Key(VK_SHIFT), Key(VK_TAB), Key(VK_TAB, KEYEVENTF_KEYUP), Key(VK_SHIFT, KEYEVENTF_KEYUP)});
  rig.Pump();
}

TEST(Win32Window, TabFollowsTheDesignsTabIndexes) {
  // Tab visits the controls by the form's tab indexes; of the Action frame only the selected
  // option, where the form puts it (Add between the field and OK, Log Clean last). Real Tab and
  // Shift+Tab keys.
  Rig rig;
  rig.Start();
  rig.rec.calls.clear();
  EXPECT_EQ(GetFocus(), rig.Control(kIdHelp));  // the first in tab order has it at start
  enum Move { kTab, kShiftTab, kClickLogClean };
  const struct {
    Move move;
    ControlId focus;
  } steps[] = {
      {kTab, kIdTxtCall},
      {kTab, kIdCmdOk},  // the field's check took the focus on to OK (and selected Add)
      {kShiftTab, kIdOptAdd},
      {kTab, kIdCmdOk},
      {kTab, kIdChkOps},
      // Log Clean chosen: the frame's stop moves to the end of the order.
      {kClickLogClean, kIdOptCleanLog},
      {kTab, kIdHelp},
      {kShiftTab, kIdOptCleanLog},
      {kShiftTab, kIdTDate},
  };
  for (const auto& step : steps) {
    if (step.move == kTab) Press(rig, VK_TAB);
    if (step.move == kShiftTab) PressShiftTab(rig);
    if (step.move == kClickLogClean) Click(rig, kIdOptCleanLog);
    EXPECT_EQ(GetFocus(), rig.Control(step.focus)) << "to " << step.focus;
  }
  EXPECT_EQ(rig.rec.calls, kCheck);
}

// The built program, Zorvik.exe, beside which the help pages travel.
std::filesystem::path BuiltProgram() {
  const std::string path = ZORVIK_PROGRAM_EXE;
  // CMake names it by its path on the build machine, whose root Wine shows as drive Z:.
  return std::filesystem::path(path.starts_with('/') ? "Z:" + path : path);
}

TEST(Win32Window, CaptionNamesTheProgramAndTheVersionRecord) {
  const std::optional<VersionRecord> record = ReadVersionRecord(BuiltProgram().wstring());
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ(*record, (VersionRecord{1, 4, 0, 2}));
  EXPECT_TRUE(std::filesystem::exists(BuiltProgram().parent_path() / "help" / "ZorvikHelp.htm"));

  // This test program carries the same resources as Zorvik.exe.
  Rig rig;
  rig.Start();
  wchar_t caption[256] = {};
  GetWindowTextW(rig.window.Handle(), caption, 256);
  const std::string name = ToUtf8(std::filesystem::path(ExecutablePath()).stem().wstring());
  EXPECT_EQ(ToUtf8(caption), name + " 1.4.2 - (DXKeeper Running)");
  EXPECT_NE(SendMessageW(rig.window.Handle(), WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageW(rig.window.Handle(), WM_GETICON, ICON_SMALL, 0), 0);
}

TEST(WithFourDigitYear, WidensShortYearsOnly) {
  const std::pair<const char*, const char*> cases[] = {
      {"M/d/yy", "M/d/yyyy"}, {"dd.MM.yyyy", "dd.MM.yyyy"}, {"yy-MM-dd", "yyyy-MM-dd"},
      {"d/M/y", "d/M/yyyy"},  {"yyyy/M/d", "yyyy/M/d"},     {"dd-MMM-yy", "dd-MMM-yyyy"},
  };
  for (const auto& [pattern, widened] : cases) EXPECT_EQ(WithFourDigitYear(pattern), widened);
}

}  // namespace
}  // namespace zorvik::ui::win
