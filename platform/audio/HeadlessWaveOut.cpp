#include "platform/audio/HeadlessWaveOut.h"

#include "platform/Clock.h"

namespace platform {

PacedWaveOut::~PacedWaveOut() {
    // Derived classes close first; this only guards against a thread left running.
    stop = true;
    if (thread) thread->Join(INFINITE_WAIT);
}

std::string PacedWaveOut::Open(const WaveFormat& f, WaveOutClient& client) {
    if (thread) return "the device is already open";
    if (f.formatTag != 1 || f.bitsPerSample != 16 || f.channels == 0 || f.samplesPerSec == 0) {
        return "unsupported sound format";
    }
    if (std::string error = Prepare(f); !error.empty()) return error;
    format = f;
    chunk.assign(CHUNK_FRAMES * f.channels, 0);
    queue.Start(f, client);
    stop = false;
    thread = std::make_unique<Thread>([this] { Run(); }, ThreadPriority::Highest);
    return {};
}

void PacedWaveOut::Close() {
    if (!thread) return;
    stop = true;
    thread->Join(INFINITE_WAIT);
    thread.reset();
    Finish();
}

void PacedWaveOut::Run() {
    const std::uint32_t start = TickMs();
    std::uint64_t played = 0;  // frames
    while (!stop) {
        SleepMs(PERIOD_MS);
        std::uint64_t due =
            static_cast<std::uint64_t>(TickMs() - start) * format.samplesPerSec / 1000;
        while (played < due && !stop) {
            std::size_t frames =
                static_cast<std::size_t>(std::min<std::uint64_t>(due - played, CHUNK_FRAMES));
            std::span<std::int16_t> piece(chunk.data(), frames * format.channels);
            queue.Pull(piece);
            Consume(piece);
            played += frames;
        }
    }
}

std::string WavFileWaveOut::Prepare(const WaveFormat& format) {
    std::string error = writer.Open(path, format.samplesPerSec, format.channels);
    if (!error.empty() && outcome) outcome->Fail(error);
    return error;
}

void WavFileWaveOut::Finish() {
    finishError = writer.Finish();
    if (!outcome) return;
    if (finishError.empty()) {
        outcome->Succeed();
    } else {
        outcome->Fail(finishError);
    }
}

void RecordingOutcome::Succeed() {
    std::lock_guard lock(mutex);
    written = error.empty();
}

void RecordingOutcome::Fail(const std::string& reason) {
    std::lock_guard lock(mutex);
    written = false;
    if (error.empty()) error = reason;
}

bool RecordingOutcome::Written() const {
    std::lock_guard lock(mutex);
    return written;
}

std::string RecordingOutcome::Error() const {
    std::lock_guard lock(mutex);
    return error;
}

}  // namespace platform
