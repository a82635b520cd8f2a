#pragma once
// The circle of fourths and the six chords that belong to a key: I, II, III, IV, V and VI.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "theory/Spelling.h"
#include "theory/TheoryTables.h"

namespace theory {

constexpr int CIRCLE_SIZE = 12;
constexpr int KEY_GROUP_SIZE = 6;
// Bit 7 of a chord code marks a minor chord; the low bits are its root.
constexpr std::int32_t MINOR_CODE = 128;

// The major keys clockwise from the top, each a fifth above the one before; read the
// other way round, the circle runs in fourths.
inline constexpr std::array<std::string_view, CIRCLE_SIZE> CircleMajors{
    "C", "G", "D", "A", "E", "B", "F##", "C##", "G##", "D##", "A##", "F"};
// Their relative minors, in the same places.
inline constexpr std::array<std::string_view, CIRCLE_SIZE> CircleMinors{
    "Am", "Em", "Bm", "F##m", "C##m", "G##m", "D##m", "A##m", "Fm", "Cm", "Gm", "Dm"};
inline constexpr std::array<PitchClass, CIRCLE_SIZE> CircleMajorPitches{0, 7, 2, 9, 4,  11,
                                                                        6, 1, 8, 3, 10, 5};
inline constexpr std::array<PitchClass, CIRCLE_SIZE> CircleMinorPitches{9, 4,  11, 6, 1, 8,
                                                                        3, 10, 5,  0, 7, 2};

inline constexpr std::array<std::string_view, KEY_GROUP_SIZE> RomanNumerals{"I",  "II", "III",
                                                                            "IV", "V",  "VI"};

// Chord codes of I to VI: a root, plus MINOR_CODE for a minor chord.
using KeyGroup = std::array<std::int32_t, KEY_GROUP_SIZE>;

// Where the major key `key` stands on the circle, found by its name; -1 for no pitch class.
int CirclePosition(PitchClass key);
// The position `steps` places clockwise from `position`, round the circle.
constexpr int CircleStep(int position, int steps) {
    return ((position + steps) % CIRCLE_SIZE + CIRCLE_SIZE) % CIRCLE_SIZE;
}
// The key's own chord and relative minor, and the chords of its two neighbours on the circle.
KeyGroup MakeKeyGroup(PitchClass key);
// The same six chords by name ("F##", "G##m"), in the key's own spelling under Spelling::Key.
std::array<std::string, KEY_GROUP_SIZE> KeyGroupNames(PitchClass key,
                                                      Spelling spelling = Spelling::Sharps);
// "C##m" for the code of C# minor.
std::string ChordCodeName(std::int32_t code);

}  // namespace theory
