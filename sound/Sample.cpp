#include "sound/Sample.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace sound {

void Sample::SetRootNote(int note) {
    double hz = 440.0 * std::pow(2.0, (note - 69) / 12.0);
    rootFrequency = hz < 1 ? 1 : hz > 1e6 ? 1000000 : static_cast<std::uint32_t>(hz);
}

bool Sample::SetLoop(std::uint8_t mode, std::uint32_t start, std::uint32_t end) {
    if (start > length || end > length) return false;
    loopEnd = end == 0 ? (length == 0 ? 0 : length - 1) : end;
    loopMode = mode;
    loopStart = start;
    return true;
}

void Sample::ConvertTo16Bit() {
    if (!eightBit) return;
    data16.resize(data8.size());
    for (std::size_t i = 0; i < data8.size(); ++i) {
        data16[i] = static_cast<std::int16_t>((data8[i] - 128) * 256);
    }
    data8 = {};
    eightBit = false;
}

void Sample::Clear() {
    data16 = {};
    data8 = {};
    length = 0;
}

void Sample::Assign16(std::vector<std::int16_t> frames, std::uint32_t rate) {
    data8 = {};
    data16 = std::move(frames);
    length = static_cast<std::uint32_t>(data16.size());
    eightBit = false;
    sampleRate = rate == 0 ? 1 : rate;
    loopStart = 0;
    loopEnd = length == 0 ? 0 : length - 1;
}

void Sample::Assign8(std::vector<std::uint8_t> frames, std::uint32_t rate) {
    data16 = {};
    data8 = std::move(frames);
    length = static_cast<std::uint32_t>(data8.size());
    eightBit = true;
    sampleRate = rate == 0 ? 1 : rate;
    loopStart = 0;
    loopEnd = length == 0 ? 0 : length - 1;
}

RecordResult Sample::ReadRecord(std::istream& in, std::string& error) {
    ByteReader reader(in);
    std::uint32_t frames = 0;
    if (!reader.U32(frames)) {
        error = "the sample record is cut short";
        return RecordResult::DAMAGED;
    }
    if (frames == 0) return RecordResult::EMPTY;
    if (frames > MAX_SAMPLE_FRAMES) {
        error = "the sample is longer than " + std::to_string(MAX_SAMPLE_FRAMES) + " frames";
        return RecordResult::DAMAGED;
    }
    // Never allocate for more than the file holds.
    std::int64_t remaining = reader.Remaining();
    if (remaining >= 0 && remaining < static_cast<std::int64_t>(frames) * 2 + 17) {
        error = "the file is shorter than its sample";
        return RecordResult::DAMAGED;
    }
    std::vector<std::int16_t> values(frames);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(frames) * 2);
    std::uint32_t root = 0, rate = 0, start = 0, end = 0;
    std::uint8_t mode = 0;
    if (!reader.Bytes(bytes) || !reader.U32(root) || !reader.U32(rate) || !reader.U8(mode) ||
        !reader.U32(start) || !reader.U32(end)) {
        error = "the sample record is cut short";
        return RecordResult::DAMAGED;
    }
    if (root < MIN_ROOT_FREQUENCY || root > MAX_ROOT_FREQUENCY) {
        error = "the sample's root frequency is out of range";
        return RecordResult::DAMAGED;
    }
    if (rate < MIN_SAMPLE_RATE || rate > MAX_SAMPLE_RATE) {
        error = "the sample's rate is out of range";
        return RecordResult::DAMAGED;
    }
    if (mode > LOOP_POINTS) {
        error = "the sample's loop mode is unknown";
        return RecordResult::DAMAGED;
    }
    if (start >= frames || end >= frames) {
        error = "the sample's loop points lie outside the sample";
        return RecordResult::DAMAGED;
    }
    // Playback jumps back to the start on passing the end: a loop of no length would read on
    // past it, and an end of 0 sends every frame back.
    if (mode == LOOP_POINTS && start >= end) {
        error = "the sample's loop starts at or after its end";
        return RecordResult::DAMAGED;
    }
    for (std::uint32_t i = 0; i < frames; ++i) {
        values[i] = static_cast<std::int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    }
    Assign16(std::move(values), rate);
    rootFrequency = root;
    loopMode = mode;
    loopStart = start;
    loopEnd = end;
    return RecordResult::LOADED;
}

bool Sample::WriteRecord(std::ostream& out) const {
    ByteWriter writer(out);
    // An unconverted 8-bit sample is written as 16-bit, the only kind the record holds.
    std::vector<std::int16_t> converted;
    std::span<const std::int16_t> values = data16;
    if (eightBit) {
        for (std::uint8_t b : data8)
            converted.push_back(static_cast<std::int16_t>((b - 128) * 256));
        values = converted;
    }
    writer.U32(static_cast<std::uint32_t>(values.size()));
    if (values.empty()) return writer.Ok();
    for (std::int16_t v : values) {
        auto u = static_cast<std::uint16_t>(v);
        writer.U8(static_cast<std::uint8_t>(u & 0xFF));
        writer.U8(static_cast<std::uint8_t>(u >> 8));
    }
    writer.U32(rootFrequency);
    writer.U32(sampleRate);
    writer.U8(loopMode);
    writer.U32(loopStart);
    writer.U32(loopEnd);
    return writer.Ok();
}

bool ByteReader::Bytes(std::span<std::uint8_t> out) {
    in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<std::size_t>(in.gcount()) == out.size() && !in.bad();
}

bool ByteReader::U8(std::uint8_t& v) {
    return Bytes({&v, 1});
}

bool ByteReader::U32(std::uint32_t& v) {
    std::uint8_t b[4];
    if (!Bytes(b)) return false;
    v = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    return true;
}

bool ByteReader::I32(std::int32_t& v) {
    std::uint32_t u;
    if (!U32(u)) return false;
    v = static_cast<std::int32_t>(u);
    return true;
}

bool ByteReader::F32(float& v) {
    std::uint32_t u;
    if (!U32(u)) return false;
    v = std::bit_cast<float>(u);
    return true;
}

bool ByteReader::F64(double& v) {
    std::uint32_t lo, hi;
    if (!U32(lo) || !U32(hi)) return false;
    v = std::bit_cast<double>(static_cast<std::uint64_t>(hi) << 32 | lo);
    return true;
}

std::int64_t ByteReader::Remaining() {
    std::istream::pos_type here = in.tellg();
    if (here == std::istream::pos_type(-1)) return -1;
    in.seekg(0, std::ios::end);
    std::istream::pos_type end = in.tellg();
    in.seekg(here);
    if (end == std::istream::pos_type(-1) || !in) {
        in.clear();
        in.seekg(here);
        return -1;
    }
    return static_cast<std::int64_t>(end - here);
}

void ByteWriter::U8(std::uint8_t v) {
    out.put(static_cast<char>(v));
}

void ByteWriter::U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        U8(static_cast<std::uint8_t>(v >> (8 * i)));
}

void ByteWriter::F32(float v) {
    U32(std::bit_cast<std::uint32_t>(v));
}

void ByteWriter::F64(double v) {
    auto u = std::bit_cast<std::uint64_t>(v);
    U32(static_cast<std::uint32_t>(u));
    U32(static_cast<std::uint32_t>(u >> 32));
}

}  // namespace sound
