#pragma once
// The sound input device. The reader queues empty buffers; the device fills them in
// order and hands each full one back through OnWaveInData, to be read and queued again.
// While no buffer is queued the device has nowhere to put sound and drops it: a slow
// reader loses the newest sound, and the device's own thread never waits for it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>

#include "platform/audio/WaveOut.h"

namespace platform {

class WaveInClient {
  public:
    virtual ~WaveInClient() = default;
    // Called on the device's thread when `header` is full: its first bytesRecorded bytes
    // hold sound. Returns quickly (it hands the buffer to a worker thread).
    virtual void OnWaveInData(WaveHeader& header) = 0;
};

class WaveIn {
  public:
    virtual ~WaveIn() = default;
    // Devices that Open may try, numbered from 0; 0 when there is none.
    virtual std::size_t DeviceCount() = 0;
    // Opens device `device` for `format`: "" when it opened, else a one-line reason.
    virtual std::string Open(std::size_t device, const WaveFormat& format,
                             WaveInClient& client) = 0;
    virtual void AddBuffer(WaveHeader& header) = 0;
    virtual void Start() = 0;
    // Stops recording; queued buffers stay queued.
    virtual void Stop() = 0;
    // Forgets every queued buffer without handing it back.
    virtual void Reset() = 0;
    // Stops the device; no callback runs after it returns.
    virtual void Close() = 0;
};

// The buffer queue of an input device: sound arrives in pieces of the device's own size
// and is laid into the queued buffers in order; each is handed back once it is full.
class WaveInQueue {
  public:
    static constexpr std::size_t CAPACITY = 64;

    void Start(WaveInClient& client);
    // False when CAPACITY buffers are queued already.
    bool Add(WaveHeader& header);
    // Lays `samples` into the queued buffers, handing back those it fills (outside the
    // lock, in order). Returns how many samples found no buffer and were dropped.
    std::size_t Push(std::span<const std::int16_t> samples);
    void Reset();
    std::size_t Queued() const;
    std::uint64_t Dropped() const;

  private:
    mutable std::mutex mutex;
    WaveInClient* client = nullptr;
    std::array<WaveHeader*, CAPACITY> queued{};  // a ring, oldest at head
    std::size_t head = 0, count = 0;
    std::size_t frontFilled = 0;  // samples already in the oldest queued buffer
    std::uint64_t dropped = 0;
};

}  // namespace platform
