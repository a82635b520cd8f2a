#pragma once
// The buffer queue every output device shares: written buffers wait in order, the
// device pulls samples from them, and finished buffers are handed back only as fast as
// the limit on sound waiting ahead of playback allows.

#include <array>
#include <cstdint>
#include <mutex>
#include <span>

#include "platform/audio/WaveOut.h"

namespace platform {

constexpr std::uint32_t WAVE_OUT_AHEAD_MS = 40;

class WaveOutQueue {
  public:
    static constexpr std::size_t CAPACITY = 64;

    void Start(const WaveFormat& format, WaveOutClient& client,
               std::uint32_t aheadMs = WAVE_OUT_AHEAD_MS);
    void Write(WaveHeader& header);
    // Fills `out` with the next samples, silence where nothing is written or while paused,
    // then hands back finished buffers. Returns the number of written samples played.
    std::size_t Pull(std::span<std::int16_t> out);
    void SetPaused(bool paused);
    void Reset();

    // Samples written and not yet played, plus those of buffers handed back and not yet
    // written again.
    std::size_t AheadSamples() const;
    std::size_t HandedBack() const;

  private:
    template <typename T>
    struct Ring {
        std::array<T, CAPACITY> items{};
        std::size_t head = 0, count = 0;
        bool Push(T v) {
            if (count == CAPACITY) return false;
            items[(head + count++) % CAPACITY] = v;
            return true;
        }
        T Front() const { return items[head]; }
        void Pop() { head = (head + 1) % CAPACITY, --count; }
        void Clear() { head = count = 0; }
    };

    std::size_t AheadLocked() const;

    mutable std::mutex mutex;
    WaveOutClient* client = nullptr;
    Ring<WaveHeader*> pending;                       // written, waiting to play
    Ring<WaveHeader*> finished;                      // played, not yet handed back
    std::array<WaveHeader*, CAPACITY> handedBack{};  // handed back, not yet written again
    std::size_t handedBackCount = 0;
    std::size_t frontOffset = 0;     // samples of pending.Front() already played
    std::size_t pendingSamples = 0;  // unplayed samples in pending
    std::size_t limitSamples = 882;
    bool paused = false;
};

// A device base that keeps its buffers in a WaveOutQueue.
class QueuedWaveOut : public WaveOut {
  public:
    void Write(WaveHeader& header) override { queue.Write(header); }
    void Pause() override { queue.SetPaused(true); }
    void Restart() override { queue.SetPaused(false); }
    void Reset() override { queue.Reset(); }

  protected:
    WaveOutQueue queue;
};

// A device whose clock is whoever calls Pull: tests and simulations.
class ManualWaveOut final : public QueuedWaveOut {
  public:
    std::string Open(const WaveFormat& format, WaveOutClient& client) override {
        queue.Start(format, client);
        return {};
    }
    void Close() override {}
    std::size_t Pull(std::span<std::int16_t> out) { return queue.Pull(out); }
    const WaveOutQueue& Queue() const { return queue; }
};

}  // namespace platform
