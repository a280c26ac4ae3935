#include "ui/WindowCore.h"

#include <utility>

#include "ui/ActionHandlers.h"
#include "ui/OptionHints.h"
#include "ui/RunReported.h"
#include "ui/StartupShutdown.h"
#include "ui/UiContext.h"
#include "ui/WindowLayout.h"

namespace zorvik::ui {
namespace {

// A message that does not fit the billboard at its style's size is drawn smaller, in these steps
// and down to this size (the design's points), rather than cut off.
constexpr double kBillboardStep = 0.25;
constexpr double kSmallestBillboardPoints = 6.0;

using Handler = void (*)(UiContext&);

Handler HintOf(const design::Control& control) {
  if (&control == &design::kChkOps) return ChkOpsMouseUp;
  if (&control == &design::kOptAdd) return OptAddMouseUp;
  if (&control == &design::kOptCleanLog) return OptCleanLogMouseUp;
  if (&control == &design::kOptRefresh) return OptRefreshMouseUp;
  return nullptr;
}

}  // namespace

void WindowCore::Run(Handler handler) {
  if (!Routing()) return;
  // Only a nested event loop (a box or the file dialog a handler shows) can bring a request now;
  // should one come, it waits its turn.
  if (inHandler_) {
    queued_.push_back(handler);
    return;
  }
  inHandler_ = true;
  RunReported(*ctx_, handler);
  while (!queued_.empty() && Routing()) {
    const Handler next = queued_.front();
    queued_.pop_front();
    RunReported(*ctx_, next);
  }
  queued_.clear();
  inHandler_ = false;
}

void WindowCore::ButtonClicked(const design::Control& button) {
  if (!TakesInput()) return;
  if (&button == &design::kCmdOk) Run(CmdOkClick);
  if (&button == &design::kHelp) Run(HelpClick);
}

bool WindowCore::FieldDoubleClicked() {
  if (!Routing()) return false;
  if (TakesInput()) Run(TxtCallDblClick);
  return true;
}

bool WindowCore::UserMovesFocus() const {
  return TakesInput() && !inHandler_;
}

void WindowCore::FieldLeftByKey() {
  if (UserMovesFocus()) Run(TxtCallLostFocus);
}

void WindowCore::FieldLeftByPress() {
  if (!UserMovesFocus()) return;
  Run(TxtCallLostFocus);
  // A refused check has put the focus back into the field: the press that took it away must not
  // select, hint or run anything, nor its release. A passing check whose box took the release
  // leaves a press without one: handed on, it would leave its control pressed and holding the
  // mouse.
  if (toolkit_.FocusedControl() == &design::kTxtCall) {
    nextPress_ = NextPress::kVoidWithRelease;
  } else if (!toolkit_.MouseButtonDown()) {
    nextPress_ = NextPress::kVoid;
  }
}

bool WindowCore::PressArrives(const design::Control* control) {
  const NextPress next = std::exchange(nextPress_, NextPress::kHandOn);
  // A release that never came (a box took it) voids nothing beyond this press.
  voidRelease_ = next == NextPress::kVoidWithRelease;
  if (next != NextPress::kHandOn || Busy()) {
    pressedOn_ = nullptr;
    return false;
  }
  pressedOn_ = control;
  return true;
}

bool WindowCore::ReleaseArrives() {
  return !std::exchange(voidRelease_, false) && !Busy();
}

void WindowCore::ReleaseHandled(const design::Control* control) {
  const design::Control* const pressed = std::exchange(pressedOn_, nullptr);
  if (!control || control != pressed || !TakesInput()) return;
  if (const Handler hint = HintOf(*control)) Run(hint);
}

const design::Control& WindowCore::NextTabStop(bool forward) const {
  const design::Control* selected = nullptr;
  for (const design::Control* option : design::kOptions) {
    if (toolkit_.IsChecked(*option)) selected = option;
  }
  return ui::NextTabStop(toolkit_.FocusedControl(), forward, selected);
}

bool WindowCore::Unload() {
  // An action still at work finishes first; the window closes after it.
  if (!MayEnd()) return false;
  if (Routing()) {
    unloaded_ = true;
    FormUnload(*ctx_);
  }
  return true;
}

void WindowCore::BeginBusy() {
  if (busyDepth_++ > 0) return;
  focusBeforeBusy_ = toolkit_.FocusedControl();
  focusAskedWhileBusy_ = nullptr;
  toolkit_.ShowBusy(true);
}

void WindowCore::EndBusy() {
  if (busyDepth_ == 0) return;
  if (busyDepth_ > 1) {
    --busyDepth_;
    return;
  }
  // Still busy while the input that came meanwhile is read: all of it is dropped. The user
  // clicked or typed at a window that took no input, and the action is done now: a second Add,
  // or a choice made blind, is not what anyone meant.
  toolkit_.DiscardWaitingInput();
  busyDepth_ = 0;
  toolkit_.ShowBusy(false);
  // Disabling the window took the focus from its control: it goes back there (OK after an Add
  // started with OK, so Space and Enter work at once), or where a handler asked for it meanwhile.
  const design::Control* const asked = std::exchange(focusAskedWhileBusy_, nullptr);
  const design::Control* const before = std::exchange(focusBeforeBusy_, nullptr);
  if (asked) {
    toolkit_.Focus(*asked);
  } else if (before && !toolkit_.FocusedControl()) {
    toolkit_.Focus(*before);
  }
}

void WindowCore::MoveFocus(const design::Control& control) {
  if (busyDepth_ > 0) {
    focusAskedWhileBusy_ = &control;
  } else {
    toolkit_.Focus(control);
  }
}

void WindowCore::FitBillboard() {
  for (double points = look_.pointSize;; points -= kBillboardStep) {
    if (toolkit_.SetBillboardPoints(points) || points <= kSmallestBillboardPoints) return;
  }
}

std::string WindowCore::DatabaseFieldText() const {
  return toolkit_.Text(design::kTxtCall);
}
std::string WindowCore::StartDateText() const {
  return toolkit_.Text(design::kFDate);
}
std::string WindowCore::StopDateText() const {
  return toolkit_.Text(design::kTDate);
}
bool WindowCore::IncludeAllOperators() const {
  return toolkit_.IsChecked(design::kChkOps);
}

void WindowCore::SetCaption(const std::string& caption) {
  toolkit_.SetCaption(caption);
}

void WindowCore::SetBillboard(const std::string& text) {
  toolkit_.SetText(design::kBillBoard, text);
  FitBillboard();
}

void WindowCore::SetQueueCountText(const std::string& text) {
  toolkit_.SetText(design::kMrkd, text);
}

void WindowCore::SelectAdd() {
  toolkit_.CheckOption(design::kOptAdd);
}

void WindowCore::FocusOk() {
  MoveFocus(design::kCmdOk);
}

void WindowCore::SetDatabaseFieldText(const std::string& text) {
  toolkit_.SetText(design::kTxtCall, text);
}

void WindowCore::SetStopDateText(const std::string& text) {
  toolkit_.SetText(design::kTDate, text);
}

void WindowCore::FocusDatabaseField() {
  MoveFocus(design::kTxtCall);
}

Action WindowCore::SelectedAction() const {
  if (toolkit_.IsChecked(design::kOptAdd)) return Action::kAdd;
  if (toolkit_.IsChecked(design::kOptCleanLog)) return Action::kCleanLog;
  if (toolkit_.IsChecked(design::kOptRefresh)) return Action::kRefresh;
  return Action::kNone;
}

void WindowCore::ApplyBillboardLook(const BillboardLook& look) {
  look_ = look;
  toolkit_.SetBillboardLook(look);
  FitBillboard();
}

}  // namespace zorvik::ui
