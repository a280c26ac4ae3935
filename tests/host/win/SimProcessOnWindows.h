#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zorvik::testing {

// One running dxkeeper-sim.exe (found beside the test program) with a journal file of its own.
class SimProcessOnWindows {
 public:
  // Starts the sim with `arguments` (UTF-8) and --journal, and returns once it has printed that
  // it serves. Fails the current test when it does not within 10 s (its output in the message).
  explicit SimProcessOnWindows(const std::vector<std::string>& arguments);
  ~SimProcessOnWindows();  // Stop(); removes the journal
  SimProcessOnWindows(const SimProcessOnWindows&) = delete;
  SimProcessOnWindows& operator=(const SimProcessOnWindows&) = delete;

  bool Started() const { return process_ != nullptr; }
  // Stops the sim the way scripts do, with "dxkeeper-sim.exe --stop". Returns the sim's exit
  // status, or -1 when it had to be killed. Later calls return the same.
  int Stop();
  // The journal's lines, oldest first, without their line ends.
  std::vector<std::string> JournalLines() const;

  // Runs dxkeeper-sim.exe with `arguments` to its end (at most 10 s; killed after that).
  struct Outcome {
    int exitCode = -1;
    std::string output;  // standard output and error together
  };
  static Outcome Run(const std::vector<std::string>& arguments);

 private:
  std::wstring journal_;
  HANDLE process_ = nullptr;
  int exitCode_ = -1;
};

}  // namespace zorvik::testing
