// dxkeeper-sim: a substitute DXKeeper for tests and demos. Run with --help for the options.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

#include "HeldLog.h"
#include "QuitOnSignal.h"
#include "SimHost.h"
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

Items: DDECommand (non-empty unless --ddecommand "" is given) and QSLMode ("0" unless set).
Commands: "001closelog" closes the log, "001openlastlog" reopens it, "001commandcomplete"
does nothing; any other command, or one named by --refuse, is refused. Every command
received is appended to the journal (--journal): ISO local time, a tab, the command, a tab,
and "queue N" with the PrintQueue rows committed to the log when it arrived ("queue ?" when
the log could not be read).

Runs until SIGTERM or SIGINT; then removes its socket and exits with status 0. Exit status
1: it could not start (socket in use, folder not private, settings not written); 2: bad
command line.)";

void Fail(int status, const std::string& text) {
  std::fprintf(stderr, "dxkeeper-sim: %s\n", text.c_str());
  std::exit(status);
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("dxkeeper-sim");

  QCommandLineParser parser;
  parser.setApplicationDescription(kDescription);
  parser.addHelpOption();
  const QCommandLineOption logOption("log", "Log database path; becomes LogPathName.", "PATH");
  const QCommandLineOption callOption("call", "Operator call sign; becomes CallSign.", "CALL");
  const QCommandLineOption qslModeOption("qslmode", "Value of the QSLMode item (default \"0\").",
                                         "TEXT", "0");
  const QCommandLineOption ddeCommandOption(
      "ddecommand", "Value of the DDECommand item; \"\" makes DXKeeper look not running.", "TEXT",
      "DXKeeper");
  const QCommandLineOption refuseOption(
      "refuse", "Refuse this command word (e.g. closelog); may be repeated.", "WORD");
  const QCommandLineOption noSettingsOption("no-settings", "Do not write the settings file.");
  const QCommandLineOption muteOption("mute",
                                      "Accept conversations but never answer: a hung host.");
  const QCommandLineOption journalOption("journal", "Append every command received to FILE.",
                                         "FILE");
  parser.addOptions({logOption, callOption, qslModeOption, ddeCommandOption, refuseOption,
                     noSettingsOption, muteOption, journalOption});
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
  for (const QString& word : parser.values(refuseOption))
    behaviour.refused.insert(word.toStdString());
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
  dxkeeper_sim::SimHost host(
      behaviour, log, dxkeeper_sim::CommandJournal(parser.value(journalOption).toStdString()));
  const auto directory = zorvik::host::DdeDirectory();
  if (auto error = host.Listen(directory.string(), zorvik::host::kHostTopic); !error.empty())
    Fail(1, error);
  std::printf("dxkeeper-sim: serving %s\n", host.SocketPath().c_str());
  std::fflush(stdout);
  return QCoreApplication::exec();
}
