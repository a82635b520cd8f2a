// The synthesiser's editor panel: its 59 control descriptors and how a moved control
// reaches the setter that owns it.

#include <cmath>

#include "sound/MixerLock.h"
#include "sound/PolySynth.h"
#include "sound/Wavetables.h"

namespace sound {

namespace {

// A radio option: the first of a group carries (3, 2), the others (1, 2).
Control Radio(std::uint8_t id, std::uint8_t page, std::int32_t x, std::int32_t y, bool first,
              bool on, const char* label) {
    return Box(id, page, x, y, on ? 1.0f : 0.0f, first ? 3 : 1, 2, label);
}

void AddOscillator(std::vector<Control>& c, std::uint8_t firstId, std::int32_t radioY,
                   std::int32_t sliderY, std::uint8_t octave, std::uint8_t level) {
    c.push_back(Radio(firstId, 0, 77, radioY, true, false, "None"));
    c.push_back(Radio(firstId + 4, 0, 112, radioY, false, false, "Tri"));
    c.push_back(Radio(firstId + 1, 0, 147, radioY, false, true, "Sine"));
    c.push_back(Radio(firstId + 2, 0, 182, radioY, false, false, "Square"));
    c.push_back(Radio(firstId + 3, 0, 217, radioY, false, false, "Saw"));
    c.push_back(Slider(octave + 1, 0, 32, sliderY, -11, 11, 0, 130, 0, "Semitone"));
    c.push_back(Slider(octave + 2, 0, 90, sliderY, -1, 1, 0, 512, 0, "Detune"));
    c.push_back(Slider(octave, 0, 148, sliderY, -3, 3, 0, 128, 0, "Octave"));
    c.push_back(Slider(level, 0, 206, sliderY, 0, 64, 32, 128, 0, "Level"));
}

void AddEnvelope(std::vector<Control>& c, std::uint8_t firstId, std::int32_t y) {
    c.push_back(Slider(firstId, 1, 32, y, 0, 1, 0.5f, 0, 0, "Attack"));
    c.push_back(Slider(firstId + 1, 1, 90, y, 0, 1, 0.5f, 0, 0, "Decay"));
    c.push_back(Slider(firstId + 2, 1, 148, y, 0, 1, 0.5f, 0, 0, "Sustain"));
    c.push_back(Slider(firstId + 3, 1, 206, y, 0, 3, 1.5f, 0, 0, "Release"));
}

}  // namespace

std::vector<Control> BuildPolySynthPanel() {
    std::vector<Control> c;
    c.reserve(68);
    // Page 0: oscillators.
    c.push_back(Title(100, 0, 10, 10, "VCO"));
    c.push_back(Title(101, 0, 10, 75, "OSC1"));
    c.push_back(Title(102, 0, 10, 180, "OSC2"));
    AddOscillator(c, 1, 90, 130, 6, 17);
    AddOscillator(c, 9, 197, 237, 14, 18);
    c.push_back(Slider(19, 0, 206, 35, 0, 64, 32, 128, 0, "Noise Level"));
    c.push_back(Box(20, 0, 32, 35, 1, 6, 0, "Mono"));
    // Page 1: envelopes and filter.
    c.push_back(Title(0, 1, 10, 10, "ADSR"));
    c.push_back(Title(0, 1, 10, 120, "VCF"));
    AddEnvelope(c, 21, 60);
    c.push_back(Box(25, PAGE_NONE, 215, 20, 0, 4, 0, "Enable"));
    AddEnvelope(c, 26, 230);
    c.push_back(Box(32, 1, 215, 140, 0, 4, 0, "Enable"));
    c.push_back(Slider(31, 1, 90, 160, 0, 255, 0, 64, 0, "Resonance"));
    c.push_back(Slider(30, 1, 148, 160, 128, 32768, 0, 192, 0, "Cutoff"));
    // Page 2: LFO.
    c.push_back(Title(0, 2, 10, 10, "LFO"));
    c.push_back(Slider(33, 2, 32, 50, 0, 12, 8, 0, 0, "Speed"));
    c.push_back(Slider(34, 2, 90, 50, 0, 64, 32, 0, 0, "Attack"));
    c.push_back(Slider(36, 2, 32, 124, 0, 64, 32, 64, 0, "Vibrato"));
    c.push_back(Slider(35, 2, 90, 124, 0, 64, 32, 64, 0, "Tremolo"));
    c.push_back(Slider(37, 2, 148, 124, 0, 64, 32, 64, 0, "WahWah"));
    c.push_back(Box(38, 2, 215, 24, 0, 4, 0, "Enable"));
    c.push_back(Radio(39, 2, 32, 180, true, true, "Sine"));
    c.push_back(Radio(40, 2, 72, 180, false, false, "Square"));
    c.push_back(Radio(41, 2, 112, 180, false, false, "Tri"));
    c.push_back(Radio(42, 2, 152, 180, false, false, "Rand"));
    // Page 3: frequency modulation and keyboard.
    c.push_back(Title(103, 3, 10, 10, "FM Modulation"));
    c.push_back(Title(104, 3, 10, 134, "Keyboard"));
    c.push_back(Box(70, 3, 215, 24, 0, 4, 2, "Enable"));
    c.push_back(Slider(72, 3, 32, 70, -11, 11, 0, 130, 0, "Semitone"));
    c.push_back(Slider(73, 3, 90, 70, -1, 1, 0, 512, 0, "Detune"));
    c.push_back(Slider(71, 3, 148, 70, -3, 3, 0, 128, 0, "Octave"));
    c.push_back(Slider(80, 3, 206, 70, 0, 64, 32, 128, 0, "Level"));
    c.push_back(Slider(81, 3, 32, 174, 0, 255, 0, 192, 0, "Portamento"));
    c.push_back(Slider(82, 3, 96, 174, 1, 12, 2, 128, 0, "Bend"));
    // Not shown.
    Control aftertouch = Slider(43, PAGE_NONE, 0, 0, 0, 64, 0, 66, 0, "Aftertouch");
    Control pitchbend = Slider(44, PAGE_NONE, 0, 0, -32, 32, 0, 64, 0, "Pitchbend");
    aftertouch.kind = pitchbend.kind = KIND_HIDDEN;
    c.push_back(aftertouch);
    c.push_back(pitchbend);
    return c;
}

void PolySynth::ApplyPitchControls(int oscillator) {
    static constexpr std::uint8_t ids[3][3] = {{6, 7, 8}, {14, 15, 16}, {71, 72, 73}};
    const auto& id = ids[oscillator];
    double octave = std::trunc(GetControlValue(id[0]));
    double semitone = std::trunc(GetControlValue(id[1]));
    SetPitch(oscillator, octave * 12 + semitone + GetControlValue(id[2]));
}

int PolySynth::OnControlChanged(const ControlChange& change) {
    auto guard = HoldMixerLock();
    const float value = change.value;
    const auto whole = static_cast<std::int32_t>(value);
    const std::uint8_t id = change.id;
    const Patch p = patch;
    const auto& a = p.ampEnvelope;
    const auto& f = p.filterEnvelope;
    auto lfo = [&](std::int32_t wave, double speed, std::int32_t attack, std::int32_t vib,
                   std::int32_t trem, std::int32_t wah,
                   bool on) { SetLfo(wave, speed, attack, vib, trem, wah, on); };
    if (id >= 1 && id <= 5) {
        SetWaveform(0, id - 1);
    } else if (id >= 9 && id <= 13) {
        SetWaveform(1, id - 9);
    } else if (id == 70) {
        SetWaveform(2, whole != 0 ? WAVE_SINE : WAVE_NONE);
    } else if ((id >= 6 && id <= 8) || (id >= 14 && id <= 16) || (id >= 71 && id <= 73)) {
        SetControlValue(id, value);
        ApplyPitchControls(id <= 8 ? 0 : id <= 16 ? 1 : 2);
    } else if (id == 17 || id == 18 || id == 80 || id == 19) {
        SetLevels(id == 17 ? whole : p.level[0], id == 18 ? whole : p.level[1],
                  id == 80 ? whole : p.level[2], id == 19 ? whole : p.noiseLevel);
    } else if (id == 20) {
        SetPolyphony(whole != 0 ? 0 : 1);
    } else if (id >= 21 && id <= 25) {
        std::array<double, 4> e = a;
        if (id < 25) e[id - 21] = value;
        SetAmpEnvelope(e[0], e[1], e[2], e[3], id == 25 ? whole != 0 : p.ampEnvelopeOn != 0);
    } else if ((id >= 26 && id <= 29) || id == 32) {
        std::array<double, 4> e = f;
        if (id != 32) e[id - 26] = value;
        SetFilterEnvelope(e[0], e[1], e[2], e[3], id == 32 ? whole != 0 : p.filterEnvelopeOn != 0);
    } else if (id == 30) {
        SetCutoff(whole);
    } else if (id == 31) {
        SetResonance(whole);
    } else if (id == 33) {
        lfo(p.lfoWaveform, value, p.lfoAttack, p.vibrato, p.tremolo, p.wahWah, p.lfoOn);
    } else if (id == 34) {
        lfo(p.lfoWaveform, p.lfoSpeed, whole, p.vibrato, p.tremolo, p.wahWah, p.lfoOn);
    } else if (id == 35) {
        lfo(p.lfoWaveform, p.lfoSpeed, p.lfoAttack, p.vibrato, whole, p.wahWah, p.lfoOn);
    } else if (id == 36) {
        lfo(p.lfoWaveform, p.lfoSpeed, p.lfoAttack, whole, p.tremolo, p.wahWah, p.lfoOn);
    } else if (id == 37) {
        lfo(p.lfoWaveform, p.lfoSpeed, p.lfoAttack, p.vibrato, p.tremolo, whole, p.lfoOn);
    } else if (id == 38) {
        lfo(p.lfoWaveform, p.lfoSpeed, p.lfoAttack, p.vibrato, p.tremolo, p.wahWah, whole != 0);
    } else if (id >= 39 && id <= 42) {
        std::int32_t wave = id == 42 ? LFO_RAND : id - 38;
        lfo(wave, p.lfoSpeed, p.lfoAttack, p.vibrato, p.tremolo, p.wahWah, p.lfoOn);
    } else if (id == 81) {
        SetPortamento(whole);
    } else if (id == 82) {
        SetBendBase(whole);
    } else if (id == 43) {
        SetAftertouch(whole);
    } else if (id == 44) {
        SetControlValue(44, value);
        SetPitchBend(value);
    }
    return 1;
}

}  // namespace sound
