#pragma once

#include <memory>

class QSocketNotifier;

namespace dxkeeper_sim {

// Quits the Qt event loop on SIGTERM or SIGINT, so the host shuts down through its destructors
// (removing its socket) instead of dying in the signal handler. One instance per process.
class QuitOnSignal {
 public:
  QuitOnSignal();  // throws std::runtime_error when the signal pipe cannot be made
  ~QuitOnSignal();
  QuitOnSignal(const QuitOnSignal&) = delete;
  QuitOnSignal& operator=(const QuitOnSignal&) = delete;

 private:
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace dxkeeper_sim
