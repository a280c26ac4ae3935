#include "SimProcess.h"

#include <sys/stat.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdlib>
#include <stdexcept>

#ifndef ZORVIK_DXKEEPER_SIM
#error "ZORVIK_DXKEEPER_SIM must name the dxkeeper-sim binary"
#endif

namespace zorvik::testing {
namespace {

std::optional<std::string> GetEnv(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

void RestoreEnv(const char* name, const std::optional<std::string>& value) {
  if (value) {
    ::setenv(name, value->c_str(), 1);
  } else {
    ::unsetenv(name);
  }
}

QStringList ToQt(const std::vector<std::string>& list) {
  QStringList result;
  for (const auto& s : list) result << QString::fromStdString(s);
  return result;
}

}  // namespace

SimEnvironment::SimEnvironment()
    : dir_(std::make_unique<QTemporaryDir>()),
      oldConfigHome_(GetEnv("XDG_CONFIG_HOME")),
      oldDdeDirectory_(GetEnv("ZORVIK_DDE_DIR")) {
  if (!dir_->isValid() || !QDir(dir_->path()).mkpath("config") ||
      ::mkdir(DdeDirectory().c_str(), 0700) != 0) {
    throw std::runtime_error("cannot make the test's DXKeeper folders in " + Root());
  }
  ::setenv("XDG_CONFIG_HOME", ConfigHome().c_str(), 1);
  ::setenv("ZORVIK_DDE_DIR", DdeDirectory().c_str(), 1);
}

SimEnvironment::~SimEnvironment() {
  RestoreEnv("XDG_CONFIG_HOME", oldConfigHome_);
  RestoreEnv("ZORVIK_DDE_DIR", oldDdeDirectory_);
}

std::string SimEnvironment::Root() const {
  return dir_->path().toStdString();
}
std::string SimEnvironment::ConfigHome() const {
  return Root() + "/config";
}
std::string SimEnvironment::DdeDirectory() const {
  return Root() + "/dde";
}
std::string SimEnvironment::SettingsFile() const {
  return ConfigHome() + "/DXKeeper/DXKeeper.ini";
}

SimProcess::SimProcess(const SimOptions& options) : process_(std::make_unique<QProcess>()) {
  journalPath_ = options.journal;
  if (journalPath_.empty()) {
    ownDir_ = std::make_unique<QTemporaryDir>();
    journalPath_ = ownDir_->filePath("journal.txt").toStdString();
  }
  std::vector<std::string> args = {"--log",      options.log, "--call",
                                   options.call, "--journal", journalPath_};
  if (options.qslMode) args.insert(args.end(), {"--qslmode", *options.qslMode});
  if (options.ddeCommand) args.insert(args.end(), {"--ddecommand", *options.ddeCommand});
  for (const auto& word : options.refuse) args.insert(args.end(), {"--refuse", word});
  if (options.noSettings) args.push_back("--no-settings");
  if (options.mute) args.push_back("--mute");

  process_->setProcessChannelMode(QProcess::SeparateChannels);
  process_->start(QString::fromStdString(BinaryPath()), ToQt(args));
  // The sim prints its "serving" line only once its settings are written and its socket
  // listens, so after it the test may talk to it at once.
  QByteArray out;
  const QDeadlineTimer deadline(10000);
  while (!out.contains("serving") && !deadline.hasExpired()) {
    if (process_->state() == QProcess::NotRunning) break;
    process_->waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    out += process_->readAllStandardOutput();
  }
  if (!out.contains("serving")) {
    const std::string err = process_->readAllStandardError().toStdString();
    Stop();
    throw std::runtime_error("dxkeeper-sim did not start serving: " + err);
  }
}

SimProcess::~SimProcess() {
  Stop();
}

int SimProcess::Stop() {
  if (exitCode_) return *exitCode_;
  if (process_->state() != QProcess::NotRunning) {
    process_->terminate();  // SIGTERM: the sim removes its socket and exits 0
    if (!process_->waitForFinished(5000)) {
      process_->kill();
      process_->waitForFinished(5000);
      exitCode_ = -1;
      return -1;
    }
  }
  exitCode_ = process_->exitStatus() == QProcess::NormalExit ? process_->exitCode() : -1;
  return *exitCode_;
}

long long SimProcess::Pid() const {
  return process_->processId();
}

std::vector<std::string> SimProcess::JournalCommands() const {
  std::vector<std::string> commands;
  for (const JournalEntry& entry : Journal()) commands.push_back(entry.command);
  return commands;
}

std::vector<SimProcess::JournalEntry> SimProcess::Journal() const {
  std::vector<JournalEntry> entries;
  QFile file(QString::fromStdString(journalPath_));
  if (!file.open(QIODevice::ReadOnly)) return entries;
  // time TAB command TAB "queue=N"
  for (const QByteArray& line : file.readAll().split('\n')) {
    const auto first = line.indexOf('\t');
    const auto last = line.lastIndexOf('\t');
    if (first < 0 || last <= first) continue;
    JournalEntry entry{line.mid(first + 1, last - first - 1).toStdString(), std::nullopt};
    const QByteArray state = line.mid(last + 1);
    const QByteArray prefix = QByteArrayLiteral("queue=");
    bool isNumber = false;
    const long long rows = state.mid(prefix.size()).toLongLong(&isNumber);
    if (state.startsWith(prefix) && isNumber) entry.committedQueueRows = rows;
    entries.push_back(std::move(entry));
  }
  return entries;
}

bool SimProcess::HoldsFileOpen(const std::string& path) const {
  const QString wanted = QFileInfo(QString::fromStdString(path)).canonicalFilePath();
  const QDir fds(QStringLiteral("/proc/%1/fd").arg(Pid()));
  for (const QFileInfo& fd : fds.entryInfoList(QDir::NoDotAndDotDot | QDir::System | QDir::Files)) {
    if (fd.symLinkTarget() == wanted) return true;
  }
  return false;
}

std::string SimProcess::BinaryPath() {
  return ZORVIK_DXKEEPER_SIM;
}

SimProcess::Outcome SimProcess::Run(const std::vector<std::string>& arguments) {
  QProcess process;
  process.start(QString::fromStdString(BinaryPath()), ToQt(arguments));
  Outcome outcome;
  if (!process.waitForFinished(10000)) {
    process.kill();
    process.waitForFinished();
    return outcome;
  }
  outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  outcome.out = process.readAllStandardOutput().toStdString();
  outcome.err = process.readAllStandardError().toStdString();
  return outcome;
}

}  // namespace zorvik::testing
