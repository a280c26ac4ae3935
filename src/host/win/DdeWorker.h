#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace zorvik::host::win {

class DdemlSession;

// The thread that owns the DDEML session and pumps its messages, so that a host which never
// answers (or whose window hangs every DDE initiate in the system) costs the caller a bounded
// wait instead of a frozen window.
//
// Jobs run one at a time, in order, on the worker thread. Run() waits at most `limit`; a job that
// has not finished by then is abandoned: if it has not started it is skipped, and if it is running
// its `onAbandoned` step runs on the worker after it, so a late success can be undone.
class DdeWorker {
 public:
  using Job = std::function<std::string(DdemlSession&)>;
  using Cleanup = std::function<void(DdemlSession&)>;

  using AdviseHandler = std::function<void(std::uint64_t setUp, const std::string& value)>;

  // Starts the thread and DDEML on it. `onAdvise` is called on the worker thread with each new
  // value of the automatic link's item (see DdemlSession). Does not throw when DDEML fails to
  // start: every job then throws that failure.
  explicit DdeWorker(AdviseHandler onAdvise);
  // Asks the thread to end and waits a short while; a thread stuck in a hung host's call is left
  // to finish on its own (it owns everything it touches). Never throws.
  ~DdeWorker();
  DdeWorker(const DdeWorker&) = delete;
  DdeWorker& operator=(const DdeWorker&) = delete;

  // Runs `job` on the worker and returns its result or rethrows its Failure. Throws
  // Failure(286) when it did not finish within `limit`. While it waits, the calling thread
  // answers the messages sent to its windows (a DDE search for a server asks every window in the
  // system); its input and posted messages stay queued, so no handler of the caller's runs.
  std::string Run(Job job, std::chrono::milliseconds limit, Cleanup onAbandoned = {});

  // Queues `job` without waiting for it; its failures are dropped.
  void Post(Cleanup job);

 private:
  struct Shared;
  // The thread's body: runs jobs and pumps DDEML's messages until asked to stop.
  static void WorkerMain(const std::shared_ptr<Shared>& shared);

  std::shared_ptr<Shared> shared_;
};

}  // namespace zorvik::host::win
