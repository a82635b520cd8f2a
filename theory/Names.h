#pragma once
// Reading the names people type for notes, chord types, chord symbols and tunings: the
// table's own spellings first, then the common ones ("Drop D", "M7", "Bbmaj7", "EADGBE").

#include <optional>
#include <string_view>

#include "theory/TheoryTables.h"
#include "theory/TuningTable.h"

namespace theory {

// True when the two read the same ignoring ASCII case ("maj7", "MAJ7").
bool SameIgnoringCase(std::string_view a, std::string_view b);

// A letter A-G in either case, then at most one sharp ('#', the stored "##" or "♯") or
// flat ('b' or "♭").
std::optional<PitchClass> ParseNoteName(std::string_view text);

// A chord type: its short name exactly, a common alias ("M7", "min", "7b9", "+"), or its
// short name in any case ("MAJOR", "Maj7"). Exact spellings win, so "M7" is maj7, "m7" m7.
std::optional<int> ParseChordType(std::string_view text);

struct ChordSymbol {
    PitchClass root = 0;
    int type = CHORD_MAJOR;
};

// A root and a type written as one word: "Am7", "C#m", "Dsus4", "Bbmaj7", "G" (Major).
std::optional<ChordSymbol> ParseChordSymbol(std::string_view text);

// A tuning: its name in any case, ignoring spaces and dashes; a common short form ("Drop
// D", "Open Gm"); its six notes from the lowest string ("DADGBE", "D A D G B E"); or its
// index in the table.
std::optional<int> ParseTuning(std::string_view text);

// Six open-string notes from the lowest string, each with its octave ("D2 A2 D3 G3 A3 D4",
// C4 being middle C; octaves LOWEST_OCTAVE..HIGHEST_OCTAVE) or, unless `octavesRequired`, all
// without ("DADGAD", each string then the pitch-class step from standard, as the built-ins
// sound). Nullopt with a short reason in `error` otherwise.
std::optional<StringPitches> ParseStringPitches(std::string_view text, bool octavesRequired,
                                                std::string& error);

}  // namespace theory
