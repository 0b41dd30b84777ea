#include "platform/call_worker.h"

namespace vantrel::platform {

template <typename Ready>
bool CallWorker::spinUntil(Ready ready) {
    const auto end = std::chrono::steady_clock::now() + kSpin;
    while (!ready()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::yield();
    }
    return true;
}

CallWorker::CallWorker(std::chrono::milliseconds interval, Waiting waiting)
    : m_interval(interval), m_waiting(std::move(waiting)) {}

CallWorker::~CallWorker() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void CallWorker::await(const std::shared_ptr<Task>& task) {
    using Clock = std::chrono::steady_clock;
    std::unique_lock lock(m_mutex);
    if (!m_thread.joinable()) startThread();
    // Whatever waits before it was given up: the device keeps it still, and
    // the waiting is asked at once whether this one is wanted any more.
    Clock::time_point due = m_tasks.empty() ? Clock::now() + m_interval : Clock::now();
    m_tasks.push_back(task);
    m_queued = m_tasks.size();
    // Woken with the lock let go, the worker need not wait for it again.
    lock.unlock();
    m_wake.notify_one();
    spinUntil([&] { return task->finished.load(); });
    lock.lock();
    for (; !m_done.wait_until(lock, due, [&] { return task->done; });
         due = Clock::now() + m_interval) {
        lock.unlock();
        bool goOn = true;
        try {
            goOn = m_waiting();
        } catch (...) {
            lock.lock();
            giveUp(lock, *task);
            throw;
        }
        lock.lock();
        if (!goOn && !task->done && (task->started || m_tasks.front() != task)) {
            giveUp(lock, *task);
            throw CallAbandoned{};
        }
    }
}

void CallWorker::giveUp(std::unique_lock<std::mutex>& lock, Task& task) {
    if (!task.done) {
        task.abandoned = true;
        if (task.started) cancelPendingIo();
        return;
    }
    // Done while the waiting was busy: what it came to is discarded here.
    lock.unlock();
    task.discard();
    lock.lock();
}

void CallWorker::work() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_tasks.empty() && !m_stopping) {
            // The next call of a job comes soon after the last one.
            lock.unlock();
            spinUntil([this] { return m_queued.load() > 0; });
            lock.lock();
        }
        m_wake.wait(lock, [this] { return m_stopping || !m_tasks.empty(); });
        if (m_tasks.empty()) return;
        const std::shared_ptr<Task> task = m_tasks.front();
        task->started = true;
        lock.unlock();
        task->run();
        lock.lock();
        m_tasks.pop_front();
        m_queued = m_tasks.size();
        task->done = true;
        task->finished = true;
        const bool abandoned = task->abandoned;
        lock.unlock();
        m_done.notify_all();
        if (abandoned) task->discard();
        lock.lock();
    }
}

}  // namespace vantrel::platform
