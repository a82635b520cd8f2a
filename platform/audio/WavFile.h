#pragma once
// 16-bit PCM WAV files: writing through a temporary file, and reading.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

namespace platform {

// Writes beside the target under a temporary name; Finish renames it into place, so a
// failed or abandoned write never leaves a half-written file.
class WavWriter {
  public:
    WavWriter() = default;
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // Returns "" or a one-line reason.
    std::string Open(const std::filesystem::path& path, std::uint32_t rate, std::uint16_t channels);
    void Write(std::span<const std::int16_t> samples);
    std::string Finish();
    bool IsOpen() const { return out.is_open(); }

  private:
    void Discard();

    std::filesystem::path path, temp;
    std::ofstream out;
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
