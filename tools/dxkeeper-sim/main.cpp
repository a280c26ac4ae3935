// dxkeeper-sim: a substitute DXKeeper for tests and demos. Run with --help for the options.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <set>
#include <string>

#include "HeldLog.h"
#include "QuitOnSignal.h"
#include "SimCommands.h"
#include "SimHost.h"
#include "SimOptionTexts.h"
#include "SimSettings.h"
#include "host/HostMonitor.h"
#include "host/linux/LocalDdeChannel.h"

namespace {

constexpr const char* kDescription =
    R"(A substitute for the logging program DXKeeper, for tests and demos of Zorvik.

On start it writes DXKeeper's settings file $XDG_CONFIG_HOME/DXKeeper/DXKeeper.ini
(default ~/.config/...), group [Configuration], keys LogPathName (--log) and CallSign
(--call); opens the log database read-only and holds it open; then serves the DDE topic
"DXKeeper|DDEServer" on a local socket in the per-user DDE folder ($ZORVIK_DDE_DIR, else
$XDG_RUNTIME_DIR/dde) and prints "dxkeeper-sim: serving <socket>" on standard output.

%1

Runs until SIGTERM or SIGINT; then removes its socket and exits with status 0. Exit status
1: it could not start (socket in use, folder not private, settings not written); 2: bad
command line.)";

QCommandLineOption QtOption(const dxkeeper_sim::OptionText& text) {
  QCommandLineOption option(text.name, text.help);
  if (text.valueName) option.setValueName(text.valueName);
  if (text.defaultValue) option.setDefaultValue(text.defaultValue);
  return option;
}

void Fail(int status, const std::string& text) {
  std::fprintf(stderr, "dxkeeper-sim: %s\n", text.c_str());
  std::exit(status);
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("dxkeeper-sim");

  QCommandLineParser parser;
  parser.setApplicationDescription(QString(kDescription).arg(dxkeeper_sim::kServedText));
  parser.addHelpOption();
  const QCommandLineOption logOption = QtOption(dxkeeper_sim::kLogOption);
  const QCommandLineOption callOption = QtOption(dxkeeper_sim::kCallOption);
  const QCommandLineOption qslModeOption = QtOption(dxkeeper_sim::kQslModeOption);
  const QCommandLineOption ddeCommandOption = QtOption(dxkeeper_sim::kDdeCommandOption);
  const QCommandLineOption refuseOption = QtOption(dxkeeper_sim::kRefuseOption);
  const QCommandLineOption noSettingsOption = QtOption(dxkeeper_sim::kNoSettingsOption);
  const QCommandLineOption muteOption = QtOption(dxkeeper_sim::kMuteOption);
  const QCommandLineOption journalOption = QtOption(dxkeeper_sim::kJournalOption);
  const QCommandLineOption queueLogOption = QtOption(dxkeeper_sim::kQueueLogOption);
  parser.addOptions({logOption, callOption, qslModeOption, ddeCommandOption, refuseOption,
                     noSettingsOption, muteOption, journalOption, queueLogOption});
  parser.process(app);  // --help and unknown options end here

  if (!parser.isSet(logOption) || !parser.isSet(callOption)) {
    Fail(2, "--log and --call are required (see --help)");
  }
  if (!parser.positionalArguments().isEmpty()) Fail(2, "unexpected arguments (see --help)");
  const std::string logPath = parser.value(logOption).toStdString();
  const std::string callSign = parser.value(callOption).toStdString();

  dxkeeper_sim::HostBehaviour behaviour;
  behaviour.items["DDECommand"] = parser.value(ddeCommandOption).toStdString();
  behaviour.items["QSLMode"] = parser.value(qslModeOption).toStdString();
  std::set<std::string> refused;
  for (const QString& word : parser.values(refuseOption)) refused.insert(word.toStdString());
  behaviour.mute = parser.isSet(muteOption);

  if (!parser.isSet(noSettingsOption)) {
    if (auto error = dxkeeper_sim::WriteHostSettings(logPath, callSign); !error.empty())
      Fail(1, error);
  }

  dxkeeper_sim::HeldLog log(logPath);
  // A log that does not open is no reason to stop: tests of the link need no log, and DXKeeper
  // itself starts with a missing last log.
  if (auto error = log.Open(); !error.empty()) {
    std::fprintf(stderr, "dxkeeper-sim: log not open: %s: %s\n", logPath.c_str(), error.c_str());
  }

  dxkeeper_sim::QuitOnSignal quitOnSignal;
  dxkeeper_sim::SimCommands commands(
      log, dxkeeper_sim::CommandJournal(parser.value(journalOption).toStdString()),
      std::move(refused), parser.value(queueLogOption).toStdString());
  dxkeeper_sim::SimHost host(behaviour, commands);
  const auto directory = zorvik::host::DdeDirectory();
  if (auto error = host.Listen(directory.string(), zorvik::host::kHostTopic); !error.empty())
    Fail(1, error);
  std::printf("dxkeeper-sim: serving %s\n", host.SocketPath().c_str());
  std::fflush(stdout);
  return QCoreApplication::exec();
}
