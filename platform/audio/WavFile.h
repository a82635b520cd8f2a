#pragma once
// 16-bit PCM WAV files: writing (streamed, safely) and reading.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "platform/SafeFile.h"

namespace platform {

// Streams a WAV file through a SafeFileWriter: a failed or abandoned write leaves the
// target as it was. The sizes in the header are completed by Finish; a pipe, which cannot
// be rewound, gets the "length unknown" sizes instead.
class WavWriter {
  public:
    WavWriter() = default;
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // Returns "" or a one-line reason.
    std::string Open(const std::filesystem::path& path, std::uint32_t rate, std::uint16_t channels);
    // A failure is kept for Finish to report; what follows it is dropped.
    void Write(std::span<const std::int16_t> samples);
    std::string Finish();
    bool IsOpen() const { return file.IsOpen(); }

  private:
    SafeFileWriter file;
    std::string error;
    std::vector<std::uint8_t> bytes;
    std::uint32_t rate = 0;
    std::uint16_t channels = 1;
    std::uint64_t dataBytes = 0;
};

struct WavData {
    std::uint32_t sampleRate = 0;
    std::uint16_t channels = 0;
    std::vector<std::int16_t> samples;  // interleaved
};

// Reads a 16-bit PCM WAV file; returns "" or a one-line reason.
std::string ReadWavFile(const std::filesystem::path& path, WavData& wav);

}  // namespace platform
