#pragma once
// The five constant tables every screen works from: note names, key names, tunings,
// scale types and chord types. Their order is the order of the screens' list items, so a
// list index is a table index.

#include <array>
#include <cstdint>
#include <string_view>

namespace theory {

// C = 0 ... B = 11; octaves are never stored here.
using PitchClass = std::int32_t;

constexpr int PITCH_CLASS_COUNT = 12;
// Strings run 0..5, string 0 the lowest-sounding; every per-string array uses this order.
constexpr int STRING_COUNT = 6;
constexpr int MAX_CHORD_NOTES = 6;
constexpr int MAX_SCALE_NOTES = 12;

// Other screens pick these two chord types by number (Chord Groups, the letter keys).
constexpr int CHORD_MAJOR = 0;
constexpr int CHORD_MINOR = 1;

// Brings a pitch class plus any number of semitones back into 0..11.
constexpr PitchClass WrapPitch(int value) {
    int wrapped = value % PITCH_CLASS_COUNT;
    return wrapped < 0 ? wrapped + PITCH_CLASS_COUNT : wrapped;
}

constexpr bool IsPitchClass(int value) {
    return value >= 0 && value < PITCH_CLASS_COUNT;
}

// Stored in marked-up form: "##" draws one '#', while a lone '#' would start a colour code.
inline constexpr std::array<std::string_view, PITCH_CLASS_COUNT> NoteNames{
    "C", "C##", "D", "D##", "E", "F", "F##", "G", "G##", "A", "A##", "B"};

// Indexed by the major key's pitch class; each names the key and its relative minor.
inline constexpr std::array<std::string_view, PITCH_CLASS_COUNT> KeyNames{
    "C/Am",     "C##/A##m", "D/Bm",   "D##/Cm", "E/C##m", "F/Dm",
    "F##/D##m", "G/Em",     "G##/Fm", "A/F##m", "A##/Gm", "B/G##m"};

struct TuningDef {
    std::string_view name;
    std::array<PitchClass, STRING_COUNT> strings;  // string 0 first
};

inline constexpr std::array<TuningDef, 16> Tunings{{
    {"Standard", {4, 9, 2, 7, 11, 4}},
    {"Dropped D", {2, 9, 2, 7, 11, 4}},
    {"Double Dropped D", {2, 9, 2, 7, 11, 2}},
    {"Open D", {2, 9, 6, 2, 9, 2}},
    {"Open D Minor", {2, 9, 2, 5, 9, 2}},
    {"D Modal", {2, 9, 2, 2, 9, 2}},
    {"Fourths", {4, 9, 2, 7, 0, 5}},
    {"Open E", {4, 11, 4, 8, 11, 4}},
    {"G6", {2, 7, 2, 7, 11, 4}},
    {"Open G", {2, 7, 2, 7, 11, 2}},
    {"G Minor", {2, 7, 2, 7, 10, 2}},
    {"Open A", {4, 9, 4, 9, 1, 4}},
    {"A Minor", {4, 9, 4, 9, 0, 4}},
    {"C6", {0, 7, 0, 7, 9, 4}},
    {"Open C", {0, 7, 0, 7, 0, 4}},
    {"Low C", {0, 7, 2, 7, 9, 2}},
}};

// The reference from which the sound of a retuned string is computed.
inline constexpr std::array<PitchClass, STRING_COUNT> StandardTuning{4, 9, 2, 7, 11, 4};

struct ScaleDef {
    std::string_view name;
    std::int32_t count;                                 // 5..12
    std::array<std::int32_t, MAX_SCALE_NOTES> offsets;  // semitones above the root, ascending
};

inline constexpr std::array<ScaleDef, 28> ScaleTypes{{
    {"Major", 7, {0, 2, 4, 5, 7, 9, 11}},
    {"Harmonic Minor", 7, {0, 2, 3, 5, 7, 8, 11}},
    {"Melod Minor (asc)", 7, {0, 2, 3, 5, 7, 9, 11}},
    {"Melod Minor (dec)", 7, {0, 2, 3, 5, 7, 8, 10}},
    {"Pentatonic Major", 5, {0, 2, 4, 7, 9}},
    {"Pentatonic Minor", 5, {0, 3, 5, 7, 10}},
    {"Pentatonic Blues", 6, {0, 3, 5, 6, 7, 10}},
    {"Pentatonic Neutral", 5, {0, 2, 5, 7, 10}},
    {"Ionian", 7, {0, 2, 4, 5, 7, 9, 11}},
    {"Dorian", 7, {0, 2, 3, 5, 7, 9, 10}},
    {"Phrygian", 7, {0, 1, 3, 5, 7, 8, 10}},
    {"Lydian", 7, {0, 2, 4, 6, 7, 9, 11}},
    {"Mixolydian", 7, {0, 2, 4, 5, 7, 9, 10}},
    {"Aeolian", 7, {0, 2, 3, 5, 7, 8, 10}},
    {"Locrian", 7, {0, 1, 3, 5, 6, 8, 10}},
    {"Blues", 6, {0, 3, 5, 6, 7, 10}},
    {"Chromatic", 12, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
    {"Chinese", 5, {0, 4, 6, 7, 11}},
    {"Diatonic", 5, {0, 2, 4, 7, 9}},
    {"Diminished", 8, {0, 2, 3, 5, 6, 8, 9, 11}},
    {"Diminished Half", 8, {0, 1, 3, 4, 6, 7, 9, 10}},
    {"Diminished Whole", 8, {0, 2, 3, 5, 6, 8, 9, 11}},
    {"Dominant 7th", 7, {0, 2, 4, 5, 7, 9, 10}},
    {"Double Harmonic", 7, {0, 1, 4, 5, 7, 8, 11}},
    {"Egyptian", 5, {0, 2, 5, 7, 10}},
    {"Eight Tone Spanish", 8, {0, 1, 3, 4, 5, 6, 8, 10}},
    {"Hawaiian", 7, {0, 2, 3, 5, 7, 9, 11}},
    {"Hindu", 7, {0, 2, 4, 5, 7, 8, 10}},
}};

struct ChordDef {
    std::string_view shortName;
    std::int32_t stepCount;  // 1..5; the chord has stepCount + 1 notes
    // Each step is measured from the previous chord note, not from the root.
    std::array<std::int32_t, MAX_CHORD_NOTES> steps;
    std::string_view longName;
};

// Some long names repeat ("7" and "maj7" are both "Major 7th"); the screens show them as
// they stand.
inline constexpr std::array<ChordDef, 44> ChordTypes{{
    {"Major", 2, {4, 3}, "Major Chord"},
    {"Minor", 2, {3, 4}, "Minor Chord"},
    {"dim", 2, {3, 3}, "Diminished triad"},
    {"aug", 2, {4, 4}, "Augmented triad"},
    {"sus2", 2, {2, 5}, "Suspended 2nd"},
    {"sus4", 2, {5, 2}, "Suspended 4th"},
    {"7sus4", 3, {5, 2, 3}, "Dominant 7th suspended 4th"},
    {"5", 1, {7}, "Power Chord"},
    {"6", 3, {4, 3, 2}, "Major 6th"},
    {"6/9", 4, {4, 3, 2, 5}, "Major 6th Add9"},
    {"7", 3, {4, 3, 3}, "Major 7th"},
    {"7sus", 3, {5, 2, 3}, "Dominant 7th"},
    {"7-5", 3, {4, 2, 4}, "Dominant 7th b5"},
    {"7+5", 3, {4, 4, 2}, "Dominant 7th #5"},
    {"7-9", 4, {4, 3, 3, 3}, "Dominant 7th b9"},
    {"7+9", 4, {4, 3, 3, 5}, "Dominant 7th #9"},
    {"9", 4, {4, 3, 3, 4}, "Dominant 9th"},
    {"9-5", 4, {4, 2, 4, 4}, "Dominant 9th b5"},
    {"9+5", 4, {4, 4, 2, 4}, "Dominant 9th #5"},
    {"add9", 3, {4, 3, 7}, "Major add9"},
    {"maj7", 3, {4, 3, 4}, "Major 7th"},
    {"maj7-5", 3, {4, 2, 5}, "Major 7th b5"},
    {"maj7+5", 3, {4, 4, 3}, "Major 7th #5"},
    {"maj9", 4, {4, 3, 4, 3}, "Major 7th add9"},
    {"11", 5, {4, 3, 3, 4, 3}, "Dominant 11th"},
    {"maj11", 5, {4, 3, 4, 3, 3}, "Major 7th add11"},
    {"13", 5, {4, 3, 3, 4, 7}, "Major 7th add13"},
    {"maj13", 5, {4, 3, 4, 3, 7}, "Major 7th add11"},
    {"m6", 3, {3, 4, 2}, "Minor 6th"},
    {"m7", 3, {3, 4, 3}, "Minor 7th"},
    {"m9", 4, {3, 4, 3, 4}, "Minor 9th"},
    {"m11", 5, {3, 4, 3, 4, 3}, "Minor 11th"},
    {"m13", 5, {3, 4, 3, 4, 7}, "Minor 13th"},
    {"m(maj7)", 3, {3, 4, 4}, "Minor Major 7th"},
    {"m(maj9)", 4, {3, 4, 4, 3}, "Minor Major 9th"},
    {"m(add9)", 3, {3, 4, 7}, "Minor add9"},
    {"-5", 2, {4, 2}, "Flatterned 5th"},
    {"+5", 2, {4, 4}, "Augmented 5th"},
    {"-9", 4, {4, 3, 3, 3}, "Flatterned 9th"},
    {"+9", 4, {4, 3, 3, 5}, "Augmented 9th"},
    {"-9+5", 4, {4, 4, 2, 3}, "Flatterned 9th Augmented 5th"},
    {"-9-5", 4, {4, 2, 4, 3}, "Flatterned 9th Minor 5th"},
    {"+11", 5, {4, 3, 3, 4, 4}, "Augmented 11th"},
    {"-9+11", 5, {4, 3, 3, 3, 5}, "Flatterned 9th Augmented 11th"},
}};

constexpr int TUNING_COUNT = static_cast<int>(Tunings.size());
constexpr int SCALE_TYPE_COUNT = static_cast<int>(ScaleTypes.size());
constexpr int CHORD_TYPE_COUNT = static_cast<int>(ChordTypes.size());

}  // namespace theory
