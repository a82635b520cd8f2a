#include "platform/audio/WavFile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>

namespace platform {

namespace {

constexpr std::size_t HEADER_BYTES = 44;
// The largest data chunk a RIFF size field can describe.
constexpr std::uint64_t MAX_DATA_BYTES = 0xFFFFFFFFull - 36;

void PutU16(std::uint8_t* at, std::uint16_t v) {
    at[0] = static_cast<std::uint8_t>(v & 0xFF);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}

void PutU32(std::uint8_t* at, std::uint32_t v) {
    PutU16(at, static_cast<std::uint16_t>(v));
    PutU16(at + 2, static_cast<std::uint16_t>(v >> 16));
}

std::array<std::uint8_t, HEADER_BYTES> Header(std::uint32_t rate, std::uint16_t channels,
                                              std::uint32_t dataBytes) {
    std::array<std::uint8_t, HEADER_BYTES> h{};
    auto text = [&](std::size_t at, const char* four) { std::memcpy(&h[at], four, 4); };
    text(0, "RIFF");
    // A stream of unknown length says so with all ones.
    PutU32(&h[4], dataBytes == 0xFFFFFFFF ? dataBytes : 36 + dataBytes);
    text(8, "WAVE");
    text(12, "fmt ");
    PutU32(&h[16], 16);
    PutU16(&h[20], 1);
    PutU16(&h[22], channels);
    PutU32(&h[24], rate);
    PutU32(&h[28], rate * channels * 2);
    PutU16(&h[32], static_cast<std::uint16_t>(channels * 2));
    PutU16(&h[34], 16);
    text(36, "data");
    PutU32(&h[40], dataBytes);
    return h;
}

}  // namespace

WavWriter::~WavWriter() = default;

std::string WavWriter::Open(const std::filesystem::path& target, std::uint32_t sampleRate,
                            std::uint16_t channelCount) {
    rate = sampleRate;
    channels = channelCount;
    dataBytes = 0;
    error.clear();
    if (std::string failure = file.Open(target.string()); !failure.empty()) return failure;
    return file.Write(Header(rate, channels, file.Seekable() ? 0 : 0xFFFFFFFF));
}

void WavWriter::Write(std::span<const std::int16_t> samples) {
    if (!file.IsOpen()) return;
    std::uint64_t room = (MAX_DATA_BYTES - dataBytes) / 2;
    samples =
        samples.first(static_cast<std::size_t>(std::min<std::uint64_t>(samples.size(), room)));
    bytes.resize(samples.size() * 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        PutU16(&bytes[2 * i], static_cast<std::uint16_t>(samples[i]));
    error = file.Write(bytes);
    dataBytes += bytes.size();
}

std::string WavWriter::Finish() {
    if (!error.empty()) return error;
    if (!file.IsOpen()) return "no file is being written";
    if (file.Seekable()) {
        auto header = Header(rate, channels, static_cast<std::uint32_t>(dataBytes));
        if (std::string failure = file.WriteAt(0, header); !failure.empty()) return failure;
    }
    return file.Commit();
}

namespace {

std::uint32_t U32(const std::vector<unsigned char>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::uint16_t U16(const std::vector<unsigned char>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

}  // namespace

std::string ReadWavFile(const std::filesystem::path& path, WavData& wav) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "cannot open " + path.string();
    std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), {});
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
        std::string(b.begin() + 8, b.begin() + 12) != "WAVE") {
        return path.string() + " is not a WAV file";
    }
    bool haveFormat = false;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        std::string id(b.begin() + static_cast<std::ptrdiff_t>(at),
                       b.begin() + static_cast<std::ptrdiff_t>(at + 4));
        std::uint64_t size = U32(b, at + 4);
        std::size_t body = at + 8;
        if (body + size > b.size()) size = b.size() - body;
        if (id == "fmt " && size >= 16) {
            if (U16(b, body) != 1 || U16(b, body + 14) != 16) {
                return path.string() + " is not 16-bit PCM";
            }
            wav.channels = U16(b, body + 2);
            wav.sampleRate = U32(b, body + 4);
            haveFormat = wav.channels > 0 && wav.sampleRate > 0;
        } else if (id == "data" && haveFormat) {
            wav.samples.resize(size / 2);
            for (std::size_t i = 0; i < wav.samples.size(); ++i) {
                wav.samples[i] = static_cast<std::int16_t>(U16(b, body + 2 * i));
            }
            return {};
        }
        at = body + size + (size & 1);
    }
    return path.string() + " holds no sound";
}

}  // namespace platform
