// The Qt window: its layout, and the glue from its events to the handlers.

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSessionManager>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#include "OpsRecorder.h"
#include "WindowUser.h"
#include "support/FakeDialogs.h"
#include "support/FakeHost.h"
#include "ui/BillboardStyle.h"
#include "ui/OptionHints.h"
#include "ui/StartupShutdown.h"
#include "ui/Twips.h"
#include "ui/UiContext.h"
#include "ui/qt/MainWindow.h"
#include "ui/qt/QtDialogs.h"
#include "ui/qt/QtPlatform.h"

using namespace zorvik;

namespace {

const std::string kLogPath = "/home/op/DXKeeper/Databases/log.sqlite";

// A window with recording operations and scripted dialogs behind it; with `realBoxes`, Qt's own
// boxes and file dialog instead (QtDialogs), modal to the window.
struct Rig {
  ZorvikMod mod;
  testing::FakeDde dde;
  testing::FakeSettings settings;
  testing::FakeDialogs dialogs;
  ui::MainWindow window;
  ui::QtDialogs qtDialogs{&window};
  host::HostContext host;
  testing::OpsRecorder rec;
  ui::UiContext ctx;
  testing::WindowUser user{window};

  explicit Rig(bool realBoxes = false)
      : host{mod,           dde,
             settings,      realBoxes ? static_cast<Dialogs&>(qtDialogs) : dialogs,
             window.Form(), {"Zorvik", 1, 4, 2}},
        ctx{host, window.Form(), rec.Bind(host), "/opt/zorvik", {}} {
    settings.Set("LogPathName", kLogPath);
    window.Attach(ctx);
  }
  template <typename T>
  T* Find(const char* name) {
    return window.findChild<T*>(QString::fromLatin1(name));
  }
  // Form_Load, then show the window and let it take the focus.
  bool Start() {
    if (ui::FormLoad(ctx) != ui::StartOutcome::kShowWindow) return false;
    window.show();
    return QTest::qWaitForWindowActive(&window);
  }
  int Count(const std::string& call) const {
    return static_cast<int>(std::count(rec.calls.begin(), rec.calls.end(), call));
  }
};

QString Joined(const std::vector<std::string>& calls) {
  QStringList list;
  for (const auto& c : calls) list << QString::fromStdString(c);
  return list.join(QStringLiteral(", "));
}

// Runs `act` on each modal dialog of type T as it comes up, from the dialog's own event loop, as a
// user at it would act; counts the dialogs.
template <typename T>
class OnEachDialog : public QObject {
 public:
  explicit OnEachDialog(std::function<void(T*)> act) : act_(std::move(act)) {
    qApp->installEventFilter(this);
  }
  ~OnEachDialog() override { qApp->removeEventFilter(this); }
  int shown = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* dialog = qobject_cast<T*>(watched);
    if (dialog && event->type() == QEvent::Show) {
      ++shown;
      QMetaObject::invokeMethod(
          dialog, [this, dialog] { act_(dialog); }, Qt::QueuedConnection);
    }
    return false;
  }

 private:
  std::function<void(T*)> act_;
};

bool BillboardShowsAll(QLabel* billboard) {
  return billboard->heightForWidth(billboard->width()) <= billboard->height();
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void controlsSitWhereTheTwipsTableSays() {
    Rig rig;
    const double dpi = rig.window.screen()->logicalDotsPerInchY();
    auto px = [dpi](int twips) { return ui::TwipsToPixels(twips, dpi); };
    const struct {
      const char* name;
      ui::TwipsRect rect;
    } places[] = {
        // A top-level control, one inside the frame (placed relative to it), and a line.
        {"txtCall", {135, 510, 4260, 285}},
        {"OptCleanLog", {105, 945, 1170, 330}},
        {"Line1", {150, 900, 2715, 15}},
    };
    for (const auto& p : places) {
      QWidget* w = rig.Find<QWidget>(p.name);
      QVERIFY2(w, p.name);
      QCOMPARE(w->geometry().topLeft(), QPoint(px(p.rect.left), px(p.rect.top)));
      QCOMPARE(w->width(), px(p.rect.width));
      if (p.rect.height > 15) QCOMPARE(w->height(), px(p.rect.height));
    }
    for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label6", "mrkd", "BillBoard",
                             "grpAction", "OptAdd", "OptRefresh", "chkOps", "cmdOK", "Help",
                             "fDate", "tDate", "Line2", "Line3", "Line4"}) {
      QVERIFY2(rig.Find<QWidget>(name), name);
    }
    QCOMPARE(rig.window.size(), QSize(px(4485), px(3525)));
    QCOMPARE(rig.window.minimumSize(), rig.window.maximumSize());
    QVERIFY(!(rig.window.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(rig.window.windowFlags() & Qt::WindowMinimizeButtonHint));
  }

  void everyTextFitsItsControl() {
    Rig rig;
    QVERIFY2(rig.window.AllTextsFit(), qPrintable(QString::number(rig.window.UiPointSize())));
    QVERIFY(rig.window.UiPointSize() >= 6.5);
    auto* billboard = rig.Find<QLabel>("BillBoard");
    QVERIFY(rig.Start());
    QVERIFY2(BillboardShowsAll(billboard), "start-up warning");
    for (auto hint : {ui::ChkOpsMouseUp, ui::OptAddMouseUp, ui::OptCleanLogMouseUp}) {
      hint(rig.ctx);
      QVERIFY2(BillboardShowsAll(billboard), qPrintable(billboard->text()));
      // Fitting may shrink a long hint a little, never to something unreadable.
      QVERIFY2(billboard->font().pointSizeF() >= 6.0,
               qPrintable(QString::number(billboard->font().pointSizeF())));
    }
  }

  void shortDatePatternHasAFourDigitYear() {
    const struct {
      QLocale locale;
      const char* pattern;
    } cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), "M/d/yyyy"},
        {QLocale(QLocale::German, QLocale::Germany), "dd.MM.yyyy"},
        {QLocale(QLocale::Swedish, QLocale::Sweden), "yyyy-MM-dd"},
        {QLocale::c(), "M/d/yyyy"},
    };
    for (const auto& c : cases) {
      QCOMPARE(QString::fromStdString(ui::ShortDatePatternOf(c.locale)),
               QString::fromLatin1(c.pattern));
    }
  }

  void billboardStylesChangeOnlyTheLook() {
    Rig rig;
    auto* billboard = rig.Find<QLabel>("BillBoard");
    rig.window.Form().SetBillboard("one\r\ntwo");
    QCOMPARE(billboard->text(), QStringLiteral("one\ntwo"));
    const double normalPoints = [&] {
      ui::SetBillboardStyle(rig.window.Form(), ui::kBillboardNormal);
      return billboard->font().pointSizeF();
    }();
    QVERIFY(billboard->alignment() & Qt::AlignLeft);
    QCOMPARE(billboard->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    ui::SetBillboardStyle(rig.window.Form(), ui::kBillboardAlert);
    QVERIFY(billboard->alignment() & Qt::AlignHCenter);
    QCOMPARE(billboard->palette().color(QPalette::WindowText), QColor(192, 0, 0));
    QVERIFY(qAbs(billboard->font().pointSizeF() / normalPoints - 11.0 / 8.0) < 0.05);
    ui::SetBillboardStyle(rig.window.Form(), 2);
    QVERIFY(billboard->alignment() & Qt::AlignHCenter);
    QCOMPARE(billboard->text(), QStringLiteral("one\ntwo"));
  }

  void clickOnRefreshRecountsAndLeavesAddSelected() {
    Rig rig;
    QVERIFY(rig.Start());
    auto* refresh = rig.Find<QRadioButton>("OptRefresh");
    QVERIFY(rig.user.Click(refresh, testing::Pace::kTap));
    QCOMPARE(rig.Find<QLabel>("BillBoard")->text(),
             QStringLiteral("The QSO counter was refreshed"));
    QVERIFY(rig.Find<QRadioButton>("OptAdd")->isChecked());
    QVERIFY(!refresh->isChecked());
    QCOMPARE(rig.Count("showQueueCount"), 1);
    // The hint belongs to the release of any button; only the left one selects the option.
    auto* clean = rig.Find<QRadioButton>("OptCleanLog");
    QVERIFY(rig.user.Click(clean, testing::Pace::kTap, Qt::RightButton));
    QVERIFY(rig.Find<QLabel>("BillBoard")->text().startsWith("This option will clean-up"));
    QVERIFY(!clean->isChecked());
  }

  // Leaving the database field runs its check completely before the click that took the focus:
  // the option clicked, its hint and OK all act on what the check left behind.
  void focusOutCheckRunsBeforeTheClickThatMovedTheFocus() {
    const struct {
      const char* what;
      std::vector<const char*> clicks;  // after a click into the database field
      std::vector<std::string> calls;   // the operations run, in order
      ui::Action selected;
      const char* billboardStart;
    } cases[] = {
        {"field, Log Clean, OK",
         {"OptCleanLog", "cmdOK"},
         {"openDatabase " + kLogPath, "showQueueCount", "cleanLog"},
         ui::Action::kCleanLog,
         "This option will clean-up"},
        {"field, OK",
         {"cmdOK"},
         {"openDatabase " + kLogPath, "showQueueCount", "loadQslQueue"},
         ui::Action::kAdd,
         "For this utility to function properly"},
        {"field, Refresh, OK",
         {"OptRefresh", "cmdOK"},
         {"openDatabase " + kLogPath, "showQueueCount", "showQueueCount", "loadQslQueue"},
         ui::Action::kAdd,
         "The QSO counter was refreshed"},
    };
    for (const auto& c : cases) {
      for (const testing::Pace pace : {testing::Pace::kTap, testing::Pace::kSlow}) {
        const QString what = QStringLiteral("%1 (%2)").arg(c.what, testing::PaceName(pace));
        Rig rig;
        QVERIFY(rig.Start());
        QVERIFY(rig.user.Click(rig.Find<QWidget>("txtCall"), pace));
        QVERIFY2(rig.Find<QWidget>("txtCall")->hasFocus(), qPrintable(what));
        rig.rec.calls.clear();
        for (const char* control : c.clicks)
          QVERIFY(rig.user.Click(rig.Find<QWidget>(control), pace));
        QVERIFY2(rig.rec.calls == c.calls, qPrintable(what + ": " + Joined(rig.rec.calls)));
        QVERIFY2(rig.window.Form().SelectedAction() == c.selected, qPrintable(what));
        QVERIFY2(rig.Find<QLabel>("BillBoard")->text().startsWith(c.billboardStart),
                 qPrintable(what + ": " + rig.Find<QLabel>("BillBoard")->text()));
        QVERIFY2(rig.Find<QWidget>("cmdOK")->hasFocus(), qPrintable(what));
        QVERIFY2(rig.dialogs.boxes.empty(), qPrintable(what));
      }
    }
  }

  // A refused check shows one box and keeps the focus in the field; the click that tried to take
  // it is swallowed: no selection, no hint, no action. The next click is not.
  void refusedCheckSwallowsTheClickThatMovedTheFocus() {
    for (const char* control : {"OptCleanLog", "cmdOK", "chkOps"}) {
      for (const testing::Pace pace : {testing::Pace::kTap, testing::Pace::kSlow}) {
        const QString what = QStringLiteral("%1 (%2)").arg(control, testing::PaceName(pace));
        Rig rig;
        QVERIFY(rig.Start());
        auto* field = rig.Find<QLineEdit>("txtCall");
        auto* billboard = rig.Find<QLabel>("BillBoard");
        const QString warning = billboard->text();
        QVERIFY(rig.user.Click(field, pace));
        field->setText("/no/such.sqlite");
        rig.rec.openFailure = Failure(3024, "Could not find file.");
        rig.rec.calls.clear();

        QVERIFY(rig.user.Click(rig.Find<QWidget>(control), pace));
        QVERIFY2(rig.dialogs.boxes.size() == 1, qPrintable(what));
        QCOMPARE(rig.dialogs.boxes[0].title, std::string("Connect Error"));
        QVERIFY2(rig.rec.calls == std::vector<std::string>{"openDatabase /no/such.sqlite"},
                 qPrintable(what + ": " + Joined(rig.rec.calls)));
        QVERIFY2(field->hasFocus(), qPrintable(what));
        QVERIFY2(rig.window.Form().SelectedAction() == ui::Action::kNone, qPrintable(what));
        QVERIFY2(!rig.window.Form().IncludeAllOperators(), qPrintable(what));
        QCOMPARE(billboard->text(), warning);

        // Mended: the same click now goes through, after the check.
        field->setText("/data/other.sqlite");
        rig.rec.openFailure.reset();
        QVERIFY(rig.user.Click(rig.Find<QWidget>(control), pace));
        QVERIFY2(rig.dialogs.boxes.size() == 1, qPrintable(what));
        QVERIFY2(rig.rec.calls.size() > 2 && rig.rec.calls[1] == "openDatabase /data/other.sqlite",
                 qPrintable(what + ": " + Joined(rig.rec.calls)));
        QVERIFY2(billboard->text() != warning, qPrintable(what));
      }
    }
  }

  // Each press of a double-click on OK is an attempt of its own; neither runs anything, and OK
  // is not left pressed.
  void doubleClickAwayFromARefusedFieldRunsNothing() {
    Rig rig;
    QVERIFY(rig.Start());
    auto* field = rig.Find<QLineEdit>("txtCall");
    auto* ok = rig.Find<QPushButton>("cmdOK");
    QVERIFY(rig.user.Click(rig.Find<QWidget>("OptAdd"), testing::Pace::kTap));
    QVERIFY(rig.user.Click(field, testing::Pace::kTap));
    field->setText("/no/such.sqlite");
    rig.rec.openFailure = Failure(3024, "Could not find file.");
    rig.rec.calls.clear();
    QVERIFY(rig.user.DoubleClick(ok));
    QCOMPARE(rig.dialogs.boxes.size(), size_t{2});
    QCOMPARE(rig.rec.calls, (std::vector<std::string>{"openDatabase /no/such.sqlite",
                                                      "openDatabase /no/such.sqlite"}));
    QVERIFY(!ok->isDown());
    QVERIFY(field->hasFocus());
    // Nothing of it is left over to void the next click.
    rig.rec.openFailure.reset();
    QVERIFY(rig.user.Click(rig.Find<QWidget>("OptCleanLog"), testing::Pace::kTap));
    QCOMPARE(rig.window.Form().SelectedAction(), ui::Action::kCleanLog);
  }

  void tabOutOfTheFieldSelectsAddAndFocusesOk() {
    Rig rig;
    QVERIFY(rig.Start());
    // Chosen before the field was entered, so no check ran yet.
    QVERIFY(rig.user.Click(rig.Find<QWidget>("OptCleanLog"), testing::Pace::kTap));
    QCOMPARE(rig.window.Form().SelectedAction(), ui::Action::kCleanLog);
    QVERIFY(rig.user.Click(rig.Find<QWidget>("txtCall"), testing::Pace::kTap));
    rig.rec.calls.clear();
    QVERIFY(rig.user.Key(Qt::Key_Tab));
    QCOMPARE(rig.window.Form().SelectedAction(), ui::Action::kAdd);
    QVERIFY(rig.Find<QPushButton>("cmdOK")->hasFocus());
    QCOMPARE(rig.rec.calls,
             (std::vector<std::string>{"openDatabase " + kLogPath, "showQueueCount"}));
  }

  // Tab visits the controls by the form's tab indexes; of the Action frame only the selected
  // option, where the form puts it (Add between the field and OK, Log Clean last).
  void tabFollowsTheDesignsTabIndexes() {
    Rig rig;
    QVERIFY(rig.Start());
    const struct {
      Qt::Key key;  // Tab, Backtab, or a click on Log Clean (Key_unknown)
      const char* focus;
    } steps[] =
        {
            {Qt::Key_Tab, "txtCall"},
            {Qt::Key_Tab, "cmdOK"},  // the field's check took the focus on to OK (and selected Add)
            {Qt::Key_Backtab, "OptAdd"},
            {Qt::Key_Tab, "cmdOK"},
            {Qt::Key_Tab, "chkOps"},
            {Qt::Key_unknown, "OptCleanLog"},
            {Qt::Key_Tab, "Help"},
            {Qt::Key_Backtab, "OptCleanLog"},
            {Qt::Key_Backtab, "tDate"},
        };
    QVERIFY(rig.Find<QWidget>("Help")->hasFocus());  // the first in tab order has it at start
    rig.rec.calls.clear();
    for (const auto& step : steps) {
      if (step.key == Qt::Key_unknown) {
        QVERIFY(rig.user.Click(rig.Find<QWidget>("OptCleanLog"), testing::Pace::kTap));
      } else {
        QVERIFY(rig.user.Key(step.key));
      }
      QVERIFY2(rig.Find<QWidget>(step.focus)->hasFocus(), step.focus);
    }
    QCOMPARE(rig.rec.calls,
             (std::vector<std::string>{"openDatabase " + kLogPath, "showQueueCount"}));
  }

  // Input that reaches the window while a handler runs (a nested event loop) runs after it.
  void clickDuringAHandlerRunsAfterIt() {
    Rig rig;
    QVERIFY(rig.Start());
    QVERIFY(rig.user.Click(rig.Find<QWidget>("txtCall"), testing::Pace::kTap));
    auto* refresh = rig.Find<QWidget>("OptRefresh");
    bool clicked = false;
    rig.ctx.ops.loadQslQueue = [&] {
      rig.rec.calls.push_back("loadQslQueue");
      clicked = rig.user.Click(refresh, testing::Pace::kTap);
      rig.rec.calls.push_back("loadQslQueue done");
    };
    rig.rec.calls.clear();
    QVERIFY(rig.user.Click(rig.Find<QWidget>("cmdOK"), testing::Pace::kTap));
    QVERIFY(clicked);
    QCOMPARE(rig.rec.calls,
             (std::vector<std::string>{"openDatabase " + kLogPath, "showQueueCount", "loadQslQueue",
                                       "loadQslQueue done", "showQueueCount"}));
    QCOMPARE(rig.Find<QLabel>("BillBoard")->text(),
             QStringLiteral("The QSO counter was refreshed"));
  }

  void doubleClickPicksAFileAndChecksItOnce() {
    Rig rig;
    QVERIFY(rig.Start());
    rig.dialogs.openResults.push_back("/data/chosen.sqlite");
    auto* field = rig.Find<QLineEdit>("txtCall");
    QVERIFY(rig.user.DoubleClick(field));
    QVERIFY(rig.Find<QPushButton>("cmdOK")->hasFocus());
    QCOMPARE(field->text(), QStringLiteral("/data/chosen.sqlite"));
    QCOMPARE(rig.dialogs.openFolders.size(), size_t{1});
    QCOMPARE(rig.Count("openDatabase /data/chosen.sqlite"), 1);
    QVERIFY(rig.dialogs.boxes.empty());
  }

  void leavingTheFieldWithABadPathShowsOneBoxAndComesBack() {
    Rig rig;
    QVERIFY(rig.Start());
    rig.rec.openFailure = Failure(3024, "Could not find file.");
    auto* field = rig.Find<QLineEdit>("txtCall");
    QVERIFY(rig.user.Click(field, testing::Pace::kTap));
    field->setText("/no/such.sqlite");
    QVERIFY(rig.user.Key(Qt::Key_Tab));
    QCOMPARE(rig.dialogs.boxes.size(), size_t{1});
    QCOMPARE(rig.dialogs.boxes[0].title, std::string("Connect Error"));
    QVERIFY(field->hasFocus());
    QCOMPARE(field->text(), QStringLiteral("/no/such.sqlite"));
  }

  // A passing check that shows a box (the queue of DXKeeper's own log cannot be counted): the
  // user lets the button go while the box is up, so its release goes to the box. The press must
  // not reach its control afterwards, or the control stays pressed. The next click lands where it
  // is made.
  void aBoxDuringAPassingCheckLeavesNothingPressed() {
    for (const char* control : {"OptCleanLog", "cmdOK"}) {
      Rig rig(true);
      QVERIFY(rig.Start());
      QWidget* pressed = rig.Find<QWidget>(control);
      rig.ctx.ops.showQueueCount = [&rig] {
        rig.rec.calls.push_back("showQueueCount");
        rig.qtDialogs.MsgBox("3044 : Not a valid path.", mb::kOkOnly, "");
      };
      QVERIFY(rig.user.Click(rig.Find<QWidget>("txtCall"), testing::Pace::kTap));
      rig.rec.calls.clear();
      OnEachDialog<QMessageBox> user([&](QMessageBox* box) {
        rig.user.Release(pressed);
        QTest::keyClick(box->windowHandle(), Qt::Key_Return);
      });
      QVERIFY(rig.user.Press(pressed));
      QCOMPARE(user.shown, 1);
      QVERIFY2(!static_cast<QAbstractButton*>(pressed)->isDown(), control);
      QVERIFY(rig.user.Click(rig.Find<QWidget>("chkOps"), testing::Pace::kTap));
      QVERIFY2(rig.Find<QCheckBox>("chkOps")->isChecked(), control);
      QVERIFY2(!static_cast<QAbstractButton*>(pressed)->isDown(), control);
      QVERIFY2(rig.window.Form().SelectedAction() == ui::Action::kAdd, control);
      QVERIFY2(
          rig.rec.calls == (std::vector<std::string>{"openDatabase " + kLogPath, "showQueueCount"}),
          qPrintable(Joined(rig.rec.calls)));
    }
  }

  // Enter runs the command button that has the focus, as Space does.
  void enterRunsTheFocusedButton() {
    const struct {
      const char* button;
      Qt::Key key;
    } cases[] = {{"cmdOK", Qt::Key_Return}, {"cmdOK", Qt::Key_Enter}, {"Help", Qt::Key_Return}};
    for (const auto& c : cases) {
      const QString what = QStringLiteral("%1, key %2").arg(c.button).arg(c.key);
      Rig rig;
      QVERIFY(rig.Start());
      QVERIFY(rig.user.Click(rig.Find<QWidget>("txtCall"), testing::Pace::kTap));
      QVERIFY(rig.user.Key(Qt::Key_Tab));  // the check moves the focus to OK
      // Help takes the focus with a click (the page opens once).
      if (std::string(c.button) == "Help") {
        QVERIFY(rig.user.Click(rig.Find<QWidget>(c.button), testing::Pace::kTap));
      }
      QVERIFY2(rig.Find<QWidget>(c.button)->hasFocus(), qPrintable(what));
      rig.rec.calls.clear();
      rig.dialogs.helpPages.clear();
      QVERIFY(rig.user.Key(c.key));
      const int runs = std::string(c.button) == "Help"
                           ? static_cast<int>(rig.dialogs.helpPages.size())
                           : rig.Count("loadQslQueue");
      QVERIFY2(runs == 1, qPrintable(what));
    }
  }

  // Escape answers a box as its buttons allow: an OK box closes, a Yes/No box has no Cancel, so
  // Escape leaves it up until Yes or No is chosen.
  void escapeOnABoxDoesWhatItsButtonsAllow() {
    const struct {
      int flags;
      bool openAfterEscape;
      Answer answer;
    } cases[] = {
        {mb::kOkExclamation, false, Answer::kOk},
        {mb::kYesNoStopDefaultNo, true, Answer::kYes},
    };
    for (const auto& c : cases) {
      Rig rig(true);
      QVERIFY(rig.Start());
      bool openAfterEscape = false;
      OnEachDialog<QMessageBox> user([&](QMessageBox* box) {
        QTest::keyClick(box->windowHandle(), Qt::Key_Escape);
        openAfterEscape = testing::Settle() && box->isVisible();
        if (QAbstractButton* yes = box->button(QMessageBox::Yes); yes && box->isVisible()) {
          QTest::mouseClick(yes, Qt::LeftButton);
        }
      });
      std::optional<Answer> answer;
      rig.ctx.ops.loadQslQueue = [&] { answer = rig.qtDialogs.MsgBox("Go on?", c.flags, ""); };
      QVERIFY(rig.user.Click(rig.Find<QWidget>("txtCall"), testing::Pace::kTap));
      QVERIFY(rig.user.Click(rig.Find<QWidget>("cmdOK"), testing::Pace::kTap));
      QCOMPARE(user.shown, 1);
      QVERIFY2(openAfterEscape == c.openAfterEscape, qPrintable(QString::number(c.flags)));
      QVERIFY2(answer == c.answer, qPrintable(QString::number(c.flags)));
    }
  }

  // The session manager asks the program to finish before a logoff or shutdown: the window
  // closes, and DXKeeper hears "commandcomplete" once.
  void logoffClosesTheWindowAndSaysCommandCompleteOnce() {
    Rig rig;
    QVERIFY(rig.Start());
    auto* manager = qApp->findChild<QSessionManager*>();
    QVERIFY(manager);
    emit qApp->commitDataRequest(*manager);
    QVERIFY(testing::Settle());
    QVERIFY(!rig.window.isVisible());
    rig.window.close();
    QCOMPARE(rig.Count("send commandcomplete"), 1);
    QCOMPARE(rig.dde.journal, std::vector<std::string>{"001commandcomplete"});
  }

  // The file dialog starts where the log now chosen lies, with its name filled in; before the
  // first choice, beside DXKeeper's Databases folder.
  void fileDialogStartsOnTheChosenLog() {
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString dxkeeper = root.filePath(QStringLiteral("DXKeeper"));
    const QString other = root.filePath(QStringLiteral("Other"));
    QVERIFY(QDir().mkpath(dxkeeper + QStringLiteral("/Databases")) && QDir().mkpath(other));
    const QString chosen = other + QStringLiteral("/chosen.sqlite");
    Rig rig(true);
    rig.settings.Set("LogPathName",
                     (dxkeeper + QStringLiteral("/Databases/log.sqlite")).toStdString());
    QVERIFY(rig.Start());
    struct Seen {
      QString folder, name;
    };
    std::vector<Seen> seen;
    OnEachDialog<QFileDialog> user([&](QFileDialog* dialog) {
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      seen.push_back({dialog->directory().absolutePath(), name ? name->text() : QString()});
      if (seen.size() == 1) {
        // The user picks the file in the dialog (the dialog's own doing), then presses Enter.
        dialog->selectFile(chosen);
        QTest::keyClick(name, Qt::Key_Return);
      } else {
        QTest::keyClick(dialog->windowHandle(), Qt::Key_Escape);
      }
    });
    QFile file(chosen);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    auto* field = rig.Find<QLineEdit>("txtCall");
    QVERIFY(rig.user.DoubleClick(field));
    QCOMPARE(field->text(), chosen);
    QVERIFY(rig.user.DoubleClick(field));
    QCOMPARE(user.shown, 2);
    QCOMPARE(seen[0].folder, QDir(dxkeeper).absolutePath());
    QCOMPARE(seen[0].name, QString());
    QCOMPARE(seen[1].folder, QDir(other).absolutePath());
    QCOMPARE(seen[1].name, QStringLiteral("chosen.sqlite"));
    QCOMPARE(field->text(), chosen);  // cancelled: the last choice stays
  }

  void closingRunsUnloadOnce() {
    Rig rig;
    QVERIFY(rig.Start());
    rig.window.close();
    rig.window.close();
    QCOMPARE(rig.Count("send commandcomplete"), 1);
    QCOMPARE(rig.dde.journal, std::vector<std::string>{"001commandcomplete"});
  }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
