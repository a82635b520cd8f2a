#pragma once
// The voicing finder: every playable six-string shape of a chord up to fret 14, at most
// MAX_VOICINGS of them, found by a depth-first walk over the strings inside one four-fret
// window at a time. No memory is allocated: it also runs on the chord player thread.

#include <array>
#include <cstdint>

#include "theory/CurrentTuning.h"
#include "theory/NoteList.h"
#include "theory/TheoryTables.h"
#include "theory/Voicing.h"

namespace theory {

constexpr int WINDOW_COUNT = 12;  // base frets 0..11
constexpr int WINDOW_WIDTH = 4;   // frets b..b+3
constexpr int MAX_FINGERS = 4;

// The working state of one search.
class ChordSearch {
  public:
    ChordSearch(PitchClass root, int chordType, const StringTuning& tuning, bool splitChords);

    // Empties `out` and fills it in search order: lower windows first; inside a window lower
    // frets on lower strings first; shapes playing string 0 before those leaving it out.
    void Run(VoicingList& out);

  private:
    static constexpr std::int8_t NO_NOTE = -1;

    void FillGrid(int b);
    // Chooses string s and those above it; true when the list is full and the walk must stop.
    bool Place(int b, int s, bool started);
    // Checks the finished `shape` and stores it; true only when refused for a full list.
    bool Finish(int b);
    bool Playable(int b) const;
    bool CoveredByStored() const;

    PitchClass root;
    std::int32_t noteCount;
    ChordNotes notes;
    std::uint32_t noteMask;
    StringTuning tuning;
    bool splitChords;
    // Chord note sounded at (string, window column), or NO_NOTE.
    std::array<std::array<std::int8_t, WINDOW_WIDTH>, STRING_COUNT> grid{};
    Frets shape{};
    VoicingList* out = nullptr;  // not owned; set for the length of Run
};

// Searches on an explicit tuning, touching no shared state.
void FindVoicings(PitchClass root, int chordType, const StringTuning& tuning, bool splitChords,
                  VoicingList& out);
// Searches on `CurrentTuning`. An out-of-range root or chord type leaves `out` empty.
void FindVoicings(PitchClass root, int chordType, bool splitChords, VoicingList& out);

}  // namespace theory
