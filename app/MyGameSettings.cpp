// The screens' part of the remembered settings.

#include <algorithm>
#include <cstdio>

#include "app/MyGame.h"
#include "theory/CurrentTuning.h"

namespace app {

Settings MyGame::CurrentSettings() const {
    Settings s;
    theory::TuningState tuning = theory::CurrentTuning();
    s.mode = mode;
    s.root = std::max(rootList.list.Selection(), 0);
    s.chordType = std::max(chordList.list.Selection(), 0);
    s.tuning = tuning.index;
    s.leftHanded = tuning.leftHanded;
    s.splitChords = splitChords != 0;
    s.scaleType = std::max(scaleList.list.Selection(), 0);
    s.key = std::max(keyList.list.Selection(), 0);
    s.triggerLevel = triggerLevel;
    s.detectChords = detectChords != 0;
    s.noiseReduction = noiseReduction != 0;
    s.capo = tuning.capo;
    s.spelling = spelling;
    s.a4 = a4;
    s.a4Sound = a4Sound;
    return s;
}

void MyGame::ApplySettings(const Settings& s) {
    auto setCheck = [](ui::UIButton& box, bool checked) {
        box.SetButtonState(ui::BUTTON_TOGGLE | (checked ? ui::BUTTON_CHECKED : 0));
    };
    int tuning = s.tuning;
    if (tuning >= theory::TuningCount()) {
        std::fprintf(stderr,
                     "fretlore: the remembered tuning %d is no longer in the settings; using "
                     "Standard\n",
                     tuning);
        tuning = 0;
    }
    tuningList.list.Select(tuning);
    setCheck(leftHanded, s.leftHanded);
    theory::SetTuning(tuning, s.leftHanded);
    theory::SetCapo(s.capo);
    RefreshStringCaptions();
    splitChords = s.splitChords ? 1 : 0;
    setCheck(allowSplitChords, s.splitChords);
    rootList.list.Select(s.root);
    chordList.list.Select(s.chordType);
    FindVoicings();
    scaleList.list.Select(s.scaleType);
    keyList.list.Select(s.key);
    SetSpelling(s.spelling);

    triggerLevel = s.triggerLevel;
    trigger.SetPosition(96 - triggerLevel);
    listener.triggerLevel = triggerLevel;
    detectChords = s.detectChords ? 1 : 0;
    listener.detectChords = s.detectChords;
    detectButton.SetCaption(detectChords ? "Detect Chords" : "Detect Notes");
    if ((noiseReduction != 0) != s.noiseReduction) {
        noiseReduction = s.noiseReduction ? 1 : 0;
        nrButton.SetCaption(noiseReduction ? "NR: On" : "NR: Off");
        if (noiseReductionChanged) noiseReductionChanged(s.noiseReduction);
    }
    SetConcertPitch(s.a4, s.a4Sound);
    SetMode(s.mode);
}

}  // namespace app
