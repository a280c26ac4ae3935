// Zorvik: puts the QSL cards DXKeeper still needs into its print queue.
//
// Exit status: 0 after the window was closed; 2 when DXKeeper is not installed and 3 when it is
// not running (the window was never shown).

#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QTimer>

#include "host/Platform.h"
#include "ui/qt/Program.h"
#include "ui/qt/QtPlatform.h"

namespace {

// With ZORVIK_SCREENSHOT=<file.png> the program saves a picture of its window once it is shown,
// then closes it as the user would. Used by scripts/screenshot.
void ScheduleScreenshot(zorvik::ui::MainWindow& window) {
  const QString path = qEnvironmentVariable("ZORVIK_SCREENSHOT");
  if (path.isEmpty()) return;
  QTimer::singleShot(800, &window, [&window, path] {
    const bool saved = window.grab().save(path, "PNG");
    std::printf("%s\n%s\n", qPrintable(window.windowTitle()), saved ? "saved" : "not saved");
    std::fflush(stdout);
    window.close();
  });
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(zorvik::kAppTitle));
  QIcon icon;
  icon.addFile(QStringLiteral(":/icons/zorvik-16.png"), QSize(16, 16));
  icon.addFile(QStringLiteral(":/icons/zorvik-32.png"), QSize(32, 32));
  QApplication::setWindowIcon(icon);
  zorvik::ui::UseLocaleDates(QLocale());

  zorvik::ui::Program program(zorvik::host::MakeDdeClient(), zorvik::host::MakeSettingsStore());
  const zorvik::ui::StartOutcome outcome = program.Start();
  if (outcome != zorvik::ui::StartOutcome::kShowWindow) return zorvik::ui::ExitStatus(outcome);
  ScheduleScreenshot(program.Window());
  return QApplication::exec();
}
