#pragma once
// The chord sequence: up to 24 steps, each a chord shape with a length, and its 772-byte
// file image. The in-memory records are the file's records, so a loaded file saves back
// byte for byte, the records beyond the count included.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "theory/TheoryTables.h"

namespace theory {

constexpr int MAX_SEQUENCE_STEPS = 24;
constexpr std::size_t SEQUENCE_STEP_BYTES = 32;
constexpr std::size_t SEQUENCE_FILE_BYTES = 4 + MAX_SEQUENCE_STEPS * SEQUENCE_STEP_BYTES;  // 772

// A fresh step is all zeros, as the records of a sequence nothing has been added to.
struct SequenceStep {
    std::uint8_t root = 0;       // PitchClass
    std::uint8_t chordType = 0;  // index into ChordTypes
    std::uint8_t inversion = 0;  // Inversion list item
    std::uint8_t length = 0;     // quarter bars: 1, 2, 4, 8 or 16
    std::uint8_t split = 0;      // splitChords when the step was added, 0 or 1
    // Never written by the program; whatever a file held here is kept.
    std::array<std::uint8_t, 3> unused{};
    std::array<std::int32_t, STRING_COUNT> frets{};  // string 0 first, -1 unplayed

    bool operator==(const SequenceStep&) const = default;
};

// Records at and beyond `count` hold whatever the file or earlier edits left there; they
// are kept for the file but never read as steps.
struct Sequence {
    std::array<SequenceStep, MAX_SEQUENCE_STEPS> steps{};
    std::int32_t count = 0;

    bool operator==(const Sequence&) const = default;
};

using SequenceImage = std::array<std::uint8_t, SEQUENCE_FILE_BYTES>;

// Little-endian: the count, then all 24 records.
SequenceImage EncodeSequence(const Sequence& sequence);

// Replaces `sequence` with the image in `bytes` and returns "", or returns why the bytes
// are no sequence (one line) and leaves `sequence` as it was. Only an image of exactly
// 772 bytes, with a count in 0..24 and every step below the count within the tables
// (root, chord type, inversion, length, split, frets), is taken.
std::string DecodeSequence(std::span<const std::uint8_t> bytes, Sequence& sequence);

// "1/4 bar", "1/2 bar", "1 bar", else "N bars" with N = length / 4.
std::string LengthText(int length);

}  // namespace theory
