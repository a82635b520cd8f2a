#include "platform/Thread.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

#include <chrono>

namespace platform {

void SetCurrentThreadPriority(ThreadPriority priority) {
    // Map onto the nice value of this thread; raising may be refused without privilege.
    static constexpr int niceFor[] = {-10, -5, -2, 0, 2, 5, 10, 19};
    int index = static_cast<int>(priority);
    if (index < 0 || index > 7) return;
    setpriority(PRIO_PROCESS, 0, niceFor[index]);
}

Thread::Thread(std::function<void()> body, ThreadPriority priority)
    : done(std::make_shared<Done>()) {
    thread = std::thread([body = std::move(body), priority, done = done] {
        SetCurrentThreadPriority(priority);
        body();
        std::lock_guard lock(done->mutex);
        done->finished = true;
        done->cv.notify_all();
    });
}

Thread::~Thread() {
    if (thread.joinable()) thread.join();
}

Thread& Thread::operator=(Thread&& other) noexcept {
    if (this != &other) {
        if (thread.joinable()) thread.join();
        done = std::move(other.done);
        thread = std::move(other.thread);
    }
    return *this;
}

bool Thread::Join(std::uint32_t timeoutMs) {
    if (!thread.joinable()) return true;
    {
        std::unique_lock lock(done->mutex);
        auto finished = [this] { return done->finished; };
        if (timeoutMs == INFINITE_WAIT) {
            done->cv.wait(lock, finished);
        } else if (!done->cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), finished)) {
            lock.unlock();
            thread.detach();
            return false;
        }
    }
    thread.join();
    return true;
}

void AutoResetEvent::Set() {
    std::lock_guard lock(mutex);
    signalled = true;
    cv.notify_one();
}

bool AutoResetEvent::Wait(std::uint32_t timeoutMs) {
    std::unique_lock lock(mutex);
    auto ready = [this] { return signalled; };
    if (timeoutMs == INFINITE_WAIT) {
        cv.wait(lock, ready);
    } else if (!cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready)) {
        return false;
    }
    signalled = false;
    return true;
}

}  // namespace platform
