#include "platform/audio/WaveOutQueue.h"

#include <algorithm>

namespace platform {

void WaveOutQueue::Start(const WaveFormat& format, WaveOutClient& c, std::uint32_t aheadMs) {
    std::lock_guard lock(mutex);
    client = &c;
    limitSamples =
        static_cast<std::size_t>(format.samplesPerSec) * format.channels * aheadMs / 1000;
    pending.Clear();
    finished.Clear();
    handedBackCount = 0;
    frontOffset = pendingSamples = 0;
    paused = false;
}

void WaveOutQueue::Write(WaveHeader& header) {
    std::lock_guard lock(mutex);
    auto end = handedBack.begin() + static_cast<std::ptrdiff_t>(handedBackCount);
    auto it = std::find(handedBack.begin(), end, &header);
    if (it != end) {
        *it = handedBack[--handedBackCount];
    }
    std::size_t samples = std::min<std::size_t>(header.bufferLength / 2, header.data.size());
    if (pending.Push(&header)) pendingSamples += samples;
}

std::size_t WaveOutQueue::AheadLocked() const {
    std::size_t ahead = pendingSamples;
    for (std::size_t i = 0; i < handedBackCount; ++i)
        ahead += handedBack[i]->data.size();
    return ahead;
}

std::size_t WaveOutQueue::AheadSamples() const {
    std::lock_guard lock(mutex);
    return AheadLocked();
}

std::size_t WaveOutQueue::HandedBack() const {
    std::lock_guard lock(mutex);
    return handedBackCount;
}

std::size_t WaveOutQueue::Pull(std::span<std::int16_t> out) {
    std::array<WaveHeader*, CAPACITY> done{};
    std::size_t doneCount = 0, played = 0;
    WaveOutClient* target;
    {
        std::lock_guard lock(mutex);
        target = client;
        std::size_t at = 0;
        while (!paused && at < out.size() && pending.count > 0) {
            WaveHeader* h = pending.Front();
            std::size_t length = std::min<std::size_t>(h->bufferLength / 2, h->data.size());
            std::size_t n = std::min(length - frontOffset, out.size() - at);
            std::copy_n(h->data.begin() + static_cast<std::ptrdiff_t>(frontOffset), n,
                        out.begin() + static_cast<std::ptrdiff_t>(at));
            at += n;
            frontOffset += n;
            pendingSamples -= n;
            if (frontOffset == length) {
                pending.Pop();
                finished.Push(h);
                frontOffset = 0;
            }
        }
        played = at;
        std::fill(out.begin() + static_cast<std::ptrdiff_t>(at), out.end(), std::int16_t{0});
        // Hand back while the buffer's refill keeps the sound ahead within the limit; with
        // nothing ahead at all, hand one back whatever its size.
        std::size_t ahead = AheadLocked();
        while (finished.count > 0) {
            WaveHeader* h = finished.Front();
            if (ahead > 0 && ahead + h->data.size() > limitSamples) break;
            if (handedBackCount == CAPACITY) break;
            finished.Pop();
            handedBack[handedBackCount++] = h;
            ahead += h->data.size();
            done[doneCount++] = h;
        }
    }
    for (std::size_t i = 0; i < doneCount; ++i) {
        if (target) target->OnWaveOutDone(*done[i]);
    }
    return played;
}

void WaveOutQueue::SetPaused(bool value) {
    std::lock_guard lock(mutex);
    paused = value;
}

void WaveOutQueue::Reset() {
    std::lock_guard lock(mutex);
    pending.Clear();
    finished.Clear();
    handedBackCount = 0;
    frontOffset = pendingSamples = 0;
}

}  // namespace platform
