#include "ui/qt/MainWindow.h"

#include <chrono>

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
#include "ui/ActionHandlers.h"
#include "ui/FormDesign.h"
#include "ui/OptionHints.h"
#include "ui/RunReported.h"
#include "ui/StartupShutdown.h"
#include "ui/Twips.h"
#include "ui/UiContext.h"
#include "ui/qt/QtDialogs.h"

namespace zorvik::ui {
namespace {

// How far the window's design font may shrink to make every text fit.
constexpr double kSmallestUiPoints = 6.5;

QColor Rgb(const design::Colour& colour) {
  return QColor(colour.red, colour.green, colour.blue);
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

void MainWindow::Place(QWidget* widget, const design::Control& design) {
  widget->setObjectName(QString::fromLatin1(design.name));
  if (design.tooltip) widget->setToolTip(QString::fromLatin1(design.tooltip));
  const TwipsRect& r = design.rect;
  widget->setGeometry(Px(r.left), Px(r.top), Px(r.width), Px(r.height));
}

void MainWindow::PlaceLine(const design::Line& design) {
  auto* line = new QFrame(this);
  line->setObjectName(QString::fromLatin1(design.name));
  line->setFrameShape(QFrame::NoFrame);
  line->setAutoFillBackground(true);
  QPalette palette = line->palette();
  palette.setColor(QPalette::Window, Qt::black);
  line->setPalette(palette);
  // A line is one pixel wide whatever the DPI: the design's default line width.
  const int left = Px(design.x1), top = Px(design.y1);
  line->setGeometry(left, top, std::max(Px(design.x2) - left, 1), std::max(Px(design.y2) - top, 1));
}

void MainWindow::BuildControls() {
  auto label = [this](const design::Control& design, QWidget* parent) {
    auto* l = new QLabel(QString::fromLatin1(design.text), parent);
    l->setTextFormat(Qt::PlainText);
    Place(l, design);
    return l;
  };

  label1_ = label(design::kLabel1, this);
  label1_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  SetTextColour(label1_, Rgb(design::kTitleColour));

  label3_ = label(design::kLabel3, this);

  mrkd_ = label(design::kMrkd, this);
  mrkd_->setAlignment(Qt::AlignRight | Qt::AlignTop);
  SetTextColour(mrkd_, Rgb(design::kQueueColour));

  label6_ = label(design::kLabel6, this);
  SetTextColour(label6_, Rgb(design::kQueueColour));

  txtCall_ = new QLineEdit(this);
  Place(txtCall_, design::kTxtCall);

  billBoard_ = label(design::kBillBoard, this);
  billBoard_->setWordWrap(true);
  billBoard_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

  grpAction_ = new QGroupBox(QString::fromLatin1(design::kGrpAction.text), this);
  Place(grpAction_, design::kGrpAction);

  auto option = [this](const design::Control& design) {
    auto* o = new QRadioButton(QString::fromLatin1(design.text), grpAction_);
    Place(o, design);
    return o;
  };
  optAdd_ = option(design::kOptAdd);
  optRefresh_ = option(design::kOptRefresh);
  optCleanLog_ = option(design::kOptCleanLog);
  // The Add option's box is taller than its text, which sits centred vertically in it, as Qt
  // draws it. Later boxes overlap earlier ones, so raise them in reading order.
  optRefresh_->raise();
  optCleanLog_->raise();

  chkOps_ = new QCheckBox(QString::fromLatin1(design::kChkOps.text), this);
  Place(chkOps_, design::kChkOps);

  label2_ = label(design::kLabel2, this);
  label4_ = label(design::kLabel4, this);

  cmdOk_ = new QPushButton(QString::fromLatin1(design::kCmdOk.text), this);
  Place(cmdOk_, design::kCmdOk);
  help_ = new QPushButton(QString::fromLatin1(design::kHelp.text), this);
  Place(help_, design::kHelp);

  auto dateField = [this](const design::Control& design) {
    auto* e = new QLineEdit(QString::fromLatin1(design.text), this);
    // The fields are narrow: give the digits the room Qt's inner margins would take.
    e->setTextMargins(0, 0, 0, 0);
    Place(e, design);
    return e;
  };
  fDate_ = dateField(design::kFDate);
  tDate_ = dateField(design::kTDate);

  txtCall_->setTextMargins(0, 0, 0, 0);

  for (const design::Line& line : design::kLines) PlaceLine(line);

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
  const QString designDate = QString::fromUtf8(design::kTDate.text);
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
  for (double points = design::kFontPoints; points >= kSmallestUiPoints; points -= 0.25) {
    uiPointSize_ = points;
    QFont f = base;
    f.setPointSizeF(points);
    setFont(f);
    QFont title = f;
    title.setPointSizeF(points * design::kTitlePoints / design::kFontPoints);
    title.setBold(true);
    label1_->setFont(title);
    if (AllTextsFit()) break;
  }
  ApplyBillboardLook(design::kBillboardLook);
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
  RunReported(*ctx_, handler);
  while (!queued_.empty() && ctx_ && !unloaded_) {
    const Handler next = std::move(queued_.front());
    queued_.pop_front();
    RunReported(*ctx_, next);
  }
  queued_.clear();
  inHandler_ = false;
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
  SetTextColour(billBoard_, QColor(look.red, look.green, look.blue));
  FitBillboardFont();
}

void MainWindow::FitBillboardFont() {
  // The style's size, mapped like every other font; a message that would not fit the framed area
  // at that size is drawn a little smaller rather than cut off.
  constexpr double kSmallestBillboardPoints = 5.5;
  QFont f = billBoard_->font();
  double points = billboardLook_.pointSize * uiPointSize_ / design::kFontPoints;
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
