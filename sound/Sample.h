#pragma once
// A mono recording (or a generated wavetable) that the oscillators play.

#include <cstdint>
#include <istream>
#include <ostream>
#include <span>
#include <string>
#include <vector>

namespace sound {

// Positions inside a sample are 20.12 fixed point in 32 bits, so a sample is at most
// this long; files claiming more are damaged.
constexpr std::uint32_t MAX_SAMPLE_FRAMES = 1u << 18;
// What any recording has; a record outside these is damaged.
constexpr std::uint32_t MIN_SAMPLE_RATE = 1000;
constexpr std::uint32_t MAX_SAMPLE_RATE = 192000;
constexpr std::uint32_t MIN_ROOT_FREQUENCY = 8;
constexpr std::uint32_t MAX_ROOT_FREQUENCY = 20000;

enum class RecordResult { LOADED, EMPTY, DAMAGED };

class Sample {
  public:
    enum LoopMode : std::uint8_t { ONE_SHOT = 0, LOOP_ALL = 1, LOOP_POINTS = 2 };

    Sample() = default;

    // root frequency = trunc(440 × 2^((note − 69)/12)).
    void SetRootNote(int note);
    // Refused (false, nothing changes) when a point lies beyond the sample; end 0 means the last
    // frame.
    bool SetLoop(std::uint8_t mode, std::uint32_t start, std::uint32_t end);
    // Unsigned 8-bit data become signed 16-bit ((b − 128) << 8).
    void ConvertTo16Bit();
    void Clear();
    // Replaces the contents with 16-bit frames.
    void Assign16(std::vector<std::int16_t> frames, std::uint32_t rate);
    void Assign8(std::vector<std::uint8_t> frames, std::uint32_t rate);

    // Reads the sample record. Every field is checked; on EMPTY or DAMAGED this sample is
    // left as it was and `error` says why a damaged record was refused.
    RecordResult ReadRecord(std::istream& in, std::string& error);
    bool WriteRecord(std::ostream& out) const;

    std::span<const std::int16_t> Data() const { return data16; }
    bool IsEightBit() const { return eightBit; }
    std::uint32_t Length() const { return length; }
    std::uint32_t SampleRate() const { return sampleRate; }
    std::uint32_t RootFrequency() const { return rootFrequency; }
    void SetRootFrequency(std::uint32_t hz) { rootFrequency = hz == 0 ? 1 : hz; }
    std::uint8_t GetLoopMode() const { return loopMode; }
    std::uint32_t LoopStart() const { return loopStart; }
    std::uint32_t LoopEnd() const { return loopEnd; }

  private:
    std::vector<std::int16_t> data16;
    std::vector<std::uint8_t> data8;  // only while eightBit is set
    bool eightBit = true;             // a fresh sample holds no 16-bit data yet
    std::uint32_t sampleRate = 44100;
    std::uint32_t length = 0;
    std::uint8_t loopMode = ONE_SHOT;
    std::uint32_t loopEnd = 0;
    std::uint32_t loopStart = 0;
    std::uint32_t rootFrequency = 440;
};

// Little-endian reading and writing with every read checked.
class ByteReader {
  public:
    explicit ByteReader(std::istream& in) : in(in) {}
    bool U8(std::uint8_t& v);
    bool U32(std::uint32_t& v);
    bool I32(std::int32_t& v);
    bool F32(float& v);
    bool F64(double& v);
    bool Bytes(std::span<std::uint8_t> out);
    // Bytes left in a seekable stream; -1 when the stream cannot tell.
    std::int64_t Remaining();

  private:
    std::istream& in;
};

class ByteWriter {
  public:
    explicit ByteWriter(std::ostream& out) : out(out) {}
    void U8(std::uint8_t v);
    void U32(std::uint32_t v);
    void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
    void F32(float v);
    void F64(double v);
    bool Ok() const { return static_cast<bool>(out); }

  private:
    std::ostream& out;
};

}  // namespace sound
