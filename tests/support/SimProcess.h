#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QProcess;
class QTemporaryDir;

namespace zorvik::testing {

// A private DXKeeper world for one test: a fresh temporary folder with XDG_CONFIG_HOME and
// ZORVIK_DDE_DIR (made 0700) pointing into it, so neither the settings file nor the host socket
// can meet those of the user or of another test. Restores both variables when it ends. Make it
// before any SimProcess or DDE client of the test, and keep it alive longer.
class SimEnvironment {
 public:
  SimEnvironment();  // throws std::runtime_error when the folder cannot be made
  ~SimEnvironment();
  SimEnvironment(const SimEnvironment&) = delete;
  SimEnvironment& operator=(const SimEnvironment&) = delete;

  std::string Root() const;        // the temporary folder; removed at the end
  std::string ConfigHome() const;  // XDG_CONFIG_HOME
  std::string DdeDirectory() const;
  // DXKeeper's settings file in ConfigHome(), written by the sim.
  std::string SettingsFile() const;

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  std::optional<std::string> oldConfigHome_;
  std::optional<std::string> oldDdeDirectory_;
};

// How to start dxkeeper-sim; each field is one command-line option.
struct SimOptions {
  std::string log = "/nonexistent/log.sqlite";  // --log
  std::string call = "K1ABC";                   // --call
  std::optional<std::string> qslMode{};         // --qslmode
  std::optional<std::string> ddeCommand{};      // --ddecommand ("" is allowed)
  std::vector<std::string> refuse{};            // --refuse, once per word
  bool noSettings = false;                      // --no-settings
  bool mute = false;                            // --mute
  std::string journal{};                        // --journal; empty: a file of the SimProcess's own
};

// The real dxkeeper-sim as a child process. The constructor returns once the sim serves its
// socket; the destructor stops it with SIGTERM (SIGKILL if it does not end within 5 s).
class SimProcess {
 public:
  // Throws std::runtime_error when the sim does not serve within 10 s (its stderr is in the
  // message).
  explicit SimProcess(const SimOptions& options = {});
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // Sends SIGTERM and waits for the exit. Returns the exit status (-1 when it had to be
  // killed or had crashed). Later calls return the same.
  int Stop();
  long long Pid() const;
  const std::string& JournalPath() const { return journalPath_; }
  // The commands journalled so far, in order, without their time stamps and notes.
  std::vector<std::string> JournalCommands() const;
  // The commands with the PrintQueue rows committed to the log when each arrived (nullopt when
  // the sim could not read the log).
  struct JournalEntry {
    std::string command;
    std::optional<long long> committedQueueRows;
  };
  std::vector<JournalEntry> Journal() const;
  // True while the sim has the log file open (Linux: looked up in /proc).
  bool HoldsFileOpen(const std::string& path) const;

  // The dxkeeper-sim binary this build made.
  static std::string BinaryPath();
  // Runs the sim with `arguments` to its end (at most 10 s), for tests of its command line.
  struct Outcome {
    int exitCode = -1;
    std::string out, err;
  };
  static Outcome Run(const std::vector<std::string>& arguments);

 private:
  std::unique_ptr<QTemporaryDir> ownDir_;
  std::string journalPath_;
  std::unique_ptr<QProcess> process_;
  std::optional<int> exitCode_;
};

}  // namespace zorvik::testing
