// The demo's hands: Zorvik's own window, wired to the real host link and the real log exactly as
// the program `zorvik` is, plus a user who clicks it. The build names this executable `zorvik`
// too (in its own folder), so the caption reads as the program's does.
//
//   zorvik [--screenshot FILE.png] STEP...     STEP: refresh, clean, add, allops
//
// refresh  clicks Refresh (recounts the queue), then reports the count
// clean    clicks Log Clean, then OK; reports the billboard
// add      clicks Add, then OK; reports the billboard and the queue count
// allops   clicks Incl All Ops (toggles it)
//
// Every click is a mouse press and release at the centre of the named control, handed to Qt as
// the window system hands it a click: Qt finds the control under the pointer, moves the focus and
// runs the window's own handlers. Message boxes are answered with their default button and
// reported. Prints one "key: value" line per fact, then closes the window as a user would
// (which tells DXKeeper "commandcomplete").
//
// Exit status: 0 when every step ran and no message box appeared; 1 when a box appeared or a step
// could not be carried out; 2 for a wrong command line; 3 and 4 when the program ended at start
// (DXKeeper not installed / not running).

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "host/Platform.h"
#include "ui/qt/Program.h"
#include "ui/qt/QtPlatform.h"

namespace {

using zorvik::ui::MainWindow;

void Say(const std::string& key, const QString& value) {
  QString oneLine = value;
  oneLine.replace(QStringLiteral("\n\n"), QStringLiteral(" / "));
  oneLine.replace(QLatin1Char('\n'), QStringLiteral(" / "));
  std::printf("%s: %s\n", key.c_str(), qPrintable(oneLine));
  std::fflush(stdout);
}

// Answers every message box that comes up while a step runs, and remembers that one did.
class BoxAnswerer : public QObject {
 public:
  BoxAnswerer() {
    timer_.setInterval(50);
    connect(&timer_, &QTimer::timeout, this, [this] { AnswerOpenBox(); });
    timer_.start();
  }
  int Answered() const { return answered_; }

 private:
  void AnswerOpenBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    ++answered_;
    Say("message box", box->windowTitle() + QStringLiteral(" | ") + box->text());
    QAbstractButton* button = box->defaultButton();
    if (!button && !box->buttons().isEmpty()) button = box->buttons().first();
    if (button) {
      QTest::mouseClick(button, Qt::LeftButton);
    } else {
      box->reject();
    }
  }

  QTimer timer_;
  int answered_ = 0;
};

template <typename T>
T* Control(MainWindow& window, const char* name) {
  T* control = window.findChild<T*>(QString::fromLatin1(name));
  if (!control) {
    std::fprintf(stderr, "zorvik demo: the window has no control %s\n", name);
    std::exit(1);
  }
  return control;
}

// Handles every event that is already waiting, in order: done once a marker posted behind them
// has been handled.
void Settle() {
  bool reached = false;
  QObject marker;
  QMetaObject::invokeMethod(
      &marker, [&reached] { reached = true; }, Qt::QueuedConnection);
  for (int round = 0; !reached && round < 1000; ++round) QCoreApplication::processEvents();
}

// A click as the window system delivers one: at the control's centre, on the top-level window.
// Every handler the click causes runs inside it, to its end (a box included, which the answerer
// closes from the box's own event loop), so the window takes input again when it returns.
bool Click(MainWindow& window, QWidget* control) {
  const QPoint at = control->mapTo(&window, control->rect().center());
  QTest::mouseClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
  Settle();
  return window.isEnabled() && !QApplication::activeModalWidget();
}

bool RunStep(MainWindow& window, const std::string& step) {
  auto* billboard = Control<QLabel>(window, "BillBoard");
  auto* queue = Control<QLabel>(window, "mrkd");
  auto* ok = Control<QAbstractButton>(window, "cmdOK");
  if (step == "refresh") {
    if (!Click(window, Control<QAbstractButton>(window, "OptRefresh"))) return false;
    Say("queue count", queue->text());
    return true;
  }
  if (step == "clean") {
    if (!Click(window, Control<QAbstractButton>(window, "OptCleanLog"))) return false;
    if (!Click(window, ok)) return false;
    Say("log clean", billboard->text());
    return true;
  }
  if (step == "add") {
    if (!Click(window, Control<QAbstractButton>(window, "OptAdd"))) return false;
    if (!Click(window, ok)) return false;
    Say("add", billboard->text());
    Say("queue count", queue->text());
    return true;
  }
  if (step == "allops") {
    auto* allOps = Control<QAbstractButton>(window, "chkOps");
    if (!Click(window, allOps)) return false;
    Say("incl all ops", allOps->isChecked() ? QStringLiteral("on") : QStringLiteral("off"));
    return true;
  }
  return false;
}

int Usage() {
  std::fprintf(stderr, "usage: zorvik [--screenshot FILE.png] refresh|clean|add|allops...\n");
  return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(zorvik::kAppTitle));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/zorvik-32.png")));
  zorvik::ui::UseLocaleDates(QLocale());

  QString screenshot;
  std::vector<std::string> steps;
  const QStringList args = QApplication::arguments();
  for (qsizetype i = 1; i < args.size(); ++i) {
    if (args[i] == QStringLiteral("--screenshot") && i + 1 < args.size()) {
      screenshot = args[++i];
    } else if (args[i] == QStringLiteral("refresh") || args[i] == QStringLiteral("clean") ||
               args[i] == QStringLiteral("add") || args[i] == QStringLiteral("allops")) {
      steps.push_back(args[i].toStdString());
    } else {
      return Usage();
    }
  }
  if (steps.empty()) return Usage();

  // Boxes at start-up (DXKeeper missing) are answered too, before the window exists.
  BoxAnswerer answerer;
  zorvik::ui::Program program(zorvik::host::MakeDdeClient(), zorvik::host::MakeSettingsStore());
  const zorvik::ui::StartOutcome outcome = program.Start();
  if (outcome != zorvik::ui::StartOutcome::kShowWindow) {
    Say("ended at start", QString::number(zorvik::ui::ExitStatus(outcome)));
    return outcome == zorvik::ui::StartOutcome::kNotInstalled ? 3 : 4;
  }
  MainWindow& window = program.Window();
  if (!QTest::qWaitForWindowExposed(&window, 10000)) {
    std::fprintf(stderr, "zorvik demo: the window was never shown\n");
    return 1;
  }
  Say("platform", QGuiApplication::platformName());
  Say("caption", window.windowTitle());
  Say("database", Control<QWidget>(window, "txtCall")->property("text").toString());

  bool allRan = true;
  for (const std::string& step : steps) {
    if (!RunStep(window, step)) {
      std::fprintf(stderr, "zorvik demo: step %s could not be carried out\n", step.c_str());
      allRan = false;
      break;
    }
  }
  Say("caption", window.windowTitle());
  if (!screenshot.isEmpty()) {
    const bool saved = window.grab().save(screenshot, "PNG");
    Say("screenshot", saved ? screenshot : QStringLiteral("not saved"));
    allRan = allRan && saved;
  }
  window.close();
  Settle();
  Say("message boxes", QString::number(answerer.Answered()));
  return allRan && answerer.Answered() == 0 ? 0 : 1;
}
