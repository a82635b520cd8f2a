#pragma once
// The notes of a chord or a scale, worked out from a root and a table row.

#include <array>
#include <cstdint>
#include <span>

#include "theory/TheoryTables.h"

namespace theory {

// Up to N pitch classes in the order they were derived (not sorted).
template <std::size_t N>
struct NoteList {
    std::array<PitchClass, N> notes{};
    std::int32_t count = 0;

    constexpr std::span<const PitchClass> View() const& {
        return {notes.data(), static_cast<std::size_t>(count)};
    }
    // A view of a temporary list would dangle.
    constexpr std::span<const PitchClass> View() const&& = delete;
    constexpr bool Contains(PitchClass note) const {
        for (PitchClass n : View()) {
            if (n == note) return true;
        }
        return false;
    }
    // Bit p set for every pitch class p in the list.
    constexpr std::uint32_t Mask() const {
        std::uint32_t mask = 0;
        for (PitchClass n : View())
            mask |= 1u << n;
        return mask;
    }
};

using ChordNotes = NoteList<MAX_CHORD_NOTES>;
using ScaleNotes = NoteList<MAX_SCALE_NOTES>;

// Root first, then each step stacked on the previous note: root, third, fifth, ...
// An out-of-range root or type (a list with no selection) gives an empty list.
constexpr ChordNotes GetChordNotes(PitchClass root, int chordType) {
    ChordNotes result;
    if (!IsPitchClass(root) || chordType < 0 || chordType >= CHORD_TYPE_COUNT) return result;
    const ChordDef& chord = ChordTypes[chordType];
    result.notes[0] = root;
    for (int k = 1; k <= chord.stepCount; ++k) {
        result.notes[k] = WrapPitch(result.notes[k - 1] + chord.steps[k - 1]);
    }
    result.count = chord.stepCount + 1;
    return result;
}

// Root plus each of the scale's offsets, in the table's order.
constexpr ScaleNotes GetScaleNotes(PitchClass root, int scaleType) {
    ScaleNotes result;
    if (!IsPitchClass(root) || scaleType < 0 || scaleType >= SCALE_TYPE_COUNT) return result;
    const ScaleDef& scale = ScaleTypes[scaleType];
    for (int k = 0; k < scale.count; ++k)
        result.notes[k] = WrapPitch(root + scale.offsets[k]);
    result.count = scale.count;
    return result;
}

}  // namespace theory
