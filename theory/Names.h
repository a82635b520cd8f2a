#pragma once
// Reading the names people type for notes, chord types, chord symbols and tunings: the
// table's own spellings first, then the common ones ("Drop D", "M7", "Bbmaj7", "EADGBE").

#include <optional>
#include <string_view>

#include "theory/TheoryTables.h"

namespace theory {

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

}  // namespace theory
