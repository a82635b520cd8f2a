#pragma once
// Every tuning the program offers by list index: the built-in table first, whose indices never
// move, then the user's own tunings. Each row knows its pitch classes (for the shapes) and the
// exact pitch of each open string (for the sound).

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "theory/TheoryTables.h"

namespace theory {

// Pitch class of each string, string 0 first.
using StringTuning = std::array<std::uint8_t, STRING_COUNT>;
// Note number (C4 = 60) of each open string, string 0 first.
using StringPitches = std::array<std::int8_t, STRING_COUNT>;

// E2 A2 D3 G3 B3 E4: where each string's instrument sounds its note 69.
inline constexpr StringPitches StandardPitches{40, 45, 50, 55, 59, 64};

constexpr int MAX_CUSTOM_TUNINGS = 16;
constexpr int MAX_TUNINGS = TUNING_COUNT + MAX_CUSTOM_TUNINGS;
// Octaves a written string note may name; beyond them no string sounds.
constexpr int LOWEST_OCTAVE = 0;
constexpr int HIGHEST_OCTAVE = 6;

struct TuningRow {
    std::string name;
    StringTuning strings{};
    StringPitches pitches = StandardPitches;
};

// A built-in row sounds each string the pitch-class difference from standard, unwrapped.
constexpr StringPitches PitchesFromClasses(const std::array<PitchClass, STRING_COUNT>& classes) {
    StringPitches pitches{};
    for (int s = 0; s < STRING_COUNT; ++s)
        pitches[s] = static_cast<std::int8_t>(StandardPitches[s] + classes[s] - StandardTuning[s]);
    return pitches;
}

constexpr StringTuning ClassesOf(const StringPitches& pitches) {
    StringTuning strings{};
    for (int s = 0; s < STRING_COUNT; ++s)
        strings[s] = static_cast<std::uint8_t>(WrapPitch(pitches[s]));
    return strings;
}

// Replaces the user's tunings; rows past MAX_CUSTOM_TUNINGS are dropped (the reader of the
// settings reports them). Set at start-up, before the lists are filled.
void SetCustomTunings(std::span<const TuningRow> rows);
// Appends one row; its index, or nullopt when the table is full.
std::optional<int> AddCustomTuning(const TuningRow& row);

// The built-ins and the user's tunings together.
int TuningCount();
// Row `index`, or nullopt outside 0..TuningCount()-1.
std::optional<TuningRow> TuningRowAt(int index);
// A user's tuning by its name, exactly or else in any case.
std::optional<int> FindCustomTuning(std::string_view name);
// The built-in row that sounds exactly these pitches, if any.
std::optional<int> FindBuiltInTuning(const StringPitches& pitches);

}  // namespace theory
