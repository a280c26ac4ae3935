#include "ui/win/MainWindow.h"

#include <commctrl.h>

#include <utility>

#include "core/Failure.h"
#include "host/win/WideText.h"
#include "ui/FormDesign.h"
#include "ui/Twips.h"
#include "ui/WindowLayout.h"
#include "ui/win/ResourceIds.h"

namespace zorvik::ui::win {
namespace {

using host::win::ToUtf8;
using host::win::ToWide;

// Posted when the database field lost the focus to another control of the window: the check runs
// when Windows retrieves it, before any input that came after the focus move.
constexpr UINT kCheckFieldMessage = WM_APP + 1;

constexpr const wchar_t* kWindowClass = L"ZorvikMain";
// No WS_CLIPCHILDREN: a group box paints only its frame and caption, so the window must paint
// the background behind it (clipped out, the inside of the Action frame stayed as the screen was).
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

struct ControlLayout {
  ControlId id;
  const design::Control& design;
  const wchar_t* windowClass;
  DWORD style;  // beyond WS_CHILD | WS_VISIBLE
  DWORD exStyle = 0;
};

// Creation order is the order of the arrow keys inside the Action frame, and the order in which
// the controls lie over each other (the first on top). Tab does not follow it but the design's tab
// indexes (WindowCore). Of the three options only the checked one is a tab stop: the button
// control moves WS_TABSTOP itself when an option is checked. The frame follows its options, so
// that it lies below them and ends their group; the labels take no focus.
const ControlLayout kControls[] = {
    {kIdHelp, design::kHelp, WC_BUTTONW, WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON},
    {kIdTxtCall, design::kTxtCall, WC_EDITW, WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL,
     WS_EX_CLIENTEDGE},
    {kIdOptAdd, design::kOptAdd, WC_BUTTONW, WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON},
    {kIdOptRefresh, design::kOptRefresh, WC_BUTTONW, BS_AUTORADIOBUTTON},
    {kIdOptCleanLog, design::kOptCleanLog, WC_BUTTONW, BS_AUTORADIOBUTTON},
    {kIdGrpAction, design::kGrpAction, WC_BUTTONW, WS_GROUP | WS_CLIPSIBLINGS | BS_GROUPBOX},
    {kIdCmdOk, design::kCmdOk, WC_BUTTONW, WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON},
    {kIdChkOps, design::kChkOps, WC_BUTTONW, WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX},
    {kIdFDate, design::kFDate, WC_EDITW, WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {kIdTDate, design::kTDate, WC_EDITW, WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {kIdLabel1, design::kLabel1, WC_STATICW, WS_GROUP | SS_CENTER | SS_NOPREFIX},
    {kIdLabel3, design::kLabel3, WC_STATICW, SS_LEFT | SS_NOPREFIX | SS_NOTIFY},
    {kIdMrkd, design::kMrkd, WC_STATICW, SS_RIGHT | SS_NOPREFIX},
    {kIdLabel6, design::kLabel6, WC_STATICW, SS_LEFT | SS_NOPREFIX},
    {kIdBillBoard, design::kBillBoard, WC_STATICW, SS_CENTER | SS_NOPREFIX | SS_NOTIFY},
    {kIdLabel2, design::kLabel2, WC_STATICW, SS_LEFT | SS_NOPREFIX},
    {kIdLabel4, design::kLabel4, WC_STATICW, SS_LEFT | SS_NOPREFIX},
};

// The controls whose clicks the window watches: a press while the field has the focus runs the
// field's check first.
constexpr ControlId kClickable[] = {kIdHelp,       kIdCmdOk,       kIdOptAdd,
                                    kIdOptRefresh, kIdOptCleanLog, kIdChkOps};

COLORREF Rgb(const design::Colour& colour) {
  return RGB(colour.red, colour.green, colour.blue);
}

Failure WindowsRefused(const char* what) {
  return Failure(err::kInternalError, std::string("Windows could not create ") + what + " (error " +
                                          std::to_string(GetLastError()) + ")");
}

HINSTANCE Instance() {
  return GetModuleHandleW(nullptr);
}

// The DPI of the monitor `window` is on, where Windows can tell (10 and later); else 0.
UINT MonitorDpiOf(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  return getDpiForWindow ? getDpiForWindow(window) : 0;
}

void RegisterWindowClass(WNDPROC procedure) {
  // The tooltips' class comes with the common controls.
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = Instance();
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassExW(&windowClass)) throw WindowsRefused("the window class");
}

}  // namespace

// The window as the core's toolkit: the controls by their design entries, Windows' busy look
// and input queue, the billboard's font.
class MainWindow::Toolkit final : public WindowToolkit {
 public:
  explicit Toolkit(MainWindow& window) : window_(window) {}

  std::string Text(const design::Control& control) const override {
    return window_.ControlText(static_cast<ControlId>(GetDlgCtrlID(window_.ControlOf(control))));
  }
  void SetText(const design::Control& control, const std::string& text) override {
    SetWindowTextW(window_.ControlOf(control), ToWide(text).c_str());
  }
  bool IsChecked(const design::Control& control) const override {
    return SendMessageW(window_.ControlOf(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  void CheckOption(const design::Control& option) override {
    CheckRadioButton(window_.Handle(), kIdOptAdd, kIdOptCleanLog,
                     GetDlgCtrlID(window_.ControlOf(option)));
  }
  void SetCaption(const std::string& caption) override {
    SetWindowTextW(window_.Handle(), ToWide(caption).c_str());
  }

  const design::Control* FocusedControl() const override { return window_.DesignOf(GetFocus()); }
  void Focus(const design::Control& control) override { SetFocus(window_.ControlOf(control)); }
  bool MouseButtonDown() const override {
    // The state as of the input this thread has read: a release still in the queue leaves the
    // button down, one a box's message loop took does not.
    for (const int button : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON}) {
      if (GetKeyState(button) & 0x8000) return true;
    }
    return false;
  }

  void ShowBusy(bool busy) override {
    EnableWindow(window_.Handle(), busy ? FALSE : TRUE);
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
  }
  void DiscardWaitingInput() override {
    // The keys (and the characters made of them) and the mouse in the window and on its frame.
    constexpr std::pair<UINT, UINT> kInput[] = {{WM_KEYFIRST, WM_KEYLAST},
                                                {WM_MOUSEFIRST, WM_MOUSELAST},
                                                {WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK}};
    MSG msg;
    for (const auto& [first, last] : kInput) {
      while (PeekMessageW(&msg, nullptr, first, last, PM_REMOVE)) {
      }
    }
  }

  void SetBillboardLook(const BillboardLook& look) override {
    window_.billboardLook_ = look;
    const HWND billboard = window_.Control(kIdBillBoard);
    const LONG_PTR style = GetWindowLongPtrW(billboard, GWL_STYLE) & ~LONG_PTR{SS_TYPEMASK};
    SetWindowLongPtrW(billboard, GWL_STYLE, style | (look.centred ? SS_CENTER : SS_LEFT));
    InvalidateRect(billboard, nullptr, TRUE);
  }
  bool SetBillboardPoints(double points) override {
    const HWND billboard = window_.Control(kIdBillBoard);
    RECT area{};
    GetClientRect(billboard, &area);
    const std::wstring text = ToWide(window_.ControlText(kIdBillBoard));
    UniqueFont font = window_.MakeFont(window_.PointsToPixels(points), FW_NORMAL);
    RECT needed = area;
    {
      WindowDc dc(billboard);
      SelectedObject selected(dc.Get(), font.get());
      DrawTextW(dc.Get(), text.c_str(), -1, &needed,
                DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX |
                    (window_.billboardLook_.centred ? DT_CENTER : DT_LEFT));
    }
    SendMessageW(billboard, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    // The previous font goes once the label let go of it.
    window_.billboardFont_ = std::move(font);
    return needed.bottom <= area.bottom;
  }

 private:
  MainWindow& window_;
};

MainWindow::MainWindow() : toolkit_(std::make_unique<Toolkit>(*this)), core_(*toolkit_) {
  static const bool registered = (RegisterWindowClass(&WindowProc), true);
  (void)registered;
  {
    WindowDc screen(nullptr);
    dpi_ = GetDeviceCaps(screen.Get(), LOGPIXELSY);
  }
  RECT frame{0, 0, TwipsToPixels(kClientWidthTwips, dpi_), TwipsToPixels(kClientHeightTwips, dpi_)};
  AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
  // WM_NCCREATE hands the handle to window_; a failed creation takes it back (WM_NCDESTROY).
  if (!CreateWindowExW(0, kWindowClass, ToWide(kAppTitle).c_str(), kWindowStyle, CW_USEDEFAULT,
                       CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                       nullptr, Instance(), this)) {
    throw WindowsRefused("the window");
  }
  if (const UINT monitorDpi = MonitorDpiOf(Handle())) dpi_ = static_cast<int>(monitorDpi);
  CreateControls();
  AddTooltips();
  LoadIcons();
  Layout();
}

MainWindow::~MainWindow() {
  // Destroying the controls moves the focus; no handler may run on a half-destroyed window.
  core_.Detach();
}

int MainWindow::PointsToPixels(double points) const {
  return static_cast<int>(points * dpi_ / 72.0 + 0.5);
}

UniqueFont MainWindow::MakeFont(int pixelHeight, int weight) const {
  UniqueFont font(CreateFontW(-pixelHeight, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_SWISS, ToWide(design::kFontName).c_str()));
  if (!font) throw WindowsRefused("a font");
  return font;
}

void MainWindow::CreateControls() {
  for (const ControlLayout& layout : kControls) {
    if (!CreateWindowExW(layout.exStyle, layout.windowClass, ToWide(layout.design.text).c_str(),
                         WS_CHILD | WS_VISIBLE | layout.style, 0, 0, 0, 0, Handle(),
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), Instance(),
                         nullptr)) {
      throw WindowsRefused(layout.design.name);
    }
  }
  const auto self = reinterpret_cast<DWORD_PTR>(this);
  SetWindowSubclass(Control(kIdTxtCall), &ControlProc, 0, self);
  for (ControlId id : kClickable) SetWindowSubclass(Control(id), &ControlProc, 0, self);
}

void MainWindow::Layout() {
  UniqueFont font = MakeFont(PointsToPixels(design::kFontPoints), FW_NORMAL);
  UniqueFont titleFont = MakeFont(PointsToPixels(design::kTitlePoints), FW_BOLD);
  for (const ControlLayout& layout : kControls) {
    const HWND control = Control(layout.id);
    const PixelRect place = PlaceOf(layout.design, dpi_);
    SetWindowPos(control, nullptr, place.left, place.top, place.width, place.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(control, WM_SETFONT,
                 reinterpret_cast<WPARAM>(layout.id == kIdLabel1 ? titleFont.get() : font.get()),
                 TRUE);
  }
  // The controls let go of the previous fonts above; now they may go.
  font_ = std::move(font);
  titleFont_ = std::move(titleFont);

  // The client area as designed, with the frame as it measures around it now (it scales with
  // the monitor).
  RECT client{}, frame{};
  GetClientRect(Handle(), &client);
  GetWindowRect(Handle(), &frame);
  SetWindowPos(Handle(), nullptr, 0, 0,
               TwipsToPixels(kClientWidthTwips, dpi_) + (frame.right - frame.left) - client.right,
               TwipsToPixels(kClientHeightTwips, dpi_) + (frame.bottom - frame.top) - client.bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Long tips wrap instead of running across the screen.
  if (tooltips_) SendMessageW(tooltips_.get(), TTM_SETMAXTIPWIDTH, 0, MulDiv(320, dpi_, 96));
  core_.ApplyBillboardLook(billboardLook_);  // the billboard's font for this DPI
  InvalidateRect(Handle(), nullptr, TRUE);
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  dpi_ = dpi;
  SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  Layout();
}

void MainWindow::AddTooltips() {
  tooltips_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                  Instance(), nullptr));
  if (!tooltips_) return;  // the window works without them
  for (const ControlLayout& layout : kControls) {
    if (!layout.design.tooltip) continue;
    std::wstring text = ToWide(layout.design.tooltip);
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(Control(layout.id));
    tool.lpszText = text.data();  // copied by the tooltip control
    SendMessageW(tooltips_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void MainWindow::LoadIcons() {
  auto load = [](int size) {
    return UniqueIcon(static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(ZORVIK_ICON_MAIN),
                                                    IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
  };
  bigIcon_ = load(GetSystemMetrics(SM_CXICON));
  smallIcon_ = load(GetSystemMetrics(SM_CXSMICON));
  SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
  SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
}

void MainWindow::ShowCentred() {
  RECT work{}, window{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(Handle(), &window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  SetWindowPos(Handle(), nullptr, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(Handle(), SW_SHOW);
  UpdateWindow(Handle());
  SetForegroundWindow(Handle());
  SetFocus(ControlOf(NextTabStop(nullptr, true, nullptr)));
}

bool MainWindow::MoveFocusByTab(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB ||
      (msg.hwnd != Handle() && !IsChild(Handle(), msg.hwnd)) ||
      (GetKeyState(VK_CONTROL) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000)) {
    return false;
  }
  const HWND to = ControlOf(core_.NextTabStop(!(GetKeyState(VK_SHIFT) & 0x8000)));
  // As the dialog manager does: a text box entered with Tab has its text selected.
  if (SendMessageW(to, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(to, EM_SETSEL, 0, -1);
  SetFocus(to);
  return true;
}

bool MainWindow::HandleDialogKeys(MSG& msg) {
  return Handle() && (MoveFocusByTab(msg) || IsDialogMessageW(Handle(), &msg));
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_.reset(window);
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  return self->OnMessage(message, wParam, lParam);
}

LRESULT CALLBACK MainWindow::ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR /*subclassId*/, DWORD_PTR self) {
  if (message == WM_NCDESTROY) RemoveWindowSubclass(control, &ControlProc, 0);
  return reinterpret_cast<MainWindow*>(self)->OnControlMessage(control, message, wParam, lParam);
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND window = Handle();
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CTLCOLORSTATIC:
      return ColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_PAINT:
      Paint();
      return 0;
    case WM_SETCURSOR:
      if (core_.Busy()) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      OnActivate(wParam);
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_QUERYENDSESSION:
      // A logoff or shutdown waits for an action at work; Windows tells the user so.
      return core_.MayEnd() ? TRUE : FALSE;
    case WM_ENDSESSION:
      // The session really ends: DXKeeper hears "commandcomplete" before the process goes.
      if (wParam) core_.Unload();
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case kCheckFieldMessage:
      core_.FieldLeftByKey();
      return 0;
    case WM_NCDESTROY: {
      // The window is gone; window_ must not destroy it again.
      const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      (void)window_.release();
      return result;
    }
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void MainWindow::OnCommand(int id, int code) {
  switch (id) {
    case kIdCmdOk:
    case kIdHelp:
      if (code == BN_CLICKED) core_.ButtonClicked(*DesignOf(Control(static_cast<ControlId>(id))));
      break;
    case IDOK: {
      // Enter: presses the focused button, as in any Windows dialog; elsewhere it does nothing.
      const design::Control* const focus = DesignOf(GetFocus());
      if (focus && focus->kind == design::Kind::kButton) core_.ButtonClicked(*focus);
      break;
    }
    default:
      break;  // Esc (IDCANCEL) and the options' own notifications
  }
}

void MainWindow::OnActivate(WPARAM wParam) {
  const HWND window = Handle();
  if (LOWORD(wParam) == WA_INACTIVE) {
    // A box, a dialog or another program takes over: remember where the focus was.
    const HWND focus = GetFocus();
    if (focus && IsChild(window, focus)) focusBeforeDeactivation_ = focus;
    return;
  }
  if (core_.Busy()) return;
  if (focusBeforeDeactivation_ && IsChild(window, focusBeforeDeactivation_)) {
    SetFocus(focusBeforeDeactivation_);
  } else if (!IsChild(window, GetFocus())) {
    SetFocus(window);
  }
}

LRESULT MainWindow::OnControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  if (control == Control(kIdTxtCall)) return OnFieldMessage(message, wParam, lParam);
  switch (message) {
    case BM_CLICK: {
      // The arrow keys check an option by "clicking" it: a keyboard choice runs no hint.
      keyboardClick_ = true;
      const LRESULT result = DefSubclassProc(control, message, wParam, lParam);
      keyboardClick_ = false;
      return result;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      return OnPress(control, message, wParam, lParam);
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      return OnRelease(control, message, wParam, lParam);
    default:
      return DefSubclassProc(control, message, wParam, lParam);
  }
}

LRESULT MainWindow::OnFieldMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND field = Control(kIdTxtCall);
  switch (message) {
    case WM_LBUTTONDBLCLK:
      if (core_.FieldDoubleClicked()) return 0;
      break;
    case WM_KILLFOCUS: {
      // Only the user moving on inside the window counts: a box, the file dialog or another
      // program taking the focus is not leaving the field (checking then would pop boxes in a
      // loop), and a focus move made by a handler is the handler's own. No box may be shown
      // while the focus changes, so the check runs from a posted message, which Windows
      // retrieves before the next input.
      const auto to = reinterpret_cast<HWND>(wParam);
      if (core_.UserMovesFocus() && to && IsChild(Handle(), to)) {
        PostMessageW(Handle(), kCheckFieldMessage, 0, 0);
      }
      break;
    }
    default:
      break;
  }
  return DefSubclassProc(field, message, wParam, lParam);
}

LRESULT MainWindow::OnPress(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!keyboardClick_) {
    // The field's check runs completely before the left press that takes the focus from it; the
    // core then decides whether the press still reaches the control.
    if ((message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) &&
        GetFocus() == Control(kIdTxtCall)) {
      core_.FieldLeftByPress();
    }
    if (!core_.PressArrives(DesignOf(control))) return 0;
  }
  return DefSubclassProc(control, message, wParam, lParam);
}

LRESULT MainWindow::OnRelease(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  if (keyboardClick_) return DefSubclassProc(control, message, wParam, lParam);
  if (!core_.ReleaseArrives()) return 0;
  // The hint runs after the control has handled the release (an option is checked by then), so
  // Refresh's reselection of Add is the last word.
  const LRESULT result = DefSubclassProc(control, message, wParam, lParam);
  core_.ReleaseHandled(DesignOf(control));
  return result;
}

void MainWindow::Close() {
  // An action still at work finishes first; the user closes the window after it.
  if (!core_.Unload()) return;
  ShowWindow(Handle(), SW_HIDE);
  PostQuitMessage(0);
}

void MainWindow::Paint() {
  PaintScope paint(Handle());
  const HBRUSH ink = GetSysColorBrush(COLOR_WINDOWTEXT);
  for (const design::Line& line : design::kLines) {
    const PixelRect place = PlaceOf(line, dpi_);
    const RECT r{place.left, place.top, place.left + place.width, place.top + place.height};
    FillRect(paint.Get(), &r, ink);
  }
}

LRESULT MainWindow::ColourStatic(HDC dc, HWND control) {
  COLORREF colour = 0;
  switch (GetDlgCtrlID(control)) {
    case kIdLabel1:
      colour = Rgb(design::kTitleColour);
      break;
    case kIdMrkd:
    case kIdLabel6:
      colour = Rgb(design::kQueueColour);
      break;
    case kIdBillBoard:
      colour = RGB(billboardLook_.red, billboardLook_.green, billboardLook_.blue);
      break;
    default:
      return DefWindowProcW(Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                            reinterpret_cast<LPARAM>(control));
  }
  SetTextColor(dc, colour);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

HWND MainWindow::ControlOf(const design::Control& control) const {
  for (const ControlLayout& layout : kControls) {
    if (&layout.design == &control) return Control(layout.id);
  }
  return nullptr;
}

const design::Control* MainWindow::DesignOf(HWND control) const {
  if (!control || GetParent(control) != Handle()) return nullptr;
  const int id = GetDlgCtrlID(control);
  for (const ControlLayout& layout : kControls) {
    if (layout.id == id) return &layout.design;
  }
  return nullptr;
}

std::string MainWindow::ControlText(ControlId id) const {
  const HWND control = Control(id);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return ToUtf8(text);
}

}  // namespace zorvik::ui::win
