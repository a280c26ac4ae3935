#include "ui/MainWindow.h"

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
#include <QTimer>

#include "core/DateText.h"
#include "ui/ActionHandlers.h"
#include "ui/FormDesign.h"
#include "ui/OptionHints.h"
#include "ui/QtDialogs.h"
#include "ui/RunReported.h"
#include "ui/StartupShutdown.h"
#include "ui/Twips.h"
#include "ui/UiContext.h"

namespace zorvik::ui {
namespace {

// The original's default font was 8 pt; this is how far it may shrink to make every text fit.
constexpr double kLargestUiPoints = 8.0;
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
  txtCall_->removeEventFilter(this);
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
  // A line is one pixel wide whatever the DPI, as the design's default line width was.
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
    o->installEventFilter(this);
    Place(o, design);
    return o;
  };
  optAdd_ = option(design::kOptAdd);
  optRefresh_ = option(design::kOptRefresh);
  optCleanLog_ = option(design::kOptCleanLog);
  // The Add option's box is taller than its text; the design centred the text vertically, and
  // so does Qt. Later boxes overlap earlier ones, so raise them in reading order.
  optRefresh_->raise();
  optCleanLog_->raise();

  chkOps_ = new QCheckBox(QString::fromLatin1(design::kChkOps.text), this);
  chkOps_->installEventFilter(this);
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
  txtCall_->installEventFilter(this);

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

void MainWindow::RunHandler(const std::function<void(UiContext&)>& handler) {
  // A queued event may arrive after the window was closed; the program is done by then.
  if (!ctx_ || inHandler_ || unloaded_) return;
  inHandler_ = true;
  RunReported(*ctx_, handler);
  inHandler_ = false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtCall_) {
    if (event->type() == QEvent::MouseButtonDblClick) {
      RunHandler(TxtCallDblClick);
      return true;
    }
    if (event->type() == QEvent::FocusOut) {
      const auto reason = static_cast<QFocusEvent*>(event)->reason();
      // Only leaving the field inside the window counts: a box, a menu or another program taking
      // the focus is not the user moving on, and checking then would pop boxes in a loop.
      const bool leftInsideWindow =
          reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !unloaded_;
      if (leftInsideWindow && !inHandler_) {
        // After the field has handled its own focus change.
        QTimer::singleShot(0, this, [this] { RunHandler(TxtCallLostFocus); });
      }
    }
    return QWidget::eventFilter(watched, event);
  }
  if (event->type() == QEvent::MouseButtonRelease && !inHandler_) {
    // The hint runs after the button has taken the click, so Refresh's reselection of Add is
    // the last word.
    void (*hint)(UiContext&) = nullptr;
    if (watched == chkOps_) hint = ChkOpsMouseUp;
    if (watched == optAdd_) hint = OptAddMouseUp;
    if (watched == optCleanLog_) hint = OptCleanLogMouseUp;
    if (watched == optRefresh_) hint = OptRefreshMouseUp;
    if (hint) QTimer::singleShot(0, this, [this, hint] { RunHandler(hint); });
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
    // The first control in tab order takes the focus, as the original's did; not the database
    // field, whose check would otherwise run on the user's first click elsewhere.
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
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setEnabled(false);
  }
}

void MainWindow::EndBusy() {
  if (busyDepth_ > 0 && --busyDepth_ == 0) {
    setEnabled(true);
    QApplication::restoreOverrideCursor();
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
