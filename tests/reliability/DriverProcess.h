#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace zorvik::reliability {

// One run of zorvik-add-driver (AddDriver.cpp) as a child process.
struct DriverRun {
  bool killed = false;                   // SIGKILL arrived while it still ran
  int exitCode = -1;                     // when it ended by itself
  std::string out;                       // its standard output
  std::chrono::duration<double> took{};  // from start to end
  // The lines of `out` that start with `kind` and a tab, without that prefix.
  std::vector<std::string> Lines(const std::string& kind) const;
};

// Runs the driver with `arguments` (the log path first). With `killAfter`, sends SIGKILL that
// long after the start unless it has ended by then. Throws std::runtime_error when it cannot
// start.
DriverRun RunAddDriver(const std::vector<std::string>& arguments,
                       std::optional<std::chrono::microseconds> killAfter = std::nullopt);

}  // namespace zorvik::reliability
