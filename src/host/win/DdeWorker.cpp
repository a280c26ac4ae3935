#include "host/win/DdeWorker.h"

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>

#include "core/Failure.h"
#include "host/win/DdemlSession.h"

namespace zorvik::host::win {
namespace {

// How long the destructor waits for the thread before leaving it to finish alone.
constexpr std::chrono::milliseconds kStopWait{2000};

// A Win32 event, closed with its owner.
class EventHandle {
 public:
  EventHandle() : handle_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
  ~EventHandle() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  EventHandle(const EventHandle&) = delete;
  EventHandle& operator=(const EventHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// One Run() call as both threads see it. The caller gives up by marking it abandoned; the worker
// then skips it, or undoes it when it was already running.
struct JobState {
  enum class Phase { kQueued, kRunning, kDone, kAbandoned };
  std::mutex mutex;
  EventHandle done;  // set when the phase becomes kDone
  Phase phase = Phase::kQueued;
  std::string result;
  std::exception_ptr error;
};

}  // namespace

struct DdeWorker::Shared {
  std::mutex mutex;
  std::condition_variable exitedChanged;
  std::deque<std::function<void(DdemlSession*)>> queue;
  bool stopping = false;
  bool exited = false;
  EventHandle wake;
  AdviseHandler onAdvise;
  std::exception_ptr startFailure;  // written by the worker before it takes any job
  std::thread thread;

  void Push(std::function<void(DdemlSession*)> item) {
    {
      std::lock_guard lock(mutex);
      queue.push_back(std::move(item));
    }
    SetEvent(wake.get());
  }
};

DdeWorker::DdeWorker(AdviseHandler onAdvise) : shared_(std::make_shared<Shared>()) {
  shared_->onAdvise = std::move(onAdvise);
  shared_->thread = std::thread([shared = shared_] { WorkerMain(shared); });
}

DdeWorker::~DdeWorker() {
  std::unique_lock lock(shared_->mutex);
  shared_->stopping = true;
  SetEvent(shared_->wake.get());
  shared_->exitedChanged.wait_for(lock, kStopWait, [this] { return shared_->exited; });
  lock.unlock();
  // Never joined: a thread stuck in a hung host's SendMessage cannot be stopped safely, and even
  // a thread that is done may spend seconds in DDEML's per-thread clean-up ending a conversation
  // with a hung host. It holds its own reference to the shared state and touches nothing else.
  shared_->thread.detach();
}

std::string DdeWorker::Run(Job job, std::chrono::milliseconds limit, Cleanup onAbandoned) {
  auto state = std::make_shared<JobState>();
  shared_->Push([state, job = std::move(job), onAbandoned = std::move(onAbandoned),
                 startFailure = &shared_->startFailure](DdemlSession* session) {
    {
      std::lock_guard lock(state->mutex);
      if (state->phase == JobState::Phase::kAbandoned) return;
      state->phase = JobState::Phase::kRunning;
    }
    std::string result;
    std::exception_ptr error;
    try {
      if (session == nullptr) std::rethrow_exception(*startFailure);
      result = job(*session);
    } catch (...) {
      error = std::current_exception();
    }
    bool abandoned = false;
    {
      std::lock_guard lock(state->mutex);
      abandoned = state->phase == JobState::Phase::kAbandoned;
      if (!abandoned) {
        state->phase = JobState::Phase::kDone;
        state->result = std::move(result);
        state->error = error;
      }
    }
    if (!abandoned) SetEvent(state->done.get());
    if (abandoned && session != nullptr && onAbandoned) onAbandoned(*session);
  });

  // The caller answers the messages sent to its own windows while it waits (input and posted
  // messages stay queued): a DDE client's search for its server sends to every top-level window
  // in the system and waits for each answer, so a caller that owns windows and only slept would
  // hold the search up until the limit, and every check would end in a timeout.
  const auto end = std::chrono::steady_clock::now() + limit;
  const HANDLE done = state->done.get();
  for (;;) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    {
      std::lock_guard lock(state->mutex);
      if (state->phase == JobState::Phase::kDone) break;
      if (left.count() <= 0) {
        state->phase = JobState::Phase::kAbandoned;
        throw Failure(err::kDdeTimeout,
                      "Timeout while waiting for DDE response (no answer within " +
                          std::to_string((limit.count() + 999) / 1000) + " s)");
      }
    }
    if (MsgWaitForMultipleObjectsEx(1, &done, static_cast<DWORD>(left.count()), QS_SENDMESSAGE,
                                    0) == WAIT_OBJECT_0 + 1) {
      MSG msg;
      PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
  }
  if (state->error) std::rethrow_exception(state->error);
  return std::move(state->result);
}

void DdeWorker::Post(Cleanup job) {
  shared_->Push([job = std::move(job)](DdemlSession* session) {
    if (session == nullptr) return;
    try {
      job(*session);
    } catch (...) {
      // Fire and forget: nobody is left to tell.
    }
  });
}

namespace {

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace

void DdeWorker::WorkerMain(const std::shared_ptr<Shared>& shared) {
  std::optional<DdemlSession> session;
  try {
    session.emplace(shared->onAdvise);
  } catch (...) {
    shared->startFailure = std::current_exception();
  }
  for (;;) {
    PumpMessages();
    std::function<void(DdemlSession*)> item;
    {
      std::lock_guard lock(shared->mutex);
      if (shared->stopping) break;
      if (!shared->queue.empty()) {
        item = std::move(shared->queue.front());
        shared->queue.pop_front();
      }
    }
    if (item) {
      item(session ? &*session : nullptr);
      continue;
    }
    // Wakes for a new job and for every message DDEML's windows receive.
    const HANDLE wake = shared->wake.get();
    MsgWaitForMultipleObjects(1, &wake, FALSE, INFINITE, QS_ALLINPUT);
  }
  session.reset();
  {
    std::lock_guard lock(shared->mutex);
    shared->queue.clear();
    shared->exited = true;
  }
  shared->exitedChanged.notify_all();
}

}  // namespace zorvik::host::win
