// The whole program through its window: the real wiring of Program (the database check, the log
// operations, the host link) against the real dxkeeper-sim and a real log, clicked by a user at
// the window. Only the boxes are faked, so they can be read.

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QtTest>

#include <utility>

#include "LogFixture.h"
#include "WindowUser.h"
#include "core/DateText.h"
#include "host/Platform.h"
#include "support/FakeDialogs.h"
#include "support/SimProcess.h"
#include "ui/qt/Program.h"

using namespace zorvik;
using logops_test::BandModesWith;
using logops_test::Qso;
using logops_test::ScratchLog;
using testing::Pace;

namespace {

// Answers every real message box as soon as it is shown, from the box's own event loop, and
// remembers its title.
class BoxCloser : public QObject {
 public:
  BoxCloser() { qApp->installEventFilter(this); }
  ~BoxCloser() override { qApp->removeEventFilter(this); }
  std::vector<std::string> titles;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* box = qobject_cast<QMessageBox*>(watched);
    if (box && event->type() == QEvent::Show) {
      titles.push_back(box->windowTitle().toStdString());
      QMetaObject::invokeMethod(box, &QMessageBox::accept, Qt::QueuedConnection);
    }
    return false;
  }
};

// A log with one contact that Add would queue when all operators count (its operator is not
// DXKeeper's call sign) and one stray QSL letter that Log Clean would blank; DXKeeper (the sim)
// has it as its last log; Zorvik started and shown.
struct ProgramRig {
  testing::SimEnvironment env;
  ScratchLog log;
  std::unique_ptr<testing::SimProcess> sim;
  testing::FakeDialogs dialogs;
  std::unique_ptr<ui::Program> program;
  std::unique_ptr<testing::WindowUser> user;

  // `realBoxes`: Qt's own message boxes instead of the recording fake.
  explicit ProgramRig(bool realBoxes = false) {
    Qso other;
    other.op = "W9OTHER";
    log.AddQso(other);
    Qso stray;
    stray.call = "STRAY";
    stray.dxccid = "100";
    stray.rcvd = "z";
    log.AddQso(stray);
    log.SetProgress("230", BandModesWith({5}));  // 20M SSB, the contact's slot
    log.Disconnect();
    testing::SimOptions options;
    options.log = log.Path();
    options.call = "K1ABC";
    sim = std::make_unique<testing::SimProcess>(options);
    program = std::make_unique<ui::Program>(host::MakeDdeClient(), host::MakeSettingsStore(),
                                            realBoxes ? nullptr : &dialogs);
    user = std::make_unique<testing::WindowUser>(program->Window());
  }

  bool Start() {
    return program->Start() == ui::StartOutcome::kShowWindow &&
           QTest::qWaitForWindowActive(&program->Window());
  }
  template <typename T>
  T* Find(const char* name) {
    return program->Window().findChild<T*>(QString::fromLatin1(name));
  }
  bool Click(const char* control) { return user->Click(Find<QWidget>(control), Pace::kTap); }
  std::string FirstBox() const { return dialogs.boxes.empty() ? "" : dialogs.boxes[0].text; }
  std::string Billboard() { return Find<QLabel>("BillBoard")->text().toStdString(); }
  std::string StrayLetter() { return log.Text("SELECT QSL_Rcvd FROM QSOs WHERE Call = 'STRAY'"); }
};

}  // namespace

class ProgramWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { SetShortDatePattern("M/d/yyyy"); }

  // The field's check really opens the file: a path that names no log gives one "Connect Error"
  // per attempt, the click is void and nothing reaches the log or DXKeeper. With Qt's real boxes,
  // whose event loops run inside the press. A closed box leaves the focus to the window system,
  // which makes the window active again: the field must be the control that gets it then.
  void wrongPathWithRealBoxesShowsOneBoxPerClick() {
    for (const Pace pace : {Pace::kTap, Pace::kSlow}) {
      BoxCloser boxes;
      ProgramRig rig(true);
      QVERIFY(rig.Start());
      ui::MainWindow& window = rig.program->Window();
      auto* field = rig.Find<QLineEdit>("txtCall");
      QVERIFY(rig.Click("txtCall"));
      field->setText(QString::fromStdString(rig.log.Folder() + "/missing.sqlite"));
      for (const char* control : {"OptCleanLog", "cmdOK"}) {
        QVERIFY(rig.user->Click(rig.Find<QWidget>(control), pace));
        QVERIFY2(window.focusWidget() == field, control);
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QVERIFY2(field->hasFocus(), control);
      }
      QCOMPARE(boxes.titles, (std::vector<std::string>{"Connect Error", "Connect Error"}));
      QVERIFY(!rig.Find<QRadioButton>("OptCleanLog")->isChecked());
      QCOMPARE(rig.StrayLetter(), std::string("z"));
      QVERIFY(rig.sim->JournalCommands().empty());
    }
  }

  void fieldThenLogCleanThenOkCleansTheLog() {
    ProgramRig rig;
    QVERIFY(rig.Start());
    QVERIFY(rig.Click("txtCall"));
    QVERIFY(rig.Click("OptCleanLog"));
    QVERIFY(rig.Click("cmdOK"));
    QVERIFY2(rig.dialogs.boxes.empty(), rig.FirstBox().c_str());
    QCOMPARE(rig.StrayLetter(), std::string(""));
    QVERIFY2(rig.Billboard().starts_with("1 QSL_Rcvd records were cleaned"),
             rig.Billboard().c_str());
    // Not Add: DXKeeper was never asked to release its log, nothing was queued.
    QVERIFY(rig.sim->JournalCommands().empty());
    QCOMPARE(rig.log.Count("SELECT COUNT(*) FROM PrintQueue"), 0);
  }

  // Incl All Ops as clicked in the window decides whose contacts Add takes; after each Add the
  // focus is back on OK, where the Add was started.
  void inclAllOpsClickedInTheWindowReachesTheAdd() {
    ProgramRig rig;
    QVERIFY(rig.Start());
    auto* ok = rig.Find<QWidget>("cmdOK");
    QVERIFY(rig.Click("txtCall"));
    QVERIFY(rig.Click("cmdOK"));
    QCOMPARE(rig.Billboard(), std::string("0 QSO records were loaded into the QSL queue."));
    QVERIFY(ok->hasFocus());

    QVERIFY(rig.Click("chkOps"));
    QVERIFY(rig.Find<QCheckBox>("chkOps")->isChecked());
    QVERIFY(rig.program->Window().Form().IncludeAllOperators());
    QVERIFY(rig.Click("cmdOK"));
    QVERIFY2(rig.dialogs.boxes.empty(), rig.FirstBox().c_str());
    QCOMPARE(QString::fromStdString(rig.Billboard()),
             QString("1 QSO records were loaded into the QSL queue."));
    QCOMPARE(rig.log.Text("SELECT Call FROM PrintQueue"), std::string("DL1XX"));
    QVERIFY(ok->hasFocus());
    QVERIFY(rig.user->Key(Qt::Key_Space));  // OK takes the keyboard: a third Add, nothing new
    QCOMPARE(rig.log.Count("SELECT COUNT(*) FROM PrintQueue"), 1);
    QCOMPARE(rig.Billboard(), std::string("0 QSO records were loaded into the QSL queue."));
  }

  // Clicks and keys made while a real Add works (here: as it beeps at its end) reach the window
  // only after it; they are dropped, so DXKeeper is asked once to release its log, not twice.
  void inputDuringARealAddRunsNothingAfterIt() {
    ProgramRig rig;
    QVERIFY(rig.Start());
    auto* ok = rig.Find<QWidget>("cmdOK");
    QVERIFY(rig.Click("txtCall"));
    bool queued = false;
    rig.dialogs.onBeep = [&] {
      if (std::exchange(queued, true)) return;
      rig.user->QueueClick(ok);
      rig.user->QueueKey(Qt::Key_Space, QStringLiteral(" "));
      rig.user->QueueClick(rig.Find<QWidget>("OptCleanLog"));
    };
    QVERIFY(rig.Click("cmdOK"));
    QVERIFY(testing::Settle());
    QCOMPARE(rig.sim->JournalCommands(),
             (std::vector<std::string>{"001closelog", "001openlastlog"}));
    QCOMPARE(rig.program->Window().Form().SelectedAction(), ui::Action::kAdd);
    QVERIFY(ok->hasFocus());
    // The window takes input again at once: Space on OK is a second Add of its own.
    QVERIFY(rig.user->Key(Qt::Key_Space));
    QCOMPARE(rig.sim->JournalCommands().size(), std::size_t{4});
  }

  // The Help button opens help/ZorvikHelp.htm beside the program: the build puts it there.
  void helpPageIsBesideTheBuiltProgram() {
    const QFileInfo page(QStringLiteral(ZORVIK_PROGRAM_DIR "/help/ZorvikHelp.htm"));
    QVERIFY2(page.isFile() && page.size() > 0, qPrintable(page.filePath()));
  }
};

QTEST_MAIN(ProgramWindowTest)
#include "ProgramWindowTest.moc"
