#include <algorithm>

#include "platform/audio/WaveIn.h"

namespace platform {

void WaveInQueue::Start(WaveInClient& c) {
    std::lock_guard lock(mutex);
    client = &c;
    head = count = frontFilled = 0;
    dropped = 0;
}

bool WaveInQueue::Add(WaveHeader& header) {
    std::lock_guard lock(mutex);
    if (count == CAPACITY) return false;
    header.bytesRecorded = 0;
    queued[(head + count++) % CAPACITY] = &header;
    return true;
}

std::size_t WaveInQueue::Push(std::span<const std::int16_t> samples) {
    // Fixed storage: this runs on the device's own thread, which must not wait on the heap.
    std::array<WaveHeader*, CAPACITY> full{};
    std::size_t fullCount = 0;
    WaveInClient* to = nullptr;
    std::size_t lost = 0;
    {
        std::lock_guard lock(mutex);
        while (!samples.empty() && count > 0) {
            WaveHeader& h = *queued[head];
            std::size_t room = std::min<std::size_t>(h.bufferLength / 2, h.data.size());
            std::size_t n = std::min(room - frontFilled, samples.size());
            std::copy_n(samples.begin(), n,
                        h.data.begin() + static_cast<std::ptrdiff_t>(frontFilled));
            frontFilled += n;
            samples = samples.subspan(n);
            if (frontFilled == room) {
                h.bytesRecorded = static_cast<std::uint32_t>(room * 2);
                full[fullCount++] = &h;
                head = (head + 1) % CAPACITY;
                --count;
                frontFilled = 0;
            }
        }
        lost = samples.size();
        dropped += lost;
        to = client;
    }
    // Outside the lock: the client may queue a buffer again from its callback.
    for (std::size_t k = 0; to && k < fullCount; ++k)
        to->OnWaveInData(*full[k]);
    return lost;
}

void WaveInQueue::Reset() {
    std::lock_guard lock(mutex);
    head = count = frontFilled = 0;
}

std::size_t WaveInQueue::Queued() const {
    std::lock_guard lock(mutex);
    return count;
}

std::uint64_t WaveInQueue::Dropped() const {
    std::lock_guard lock(mutex);
    return dropped;
}

}  // namespace platform
