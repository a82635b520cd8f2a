#pragma once
// How note names are written: with sharps (the stored names), with flats, or as a key's
// signature spells them. A spelling changes only the texts, never which notes are meant.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "theory/TheoryTables.h"

namespace theory {

enum class Spelling : std::int32_t { Sharps, Flats, Key };

// Twelve names indexed by pitch class, in the marked-up form ("##" for a sharp, 'b' for a
// flat: the bitmap fonts are ASCII).
using NoteNameTable = std::array<std::string_view, PITCH_CLASS_COUNT>;

inline constexpr NoteNameTable FlatNames{"C",  "Db", "D",  "Eb", "E",  "F",
                                         "Gb", "G",  "Ab", "A",  "Bb", "B"};

struct MusicalKey {
    PitchClass tonic = 0;
    bool minor = false;
};

// The names a key's signature gives: its seven scale notes one letter each (natural minor
// for a minor key), the other five sharp in a sharp key and flat in a flat key. C major
// and A minor have no accidentals and take sharps. The key on each pitch class is the
// usual one: majors C Db D Eb E F F# G Ab A Bb B, minors Cm C#m Dm D#m Em Fm F#m Gm G#m
// Am Bbm Bm. A key outside 0..11 gives the stored names.
const NoteNameTable& KeyNoteNames(MusicalKey key);
// True for a key whose signature has flats.
bool IsFlatKey(MusicalKey key);

// The twelve names under `spelling`; `key` counts only under Spelling::Key.
const NoteNameTable& SpelledNames(Spelling spelling, MusicalKey key = {});

// A chord is read in the key of its root: minor when it has a minor third and no major
// one (so dim chords too), major otherwise (sus and power chords included).
MusicalKey ChordKey(PitchClass root, int chordType);
// A scale likewise, by its third: minor with a minor third and no major one.
MusicalKey ScaleKey(PitchClass root, int scaleType);
// The names of a scale's notes under `spelling`. Under Spelling::Key the scale is read in
// ScaleKey, and a seven-note scale is written one letter a degree from its tonic's letter
// (D harmonic minor ends on C#, C double harmonic has Db and Ab) as long as no degree needs
// more than one sharp or flat.
NoteNameTable ScaleNoteNames(PitchClass root, int scaleType, Spelling spelling);
// A note on its own (a list item, an open string, a detected note) is named as the tonic
// of its major key: C Db D Eb E F F# G Ab A Bb B under Spelling::Key.
std::string_view LoneNoteName(PitchClass note, Spelling spelling);
// The same for all twelve: the Root list's items, the open strings, the detection meters.
const NoteNameTable& LoneNoteNames(Spelling spelling);

// "C/Am" for the major key `major` and its relative minor, as the Key list shows it.
std::string KeyListName(PitchClass major, Spelling spelling);

// "sharps", "flats" or "key"; nullopt for any other word.
std::optional<Spelling> ParseSpelling(std::string_view text);
std::string_view SpellingName(Spelling spelling);

}  // namespace theory
