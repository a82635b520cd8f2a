#include "platform/MessageQueue.h"

#include <chrono>

#include "platform/Thread.h"

namespace platform {

bool MessageQueue::Post(const Msg& msg) {
    {
        std::lock_guard lock(mutex);
        // A move that follows a move replaces it: only where the stylus is now matters, and a
        // fast mouse would otherwise fill the queue and hold back timers and frames.
        if (msg.message == MSG_MOUSEMOVE && count > 0) {
            Msg& newest = ring[(head + count - 1) % CAPACITY];
            if (newest.message == MSG_MOUSEMOVE) {
                newest = msg;
                return true;
            }
        }
        if (count == CAPACITY) return false;
        ring[(head + count) % CAPACITY] = msg;
        ++count;
    }
    cv.notify_all();
    return true;
}

bool MessageQueue::Take(Msg& msg) {
    std::lock_guard lock(mutex);
    if (count == 0) return false;
    msg = ring[head];
    head = (head + 1) % CAPACITY;
    --count;
    return true;
}

bool MessageQueue::Empty() const {
    std::lock_guard lock(mutex);
    return count == 0;
}

bool MessageQueue::FrontIs(std::uint32_t message) const {
    std::lock_guard lock(mutex);
    return count > 0 && ring[head].message == message;
}

std::size_t MessageQueue::Size() const {
    std::lock_guard lock(mutex);
    return count;
}

void MessageQueue::WaitForPost(std::uint32_t timeoutMs) {
    std::unique_lock lock(mutex);
    auto ready = [this] { return count > 0 || notified; };
    if (timeoutMs == INFINITE_WAIT) {
        cv.wait(lock, ready);
    } else {
        cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
    }
    notified = false;
}

void MessageQueue::Notify() {
    {
        std::lock_guard lock(mutex);
        notified = true;
    }
    cv.notify_all();
}

}  // namespace platform
