#pragma once

#include <deque>
#include <functional>
#include <string>

#include <QPointer>
#include <QWidget>

#include "ui/MainForm.h"

class QCheckBox;
class QFocusEvent;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zorvik::ui {

struct UiContext;
namespace design {
struct Control;
struct Line;
}  // namespace design

// The window `Main`: fixed size, centred, every control placed from its twips rectangle and named
// as in the design (txtCall, BillBoard, OptAdd, ...) so tests and accessibility tools find it.
// It implements MainForm for the handlers and routes the user's events to them once Attach()
// has given it their context.
//
// Event order (docs/event-order.md): every handler runs synchronously inside the Qt event that
// causes it. Leaving the database field runs its check before the press or key that moved the
// focus reaches its control; a refused check swallows that press and its release. A hint runs
// right after its control has handled the release. A handler asked for while another runs is
// queued behind it, never dropped.
class MainWindow : public QWidget, public MainForm {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  // Routes the controls' events to the handlers of `ctx`, which must outlive the window.
  void Attach(UiContext& ctx);
  // Stops routing events: after it the window runs no handler, Form_Unload included.
  void Detach() { ctx_ = nullptr; }

  // Centres the window on its screen; call before show().
  void CentreOnScreen();

  // The point size the window maps its design font's 8 pt to: the largest that lets every fixed
  // text fit its control with the fonts installed here.
  double UiPointSize() const { return uiPointSize_; }

  // True when every fixed text (labels, buttons, options, the widest date) fits its control at the
  // current font.
  bool AllTextsFit() const;

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

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  void FitBillboardFont();
  void ChooseUiFont();
  // Names the widget, gives it its tooltip and places it, all as designed.
  void Place(QWidget* widget, const design::Control& design);
  void PlaceLine(const design::Line& design);
  int Px(int twips) const;
  using Handler = std::function<void(UiContext&)>;
  // Runs a handler now, or after the running one (and any queued before it) when one is running.
  // A failure that escapes it is reported, never left to end the program. Nothing runs once the
  // window is detached or unloaded.
  void RunHandler(const Handler& handler);
  // Hands `event` to `receiver` at once, past this filter, so the control has handled it before
  // the caller goes on.
  void DeliverNow(QObject* receiver, QEvent* event);
  // The database field is losing the focus: runs the check when the user moves on. True when the
  // event was handled here.
  bool LeaveDatabaseField(QFocusEvent* event);
  // The option hint for a release on `control`, or null.
  using Hint = void (*)(UiContext&);
  Hint HintFor(const QObject* control) const;

  UiContext* ctx_ = nullptr;
  double dpi_ = 96.0;
  double uiPointSize_ = 8.0;
  BillboardLook billboardLook_;
  bool inHandler_ = false;
  std::deque<Handler> queued_;
  QEvent* delivering_ = nullptr;  // passed on by DeliverNow, not filtered again
  bool swallowPress_ = false;     // a refused check keeps the field: the press that left it is void
  bool swallowRelease_ = false;   // ... and so is that press's release
  QPointer<QWidget> focusBeforeBusy_;
  bool unloaded_ = false;
  bool shownOnce_ = false;
  int busyDepth_ = 0;

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
