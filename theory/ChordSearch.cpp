#include "theory/ChordSearch.h"

#include <bit>

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
            if (Place(b, 0, false, Partial{})) break;
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

bool ChordSearch::Place(int b, int s, bool started, Partial partial) {
    if (s == STRING_COUNT) return Finish(b, partial);
    // Strings left cannot supply the missing notes: nothing below can pass, so skip it.
    if (std::popcount(noteMask & ~partial.sounded) > STRING_COUNT - s) return false;
    bool candidate = false;
    for (int c = 0; c < WINDOW_WIDTH; ++c) {
        std::int8_t note = grid[s][c];
        if (note == NO_NOTE || !(started || splitChords || note == root)) continue;
        candidate = true;
        Partial next = partial.With(note, c);
        if (Fingers(b, next) > MAX_FINGERS) continue;  // more strings only add fingers
        shape[s] = static_cast<std::int8_t>(b + c);
        if (Place(b, s + 1, true, next)) return true;
    }
    // Only the two lowest strings may be left out below the bass.
    if (!started && s <= 1) {
        shape[s] = NOT_PLAYED;
        if (Place(b, s + 1, false, partial)) return true;
    }
    if (candidate || !started) return false;
    // A string that cannot reach a chord note ends the shape: it and all above stay silent.
    for (int t = s; t < STRING_COUNT; ++t)
        shape[t] = NOT_PLAYED;
    return Finish(b, partial);
}

// The first occupied column is one barre finger and every string in a later column one more.
// A shape must use the window's base column, so that is the barre: one finger plus the strings
// above it, except in window 0 where the base column holds open strings that need no finger.
int ChordSearch::Fingers(int b, const Partial& partial) {
    return partial.fretted + (b == 0 ? 0 : 1);
}

bool ChordSearch::Finish(int b, const Partial& partial) {
    // The lowest fret must be the window's base, so each shape belongs to one window only.
    if (!partial.atBase || Fingers(b, partial) > MAX_FINGERS || partial.sounded != noteMask) {
        return false;
    }
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
    FindVoicings(root, chordType, CurrentTuning().Capoed(), splitChords, out);
}

}  // namespace theory
