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
#include <QSessionManager>

#include "core/DateText.h"
#include "core/ZorvikMod.h"
#include "ui/FormDesign.h"
#include "ui/Twips.h"
#include "ui/WindowLayout.h"
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

QRect ToQRect(const PixelRect& r) {
  return QRect(r.left, r.top, r.width, r.height);
}

}  // namespace

// The window as the core's toolkit: the controls by their design entries, Qt's busy look and
// input, the billboard's font.
class MainWindow::Toolkit final : public WindowToolkit {
 public:
  explicit Toolkit(MainWindow& window) : window_(window) {}

  std::string Text(const design::Control& control) const override {
    QWidget* const widget = window_.WidgetOf(control);
    if (const auto* field = qobject_cast<const QLineEdit*>(widget)) {
      return field->text().toStdString();
    }
    const auto* label = qobject_cast<const QLabel*>(widget);
    return label ? label->text().toStdString() : std::string();
  }
  void SetText(const design::Control& control, const std::string& text) override {
    QWidget* const widget = window_.WidgetOf(control);
    if (auto* field = qobject_cast<QLineEdit*>(widget)) {
      field->setText(QString::fromStdString(text));
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
      label->setText(DisplayText(text));
    }
  }
  bool IsChecked(const design::Control& control) const override {
    const auto* button = qobject_cast<const QAbstractButton*>(window_.WidgetOf(control));
    return button && button->isChecked();
  }
  void CheckOption(const design::Control& option) override {
    if (auto* button = qobject_cast<QRadioButton*>(window_.WidgetOf(option))) {
      button->setChecked(true);
    }
  }
  void SetCaption(const std::string& caption) override {
    window_.setWindowTitle(QString::fromStdString(caption));
  }

  const design::Control* FocusedControl() const override {
    return window_.DesignOf(window_.focusWidget());
  }
  void Focus(const design::Control& control) override {
    if (QWidget* widget = window_.WidgetOf(control)) widget->setFocus(Qt::OtherFocusReason);
  }
  bool MouseButtonDown() const override { return QGuiApplication::mouseButtons() != Qt::NoButton; }

  void ShowBusy(bool busy) override {
    if (busy) {
      QApplication::setOverrideCursor(Qt::WaitCursor);
      window_.setEnabled(false);
    } else {
      window_.setEnabled(true);
      QApplication::restoreOverrideCursor();
    }
  }
  void DiscardWaitingInput() override {
    // The window is still disabled: Qt hands what waits (the window system's events read
    // meanwhile included) to disabled controls, which drop it.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
  }

  void SetBillboardLook(const BillboardLook& look) override {
    QLabel* const billboard = window_.billBoard_;
    billboard->setAlignment((look.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    SetTextColour(billboard, QColor(look.red, look.green, look.blue));
  }
  bool SetBillboardPoints(double points) override {
    // Mapped like every other font of the window.
    QLabel* const billboard = window_.billBoard_;
    QFont font = billboard->font();
    font.setPointSizeF(points * window_.uiPointSize_ / design::kFontPoints);
    billboard->setFont(font);
    return billboard->heightForWidth(billboard->width()) <= billboard->height();
  }

 private:
  MainWindow& window_;
};

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent), toolkit_(std::make_unique<Toolkit>(*this)), core_(*toolkit_) {
  setObjectName(QStringLiteral("Main"));
  // Fixed dialog-like window: a close button, no maximise or minimise.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setWindowTitle(QString::fromLatin1(kAppTitle));
  if (QScreen* s = screen()) dpi_ = s->logicalDotsPerInchY();
  BuildControls();
  ChooseUiFont();
  setFixedSize(TwipsToPixels(kClientWidthTwips, dpi_), TwipsToPixels(kClientHeightTwips, dpi_));
#ifndef QT_NO_SESSIONMANAGER
  // A logoff or shutdown: the window closes as if the user closed it, so DXKeeper hears
  // "commandcomplete" before the session ends (unless an action is still at work).
  connect(qGuiApp, &QGuiApplication::commitDataRequest, this,
          [this](QSessionManager&) { close(); });
#endif
}

MainWindow::~MainWindow() {
  // Destroying the children moves the focus; no handler may run on a half-destroyed window.
  core_.Detach();
  for (QWidget* child : findChildren<QWidget*>()) child->removeEventFilter(this);
}

void MainWindow::Place(QWidget* widget, const design::Control& design) {
  widget->setObjectName(QString::fromLatin1(design.name));
  if (design.tooltip) widget->setToolTip(QString::fromLatin1(design.tooltip));
  QRect place = ToQRect(PlaceOf(design, dpi_));
  // The options are children of the frame: placed relative to it.
  if (design.kind == design::Kind::kOption) {
    place.translate(-ToQRect(PlaceOf(design::kGrpAction, dpi_)).topLeft());
  }
  widget->setGeometry(place);
  controls_.emplace_back(&design, widget);
}

void MainWindow::PlaceLine(const design::Line& design) {
  auto* line = new QFrame(this);
  line->setObjectName(QString::fromLatin1(design.name));
  line->setFrameShape(QFrame::NoFrame);
  line->setAutoFillBackground(true);
  QPalette palette = line->palette();
  palette.setColor(QPalette::Window, Qt::black);
  line->setPalette(palette);
  line->setGeometry(ToQRect(PlaceOf(design, dpi_)));
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

  // Each option's text sits centred in its box, as Qt draws it.
  auto option = [this](const design::Control& design) {
    auto* o = new QRadioButton(QString::fromLatin1(design.text), grpAction_);
    Place(o, design);
    return o;
  };
  optAdd_ = option(design::kOptAdd);
  optRefresh_ = option(design::kOptRefresh);
  optCleanLog_ = option(design::kOptCleanLog);

  chkOps_ = new QCheckBox(QString::fromLatin1(design::kChkOps.text), this);
  Place(chkOps_, design::kChkOps);

  label2_ = label(design::kLabel2, this);
  label4_ = label(design::kLabel4, this);

  // Enter runs the command button that has the focus, as Space does.
  auto button = [this](const design::Control& design) {
    auto* b = new QPushButton(QString::fromLatin1(design.text), this);
    b->setAutoDefault(true);
    Place(b, design);
    connect(b, &QPushButton::clicked, this,
            [this, button = &design] { core_.ButtonClicked(*button); });
    return b;
  };
  cmdOk_ = button(design::kCmdOk);
  help_ = button(design::kHelp);

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

  // Every press in the window passes the filter, so a press that the field's check voids is
  // caught whichever control it falls on.
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
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
  core_.ApplyBillboardLook(design::kBillboardLook);
}

void MainWindow::CentreOnScreen() {
  QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!s) return;
  QRect frame = frameGeometry();
  frame.moveCenter(s->availableGeometry().center());
  move(frame.topLeft());
}

QWidget* MainWindow::WidgetOf(const design::Control& control) const {
  for (const auto& [design, widget] : controls_) {
    if (design == &control) return widget;
  }
  return nullptr;
}

const design::Control* MainWindow::DesignOf(const QObject* object) const {
  for (const auto& [design, widget] : controls_) {
    if (widget == object) return design;
  }
  return nullptr;
}

void MainWindow::DeliverNow(QObject* receiver, QEvent* event) {
  QEvent* const outer = delivering_;
  delivering_ = event;
  QCoreApplication::sendEvent(receiver, event);
  delivering_ = outer;
}

bool MainWindow::LeaveDatabaseField(QFocusEvent* event) {
  const Qt::FocusReason reason = event->reason();
  // Only the user moving on inside the window counts: a box, a menu or another program taking
  // the focus is not, and checking then would pop boxes in a loop. Nor is a move a handler makes
  // itself (OK after a good check, the window disabled while an action works).
  if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
      !core_.UserMovesFocus()) {
    return false;
  }
  // Qt has already given the focus to the control the user moved to, but the press or key that
  // moved it has not reached that control yet. The field finishes losing the focus, then the
  // check runs to its end, all before that.
  DeliverNow(txtCall_, event);
  if (reason == Qt::MouseFocusReason) {
    core_.FieldLeftByPress();
  } else {
    core_.FieldLeftByKey();
  }
  return true;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event == delivering_) return false;
  switch (event->type()) {
    case QEvent::FocusOut:
      if (watched == txtCall_) return LeaveDatabaseField(static_cast<QFocusEvent*>(event));
      break;
    case QEvent::MouseButtonDblClick:
      if (watched == txtCall_ && core_.FieldDoubleClicked()) return true;
      // Elsewhere it stands for the second press of a double-click, and is one.
      [[fallthrough]];
    case QEvent::MouseButtonPress:
      if (const design::Control* control = ClickTarget(watched);
          control && !core_.PressArrives(control)) {
        event->accept();
        return true;
      }
      break;
    case QEvent::MouseButtonRelease:
      if (const design::Control* control = ClickTarget(watched)) {
        // The control handles the release first (an option is checked by then), then its hint
        // runs: Refresh's reselection of Add is the last word.
        if (core_.ReleaseArrives()) {
          DeliverNow(watched, event);
          core_.ReleaseHandled(control);
        }
        event->accept();
        return true;
      }
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

const design::Control* MainWindow::ClickTarget(const QObject* object) const {
  const design::Control* const control = DesignOf(object);
  return control && control->kind != design::Kind::kLabel && control->kind != design::Kind::kFrame
             ? control
             : nullptr;
}

bool MainWindow::focusNextPrevChild(bool next) {
  QWidget* const to = WidgetOf(core_.NextTabStop(next));
  if (!to) return QWidget::focusNextPrevChild(next);
  to->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
  return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // An action still at work finishes first; the user closes the window after it.
  if (core_.Unload()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!shownOnce_) {
    shownOnce_ = true;
    // The first control in tab order (Help) takes the focus; not the database field, whose check
    // would otherwise run on the user's first click elsewhere.
    if (QWidget* first = WidgetOf(NextTabStop(nullptr, true, nullptr))) {
      first->setFocus(Qt::OtherFocusReason);
    }
  }
}

}  // namespace zorvik::ui
