#pragma once

#include <deque>
#include <string>

#include "ui/FormDesign.h"
#include "ui/MainForm.h"

namespace zorvik::ui {

struct UiContext;

// What a window's toolkit does for WindowCore: plain reads and writes of its controls, each named
// by its design entry, and what only the toolkit can do (the busy look, dropping input that
// waits, the mouse button's state, fitting the billboard's text). The Qt window and the Win32
// window implement it; tests use a fake.
class WindowToolkit {
 public:
  virtual ~WindowToolkit() = default;

  virtual std::string Text(const design::Control& control) const = 0;
  // Lines break with "\r\n" (a lone "\r" too); the toolkit shows them as its controls need.
  virtual void SetText(const design::Control& control, const std::string& text) = 0;
  virtual bool IsChecked(const design::Control& control) const = 0;
  // Checks one option of the Action frame; the others go off.
  virtual void CheckOption(const design::Control& option) = 0;
  virtual void SetCaption(const std::string& caption) = 0;

  // The control that has the focus (or gets it back when the window is active again); null when
  // none of the window's controls has it.
  virtual const design::Control* FocusedControl() const = 0;
  virtual void Focus(const design::Control& control) = 0;

  // True while a mouse button is down as far as the input the window has taken so far tells: a
  // release still waiting to be read leaves it down, one a box's message loop took does not.
  virtual bool MouseButtonDown() const = 0;

  // Busy: the window takes no input and shows the wait cursor; not busy: back to normal.
  virtual void ShowBusy(bool busy) = 0;
  // Reads every click and key that waits for the window and drops it. Called while the window
  // still takes no input.
  virtual void DiscardWaitingInput() = 0;

  // The billboard's alignment and colour.
  virtual void SetBillboardLook(const BillboardLook& look) = 0;
  // Gives the billboard its font at `points` (the design's points, which the toolkit maps to its
  // own); true when the whole text fits the billboard at that size.
  virtual bool SetBillboardPoints(double points) = 0;
};

// The window `Main` apart from its toolkit: what the Qt window and the Win32 window would
// otherwise each write. It is the MainForm the handlers see (over the toolkit's controls), and it
// turns the window's events into handler runs in the order of docs/event-order.md:
//
//  - Handlers run one at a time; one asked for while another runs waits and runs after it. After
//    the window has been unloaded, or detached, none runs.
//  - A busy action (Add, Log Clean, Refresh) makes the window take no input; clicks and keys that
//    came meanwhile are dropped when it ends, and the focus goes back where it was (or where a
//    handler asked for it meanwhile).
//  - Leaving the database field runs its check before the press or key that left it reaches its
//    control. The press is void when the check kept the focus in the field (with its release), or
//    when the button is no longer down (a box of the check took the release): handed on then, it
//    would leave its control pressed.
//  - An option's hint runs once its control has handled the release of a press it took.
//
// Single-threaded: every call on the window's thread.
class WindowCore final : public MainForm {
 public:
  explicit WindowCore(WindowToolkit& toolkit) : toolkit_(toolkit) {}
  WindowCore(const WindowCore&) = delete;
  WindowCore& operator=(const WindowCore&) = delete;

  // Routes the window's events to the handlers of `ctx`, which must outlive the core.
  void Attach(UiContext& ctx) { ctx_ = &ctx; }
  // From now on no handler runs, Form_Unload included (the program ends at once).
  void Detach() { ctx_ = nullptr; }

  // True while an action works (the window takes no input).
  bool Busy() const { return busyDepth_ > 0; }

  // The user clicked OK or Help (with the mouse, Space or Enter).
  void ButtonClicked(const design::Control& button);
  // A double-click in the database field. False when nothing is routed (the toolkit handles it).
  bool FieldDoubleClicked();

  // True when a focus move out of the database field now is the user's: not one a handler makes,
  // nor one while the window takes no input.
  bool UserMovesFocus() const;
  // The user moved the focus from the database field to another control of the window with a key:
  // the field's check runs now.
  void FieldLeftByKey();
  // The same with a press that has not reached its control yet: the check runs now, and decides
  // whether that press is handed on (PressArrives).
  void FieldLeftByPress();

  // A mouse button went down on `control` (null: none of the designed controls). False: the press
  // is void and must not reach the control.
  bool PressArrives(const design::Control* control);
  // A mouse button came up. False: the release belongs to a void press and must not reach its
  // control.
  bool ReleaseArrives();
  // `control` has handled a release: an option's or Incl All Ops' hint runs when the press was its
  // own.
  void ReleaseHandled(const design::Control* control);

  // Where Tab (forward) or Shift+Tab moves the focus from the control that has it.
  const design::Control& NextTabStop(bool forward) const;

  // True when nothing works now, so the window may close and the session may end.
  bool MayEnd() const { return !inHandler_ && busyDepth_ == 0; }
  // Form_Unload, once. False (the window must stay) while a handler or an action works.
  bool Unload();

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
  // What becomes of the next press after the field's check.
  enum class NextPress { kHandOn, kVoid, kVoidWithRelease };

  bool Routing() const { return ctx_ != nullptr && !unloaded_; }
  bool TakesInput() const { return Routing() && busyDepth_ == 0; }
  // Runs `handler` now, or after the running one (and those queued before it).
  void Run(Handler handler);
  // A handler moves the focus: at once, or when the busy action ends.
  void MoveFocus(const design::Control& control);
  // The billboard at its style's size, smaller when the text would not fit.
  void FitBillboard();

  WindowToolkit& toolkit_;
  UiContext* ctx_ = nullptr;
  bool unloaded_ = false;
  bool inHandler_ = false;
  std::deque<Handler> queued_;
  int busyDepth_ = 0;
  const design::Control* focusBeforeBusy_ = nullptr;
  const design::Control* focusAskedWhileBusy_ = nullptr;
  NextPress nextPress_ = NextPress::kHandOn;
  bool voidRelease_ = false;
  const design::Control* pressedOn_ = nullptr;
  BillboardLook look_ = design::kBillboardLook;
};

}  // namespace zorvik::ui
