#pragma once
// A fixed ring of posted messages, safe to post to from any thread.

#include <array>
#include <condition_variable>
#include <cstddef>
#include <mutex>

#include "platform/Messages.h"

namespace platform {

class MessageQueue {
  public:
    static constexpr std::size_t CAPACITY = 1024;

    // False when the ring is full: the message is dropped, like a refused post. A stylus
    // move posted right after another replaces it.
    bool Post(const Msg& msg);
    // Removes the oldest message into `msg`; false when empty.
    bool Take(Msg& msg);
    bool Empty() const;
    // True when the oldest message waiting is a `message`.
    bool FrontIs(std::uint32_t message) const;
    std::size_t Size() const;
    // Blocks until a message is posted, Notify is called, or timeoutMs passes.
    void WaitForPost(std::uint32_t timeoutMs);
    void Notify();

  private:
    mutable std::mutex mutex;
    std::condition_variable cv;
    std::array<Msg, CAPACITY> ring{};
    std::size_t head = 0;  // oldest message
    std::size_t count = 0;
    bool notified = false;
};

}  // namespace platform
