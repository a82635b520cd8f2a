#include "platform/audio/WavFile.h"

#include <system_error>

namespace platform {

namespace {

void PutU16(std::ostream& out, std::uint16_t v) {
    out.put(static_cast<char>(v & 0xFF)).put(static_cast<char>(v >> 8));
}

void PutU32(std::ostream& out, std::uint32_t v) {
    PutU16(out, static_cast<std::uint16_t>(v));
    PutU16(out, static_cast<std::uint16_t>(v >> 16));
}

void WriteHeader(std::ostream& out, std::uint32_t rate, std::uint16_t channels,
                 std::uint32_t dataBytes) {
    out.write("RIFF", 4);
    PutU32(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    PutU32(out, 16);
    PutU16(out, 1);
    PutU16(out, channels);
    PutU32(out, rate);
    PutU32(out, rate * channels * 2);
    PutU16(out, static_cast<std::uint16_t>(channels * 2));
    PutU16(out, 16);
    out.write("data", 4);
    PutU32(out, dataBytes);
}

// The largest data chunk a RIFF size field can describe.
constexpr std::uint64_t MAX_DATA_BYTES = 0xFFFFFFFFull - 36;

}  // namespace

WavWriter::~WavWriter() {
    Discard();
}

void WavWriter::Discard() {
    if (!out.is_open()) return;
    out.close();
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
}

std::string WavWriter::Open(const std::filesystem::path& target, std::uint32_t sampleRate,
                            std::uint16_t channelCount) {
    Discard();
    path = target;
    temp = target;
    temp += ".tmp";
    rate = sampleRate;
    channels = channelCount;
    dataBytes = 0;
    out.open(temp, std::ios::binary | std::ios::trunc);
    if (!out) return "cannot write " + target.string();
    WriteHeader(out, rate, channels, 0);
    return {};
}

void WavWriter::Write(std::span<const std::int16_t> samples) {
    if (!out.is_open()) return;
    for (std::int16_t v : samples) {
        if (dataBytes + 2 > MAX_DATA_BYTES) return;
        PutU16(out, static_cast<std::uint16_t>(v));
        dataBytes += 2;
    }
}

std::string WavWriter::Finish() {
    if (!out.is_open()) return "no file is being written";
    out.seekp(0);
    WriteHeader(out, rate, channels, static_cast<std::uint32_t>(dataBytes));
    out.close();
    if (!out) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return "cannot write " + path.string();
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        return "cannot replace " + path.string();
    }
    return {};
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
