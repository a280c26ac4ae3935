#pragma once

#include <memory>
#include <utility>
#include <vector>

#include <QWidget>

#include "ui/WindowCore.h"

class QCheckBox;
class QFocusEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zorvik::ui {

struct UiContext;
namespace design {
struct Line;
}  // namespace design

// The window `Main` in Qt: fixed size, centred, every control placed from the design's twips and
// named as in the design (txtCall, BillBoard, OptAdd, ...) so tests and accessibility tools find
// it. Only Qt's part lives here; the form the handlers see, the event order, busy and unload are
// the shared WindowCore's (Form()), which this window serves as its toolkit.
//
// How Qt keeps the event order (docs/event-order.md): Qt moves the focus on a press before it
// delivers the press, and counts the new control as the focus widget when the field receives its
// FocusOut. The event filter (on every control) hands that FocusOut to the field first, then lets
// the core run the check; the press reaches its control afterwards only if the core hands it on.
// A release is delivered to its control by the filter itself, then the core runs the hint. Tab
// moves the focus where the core says. Input that waits while an action works reaches the window
// while it is still disabled, so Qt drops it.
class MainWindow : public QWidget {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  // Routes the controls' events to the handlers of `ctx`, which must outlive the window.
  void Attach(UiContext& ctx) { core_.Attach(ctx); }
  // Stops routing events: after it the window runs no handler, Form_Unload included.
  void Detach() { core_.Detach(); }

  // The form the handlers and the log operations work on.
  WindowCore& Form() { return core_; }

  // Centres the window on its screen; call before show().
  void CentreOnScreen();

  // The point size the window maps its design font's 8 pt to: the largest that lets every fixed
  // text fit its control with the fonts installed here.
  double UiPointSize() const { return uiPointSize_; }

  // True when every fixed text (labels, buttons, options, the widest date) fits its control at the
  // current font.
  bool AllTextsFit() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  // The window as the core's toolkit (MainWindow.cpp).
  class Toolkit;

  void BuildControls();
  void ChooseUiFont();
  // Names the widget, gives it its tooltip and places it, all as designed.
  void Place(QWidget* widget, const design::Control& design);
  void PlaceLine(const design::Line& design);
  QWidget* WidgetOf(const design::Control& control) const;
  // The design entry of a control of this window; null for anything else.
  const design::Control* DesignOf(const QObject* object) const;
  // The control a press or release on `object` is for: one that takes the focus. Labels and the
  // frame are not: a press one of them ignores goes on to the window, and is no control's.
  const design::Control* ClickTarget(const QObject* object) const;
  // Hands `event` to `receiver` at once, past this filter, so the control has handled it before
  // the caller goes on.
  void DeliverNow(QObject* receiver, QEvent* event);
  // The database field is losing the focus: the core runs the check when the user moves on. True
  // when the event was handled here.
  bool LeaveDatabaseField(QFocusEvent* event);

  std::unique_ptr<Toolkit> toolkit_;
  WindowCore core_;
  double dpi_ = 96.0;
  double uiPointSize_ = 8.0;
  QEvent* delivering_ = nullptr;  // passed on by DeliverNow, not filtered again
  bool shownOnce_ = false;
  std::vector<std::pair<const design::Control*, QWidget*>> controls_;

  QLabel* label1_ = nullptr;
  QLabel* label3_ = nullptr;
  QLabel* mrkd_ = nullptr;
  QLabel* label6_ = nullptr;
  QLineEdit* txtCall_ = nullptr;
  QLabel* billBoard_ = nullptr;
  QGroupBox* grpAction_ = nullptr;
  QRadioButton* optAdd_ = nullptr;
  QRadioButton* optRefresh_ = nullptr;
  QRadioButton* optCleanLog_ = nullptr;
  QCheckBox* chkOps_ = nullptr;
  QLabel* label2_ = nullptr;
  QLabel* label4_ = nullptr;
  QPushButton* cmdOk_ = nullptr;
  QPushButton* help_ = nullptr;
  QLineEdit* fDate_ = nullptr;
  QLineEdit* tDate_ = nullptr;
};

}  // namespace zorvik::ui
