#include "theory/Sequence.h"

#include "theory/ChordSearch.h"
#include "theory/Voicing.h"

namespace theory {
namespace {

// The highest fret the voicing finder places: the last window's last column.
constexpr int HIGHEST_FRET = WINDOW_COUNT - 1 + WINDOW_WIDTH - 1;
constexpr std::size_t FRETS_OFFSET = 8;

void PutInt32(std::uint8_t* at, std::int32_t value) {
    auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

std::int32_t GetInt32(const std::uint8_t* at) {
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= std::uint32_t{at[i]} << (8 * i);
    return static_cast<std::int32_t>(bits);
}

SequenceStep ReadStep(const std::uint8_t* at) {
    SequenceStep step;
    step.root = at[0];
    step.chordType = at[1];
    step.inversion = at[2];
    step.length = at[3];
    step.split = at[4];
    step.unused = {at[5], at[6], at[7]};
    for (int s = 0; s < STRING_COUNT; ++s)
        step.frets[s] = GetInt32(at + FRETS_OFFSET + 4 * s);
    return step;
}

bool IsStepLength(int length) {
    return length == 1 || length == 2 || length == 4 || length == 8 || length == 16;
}

// "" when every field can be used as the screens and the player use it.
std::string CheckStep(const SequenceStep& step) {
    auto outside = [](const char* field, int value, int last) {
        return std::string(field) + " " + std::to_string(value) + " outside 0.." +
               std::to_string(last);
    };
    if (!IsPitchClass(step.root)) return outside("root", step.root, PITCH_CLASS_COUNT - 1);
    if (step.chordType >= CHORD_TYPE_COUNT)
        return outside("chord type", step.chordType, CHORD_TYPE_COUNT - 1);
    if (step.inversion >= MAX_VOICINGS) return outside("shape", step.inversion, MAX_VOICINGS - 1);
    if (!IsStepLength(step.length))
        return "length " + std::to_string(step.length) + " not 1, 2, 4, 8 or 16";
    if (step.split > 1) return "split flag " + std::to_string(step.split) + " not 0 or 1";
    for (int s = 0; s < STRING_COUNT; ++s) {
        std::int32_t fret = step.frets[s];
        if (fret < NOT_PLAYED || fret > HIGHEST_FRET)
            return "string " + std::to_string(s) + " fret " + std::to_string(fret) +
                   " outside -1.." + std::to_string(HIGHEST_FRET);
    }
    return "";
}

}  // namespace

SequenceImage EncodeSequence(const Sequence& sequence) {
    SequenceImage image{};
    PutInt32(image.data(), sequence.count);
    for (int i = 0; i < MAX_SEQUENCE_STEPS; ++i) {
        const SequenceStep& step = sequence.steps[i];
        std::uint8_t* at = image.data() + 4 + i * SEQUENCE_STEP_BYTES;
        at[0] = step.root;
        at[1] = step.chordType;
        at[2] = step.inversion;
        at[3] = step.length;
        at[4] = step.split;
        for (int k = 0; k < 3; ++k)
            at[5 + k] = step.unused[k];
        for (int s = 0; s < STRING_COUNT; ++s)
            PutInt32(at + FRETS_OFFSET + 4 * s, step.frets[s]);
    }
    return image;
}

std::string DecodeSequence(std::span<const std::uint8_t> bytes, Sequence& sequence) {
    if (bytes.size() != SEQUENCE_FILE_BYTES)
        return std::to_string(bytes.size()) + " bytes, a sequence has " +
               std::to_string(SEQUENCE_FILE_BYTES);
    Sequence read;
    read.count = GetInt32(bytes.data());
    if (read.count < 0 || read.count > MAX_SEQUENCE_STEPS)
        return "step count " + std::to_string(read.count) + " outside 0.." +
               std::to_string(MAX_SEQUENCE_STEPS);
    for (int i = 0; i < MAX_SEQUENCE_STEPS; ++i)
        read.steps[i] = ReadStep(bytes.data() + 4 + i * SEQUENCE_STEP_BYTES);
    for (int i = 0; i < read.count; ++i)
        if (std::string why = CheckStep(read.steps[i]); !why.empty())
            return "step " + std::to_string(i + 1) + ": " + why;
    sequence = read;
    return "";
}

std::string LengthText(int length) {
    if (length == 1) return "1/4 bar";
    if (length == 2) return "1/2 bar";
    if (length == 4) return "1 bar";
    return std::to_string(length / 4) + " bars";
}

}  // namespace theory
