#include "screens/HelpPages.h"

#include <iterator>

namespace screens {

namespace {

// Carriage returns start new lines; "#FF0000" turns the ink red and "#000000" back to black.
constexpr HelpPage PAGES[] = {
    {"Guitar Chords",
     "This screen allows you to browse thousands of common guitar chord shapes and "
     "inversions.\r\rSelect a #FF0000root#000000 note and #FF0000chord#000000 type from the "
     "lists above. The note positions of this chord are displayed on the fret board to the "
     "right, and the chord shape below. Press #ff0000Strum#000000 to hear the chord.\r\rEach "
     "chord has many inversions which can be selected from the #FF0000Inversion#000000 list. "
     "Select 'Allow Split Chords' if you want to show chords with differing base notes."},
    {"Piano Chords",
     "This screen allows you to see equivalent piano chords for accompanying the guitar.\r\rThe "
     "piano roll to the right show the positions of notes of the selected #FF0000chord#000000 "
     "and chord #FF0000type#000000 which match that of the guitar fret board."},
    {"Scales",
     "Select a #FF0000root#000000 note and #FF0000scale#000000 from the above lists. The fret "
     "board will now display note positions for the selected #FF0000scale#000000. Tap on the "
     "fret board notes to hear them play.\r\rPressing #FF0000More#000000 displays a list of "
     "notes applicable to the selected scale and half step (semitone) note spacing. A piano "
     "roll is also displayed showing equivalent note positions."},
    {"Chord Sequencer",
     "The sequencer allows you to audition a sequence of chords.\r\rPress the #ff0000Add#000000 "
     "button to add a series of chord inversions to the list. Press #FF0000Play#000000 to "
     "listen to the sequence. Pressing the #FF0000Length#000000 button modifies a chords play "
     "time.\r\rThe #FF0000Alternate Picking#000000 and #FF000012 String#000000 options can be "
     "selected to enhance the sound."},
    {"Chord Groups",
     "This mode allows you to find new chord progressions using the 'Circle of Fourths' (also "
     "referred to as 'Circle of Fifths').\r\rThe outer notes of the circle represent major "
     "chords, and the inner are minor chords. Select a #FF0000key#000000 from the list above "
     "and you will see the key highlighted in the circle. Any neighboring chord both major and "
     "minor represent a smooth transition from the root chord.\r\rPress #FF0000Audition#000000 "
     "to listen to the standard chord progression for the selected key."},
    {"Chord Detection",
     "This mode is used for detecting notes as well as major and minor chords. This is useful "
     "if you are playing inversions and are unsure of the chord name, or for practicing "
     "scales\r\rPress #FF0000Detect Chords#000000 to toggle #FF0000Detect Note#000000 mode. In "
     "this mode notes are detected using the frequency of the note played. For best results set "
     "the #FF0000trigger#000000 level just above the background noise level. If there is "
     "excessive background noise press the #FF0000NR#000000 button.\r\rThe accuracy of chord "
     "detection relies heavily on your instrument being in tune."},
};

}  // namespace

HelpPage HelpFor(int mode) {
    if (mode < 0 || mode >= static_cast<int>(std::size(PAGES))) return {};
    return PAGES[mode];
}

int ShowHelp(const ModalContext& context, int mode) {
    HelpPage page = HelpFor(mode);
    return ShowMessage(context, page.title, page.text);
}

}  // namespace screens
