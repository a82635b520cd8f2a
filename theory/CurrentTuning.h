#pragma once
// The program-wide tuning: the pitch class of each string as now tuned, the selected row of
// the tuning table (built-ins, then the user's), the Left Handed flag and the capo. The chord
// player thread reads it while the UI thread may change it, so the whole state lives in one
// atomic word and every read is a consistent snapshot.

#include <array>
#include <cstdint>

#include "theory/TheoryTables.h"
#include "theory/TuningTable.h"

namespace theory {

// A capo at fret k makes an instrument tuned k semitones higher whose frets count from it.
constexpr int MAX_CAPO = 11;

// `strings` raised by `capo` semitones: what the strings sound open behind the capo.
constexpr StringTuning CapoTuning(const StringTuning& strings, int capo) {
    StringTuning raised{};
    for (int s = 0; s < STRING_COUNT; ++s)
        raised[s] = static_cast<std::uint8_t>(WrapPitch(strings[s] + capo));
    return raised;
}

struct TuningState {
    StringTuning strings{4, 9, 2, 7, 11, 4};  // as the strings are tuned, without the capo
    std::int32_t index = 0;                   // row of the tuning table
    bool leftHanded = false;
    std::int32_t capo = 0;  // fret 0..MAX_CAPO; 0 is no capo

    // The tuning shapes are searched and named in: frets count from the capo.
    StringTuning Capoed() const { return CapoTuning(strings, capo); }
};

// A copy of the current state; at start "Standard", right-handed.
TuningState CurrentTuning();

// Stores the row's strings, the index and the flag; the capo stays. An index with no row (a
// list with no selection) changes nothing and returns false. Callers then re-run the voicing
// search and relabel the string buttons.
bool SetTuning(int index, bool leftHanded);

// Puts the capo at `capo`, keeping the rest; a fret outside 0..MAX_CAPO changes nothing and
// returns false. Callers then re-run the voicing search, as after SetTuning.
bool SetCapo(int capo);

// Pitch class sounded by string s at fret f (fret 0 = open); -1 for a string outside 0..5.
constexpr PitchClass NoteAt(const StringTuning& tuning, int s, int f) {
    if (s < 0 || s >= STRING_COUNT) return -1;
    return WrapPitch(tuning[s] + f);
}

// The same on the current tuning.
PitchClass NoteAt(int s, int f);

// The strings of tuning row `index` (which must be valid) raised by `capo` semitones.
StringTuning CapoTuning(int index, int capo);

}  // namespace theory
