#pragma once
// One analyser and one detector driven buffer by buffer: the capture callback of the
// detection mode, and the same reading for a recording read from a file.

#include <atomic>
#include <cstdint>
#include <span>

#include "detect/DetectionResult.h"
#include "detect/DetectionStore.h"
#include "detect/Detector.h"
#include "detect/SpectrumAnalyser.h"
#include "theory/Spelling.h"

namespace detect {

constexpr std::int32_t CAPTURE_RATE = 8000;
constexpr std::int32_t CAPTURE_SAMPLES = 2048;  // one buffer, 256 ms
constexpr std::int32_t DEFAULT_TRIGGER = 30;

class Listener {
  public:
    Listener();

    // One buffer (exactly CAPTURE_SAMPLES are read) through analysis and detection, in chord
    // or note mode, against triggerLevel. False for a short buffer, which changes nothing.
    bool Process(std::span<const std::int16_t> samples, bool chords);
    // The capture callback: while `active` (the detection mode is showing) processes the
    // buffer with the shared settings and publishes it to the store.
    bool OnCaptureBuffer(std::span<const std::int16_t> samples, bool active);

    // NR on and off; safe from the interface thread.
    void RequestNoiseCapture() { analyser.RequestNoiseCapture(); }
    void ClearNoiseFloor() { analyser.ClearNoiseFloor(); }
    // The reference A4 of the note table, from the next buffer on; false out of range.
    bool SetConcertPitch(int a4) { return analyser.SetConcertPitch(a4); }

    const DetectionResult& Result() const { return result; }
    // Of the last buffer processed: its highest pitch-class level, and the note read when
    // it was processed in note mode and a note was found.
    std::int32_t Peak() const { return peak; }
    const NoteReading& Reading() const { return reading; }
    const SpectrumAnalyser& Analyser() const { return analyser; }
    DetectionStore& Store() { return store; }

    // Set by the interface thread, read once per buffer by the capture thread.
    std::atomic<bool> detectChords{true};
    std::atomic<std::int32_t> triggerLevel{DEFAULT_TRIGGER};  // 0..96 dB above the floor
    // How the result names its note or chord: a chord in its own key, a note as the tonic
    // of its major key under Spelling::Key.
    std::atomic<theory::Spelling> spelling{theory::Spelling::Sharps};

  private:
    void DetectNoteInto();
    void SpellChord();

    SpectrumAnalyser analyser;
    DetectionResult result;
    DetectionStore store;
    std::int32_t peak = 0;
    NoteReading reading;
};

}  // namespace detect
