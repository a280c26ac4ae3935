// Start-up and shutdown of the whole program against the real dxkeeper-sim, its settings file and
// the local-socket host link; only the boxes are faked, so they can be read.

#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <chrono>

#include "core/DateText.h"
#include "host/Platform.h"
#include "support/FakeDialogs.h"
#include "support/SimProcess.h"
#include "ui/qt/Program.h"

using namespace zorvik;
using testing::FakeDialogs;
using testing::SimEnvironment;
using testing::SimOptions;
using testing::SimProcess;

namespace {

std::unique_ptr<ui::Program> MakeProgram(FakeDialogs& dialogs) {
  return std::make_unique<ui::Program>(host::MakeDdeClient(), host::MakeSettingsStore(), &dialogs);
}

// Today on the user's calendar as Qt tells it, apart from the program's own clock reading.
std::chrono::sys_days QtToday() {
  const QDate d = QDate::currentDate();
  return std::chrono::year(d.year()) / d.month() / d.day();
}

bool HasBoxTitled(const FakeDialogs& dialogs, const std::string& title) {
  for (const auto& box : dialogs.boxes)
    if (box.title == title) return true;
  return false;
}

}  // namespace

class StartupSimTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { SetShortDatePattern("M/d/yyyy"); }

  void noSettingsEndsWithBoxAWithoutContactingTheHost() {
    SimEnvironment env;
    SimOptions options;
    options.noSettings = true;
    SimProcess sim(options);
    FakeDialogs dialogs;
    auto program = MakeProgram(dialogs);

    QCOMPARE(program->Start(), ui::StartOutcome::kNotInstalled);
    QCOMPARE(dialogs.boxes.size(), size_t{1});
    QCOMPARE(dialogs.boxes[0].text, std::string("DXKeeper Installation not found!\rDXKeeper must "
                                                "be installed for this utility to work."));
    QCOMPARE(dialogs.boxes[0].flags, 48);
    // The running check never ran: no status, no caption of its own.
    QCOMPARE(program->Mod().HostStatusText, std::string());
    QVERIFY(!program->Window().isVisible());
    program.reset();  // ending the program sends nothing
    QVERIFY(sim.JournalCommands().empty());
  }

  void hostAbsentOrSilentEndsWithBoxB() {
    for (const bool emptyDdeCommand : {false, true}) {
      SimEnvironment env;
      SimOptions options;
      if (emptyDdeCommand) options.ddeCommand = "";
      SimProcess sim(options);
      if (!emptyDdeCommand) sim.Stop();  // its settings file stays behind
      FakeDialogs dialogs;
      auto program = MakeProgram(dialogs);

      QCOMPARE(program->Start(), ui::StartOutcome::kNotRunning);
      QCOMPARE(dialogs.boxes.size(), size_t{1});
      QCOMPARE(dialogs.boxes[0].title, std::string("Zorvik - Critical Error!"));
      QVERIFY(!HasBoxTitled(dialogs, "Connect Error"));
      QCOMPARE(program->Mod().HostStatusText, std::string("(DXKeeper Closed)"));
      QVERIFY(!program->Window().isVisible());
      program->Window().close();
      QVERIFY(sim.JournalCommands().empty());
    }
  }

  void hostUpOpensTheWindowAndClosingSaysCommandComplete() {
    SimEnvironment env;
    SimOptions options;
    options.log = env.Root() + "/DXKeeper/Databases/log.sqlite";
    options.call = "DL1ABC";
    SimProcess sim(options);
    FakeDialogs dialogs;
    auto program = MakeProgram(dialogs);
    ui::MainWindow& window = program->Window();

    const std::chrono::sys_days before = QtToday();
    QCOMPARE(program->Start(), ui::StartOutcome::kShowWindow);
    QVERIFY(dialogs.boxes.empty());
    QVERIFY(window.isVisible());
    QVERIFY2(window.windowTitle().endsWith(" 1.4.2 - (DXKeeper Running)"),
             qPrintable(window.windowTitle()));
    QVERIFY(window.windowTitle().startsWith(QCoreApplication::applicationName()));
    QVERIFY(window.findChild<QLabel*>("BillBoard")->text().startsWith("* * * Warning * * *\n"));
    QCOMPARE(window.findChild<QLineEdit*>("txtCall")->text().toStdString(), options.log);
    const std::chrono::sys_days shown = ParseDateText(window.Form().StopDateText());
    QVERIFY2(shown == before || shown == QtToday(), window.Form().StopDateText().c_str());
    QCOMPARE(program->Mod().HostCallSign, std::string("DL1ABC"));

    window.close();
    QCOMPARE(sim.JournalCommands(), std::vector<std::string>{"001commandcomplete"});
    QVERIFY(dialogs.boxes.empty());
  }

  void closingAfterTheHostQuitShowsNothing() {
    SimEnvironment env;
    SimProcess sim;
    FakeDialogs dialogs;
    auto program = MakeProgram(dialogs);
    QCOMPARE(program->Start(), ui::StartOutcome::kShowWindow);
    sim.Stop();

    program->Window().close();
    QVERIFY2(dialogs.boxes.empty(), dialogs.boxes.empty() ? "" : dialogs.boxes[0].text.c_str());
  }
};

QTEST_MAIN(StartupSimTest)
#include "StartupSimTest.moc"
