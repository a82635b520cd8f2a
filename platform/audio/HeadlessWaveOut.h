#pragma once
// Output devices for runs without a sound card: both pull sound at their own pace,
// real time on the platform clock, and either drop it or write it to a WAV file.

#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Thread.h"
#include "platform/audio/WavFile.h"
#include "platform/audio/WaveOutQueue.h"

namespace platform {

class PacedWaveOut : public QueuedWaveOut {
  public:
    ~PacedWaveOut() override;
    std::string Open(const WaveFormat& format, WaveOutClient& client) override;
    void Close() override;

  protected:
    // Receives each pulled piece of sound on the pacing thread.
    virtual void Consume(std::span<const std::int16_t> samples) = 0;
    // Called by Open before the pacing starts; "" or a reason to fail.
    virtual std::string Prepare(const WaveFormat&) { return {}; }
    virtual void Finish() {}

  private:
    void Run();

    // Long enough that an idle program is not woken hundreds of times a second, short
    // beside the mixer's blocks so that no block comes late.
    static constexpr std::uint32_t PERIOD_MS = 10;
    static constexpr std::size_t CHUNK_FRAMES = 256;
    WaveFormat format;
    std::vector<std::int16_t> chunk;
    std::atomic<bool> stop{false};
    std::unique_ptr<Thread> thread;
};

class NullWaveOut final : public PacedWaveOut {
  public:
    ~NullWaveOut() override { Close(); }

  protected:
    void Consume(std::span<const std::int16_t>) override {}
};

// What became of a recording, for whoever asked for it to read once the device is gone.
class RecordingOutcome {
  public:
    void Succeed();
    void Fail(const std::string& reason);  // the first reason is kept
    bool Written() const;
    // The first failure seen, "" when none was (nor, perhaps, any attempt).
    std::string Error() const;

  private:
    mutable std::mutex mutex;
    bool written = false;
    std::string error;
};

class WavFileWaveOut final : public PacedWaveOut {
  public:
    explicit WavFileWaveOut(std::filesystem::path path,
                            std::shared_ptr<RecordingOutcome> outcome = nullptr)
        : path(std::move(path)), outcome(std::move(outcome)) {}
    ~WavFileWaveOut() override { Close(); }
    // The reason the file could not be finished, "" when it was.
    const std::string& FinishError() const { return finishError; }

  protected:
    std::string Prepare(const WaveFormat& format) override;
    void Consume(std::span<const std::int16_t> samples) override { writer.Write(samples); }
    void Finish() override;

  private:
    std::filesystem::path path;
    std::shared_ptr<RecordingOutcome> outcome;
    WavWriter writer;
    std::string finishError;
};

}  // namespace platform
