#pragma once
// Recordings in any format libsndfile reads (WAV, FLAC, Ogg, MP3), brought to one rate in
// mono, and an input device that plays one back in real time, looped, as a microphone.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Thread.h"
#include "platform/audio/WaveIn.h"

namespace platform {

constexpr int MIN_RECORDING_RATE = 1000;
constexpr int MAX_RECORDING_RATE = 768000;

// Reads `path`, mixes its channels to mono and resamples it to `rate`, as 16-bit samples.
// Nullopt with a one-line reason in `error` for a file that cannot be read, is damaged or
// holds no sound.
std::optional<std::vector<std::int16_t>> ReadRecording(const std::string& path, std::uint32_t rate,
                                                       std::string& error);

// Hands out the recording's samples in real time on the platform clock, from its start,
// looping at its end: with 2048-sample buffers at 8000 Hz, one buffer per 256 ms.
class RecordingWaveIn final : public WaveIn {
  public:
    // `samples` are at `rate`, mono; shared, so that a device may be made more than once.
    RecordingWaveIn(std::shared_ptr<const std::vector<std::int16_t>> samples, std::uint32_t rate);
    ~RecordingWaveIn() override { Close(); }

    std::size_t DeviceCount() override { return 1; }
    // Accepts 16-bit mono at the recording's rate only.
    std::string Open(std::size_t device, const WaveFormat& format, WaveInClient& client) override;
    void AddBuffer(WaveHeader& header) override { queue.Add(header); }
    void Start() override;
    void Stop() override;
    void Reset() override { queue.Reset(); }
    void Close() override;

    // Sound that found no queued buffer, in samples.
    std::uint64_t Dropped() const { return queue.Dropped(); }

  private:
    void Run();

    static constexpr std::uint32_t PERIOD_MS = 8;
    static constexpr std::size_t PIECE = 256;
    std::shared_ptr<const std::vector<std::int16_t>> samples;
    std::uint32_t rate;
    std::size_t position = 0;  // next sample to hand out; only the pacing thread moves it
    bool open = false;
    WaveInQueue queue;
    std::atomic<bool> stop{false};
    std::unique_ptr<Thread> thread;
};

}  // namespace platform
