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
#include <QTimer>

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

// The original's default font was 8 pt; this is how far it may shrink to make every text fit.
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
  txtCall_->removeEventFilter(this);
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
  // A line is one pixel wide whatever the DPI, as the original's default line width was.
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
    o->installEventFilter(this);
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
  // The Add option's box is taller than its text; the original centred the text vertically, and
  // so does Qt. Later boxes overlap earlier ones, so raise them in reading order.
  optRefresh_->raise();
  optCleanLog_->raise();

  chkOps_ = new QCheckBox(QStringLiteral("Incl All Ops"), this);
  chkOps_->setObjectName(QStringLiteral("chkOps"));
  chkOps_->setToolTip(QStringLiteral(
      "When checked, will include all operators in this database (for explaination see Help "
      "file)"));
  chkOps_->installEventFilter(this);
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
  txtCall_->installEventFilter(this);

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

void MainWindow::RunHandler(const std::function<void(UiContext&)>& handler) {
  // A queued event may arrive after the window was closed; the program is done by then.
  if (!ctx_ || inHandler_ || unloaded_) return;
  inHandler_ = true;
  try {
    handler(*ctx_);
  } catch (const Failure& failure) {
    ReportFailure(ctx_->host.dialogs, failure);
  } catch (const std::exception& e) {
    ReportFailure(ctx_->host.dialogs, Failure(kInternalError, e.what()));
  }
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
