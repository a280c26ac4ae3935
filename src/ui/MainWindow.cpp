#include "ui/MainWindow.h"

#include <chrono>
#include <exception>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "core/DateText.h"
#include "core/FailureReport.h"
#include "ui/ActionHandlers.h"
#include "ui/OptionHints.h"
#include "ui/QtDialogs.h"
#include "ui/StartupShutdown.h"
#include "ui/Twips.h"
#include "ui/UiContext.h"

namespace zorvik::ui {
namespace {

// Reported for a failure that is not one of the program's own (a library's exception).
constexpr int kInternalError = 51;

// The window's design font is 8 pt; this is how far it may shrink to make every text fit.
constexpr double kLargestUiPoints = 8.0;
constexpr double kSmallestUiPoints = 6.5;

QColor Rgb(int r, int g, int b) {
  return QColor(r, g, b);
}

void SetTextColour(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  widget->setPalette(palette);
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Main"));
  // Fixed dialog-like window: a close button, no maximise or minimise.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setWindowTitle(QString::fromLatin1(kAppTitle));
  if (QScreen* s = screen()) dpi_ = s->logicalDotsPerInchY();
  BuildControls();
  ChooseUiFont();
  setFixedSize(Px(kClientWidthTwips), Px(kClientHeightTwips));
}

MainWindow::~MainWindow() {
  // Destroying the children moves the focus; no handler may run on a half-destroyed window.
  ctx_ = nullptr;
  for (QWidget* child : findChildren<QWidget*>()) child->removeEventFilter(this);
}

int MainWindow::Px(int twips) const {
  return TwipsToPixels(twips, dpi_);
}

void MainWindow::Place(QWidget* widget, int left, int top, int width, int height) {
  widget->setGeometry(Px(left), Px(top), Px(width), Px(height));
}

void MainWindow::PlaceLine(const char* name, int x1, int y1, int x2, int y2) {
  auto* line = new QFrame(this);
  line->setObjectName(QString::fromLatin1(name));
  line->setFrameShape(QFrame::NoFrame);
  line->setAutoFillBackground(true);
  QPalette palette = line->palette();
  palette.setColor(QPalette::Window, Qt::black);
  line->setPalette(palette);
  // A line is one pixel wide whatever the DPI: the design's default line width.
  line->setGeometry(Px(x1), Px(y1), std::max(Px(x2) - Px(x1), 1), std::max(Px(y2) - Px(y1), 1));
}

void MainWindow::BuildControls() {
  auto label = [this](const char* name, const char* text, QWidget* parent) {
    auto* l = new QLabel(QString::fromLatin1(text), parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextFormat(Qt::PlainText);
    return l;
  };

  label1_ = label("Label1", "Zorvik", this);
  label1_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  SetTextColour(label1_, Rgb(0, 0, 128));
  Place(label1_, 105, 0, 4305, 255);

  label3_ = label("Label3", "DataBase", this);
  label3_->setToolTip(QStringLiteral("Enter the call sign you want to use."));
  Place(label3_, 150, 285, 795, 255);

  mrkd_ = label("mrkd", "", this);
  mrkd_->setAlignment(Qt::AlignRight | Qt::AlignTop);
  SetTextColour(mrkd_, Rgb(128, 0, 0));
  Place(mrkd_, 2700, 300, 465, 240);

  label6_ = label("Label6", "QSO's in Queue", this);
  SetTextColour(label6_, Rgb(128, 0, 0));
  Place(label6_, 3225, 300, 1215, 240);

  txtCall_ = new QLineEdit(this);
  txtCall_->setObjectName(QStringLiteral("txtCall"));
  txtCall_->setToolTip(QStringLiteral(
      "Database to manipulate. Default is DXKeeper's last used. Double-click to select another."));
  Place(txtCall_, 135, 510, 4260, 285);

  billBoard_ = label("BillBoard", "", this);
  billBoard_->setWordWrap(true);
  billBoard_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  SetTextColour(billBoard_, Rgb(192, 0, 0));
  billBoard_->setToolTip(QStringLiteral("User messages are displayed here"));
  Place(billBoard_, 240, 975, 2520, 1935);

  grpAction_ = new QGroupBox(QStringLiteral("Action"), this);
  grpAction_->setObjectName(QStringLiteral("grpAction"));
  Place(grpAction_, 3000, 1050, 1320, 1305);

  auto option = [this](const char* name, const char* text, const char* tip) {
    auto* o = new QRadioButton(QString::fromLatin1(text), grpAction_);
    o->setObjectName(QString::fromLatin1(name));
    o->setToolTip(QString::fromLatin1(tip));
    return o;
  };
  optAdd_ = option("OptAdd", "Add",
                   "When checked, will add candidate QSO's to DXKeeper's QSL queue (see Help file "
                   "for more info).");
  Place(optAdd_, 105, 210, 1170, 540);
  optRefresh_ =
      option("OptRefresh", "Refresh", "When checked, will cause a refresh of the QSO count.");
  Place(optRefresh_, 105, 630, 1170, 330);
  optCleanLog_ = option("OptCleanLog", "Log Clean",
                        "When checked, will clean trash entries from the QSOs table's QSL_Sent and "
                        "QSL_Rcvd fields (see Help file for more info).");
  Place(optCleanLog_, 105, 945, 1170, 330);
  // The Add option's box is taller than its text, which sits centred vertically in it, as Qt
  // draws it. Later boxes overlap earlier ones, so raise them in reading order.
  optRefresh_->raise();
  optCleanLog_->raise();

  chkOps_ = new QCheckBox(QStringLiteral("Incl All Ops"), this);
  chkOps_->setObjectName(QStringLiteral("chkOps"));
  chkOps_->setToolTip(QStringLiteral(
      "When checked, will include all operators in this database (for explaination see Help "
      "file)"));
  Place(chkOps_, 3075, 2565, 1155, 330);

  label2_ = label("Label2", "From:", this);
  Place(label2_, 120, 2985, 495, 255);
  label4_ = label("Label4", "To:", this);
  Place(label4_, 1305, 2985, 615, 255);

  cmdOk_ = new QPushButton(QStringLiteral("OK"), this);
  cmdOk_->setObjectName(QStringLiteral("cmdOK"));
  Place(cmdOk_, 3000, 3105, 495, 345);
  help_ = new QPushButton(QStringLiteral("Help"), this);
  help_->setObjectName(QStringLiteral("Help"));
  Place(help_, 3720, 3105, 495, 330);

  auto dateField = [this](const char* name, const char* text, const char* tip) {
    auto* e = new QLineEdit(QString::fromLatin1(text), this);
    e->setObjectName(QString::fromLatin1(name));
    e->setToolTip(QString::fromLatin1(tip));
    // The fields are narrow: give the digits the room Qt's inner margins would take.
    e->setTextMargins(0, 0, 0, 0);
    return e;
  };
  fDate_ = dateField("fDate", "1/1/1900", "QSO start date");
  Place(fDate_, 120, 3195, 975, 285);
  tDate_ = dateField("tDate", "12/31/2015", "QSO stop date");
  Place(tDate_, 1305, 3195, 975, 285);

  txtCall_->setTextMargins(0, 0, 0, 0);

  PlaceLine("Line1", 150, 900, 2865, 900);
  PlaceLine("Line2", 2850, 900, 2850, 2925);
  PlaceLine("Line3", 150, 900, 150, 2925);
  PlaceLine("Line4", 150, 2925, 2865, 2925);

  // Tab order by the design's tab indexes (labels and the frame take no focus).
  setTabOrder(help_, txtCall_);
  setTabOrder(txtCall_, optAdd_);
  setTabOrder(optAdd_, cmdOk_);
  setTabOrder(cmdOk_, chkOps_);
  setTabOrder(chkOps_, fDate_);
  setTabOrder(fDate_, tDate_);
  setTabOrder(tDate_, optRefresh_);
  setTabOrder(optRefresh_, optCleanLog_);

  // Every press in the window passes the filter, so a press that a refused check voids is caught
  // whichever control it falls on.
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);

  connect(cmdOk_, &QPushButton::clicked, this, [this] { RunHandler(CmdOkClick); });
  connect(help_, &QPushButton::clicked, this, [this] { RunHandler(HelpClick); });
}

bool MainWindow::AllTextsFit() const {
  auto fitsLabel = [](const QLabel* l) {
    const QFontMetrics fm(l->font());
    return fm.horizontalAdvance(l->text()) <= l->width() && fm.height() <= l->height();
  };
  auto fitsButton = [](const QAbstractButton* b, int extraWidth) {
    const QFontMetrics fm(b->font());
    return fm.horizontalAdvance(b->text()) + extraWidth <= b->width() && fm.height() <= b->height();
  };
  auto fitsIndicatorButton = [](const QAbstractButton* b) {
    return b->sizeHint().width() <= b->width() && QFontMetrics(b->font()).height() <= b->height();
  };
  auto fitsField = [](const QLineEdit* e, const QString& widest) {
    const QFontMetrics fm(e->font());
    // Two pixels of frame and one of cursor room on each side.
    return fm.horizontalAdvance(widest) + 6 <= e->width() && fm.height() + 2 <= e->height();
  };
  // The widest date the stop field shows: two-digit day and month, four-digit year.
  const QString widestDate = QString::fromStdString(
      FormatShortDate(std::chrono::year(2028) / std::chrono::December / std::chrono::day(28)));
  const QString designDate = QStringLiteral("12/31/2015");
  const QString widest = QFontMetrics(tDate_->font()).horizontalAdvance(widestDate) >
                                 QFontMetrics(tDate_->font()).horizontalAdvance(designDate)
                             ? widestDate
                             : designDate;
  const QFontMetrics groupFm(grpAction_->font());
  return fitsLabel(label1_) && fitsLabel(label3_) && fitsLabel(label6_) && fitsLabel(label2_) &&
         fitsLabel(label4_) &&
         QFontMetrics(mrkd_->font()).horizontalAdvance(QStringLiteral("32767")) <= mrkd_->width() &&
         fitsButton(cmdOk_, 8) && fitsButton(help_, 8) && fitsIndicatorButton(optAdd_) &&
         fitsIndicatorButton(optRefresh_) && fitsIndicatorButton(optCleanLog_) &&
         fitsIndicatorButton(chkOps_) && fitsField(fDate_, widest) && fitsField(tDate_, widest) &&
         groupFm.horizontalAdvance(grpAction_->title()) + 16 <= grpAction_->width();
}

void MainWindow::ChooseUiFont() {
  QFont base = QApplication::font();
  for (double points = kLargestUiPoints; points >= kSmallestUiPoints; points -= 0.25) {
    uiPointSize_ = points;
    QFont f = base;
    f.setPointSizeF(points);
    setFont(f);
    QFont title = f;
    title.setPointSizeF(12.0 * points / 8.0);
    title.setBold(true);
    label1_->setFont(title);
    if (AllTextsFit()) break;
  }
  ApplyBillboardLook({.centred = true, .pointSize = 8, .red = 192, .green = 0, .blue = 0});
}

void MainWindow::Attach(UiContext& ctx) {
  ctx_ = &ctx;
}

void MainWindow::CentreOnScreen() {
  QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!s) return;
  QRect frame = frameGeometry();
  frame.moveCenter(s->availableGeometry().center());
  move(frame.topLeft());
}

void MainWindow::RunHandler(const Handler& handler) {
  // Once the window is closed the program is done: nothing more runs.
  if (!ctx_ || unloaded_) return;
  // Only a nested event loop (a box or the file dialog a handler shows) could bring another
  // request now, and those are modal to this window; should one still come, it waits its turn.
  if (inHandler_) {
    queued_.push_back(handler);
    return;
  }
  inHandler_ = true;
  RunReported(handler);
  while (!queued_.empty() && ctx_ && !unloaded_) {
    const Handler next = std::move(queued_.front());
    queued_.pop_front();
    RunReported(next);
  }
  queued_.clear();
  inHandler_ = false;
}

void MainWindow::RunReported(const Handler& handler) {
  try {
    handler(*ctx_);
  } catch (const Failure& failure) {
    ReportFailure(ctx_->host.dialogs, failure);
  } catch (const std::exception& e) {
    ReportFailure(ctx_->host.dialogs, Failure(kInternalError, e.what()));
  }
}

void MainWindow::DeliverNow(QObject* receiver, QEvent* event) {
  QEvent* const outer = delivering_;
  delivering_ = event;
  QCoreApplication::sendEvent(receiver, event);
  delivering_ = outer;
}

MainWindow::Hint MainWindow::HintFor(const QObject* control) const {
  if (control == chkOps_) return ChkOpsMouseUp;
  if (control == optAdd_) return OptAddMouseUp;
  if (control == optCleanLog_) return OptCleanLogMouseUp;
  if (control == optRefresh_) return OptRefreshMouseUp;
  return nullptr;
}

bool MainWindow::LeaveDatabaseField(QFocusEvent* event) {
  const Qt::FocusReason reason = event->reason();
  // Only the user moving on inside the window counts: a box, a menu or another program taking
  // the focus is not, and checking then would pop boxes in a loop. Nor is a move a handler makes
  // itself (OK after a good check, the window disabled while an action works): the check has
  // just run, or the handler decides where the focus goes.
  if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || !ctx_ ||
      unloaded_ || inHandler_) {
    return false;
  }
  // Qt has already given the focus to the control the user moved to, but the press or key that
  // moved it has not reached that control yet. The field finishes losing the focus, then the
  // check runs to its end, all before that.
  DeliverNow(txtCall_, event);
  RunHandler(TxtCallLostFocus);
  // A refused check has put the focus back into the field: the press that took it away must not
  // select, hint or run anything.
  if (reason == Qt::MouseFocusReason && focusWidget() == txtCall_) swallowPress_ = true;
  return true;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event == delivering_) return false;
  switch (event->type()) {
    case QEvent::FocusOut:
      if (watched == txtCall_) return LeaveDatabaseField(static_cast<QFocusEvent*>(event));
      break;
    case QEvent::MouseButtonDblClick:
      if (watched == txtCall_) {
        RunHandler(TxtCallDblClick);
        return true;
      }
      // Elsewhere it stands for the second press of a double-click, and is one.
      [[fallthrough]];
    case QEvent::MouseButtonPress:
      // A release that never came (a box took the pointer) voids nothing beyond the next press.
      swallowRelease_ = swallowPress_;
      if (swallowPress_) {
        swallowPress_ = false;
        event->accept();
        return true;
      }
      break;
    case QEvent::MouseButtonRelease:
      if (swallowRelease_) {
        swallowRelease_ = false;
        event->accept();
        return true;
      }
      // The hint runs for any button released on the control that took the press, right after
      // the control has handled the release: Refresh's reselection of Add is the last word.
      if (const Hint hint = HintFor(watched)) {
        DeliverNow(watched, event);
        RunHandler(hint);
        event->accept();
        return true;
      }
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!unloaded_ && ctx_) {
    unloaded_ = true;
    FormUnload(*ctx_);
  }
  event->accept();
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!shownOnce_) {
    shownOnce_ = true;
    // The first control in tab order (Help) takes the focus; not the database field, whose check
    // would otherwise run on the user's first click elsewhere.
    help_->setFocus(Qt::OtherFocusReason);
  }
}

std::string MainWindow::DatabaseFieldText() const {
  return txtCall_->text().toStdString();
}
std::string MainWindow::StartDateText() const {
  return fDate_->text().toStdString();
}
std::string MainWindow::StopDateText() const {
  return tDate_->text().toStdString();
}
bool MainWindow::IncludeAllOperators() const {
  return chkOps_->isChecked();
}

void MainWindow::SetCaption(const std::string& caption) {
  setWindowTitle(QString::fromStdString(caption));
}

void MainWindow::SetBillboard(const std::string& text) {
  billBoard_->setText(DisplayText(text));
  FitBillboardFont();
}

void MainWindow::SetQueueCountText(const std::string& text) {
  mrkd_->setText(QString::fromStdString(text));
}

void MainWindow::SelectAdd() {
  optAdd_->setChecked(true);
}
void MainWindow::FocusOk() {
  cmdOk_->setFocus(Qt::OtherFocusReason);
}

void MainWindow::BeginBusy() {
  if (busyDepth_++ == 0) {
    // Disabling the window takes the focus from its control; EndBusy gives it back.
    focusBeforeBusy_ = focusWidget();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setEnabled(false);
  }
}

void MainWindow::EndBusy() {
  if (busyDepth_ > 0 && --busyDepth_ == 0) {
    setEnabled(true);
    QApplication::restoreOverrideCursor();
    // Space and Enter work again on the control the user left (OK after an Add started with OK).
    if (focusBeforeBusy_ && !focusWidget()) focusBeforeBusy_->setFocus(Qt::OtherFocusReason);
    focusBeforeBusy_ = nullptr;
  }
}

void MainWindow::SetDatabaseFieldText(const std::string& text) {
  txtCall_->setText(QString::fromStdString(text));
}

void MainWindow::SetStopDateText(const std::string& text) {
  tDate_->setText(QString::fromStdString(text));
}

void MainWindow::FocusDatabaseField() {
  txtCall_->setFocus(Qt::OtherFocusReason);
}

Action MainWindow::SelectedAction() const {
  if (optAdd_->isChecked()) return Action::kAdd;
  if (optCleanLog_->isChecked()) return Action::kCleanLog;
  if (optRefresh_->isChecked()) return Action::kRefresh;
  return Action::kNone;
}

void MainWindow::ApplyBillboardLook(const BillboardLook& look) {
  billboardLook_ = look;
  billBoard_->setAlignment((look.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
  SetTextColour(billBoard_, Rgb(look.red, look.green, look.blue));
  FitBillboardFont();
}

void MainWindow::FitBillboardFont() {
  // The style's size, mapped like every other font; a message that would not fit the framed area
  // at that size is drawn a little smaller rather than cut off.
  constexpr double kSmallestBillboardPoints = 5.5;
  QFont f = billBoard_->font();
  double points = billboardLook_.pointSize * uiPointSize_ / 8.0;
  for (;; points -= 0.25) {
    f.setPointSizeF(points);
    billBoard_->setFont(f);
    if (points <= kSmallestBillboardPoints ||
        billBoard_->heightForWidth(billBoard_->width()) <= billBoard_->height()) {
      break;
    }
  }
}

}  // namespace zorvik::ui
