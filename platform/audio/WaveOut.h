#pragma once
// The sound output device. The writer keeps a ring of buffers: it writes each one, and
// the device hands it back through OnWaveOutDone once it is free to be filled again.
// A device lets no more than about 40 ms of written sound wait ahead of playback: it
// may hand a buffer back late, but never plays a stale one. Wave-in (WaveIn.h) shares the
// format and the buffer header.

#include <cstdint>
#include <span>
#include <string>

namespace platform {

struct WaveFormat {
    std::uint16_t formatTag = 1;  // PCM
    std::uint16_t channels = 1;
    std::uint32_t samplesPerSec = 22050;
    std::uint32_t avgBytesPerSec = 44100;
    std::uint16_t blockAlign = 2;
    std::uint16_t bitsPerSample = 16;
};

// 16-bit PCM at `rate` with one or two channels.
inline WaveFormat MakePcmFormat(std::uint32_t rate, std::uint16_t channels) {
    WaveFormat f;
    f.channels = channels;
    f.samplesPerSec = rate;
    f.blockAlign = static_cast<std::uint16_t>(channels * 2);
    f.avgBytesPerSec = rate * f.blockAlign;
    return f;
}

struct WaveHeader {
    std::span<std::int16_t> data;     // the whole buffer; owned by the writer
    std::uint32_t bufferLength = 0;   // bytes of data to play, at most data.size_bytes()
    std::uint32_t user = 0;           // the writer's number for this buffer
    std::uint32_t bytesRecorded = 0;  // wave-in: bytes of data the device filled
};

class WaveOutClient {
  public:
    virtual ~WaveOutClient() = default;
    // Called on the device's thread: `header` may be filled and written again.
    virtual void OnWaveOutDone(WaveHeader& header) = 0;
};

class WaveOut {
  public:
    virtual ~WaveOut() = default;
    // Returns "" when the device opened, else a one-line reason.
    virtual std::string Open(const WaveFormat& format, WaveOutClient& client) = 0;
    virtual void Write(WaveHeader& header) = 0;
    virtual void Pause() = 0;
    virtual void Restart() = 0;
    // Forgets every written buffer without handing it back.
    virtual void Reset() = 0;
    // Stops the device; no callback runs after it returns.
    virtual void Close() = 0;
};

}  // namespace platform
