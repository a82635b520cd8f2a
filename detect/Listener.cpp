#include "detect/Listener.h"

#include <array>
#include <charconv>

#include "detect/Detector.h"

namespace detect {

namespace {

// Marks "no note" in the two highlight entries a note leaves unused.
constexpr std::int32_t UNUSED_HIGHLIGHT = 255;

// "%s%d %.1fHz": the note name, the octave shown and the frequency.
void FormatNote(const NoteReading& reading, std::string& text) {
    std::array<char, 32> digits{};
    char* first = digits.data();
    char* last = first + digits.size();
    text.assign(reading.name);
    text.append(first, std::to_chars(first, last, reading.octaveOffset + 4).ptr);
    text += ' ';
    text.append(first,
                std::to_chars(first, last, reading.frequency, std::chars_format::fixed, 1).ptr);
    text += "Hz";
}

}  // namespace

Listener::Listener() {
    analyser.Configure(CAPTURE_RATE, CAPTURE_SAMPLES);
    result.text.reserve(84);
}

bool Listener::Process(std::span<const std::int16_t> samples, bool chords) {
    if (!analyser.Analyse(samples)) return false;
    peak = PitchClassLevels(analyser, result.order, result.pitchClassLevel,
                            result.loudestOctaveFrequency);
    if (peak < triggerLevel.load()) {
        result.text.clear();
        result.highlight.fill(NO_HIGHLIGHT);
        result.detected = false;
    } else if (!chords) {
        DetectNoteInto();
    } else {
        result.detected = MatchChord(result.order, 12, result);
        if (result.detected) SpellChord();
    }
    return true;
}

// The matcher writes the stored name; the text is written again as the spelling has it.
void Listener::SpellChord() {
    const theory::Spelling s = spelling.load();
    if (s == theory::Spelling::Sharps) return;
    const auto key = theory::ChordKey(result.root, result.chordType);
    result.text.assign(theory::SpelledNames(s, key)[static_cast<std::size_t>(result.root)]);
    result.text += ' ';
    result.text += theory::ChordTypes[static_cast<std::size_t>(result.chordType)].shortName;
}

// A note that is not found leaves the highlight of the last one.
void Listener::DetectNoteInto() {
    reading = NoteReading{};
    if (DetectNote(analyser, reading) == 0.0) {
        result.text.clear();
        result.detected = false;
        return;
    }
    reading.name = theory::LoneNoteName(reading.pitchClass, spelling.load());
    result.highlight[0] = reading.pitchClass;
    result.highlight[1] = UNUSED_HIGHLIGHT;
    result.highlight[2] = UNUSED_HIGHLIGHT;
    result.root = reading.pitchClass;
    result.cents = reading.cents;
    FormatNote(reading, result.text);
    result.detected = true;
}

bool Listener::OnCaptureBuffer(std::span<const std::int16_t> samples, bool active) {
    if (!active) return false;
    if (!Process(samples, detectChords.load())) return false;
    store.Publish(result, analyser.Spectrum());
    return true;
}

}  // namespace detect
