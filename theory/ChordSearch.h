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

    // What the strings chosen so far add up to, kept along the walk so that a finished shape
    // is checked at once and hopeless branches are cut.
    struct Partial {
        std::uint32_t sounded = 0;  // bit per chord note played
        int fretted = 0;            // played strings above the window's base fret
        bool atBase = false;        // some string plays the base fret

        Partial With(int note, int column) const {
            return {sounded | 1u << note, fretted + (column > 0 ? 1 : 0), atBase || column == 0};
        }
    };

    void FillGrid(int b);
    // Chooses string s and those above it; true when the list is full and the walk must stop.
    bool Place(int b, int s, bool started, Partial partial);
    static int Fingers(int b, const Partial& partial);
    // Checks the finished `shape` and stores it; true only when refused for a full list.
    bool Finish(int b, const Partial& partial);
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
// Searches on `CurrentTuning` behind its capo: the frets found count from the capo. An
// out-of-range root or chord type leaves `out` empty.
void FindVoicings(PitchClass root, int chordType, bool splitChords, VoicingList& out);

}  // namespace theory
