#include "theory/ChordSearch.h"

namespace theory {

ChordSearch::ChordSearch(PitchClass root, int chordType, const StringTuning& tuning,
                         bool splitChords)
    : root(root), notes(GetChordNotes(root, chordType)), tuning(tuning), splitChords(splitChords) {
    noteCount = notes.count;
    noteMask = notes.Mask();
}

void ChordSearch::Run(VoicingList& list) {
    list.Clear();
    out = &list;
    if (noteCount > 0) {
        // Once the list is full every further shape would be refused, so later windows can
        // add nothing.
        for (int b = 0; b < WINDOW_COUNT; ++b) {
            FillGrid(b);
            if (Place(b, 0, false)) break;
        }
    }
    out = nullptr;
}

void ChordSearch::FillGrid(int b) {
    for (int s = 0; s < STRING_COUNT; ++s) {
        for (int c = 0; c < WINDOW_WIDTH; ++c) {
            PitchClass note = NoteAt(tuning, s, b + c);
            grid[s][c] = (noteMask >> note) & 1 ? static_cast<std::int8_t>(note) : NO_NOTE;
        }
    }
}

bool ChordSearch::Place(int b, int s, bool started) {
    if (s == STRING_COUNT) return Finish(b);
    bool candidate = false;
    for (int c = 0; c < WINDOW_WIDTH; ++c) {
        std::int8_t note = grid[s][c];
        if (note == NO_NOTE || !(started || splitChords || note == root)) continue;
        shape[s] = static_cast<std::int8_t>(b + c);
        candidate = true;
        if (Place(b, s + 1, true)) return true;
    }
    // Only the two lowest strings may be left out below the bass.
    if (!started && s <= 1) {
        shape[s] = NOT_PLAYED;
        if (Place(b, s + 1, false)) return true;
    }
    if (candidate || !started) return false;
    // A string that cannot reach a chord note ends the shape: it and all above stay silent.
    for (int t = s; t < STRING_COUNT; ++t)
        shape[t] = NOT_PLAYED;
    return Finish(b);
}

bool ChordSearch::Finish(int b) {
    if (!Playable(b)) return false;
    if (out->Full()) return true;
    int lowest = 0;
    while (shape[lowest] == NOT_PLAYED)
        ++lowest;
    PitchClass bass = NoteAt(tuning, lowest, shape[lowest]);
    // A split shape that is part of one already listed adds nothing; root shapes always count.
    if (bass != root && CoveredByStored()) return false;
    out->items[out->count++] = Voicing{bass, b == 0 ? 0 : b - 1, shape};
    return false;
}

bool ChordSearch::Playable(int b) const {
    std::array<int, WINDOW_WIDTH> columnStrings{};
    std::uint32_t sounded = 0;
    for (int s = 0; s < STRING_COUNT; ++s) {
        if (shape[s] == NOT_PLAYED) continue;
        int c = shape[s] - b;
        ++columnStrings[c];
        sounded |= 1u << grid[s][c];
    }
    // The lowest fret must be the window's base, so each shape belongs to one window only.
    if (columnStrings[0] == 0) return false;
    // The first occupied column is one barre finger, every later string one finger more;
    // open strings in window 0 need none.
    int fingers = 0;
    bool barre = false;
    for (int strings : columnStrings) {
        if (strings == 0) continue;
        fingers += barre ? strings : 1;
        barre = true;
    }
    if (b == 0) --fingers;
    return fingers <= MAX_FINGERS && sounded == noteMask;
}

bool ChordSearch::CoveredByStored() const {
    for (const Voicing& stored : out->View()) {
        bool covered = true;
        for (int s = 0; s < STRING_COUNT && covered; ++s) {
            covered = shape[s] == NOT_PLAYED || stored.frets[s] == shape[s];
        }
        if (covered) return true;
    }
    return false;
}

void FindVoicings(PitchClass root, int chordType, const StringTuning& tuning, bool splitChords,
                  VoicingList& out) {
    ChordSearch(root, chordType, tuning, splitChords).Run(out);
}

void FindVoicings(PitchClass root, int chordType, bool splitChords, VoicingList& out) {
    FindVoicings(root, chordType, CurrentTuning().strings, splitChords, out);
}

}  // namespace theory
