#pragma once
// Threads with priorities, locks and auto-reset events.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace platform {

// Priorities in the hand-held's numbering: 0 is time-critical, 1 highest, 3 normal.
enum class ThreadPriority : int {
    TimeCritical = 0,
    Highest = 1,
    AboveNormal = 2,
    Normal = 3,
    BelowNormal = 4,
    Lowest = 5,
    AboveIdle = 6,
    Idle = 7,
};

// Best effort: an unprivileged process may not raise its priority, and that is no error.
void SetCurrentThreadPriority(ThreadPriority priority);

// A joinable thread whose wait can time out.
class Thread {
  public:
    Thread() = default;
    Thread(std::function<void()> body, ThreadPriority priority = ThreadPriority::Normal);
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    Thread(Thread&&) noexcept = default;
    // Waits for a thread this one still holds before taking the other's.
    Thread& operator=(Thread&& other) noexcept;

    bool Running() const { return thread.joinable(); }
    // Waits up to timeoutMs for the body to return. On a timeout the thread is left to
    // finish on its own (detached) and false is returned.
    bool Join(std::uint32_t timeoutMs);

  private:
    struct Done {
        std::mutex mutex;
        std::condition_variable cv;
        bool finished = false;
    };
    std::shared_ptr<Done> done;
    std::thread thread;
};

// A critical section: one owner at a time, re-entrant like the platform's.
class Lock {
  public:
    void Enter() { mutex.lock(); }
    void Leave() { mutex.unlock(); }
    bool TryEnter() { return mutex.try_lock(); }
    // BasicLockable, so std::lock_guard and std::scoped_lock work on it.
    void lock() { Enter(); }
    void unlock() { Leave(); }

  private:
    std::recursive_mutex mutex;
};

// Wakes one waiter per Set; a Set with no waiter stays signalled until the next Wait.
class AutoResetEvent {
  public:
    void Set();
    // Returns true when signalled, false after timeoutMs (INFINITE_WAIT never times out).
    bool Wait(std::uint32_t timeoutMs);

  private:
    std::mutex mutex;
    std::condition_variable cv;
    bool signalled = false;
};

constexpr std::uint32_t INFINITE_WAIT = 0xFFFFFFFF;

}  // namespace platform
