#pragma once
// The Chord Groups screen: a key's chords on the circle of fourths, or every key's six
// chords in a table, and the chord being auditioned.

#include <array>
#include <string>

#include "screens/ChordView.h"
#include "theory/KeyGroup.h"
#include "theory/Sequence.h"
#include "theory/Spelling.h"
#include "theory/TheoryTables.h"

namespace screens {

struct GroupsView {
    theory::PitchClass key = 0;   // the Key list's item: the major key's pitch class
    bool table = false;           // More: the table of every key instead of the circle
    bool playing = false;         // the audition runs: the now-playing box shows
    theory::PitchClass root = 0;  // what the Root and Chord lists now hold
    int chordType = 0;
    theory::Spelling spelling = theory::Spelling::Sharps;
};

// Colours of the circle's sectors (vector format) and of the table's selected row (RGB565).
constexpr std::uint32_t KEY_SECTOR = 0xFF80FFFF;
constexpr std::uint32_t NEIGHBOUR_SECTOR = 0xFFC0FFFF;
constexpr std::uint16_t SELECTED_ROW = 65520;
constexpr std::uint32_t SELECTED_ROW_FILL = 0xFF80FFFF;  // SELECTED_ROW as a vector colour

void DrawChordGroups(gfx::Surface& surface, const Fonts& fonts, const GroupsView& view);

// Under Spelling::Key the circle's labels, which name keys, take the selected key's sharps
// or flats; the key's own chords are written as its signature spells them; each row of the
// table in its own key.
void DrawKeyCircle(gfx::Surface& surface, const Fonts& fonts, theory::PitchClass key,
                   theory::Spelling spelling = theory::Spelling::Sharps);
void DrawKeyTable(gfx::Surface& surface, const Fonts& fonts, theory::PitchClass key,
                  theory::Spelling spelling = theory::Spelling::Sharps);
// The root in the large font over the chord type's short name, top right.
void DrawNowPlaying(gfx::Surface& surface, const Fonts& fonts, theory::PitchClass root,
                    int chordType, const theory::NoteNameTable& names = theory::NoteNames);

// The circle's labels at each position, major and minor ("F##", "D##m" under sharps).
struct CircleLabels {
    std::array<std::string, theory::CIRCLE_SIZE> majors, minors;
};
// The labels name keys, so under the key spelling each is its own key's usual name (Db,
// F#m), whatever key is chosen: never E# or Gbm.
CircleLabels KeyCircleLabels(theory::Spelling spelling);

// The key's six chords as a sequence of one bar each, I to VI, to be played as the
// sequencer plays: each step searched again, its first shape picked.
theory::Sequence AuditionSequence(theory::PitchClass key);

// "Chords (key of C and Am)".
std::string KeyChordsTitle(theory::PitchClass key,
                           theory::Spelling spelling = theory::Spelling::Sharps);
// I to VI, then the chord on the leading note and the dominant seventh:
// "C, Dm, Em, F, G, Am\rBdim, G7".
std::string KeyChordsText(theory::PitchClass key,
                          theory::Spelling spelling = theory::Spelling::Sharps);

}  // namespace screens
