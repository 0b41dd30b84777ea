#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>
#include <utility>

namespace vantrel::platform {

// What the caller of a call it gave up on gets instead of the call's outcome
// (see CallWorker). Not a failure, and no std::exception: no handler of
// failures takes it for one.
struct CallAbandoned {};

// A thread of its own for calls that may block on a device for seconds or
// minutes (a drive retrying a scratched sector or spinning up, a share whose
// server is gone), so that the thread that asks keeps doing its own work
// while one is in flight (a window's events) and can give it up.
//
// Calls run one at a time, in the order asked. A call given up goes on
// alone: it must own whatever it uses (copies of its arguments, a share of
// the memory it fills), what it comes to is handed to its `discard` on the
// worker's thread, and the calls asked for after it wait behind it. Giving a
// call up cancels the worker's pending I/O where the system can (Windows);
// on POSIX a read in the kernel cannot be cancelled. The thread starts with
// the first call; destroying the worker waits for the calls it still holds.
class CallWorker {
  public:
    // What the asking thread does while its call is in flight, once every
    // interval: true to go on waiting, false to give the call up. The call is
    // given up unless the worker has not begun it with nothing before it (a
    // busy machine's late start, not a device that keeps it).
    using Waiting = std::function<bool()>;

    CallWorker(std::chrono::milliseconds interval, Waiting waiting);
    ~CallWorker();
    CallWorker(const CallWorker&) = delete;
    CallWorker& operator=(const CallWorker&) = delete;

    // Runs `call` on the worker's thread and returns what it returns, or
    // throws what it throws; throws CallAbandoned when it was given up.
    template <typename Result>
    Result run(std::function<Result()> call, std::function<void(Result&)> discard = {});

  private:
    struct Task {
        virtual ~Task() = default;
        virtual void run() noexcept = 0;
        virtual void discard() noexcept = 0;
        // Guarded by m_mutex.
        bool started = false, done = false, abandoned = false;
        // `done`, for a look without the lock.
        std::atomic<bool> finished = false;
    };
    template <typename Result>
    struct CallTask;

    // Queues `task` and waits for it as the class describes.
    void await(const std::shared_ptr<Task>& task);
    void work();
    // Marks `task` given up (under the lock): what it comes to is discarded.
    void giveUp(std::unique_lock<std::mutex>& lock, Task& task);
    // Per system: the thread, started with no signal to take (POSIX); the
    // I/O the worker waits for, cancelled (Windows).
    void startThread();
    void cancelPendingIo();
    // Spins for up to kSpin while `ready` is false; what it is at the end.
    template <typename Ready>
    static bool spinUntil(Ready ready);

    // A call of a file in memory takes microseconds, and waking a sleeping
    // thread takes about as long again, each way: both threads look for a
    // while before they sleep, so that a job of thousands of small files
    // does not pay two wake-ups for every call.
    static constexpr std::chrono::microseconds kSpin{200};

    const std::chrono::milliseconds m_interval;
    const Waiting m_waiting;
    std::mutex m_mutex;
    std::condition_variable m_wake;  // a task to run, or the end
    std::condition_variable m_done;  // a task done
    std::deque<std::shared_ptr<Task>> m_tasks;
    std::atomic<std::size_t> m_queued = 0;  // m_tasks.size(), for a look without the lock
    bool m_stopping = false;
    std::thread m_thread;
};

template <typename Result>
struct CallWorker::CallTask final : Task {
    std::function<Result()> call;
    std::function<void(Result&)> discardResult;
    std::optional<Result> result;
    std::exception_ptr failure;

    void run() noexcept override {
        try {
            result.emplace(call());
        } catch (...) {
            failure = std::current_exception();
        }
    }
    void discard() noexcept override {
        try {
            if (result && discardResult) discardResult(*result);
        } catch (...) {
            // Nobody waits for it any more.
        }
    }
};

template <typename Result>
Result CallWorker::run(std::function<Result()> call, std::function<void(Result&)> discard) {
    const auto task = std::make_shared<CallTask<Result>>();
    task->call = std::move(call);
    task->discardResult = std::move(discard);
    await(task);
    if (task->failure) std::rethrow_exception(task->failure);
    return std::move(*task->result);
}

}  // namespace vantrel::platform
