#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "ui/ProgramWiring.h"
#include "ui/WindowCore.h"
#include "ui/win/ControlIds.h"
#include "ui/win/Handles.h"

namespace zorvik::ui::win {

// The window `Main` in plain Win32: fixed size, centred, every control placed from the design's
// twips at the DPI of the monitor it is on (laid out again when it moves to a monitor at another
// scale), in "MS Sans Serif" 8 pt. Only Win32's part lives here; the form the handlers see, the
// event order, busy and unload are the shared WindowCore's (Form()), which this window serves as
// its toolkit.
//
// How Win32 keeps the event order (docs/event-order.md): a press on a button or option while the
// database field has the focus reaches the control's subclass before the control moves the focus,
// so the core runs the field's check there and decides whether the press goes on. A key that moves
// the focus (Tab) runs the check from a message posted when the field loses the focus, which
// Windows retrieves before the next input. Focus moves made by the handlers themselves, and the
// focus going to a box, a dialog or another program, are not the user leaving the field. The
// options' hints run after the option has handled the button's release. Tab follows the core's
// order; the arrow keys move inside the Action frame as in any dialog. Input that waits while an
// action works is taken from the queue and dropped while the window is still disabled.
//
// Single-threaded: every method must be called on the thread that created the window.
class MainWindow final : public StartupWindow {
 public:
  // Creates the window, hidden. Throws Failure when Windows refuses the window or a control.
  MainWindow();
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Routes the controls' events to the handlers of `ctx`, which must outlive the window.
  void Attach(UiContext& ctx) { core_.Attach(ctx); }

  // The form the handlers and the log operations work on.
  WindowCore& Form() { return core_; }

  // StartupWindow: centres the window on the work area, shows it in front and gives the focus to
  // Help, the first control in tab order (not the database field, whose check would otherwise
  // run on the user's first click elsewhere).
  void ShowCentred() override;
  // StartupWindow: after it the window runs no handler, Form_Unload included.
  void StopHandlers() override { core_.Detach(); }

  // Lets the window handle the dialog keys of `msg` (Tab, Shift+Tab, Enter, Space, the arrows in
  // the Action frame). True when it did; the message must then not be dispatched.
  bool HandleDialogKeys(MSG& msg);

  HWND Handle() const { return window_.get(); }
  HWND Control(ControlId id) const { return GetDlgItem(window_.get(), id); }
  HWND Tooltips() const { return tooltips_.get(); }
  // The DPI the layout and the fonts were converted with.
  int Dpi() const { return dpi_; }

 private:
  // The window as the core's toolkit (MainWindow.cpp).
  class Toolkit;

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR subclassId, DWORD_PTR self);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnFieldMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnPress(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnRelease(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

  void CreateControls();
  // Places every control and sizes the client area from the twips at dpi_, with fonts to match.
  void Layout();
  void AddTooltips();
  void LoadIcons();
  UniqueFont MakeFont(int pixelHeight, int weight) const;
  int PointsToPixels(double points) const;
  void Paint();
  LRESULT ColourStatic(HDC dc, HWND control);
  std::string ControlText(ControlId id) const;
  HWND ControlOf(const design::Control& control) const;
  // The design entry of a control of this window; null for anything else.
  const design::Control* DesignOf(HWND control) const;
  void OnCommand(int id, int code);
  void OnActivate(WPARAM wParam);
  void OnDpiChanged(int dpi, const RECT& suggested);
  // Tab or Shift+Tab: the focus moves where the core says. True when `msg` was one.
  bool MoveFocusByTab(const MSG& msg);
  void Close();

  std::unique_ptr<Toolkit> toolkit_;
  WindowCore core_;
  int dpi_ = 96;
  BillboardLook billboardLook_ = design::kBillboardLook;
  HWND focusBeforeDeactivation_ = nullptr;
  // Set while an option is clicked from the keyboard (arrows): no hint, no check.
  bool keyboardClick_ = false;

  UniqueFont font_;
  UniqueFont titleFont_;
  UniqueFont billboardFont_;
  UniqueIcon bigIcon_;
  UniqueIcon smallIcon_;
  UniqueWindow window_;    // destroyed before the fonts and icons it uses
  UniqueWindow tooltips_;  // owned by window_; destroyed first
};

}  // namespace zorvik::ui::win
