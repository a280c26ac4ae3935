#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/MainForm.h"
#include "ui/ProgramWiring.h"
#include "ui/UiContext.h"
#include "ui/win/ControlIds.h"
#include "ui/win/Handles.h"

namespace zorvik::ui::win {

// The window `Main` in plain Win32: fixed size, centred, every control placed from the design's
// twips at the system DPI, in "MS Sans Serif" 8 pt. It implements MainForm for the handlers and
// routes the user's events to them once Attach() has given it their context.
//
// Event order: leaving the database field runs its check completely before the event that moved
// the focus. A press on a button or option while the field has the focus runs the check first;
// when the check keeps the focus in the field (it showed a box), the press and its release are
// swallowed. Keyboard moves (Tab) run the check from a message posted when the field loses the
// focus, which Windows retrieves before the next input. Focus moves made by the handlers
// themselves, and the focus going to a box, a dialog or another program, are not the user leaving
// the field. The options' hints run after the option has handled the button's release.
//
// Single-threaded: every method must be called on the thread that created the window.
class MainWindow final : public MainForm, public StartupWindow {
 public:
  // Creates the window, hidden. Throws Failure when Windows refuses the window or a control.
  MainWindow();
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Routes the controls' events to the handlers of `ctx`, which must outlive the window.
  void Attach(UiContext& ctx) { ctx_ = &ctx; }

  // StartupWindow: centres the window on the work area, shows it in front and gives the focus to
  // Help, the first control in tab order (not the database field, whose check would otherwise
  // run on the user's first click elsewhere).
  void ShowCentred() override;
  // StartupWindow: after it the window runs no handler, Form_Unload included.
  void StopHandlers() override { ctx_ = nullptr; }

  // Lets the window handle the dialog keys of `msg` (Tab, Shift+Tab, Enter, Space, the arrows in
  // the Action frame). True when it did; the message must then not be dispatched.
  bool HandleDialogKeys(MSG& msg);

  HWND Handle() const { return window_.get(); }
  HWND Control(ControlId id) const { return GetDlgItem(window_.get(), id); }
  HWND Tooltips() const { return tooltips_.get(); }
  // The DPI the layout and the fonts were converted with.
  int Dpi() const { return dpi_; }

  // MainView
  std::string DatabaseFieldText() const override;
  std::string StartDateText() const override;
  std::string StopDateText() const override;
  bool IncludeAllOperators() const override;
  void SetCaption(const std::string& caption) override;
  void SetBillboard(const std::string& text) override;
  void SetQueueCountText(const std::string& text) override;
  void SelectAdd() override;
  void FocusOk() override;
  void BeginBusy() override;
  void EndBusy() override;

  // MainForm
  void SetDatabaseFieldText(const std::string& text) override;
  void SetStopDateText(const std::string& text) override;
  void FocusDatabaseField() override;
  Action SelectedAction() const override;
  void ApplyBillboardLook(const BillboardLook& look) override;

 private:
  using Handler = void (*)(UiContext&);

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR subclassId, DWORD_PTR self);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnFieldMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnPress(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnRelease(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

  void CreateControls();
  void AddTooltips();
  void LoadIcons();
  UniqueFont MakeFont(int pixelHeight, int weight) const;
  int PointsToPixels(int points) const;
  int Px(int twips) const;
  void Paint();
  LRESULT ColourStatic(HDC dc, HWND control);
  void FitBillboardFont();
  void SetControlText(ControlId id, const std::string& text);
  std::string ControlText(ControlId id) const;
  Handler HintOf(HWND control) const;
  // True while the handlers may run: attached, not closed.
  bool Routing() const { return ctx_ != nullptr && !unloaded_; }
  // Runs a handler now, or right after the running one (never dropped); a failure that escapes it
  // is reported, never left to end the program.
  void RunHandler(Handler handler);
  void OnCommand(int id, int code);
  void OnActivate(WPARAM wParam);
  void Close();

  UiContext* ctx_ = nullptr;
  int dpi_ = 96;
  BillboardLook billboardLook_;
  bool inHandler_ = false;
  bool unloaded_ = false;
  int busyDepth_ = 0;
  HWND focusBeforeBusy_ = nullptr;
  HWND focusBeforeDeactivation_ = nullptr;
  // The control whose press was swallowed: its release is swallowed too.
  HWND swallowRelease_ = nullptr;
  // Set while an option is clicked from the keyboard (arrows): no hint, no check.
  bool keyboardClick_ = false;
  // Handlers asked for while another one ran, oldest first.
  std::vector<Handler> pending_;

  UniqueFont font_;
  UniqueFont titleFont_;
  UniqueFont billboardFont_;
  UniqueIcon bigIcon_;
  UniqueIcon smallIcon_;
  UniqueWindow window_;    // destroyed before the fonts and icons it uses
  UniqueWindow tooltips_;  // owned by window_; destroyed first
};

}  // namespace zorvik::ui::win
