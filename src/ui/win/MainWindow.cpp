#include "ui/win/MainWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "core/Failure.h"
#include "host/win/WideText.h"
#include "ui/ActionHandlers.h"
#include "ui/FormDesign.h"
#include "ui/OptionHints.h"
#include "ui/RunReported.h"
#include "ui/StartupShutdown.h"
#include "ui/Twips.h"
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

// A message that would not fit the billboard at its style's size is drawn smaller, down to this.
constexpr int kSmallestBillboardPoints = 6;

struct ControlLayout {
  ControlId id;
  const design::Control& design;
  const wchar_t* windowClass;
  DWORD style;  // beyond WS_CHILD | WS_VISIBLE
  DWORD exStyle = 0;
  bool inFrame = false;                    // placed relative to grpAction
  const design::Control* below = nullptr;  // the option under this one in the frame
};

// Creation order is the tab order (Help, the field, the Action frame, OK, Incl All Ops, the two
// dates) and the order of the arrow keys inside the frame. Of the three options only the checked
// one is a tab stop: the button control moves WS_TABSTOP itself when an option is checked. The
// frame follows its options, so that it lies below them and ends their group; the labels take
// no focus.
const ControlLayout kControls[] = {
    {kIdHelp, design::kHelp, WC_BUTTONW, WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON},
    {kIdTxtCall, design::kTxtCall, WC_EDITW, WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL,
     WS_EX_CLIENTEDGE},
    {kIdOptAdd, design::kOptAdd, WC_BUTTONW, WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON, 0, true,
     &design::kOptRefresh},
    {kIdOptRefresh, design::kOptRefresh, WC_BUTTONW, BS_AUTORADIOBUTTON, 0, true,
     &design::kOptCleanLog},
    {kIdOptCleanLog, design::kOptCleanLog, WC_BUTTONW, BS_AUTORADIOBUTTON, 0, true},
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

MainWindow::MainWindow() {
  static const bool registered = (RegisterWindowClass(&WindowProc), true);
  (void)registered;
  {
    WindowDc screen(nullptr);
    dpi_ = GetDeviceCaps(screen.Get(), LOGPIXELSY);
  }
  font_ = MakeFont(PointsToPixels(design::kFontPoints), FW_NORMAL);
  titleFont_ = MakeFont(PointsToPixels(design::kTitlePoints), FW_BOLD);

  RECT frame{0, 0, Px(kClientWidthTwips), Px(kClientHeightTwips)};
  AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
  // WM_NCCREATE hands the handle to window_; a failed creation takes it back (WM_NCDESTROY).
  if (!CreateWindowExW(0, kWindowClass, ToWide(kAppTitle).c_str(), kWindowStyle, CW_USEDEFAULT,
                       CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                       nullptr, Instance(), this)) {
    throw WindowsRefused("the window");
  }
  CreateControls();
  AddTooltips();
  LoadIcons();
  ApplyBillboardLook(design::kBillboardLook);
}

MainWindow::~MainWindow() {
  // Destroying the controls moves the focus; no handler may run on a half-destroyed window.
  ctx_ = nullptr;
}

int MainWindow::PointsToPixels(int points) const {
  return MulDiv(points, dpi_, 72);
}

int MainWindow::Px(int twips) const {
  return TwipsToPixels(twips, dpi_);
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
    const TwipsRect& rect = layout.design.rect;
    int left = Px(rect.left);
    int top = Px(rect.top);
    int height = Px(rect.height);
    if (layout.below) {
      // The Add option's box reaches into Refresh's, Refresh's into Log Clean's. Windows paints
      // each box in full, so an overlapping box would wipe the top of the option below whenever
      // it is redrawn, and would take the clicks on it. The box gives up the overlap at both
      // ends instead: it ends where the next one starts, and its text stays centred where the
      // form puts it.
      const int nextTop = layout.below->rect.top;
      const int overlap = rect.top + rect.height - nextTop;
      if (overlap > 0) {
        top = Px(rect.top + overlap);
        height = Px(nextTop) - top;
      }
    }
    if (layout.inFrame) {
      left += Px(design::kGrpAction.rect.left);
      top += Px(design::kGrpAction.rect.top);
    }
    const HWND control = CreateWindowExW(
        layout.exStyle, layout.windowClass, ToWide(layout.design.text).c_str(),
        WS_CHILD | WS_VISIBLE | layout.style, left, top, Px(rect.width), height, Handle(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), Instance(), nullptr);
    if (!control) throw WindowsRefused(layout.design.name);
    const HFONT font = layout.id == kIdLabel1 ? titleFont_.get() : font_.get();
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  const auto self = reinterpret_cast<DWORD_PTR>(this);
  SetWindowSubclass(Control(kIdTxtCall), &ControlProc, 0, self);
  for (ControlId id : kClickable) SetWindowSubclass(Control(id), &ControlProc, 0, self);
}

void MainWindow::AddTooltips() {
  tooltips_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                  Instance(), nullptr));
  if (!tooltips_) return;  // the window works without them
  // Long tips wrap instead of running across the screen.
  SendMessageW(tooltips_.get(), TTM_SETMAXTIPWIDTH, 0, MulDiv(320, dpi_, 96));
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
  SetFocus(Control(kIdHelp));
}

bool MainWindow::HandleDialogKeys(MSG& msg) {
  return Handle() && IsDialogMessageW(Handle(), &msg);
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
      if (busyDepth_ > 0) {
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
    case kCheckFieldMessage:
      RunHandler(TxtCallLostFocus);
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
      if (code == BN_CLICKED) RunHandler(CmdOkClick);
      break;
    case kIdHelp:
      if (code == BN_CLICKED) RunHandler(HelpClick);
      break;
    case IDOK: {
      // Enter: presses the focused button, as in any Windows dialog; elsewhere it does nothing.
      const HWND focus = GetFocus();
      if (focus == Control(kIdCmdOk)) RunHandler(CmdOkClick);
      if (focus == Control(kIdHelp)) RunHandler(HelpClick);
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
  if (busyDepth_ == 0 && focusBeforeDeactivation_ && IsChild(window, focusBeforeDeactivation_)) {
    SetFocus(focusBeforeDeactivation_);
  } else if (busyDepth_ == 0 && !IsChild(window, GetFocus())) {
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
      if (Routing()) {
        RunHandler(TxtCallDblClick);
        return 0;
      }
      break;
    case WM_KILLFOCUS: {
      // Only the user moving on inside the window counts: a box, the file dialog or another
      // program taking the focus is not leaving the field (checking then would pop boxes in a
      // loop), and a focus move made by a handler is the handler's own. No box may be shown
      // while the focus changes, so the check runs from a posted message, which Windows
      // retrieves before the next input.
      const auto to = reinterpret_cast<HWND>(wParam);
      if (Routing() && !inHandler_ && to && IsChild(Handle(), to)) {
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
  swallowRelease_ = nullptr;
  const HWND field = Control(kIdTxtCall);
  if (!keyboardClick_ && Routing() && !inHandler_ && GetFocus() == field) {
    // The field's check runs completely before the press that takes the focus from it. When it
    // moved the focus on (to OK) the control then takes the press; when it kept the focus in the
    // field (it showed a box), the press and its release are swallowed: no action, no hint.
    RunHandler(TxtCallLostFocus);
    if (GetFocus() == field) {
      swallowRelease_ = control;
      return 0;
    }
  }
  return DefSubclassProc(control, message, wParam, lParam);
}

LRESULT MainWindow::OnRelease(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONUP && control == swallowRelease_) {
    swallowRelease_ = nullptr;
    return 0;
  }
  // The hint runs after the control has handled the release (an option is checked by then), so
  // Refresh's reselection of Add is the last word.
  const LRESULT result = DefSubclassProc(control, message, wParam, lParam);
  if (Handler hint = HintOf(control); hint && !keyboardClick_) RunHandler(hint);
  return result;
}

MainWindow::Handler MainWindow::HintOf(HWND control) const {
  switch (GetDlgCtrlID(control)) {
    case kIdChkOps:
      return ChkOpsMouseUp;
    case kIdOptAdd:
      return OptAddMouseUp;
    case kIdOptCleanLog:
      return OptCleanLogMouseUp;
    case kIdOptRefresh:
      return OptRefreshMouseUp;
    default:
      return nullptr;
  }
}

void MainWindow::RunHandler(Handler handler) {
  if (!Routing()) return;
  if (inHandler_) {
    // Nothing of the window's own asks while a handler runs (the window takes no input then);
    // should a nested message loop (a box, the file dialog) deliver something anyway, it runs
    // right after the running handler, never dropped.
    pending_.push_back(handler);
    return;
  }
  inHandler_ = true;
  RunReported(*ctx_, handler);
  while (!pending_.empty() && Routing()) {
    const Handler next = pending_.front();
    pending_.erase(pending_.begin());
    RunReported(*ctx_, next);
  }
  pending_.clear();
  inHandler_ = false;
}

void MainWindow::Close() {
  // An action still at work finishes first; the user closes the window after it.
  if (inHandler_ || busyDepth_ > 0) return;
  if (ctx_ && !unloaded_) {
    unloaded_ = true;
    FormUnload(*ctx_);
  }
  ShowWindow(Handle(), SW_HIDE);
  PostQuitMessage(0);
}

void MainWindow::Paint() {
  PaintScope paint(Handle());
  const HBRUSH ink = GetSysColorBrush(COLOR_WINDOWTEXT);
  for (const design::Line& line : design::kLines) {
    const int left = Px(line.x1);
    const int top = Px(line.y1);
    const RECT r{left, top, left + std::max(Px(line.x2) - left, 1),
                 top + std::max(Px(line.y2) - top, 1)};
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

void MainWindow::FitBillboardFont() {
  const HWND billboard = Control(kIdBillBoard);
  RECT area{};
  GetClientRect(billboard, &area);
  const std::wstring text = ToWide(ControlText(kIdBillBoard));
  const UINT format = DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX |
                      (billboardLook_.centred ? DT_CENTER : DT_LEFT);
  WindowDc dc(billboard);
  const int smallest = PointsToPixels(kSmallestBillboardPoints);
  for (int height = PointsToPixels(billboardLook_.pointSize);; --height) {
    UniqueFont font = MakeFont(height, FW_NORMAL);
    RECT needed = area;
    {
      SelectedObject selected(dc.Get(), font.get());
      DrawTextW(dc.Get(), text.c_str(), -1, &needed, format);
    }
    if (needed.bottom <= area.bottom || height <= smallest) {
      SendMessageW(billboard, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
      billboardFont_ = std::move(font);  // the previous font goes once the label let go of it
      return;
    }
  }
}

std::string MainWindow::ControlText(ControlId id) const {
  const HWND control = Control(id);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return ToUtf8(text);
}

void MainWindow::SetControlText(ControlId id, const std::string& text) {
  SetWindowTextW(Control(id), ToWide(text).c_str());
}

std::string MainWindow::DatabaseFieldText() const {
  return ControlText(kIdTxtCall);
}
std::string MainWindow::StartDateText() const {
  return ControlText(kIdFDate);
}
std::string MainWindow::StopDateText() const {
  return ControlText(kIdTDate);
}
bool MainWindow::IncludeAllOperators() const {
  return IsDlgButtonChecked(Handle(), kIdChkOps) == BST_CHECKED;
}

void MainWindow::SetCaption(const std::string& caption) {
  SetWindowTextW(Handle(), ToWide(caption).c_str());
}

void MainWindow::SetBillboard(const std::string& text) {
  SetControlText(kIdBillBoard, text);
  FitBillboardFont();
}

void MainWindow::SetQueueCountText(const std::string& text) {
  SetControlText(kIdMrkd, text);
}

void MainWindow::SelectAdd() {
  CheckRadioButton(Handle(), kIdOptAdd, kIdOptCleanLog, kIdOptAdd);
}

void MainWindow::FocusOk() {
  SetFocus(Control(kIdCmdOk));
}

void MainWindow::BeginBusy() {
  if (busyDepth_++ == 0) {
    // Disabling the window takes the focus away; it comes back where it was.
    focusBeforeBusy_ = GetFocus();
    EnableWindow(Handle(), FALSE);
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  }
}

void MainWindow::EndBusy() {
  if (busyDepth_ > 0 && --busyDepth_ == 0) {
    EnableWindow(Handle(), TRUE);
    if (focusBeforeBusy_ && IsChild(Handle(), focusBeforeBusy_)) SetFocus(focusBeforeBusy_);
    focusBeforeBusy_ = nullptr;
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  }
}

void MainWindow::SetDatabaseFieldText(const std::string& text) {
  SetControlText(kIdTxtCall, text);
}

void MainWindow::SetStopDateText(const std::string& text) {
  SetControlText(kIdTDate, text);
}

void MainWindow::FocusDatabaseField() {
  SetFocus(Control(kIdTxtCall));
}

Action MainWindow::SelectedAction() const {
  if (IsDlgButtonChecked(Handle(), kIdOptAdd) == BST_CHECKED) return Action::kAdd;
  if (IsDlgButtonChecked(Handle(), kIdOptCleanLog) == BST_CHECKED) return Action::kCleanLog;
  if (IsDlgButtonChecked(Handle(), kIdOptRefresh) == BST_CHECKED) return Action::kRefresh;
  return Action::kNone;
}

void MainWindow::ApplyBillboardLook(const BillboardLook& look) {
  billboardLook_ = look;
  const HWND billboard = Control(kIdBillBoard);
  const LONG_PTR style = GetWindowLongPtrW(billboard, GWL_STYLE) & ~LONG_PTR{SS_TYPEMASK};
  SetWindowLongPtrW(billboard, GWL_STYLE, style | (look.centred ? SS_CENTER : SS_LEFT));
  FitBillboardFont();
  InvalidateRect(billboard, nullptr, TRUE);
}

}  // namespace zorvik::ui::win
