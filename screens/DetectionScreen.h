#pragma once
// The Chord Detection screen: what the microphone hears, drawn into the screen cache. A
// result box with the detected note or chord, twelve pitch-class meters with the trigger
// mark, the tuning indicator in note mode, and below them the live spectrum or, after More,
// the detected chord on a piano roll.

#include <array>
#include <cstdint>

#include "detect/DetectionResult.h"
#include "gfx/Surface.h"
#include "screens/ChordView.h"

namespace screens {

// Bins of the analyser's spectrum: 2048 samples at 8000 Hz, 3.90625 Hz a bin.
constexpr int SPECTRUM_BINS = 1024;

// Everything one drawing reads, copied out of the program's state.
struct DetectionView {
    detect::DetectionResult result;
    std::array<double, SPECTRUM_BINS> spectrum;  // dB, -96..0
    bool detectChords = true;
    std::int32_t triggerLevel = 30;  // dB above the -96 floor, 0..96
    bool moreView = false;
    Fonts fonts;                               // medium and large are used
    const gfx::Surface* background = nullptr;  // the main screen's picture at screen size
    const gfx::Surface* pianoRoll = nullptr;   // the large piano roll, keys running rightward
    theory::Spelling spelling = theory::Spelling::Sharps;

    DetectionView() { spectrum.fill(-96.0); }
    // The meters' and markers' names: a detected chord's in its key, else each note's own.
    const theory::NoteNameTable& Names() const;
};

// What the screen keeps from one drawing to the next, to know what must be drawn again.
struct DetectionScreenMemory {
    bool moreView = false;
    // The chord on the piano roll as last drawn; root -1 when it shows none.
    std::int32_t pianoRoot = -1;
    std::int32_t pianoChordType = -1;
    bool pianoChords = true;
};

// A full drawing starts from the background and draws every panel; otherwise only what
// changes is drawn over the last drawing. A change of moreView since the last drawing makes
// it full. The caller decides whether anything changed at all (detectionDirty).
void drawDetectionScreen(gfx::Surface& surface, const DetectionView& view,
                         DetectionScreenMemory& memory, bool full);

}  // namespace screens
