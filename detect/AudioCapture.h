#pragma once
// Microphone capture: a ring of buffers queued on an input device, and a capture thread
// that hands each filled buffer to the callback, one at a time, in the device's order. A
// buffer goes back to the device only after the callback returns, so a slow callback
// makes the device drop sound rather than overlap itself.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "platform/Thread.h"
#include "platform/audio/WaveIn.h"

namespace detect {

class AudioCapture final : private platform::WaveInClient {
  public:
    // Receives the samples the device recorded into one buffer (fewer than a whole buffer
    // when the device says so), on the capture thread.
    using Callback = std::function<void(std::span<const std::int16_t> samples)>;

    AudioCapture() = default;
    // Teardown: stops a running capture.
    ~AudioCapture() override;
    AudioCapture(const AudioCapture&) = delete;
    AudioCapture& operator=(const AudioCapture&) = delete;

    // The device that start opens and stop closes; kept across runs. Only while stopped.
    void SetDevice(std::unique_ptr<platform::WaveIn> device);
    bool Configure(Callback callback, platform::ThreadPriority priority, std::uint16_t bufferCount,
                   std::uint32_t bufferSize, std::uint16_t channels, std::uint32_t samplesPerSec,
                   std::uint16_t bitsPerSample);
    // False, having released what it made, when already running, not configured, or no
    // device accepts the format (LastError says why).
    bool Start();
    // False when no capture runs.
    bool Stop();
    // Configure with normal priority and four buffers, then Start.
    bool StartCapture(Callback callback, std::uint32_t samplesPerSec, std::uint32_t bufferSize,
                      std::uint16_t bitsPerSample, std::uint16_t channels);
    bool StopCapture() { return Stop(); }

    bool Running() const { return running; }
    const platform::WaveFormat& Format() const { return format; }
    std::string LastError() const;

  private:
    void OnWaveInData(platform::WaveHeader& header) override;
    std::string OpenDevice();
    void CaptureLoop(const Callback& cb);
    void Release();

    // Start, Stop and the settings: the application's thread only, one call at a time.
    std::mutex control;
    std::unique_ptr<platform::WaveIn> device;
    bool deviceOpen = false;
    bool configured = false;
    Callback callback;
    platform::ThreadPriority priority = platform::ThreadPriority::Normal;
    std::uint16_t bufferCount = 0;
    std::uint32_t bufferSize = 0;  // bytes
    platform::WaveFormat format;
    std::vector<std::int16_t> memory;  // bufferCount buffers and one spare, zero-filled
    std::vector<platform::WaveHeader> headers;
    std::unique_ptr<platform::Thread> thread;
    std::atomic<bool> running{false};

    // Filled buffers waiting for the capture thread, and its stop request.
    mutable std::mutex mutex;
    std::condition_variable wake;
    std::vector<platform::WaveHeader*> filled;  // reserved for every header at start
    bool stopRequested = false;
    std::string lastError;
};

}  // namespace detect
