#pragma once
// The program-wide tuning: the pitch class of each string as now tuned, the selected row of
// the tuning table (built-ins, then the user's) and the Left Handed flag. The chord player thread
// reads it while the UI thread may change it, so the whole state lives in one atomic word and every
// read is a consistent snapshot.

#include <array>
#include <cstdint>

#include "theory/TheoryTables.h"
#include "theory/TuningTable.h"

namespace theory {

struct TuningState {
    StringTuning strings{4, 9, 2, 7, 11, 4};
    std::int32_t index = 0;  // row of the tuning table
    bool leftHanded = false;
};

// A copy of the current state; at start "Standard", right-handed.
TuningState CurrentTuning();

// Stores the row's strings, the index and the flag. An index with no row (a list with no
// selection) changes nothing and returns false. Callers then re-run the voicing search
// and relabel the string buttons from `NoteNames` of each string.
bool SetTuning(int index, bool leftHanded);

// Pitch class sounded by string s at fret f (fret 0 = open); -1 for a string outside 0..5.
constexpr PitchClass NoteAt(const StringTuning& tuning, int s, int f) {
    if (s < 0 || s >= STRING_COUNT) return -1;
    return WrapPitch(tuning[s] + f);
}

// The same on the current tuning.
PitchClass NoteAt(int s, int f);

// A capo at fret k makes an instrument tuned k semitones higher whose frets count from it.
constexpr int MAX_CAPO = 11;

// The strings of tuning row `index` (which must be valid) raised by `capo` semitones.
StringTuning CapoTuning(int index, int capo);

}  // namespace theory
