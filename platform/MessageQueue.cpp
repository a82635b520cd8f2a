#include "platform/MessageQueue.h"

#include <chrono>

#include "platform/Thread.h"

namespace platform {

bool MessageQueue::Post(const Msg& msg) {
    {
        std::lock_guard lock(mutex);
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
