#include "sound/PolySynth.h"

#include <algorithm>
#include <cmath>

#include "sound/MixerLock.h"
#include "sound/Wavetables.h"

namespace sound {

namespace {

std::int32_t Clamp(std::int32_t v, std::int32_t lo, std::int32_t hi) {
    return v < lo ? lo : v > hi ? hi : v;
}

}  // namespace

PolySynth::PolySynth()
    : controls(BuildPolySynthPanel()),
      rampBuffer(MAX_CHUNK),
      lfoBuffer(MAX_CHUNK),
      vibratoBuffer(MAX_CHUNK),
      wahBuffer(MAX_CHUNK),
      tremoloBuffer(MAX_CHUNK),
      scratch(std::make_unique<VoiceScratch>()),
      groupScratch(std::make_unique<VoiceGroupScratch>()) {
    PrepareLowpassFeedback();
    name = "Poly Synthesizer";
    const auto& wavetables = SharedWavetables();
    tables = {&wavetables[WAVE_SINE - 1], &wavetables[WAVE_SINE - 1], nullptr};
    SetSampleRate(sampleRate);
}

double PolySynth::NoteFrequency(double note) const {
    return concertPitch * std::pow(2.0, (note - 69.0) / 12.0);
}

bool PolySynth::SetConcertPitch(int a4) {
    if (a4 <= 0) return false;
    auto guard = HoldMixerLock();
    concertPitch = a4;
    return true;
}

bool PolySynth::SetSampleRate(std::uint32_t rate) {
    auto guard = HoldMixerLock();
    if (rate == 0) return false;
    sampleRate = rate;
    lfo.Build(rate, patch.lfoWaveform);
    lfoRamp = Envelope(rate);
    for (Voice& voice : voices) {
        voice.ampEnvelope.SetSampleRate(rate);
        voice.filterEnvelope.SetSampleRate(rate);
    }
    return true;
}

void PolySynth::SetWaveform(int oscillator, int waveform) {
    if (oscillator < 0 || oscillator > 2 || waveform < 0 || waveform > 4) return;
    auto guard = HoldMixerLock();
    patch.waveform[oscillator] = static_cast<std::uint8_t>(waveform);
    if (oscillator == 0) SelectRadio(1, 6, static_cast<std::uint8_t>(waveform + 1));
    if (oscillator == 1) SelectRadio(9, 14, static_cast<std::uint8_t>(waveform + 9));
    if (oscillator == 2) SetControlValue(70, waveform);
    tables[oscillator] = waveform == WAVE_NONE ? nullptr : &SharedWavetables()[waveform - 1];
}

void PolySynth::SetPitch(int oscillator, double semitones) {
    if (oscillator < 0 || oscillator > 2 || !std::isfinite(semitones)) return;
    auto guard = HoldMixerLock();
    patch.pitch[oscillator] = semitones;
    static constexpr std::uint8_t ids[3][3] = {{6, 7, 8}, {14, 15, 16}, {71, 72, 73}};
    double whole = std::trunc(semitones);
    double octave = std::trunc(whole / 12);
    SetControlValue(ids[oscillator][0], octave);
    SetControlValue(ids[oscillator][1], whole - 12 * octave);
    SetControlValue(ids[oscillator][2], semitones - whole);
}

void PolySynth::SetLevels(std::int32_t osc1, std::int32_t osc2, std::int32_t fm,
                          std::int32_t noise) {
    auto guard = HoldMixerLock();
    patch.level = {Clamp(osc1, 0, 64), Clamp(osc2, 0, 64), Clamp(fm, 0, 64)};
    patch.noiseLevel = Clamp(noise, 0, 64);
    SetControlValue(17, patch.level[0]);
    SetControlValue(18, patch.level[1]);
    SetControlValue(80, patch.level[2]);
    SetControlValue(19, patch.noiseLevel);
}

void PolySynth::SetPolyphony(std::uint32_t count) {
    if (count >= 25) return;
    auto guard = HoldMixerLock();
    patch.mono = count == 0 ? 1 : 0;
    SetControlValue(20, patch.mono);
}

void PolySynth::SetAmpEnvelope(double attack, double decay, double sustain, double release,
                               bool on) {
    auto guard = HoldMixerLock();
    patch.ampEnvelope = {attack, decay, sustain, release};
    patch.ampEnvelopeOn = on ? 1 : 0;
    for (std::uint8_t i = 0; i < 4; ++i)
        SetControlValue(21 + i, patch.ampEnvelope[i]);
    SetControlValue(25, patch.ampEnvelopeOn);
    for (Voice& voice : voices)
        voice.ampEnvelope.SetAll(attack, decay, sustain, release);
}

void PolySynth::SetFilterEnvelope(double attack, double decay, double sustain, double release,
                                  bool on) {
    auto guard = HoldMixerLock();
    patch.filterEnvelope = {attack, decay, sustain, release};
    patch.filterEnvelopeOn = on ? 1 : 0;
    for (std::uint8_t i = 0; i < 4; ++i)
        SetControlValue(26 + i, patch.filterEnvelope[i]);
    SetControlValue(32, patch.filterEnvelopeOn);
    for (Voice& voice : voices)
        voice.filterEnvelope.SetAll(attack, decay, sustain, release);
}

void PolySynth::SetLfo(std::int32_t waveform, double speed, std::int32_t attack,
                       std::int32_t vibrato, std::int32_t tremolo, std::int32_t wahWah, bool on) {
    auto guard = HoldMixerLock();
    // No table exists for other waveforms: the current one stays.
    if (IsLfoWaveform(waveform) && waveform != patch.lfoWaveform) {
        lfo.Build(sampleRate, waveform);
        patch.lfoWaveform = waveform;
    }
    patch.lfoSpeed = std::isfinite(speed) ? static_cast<float>(speed) : 0.0f;
    patch.lfoAttack = Clamp(attack, 0, 64);
    patch.vibrato = Clamp(vibrato, 0, 64);
    patch.tremolo = Clamp(tremolo, 0, 64);
    patch.wahWah = Clamp(wahWah, 0, 64);
    patch.lfoOn = on ? 1 : 0;
    SetControlValue(38, patch.lfoOn);
    SetControlValue(33, patch.lfoSpeed);
    SetControlValue(34, patch.lfoAttack);
    SetControlValue(36, patch.vibrato);
    SetControlValue(35, patch.tremolo);
    SetControlValue(37, patch.wahWah);
    SelectRadio(
        39, 43,
        static_cast<std::uint8_t>(patch.lfoWaveform == LFO_RAND ? 42 : 38 + patch.lfoWaveform));
}

void PolySynth::SetCutoff(std::int32_t cutoff) {
    auto guard = HoldMixerLock();
    patch.cutoff = Clamp(cutoff, 0, 32768);
    SetControlValue(30, patch.cutoff);
}

void PolySynth::SetResonance(std::int32_t resonance) {
    auto guard = HoldMixerLock();
    patch.resonance = Clamp(resonance, 0, 256);
    SetControlValue(31, patch.resonance);
}

void PolySynth::SetPortamento(std::int32_t blocks) {
    auto guard = HoldMixerLock();
    patch.portamento = blocks < 0 ? 0 : blocks;
    SetControlValue(81, patch.portamento);
}

void PolySynth::SetBendBase(std::int32_t base) {
    auto guard = HoldMixerLock();
    patch.bendBase = Clamp(base, MIN_BEND_BASE, MAX_BEND_BASE);
    SetControlValue(82, patch.bendBase);
}

void PolySynth::SetPitchBend(double value) {
    if (!std::isfinite(value)) return;
    auto guard = HoldMixerLock();
    patch.pitchBend = value;
    if (patch.bendBase == 0) return;
    double factor = std::pow(static_cast<double>(patch.bendBase), value / 12.0);
    for (Voice& voice : voices) {
        if (voice.idle) continue;
        for (Oscillator& osc : voice.oscillators) {
            if (osc.InUse()) osc.Bend(factor);
        }
    }
}

void PolySynth::SetAftertouch(std::int32_t gain) {
    auto guard = HoldMixerLock();
    for (Voice& voice : voices) {
        if (!voice.idle) voice.SetVelocity(gain);
    }
}

void PolySynth::StopAllVoices() {
    auto guard = HoldMixerLock();
    for (Voice& voice : voices)
        voice.idle = true;
    activeVoiceBound = 0;
}

int PolySynth::NoteOn(int note, int velocity) {
    auto guard = HoldMixerLock();
    if (patch.mono) {
        for (Voice& voice : voices) {
            if (!voice.idle) voice.ampEnvelope.QuickRelease();
        }
    } else {
        auto same = std::find_if(voices.begin(), voices.end(),
                                 [note](const Voice& v) { return !v.idle && v.note == note; });
        if (same != voices.end()) same->ampEnvelope.QuickRelease();
    }
    auto chosen = std::find_if(voices.begin(), voices.end(), [](const Voice& v) { return v.idle; });
    if (chosen == voices.end()) {
        chosen = std::min_element(voices.begin(), voices.end(), [](const Voice& a, const Voice& b) {
            return a.startNumber < b.startNumber;
        });
    }
    Voice& voice = *chosen;
    voice.portamento = patch.portamento;
    voice.ampEnvelope.SetAll(patch.ampEnvelope[0], patch.ampEnvelope[1], patch.ampEnvelope[2],
                             patch.ampEnvelope[3]);
    voice.startNumber = startCounter++;
    StartVoice(voice, note);
    lfoRamp.SetTime(patch.lfoAttack * 0.078125);
    lfoRamp.SetValue(0);
    lfoRamp.Trigger();
    voice.filter = {};
    voice.SetVelocity(velocity);
    voice.ampEnvelope.Trigger();
    voice.filterEnvelope.Trigger();
    voice.idle = false;
    lastNote = note;
    return note;
}

void PolySynth::StartVoice(Voice& voice, int note) {
    voice.note = note;
    double key = NoteFrequency(note);
    voice.keyFrequency = !(key > 0) ? 0 : key > 32760 ? 32760 : static_cast<std::int32_t>(key);
    std::uint32_t count = 0;
    for (int k = 0; k < 3; ++k) {
        if (!tables[k]) continue;
        Oscillator& osc = voice.oscillators[k < 2 ? count++ : std::uint32_t{Voice::SLOT_FM}];
        osc.Start(*tables[k], NoteFrequency(note + patch.pitch[k]), sampleRate, patch.level[k]);
        if (voice.portamento != 0 && note != lastNote) {
            auto previous = static_cast<float>(NoteFrequency(lastNote + patch.pitch[k]));
            std::int32_t from = osc.StepFor(previous);
            std::int32_t distance = std::abs(osc.TargetStep() - from);
            // A glide shorter than its length in blocks still moves one step per block.
            std::int32_t increment = distance / voice.portamento;
            osc.SetStep(from);
            osc.SetGlideIncrement(increment == 0 && distance != 0 ? 1 : increment);
        }
    }
    for (std::uint32_t slot = count; slot < 2; ++slot)
        voice.oscillators[slot].Stop();
    voice.oscillatorCount = count;
    voice.fmOn = tables[2] != nullptr;
    if (!voice.fmOn) voice.oscillators[Voice::SLOT_FM].Stop();
}

void PolySynth::NoteOff(int note) {
    auto guard = HoldMixerLock();
    // The voice the latest NoteOn of this note started: a quick release of an earlier one
    // leaves that fading, and releasing it instead would leave the new one held for good.
    Voice* found = nullptr;
    bool foundFading = true;
    for (Voice& voice : voices) {
        if (voice.idle || voice.note != note) continue;
        const bool fading = voice.ampEnvelope.GetState() >= Adsr::RELEASE;
        if (!found || (foundFading && !fading) ||
            (fading == foundFading && voice.startNumber > found->startNumber)) {
            found = &voice;
            foundFading = fading;
        }
    }
    if (found) {
        found->ampEnvelope.Release();
        found->filterEnvelope.Release();
    }
}

void PolySynth::AllNotesOff() {
    auto guard = HoldMixerLock();
    for (Voice& voice : voices) {
        if (voice.idle) continue;
        voice.ampEnvelope.Release();
        voice.filterEnvelope.Release();
    }
}

bool PolySynth::Render(std::span<std::int32_t> out) {
    activeVoiceBound = 0;
    for (int i = 0; i < VOICE_COUNT; ++i) {
        if (!voices[i].idle) activeVoiceBound = static_cast<std::uint32_t>(i + 1);
    }
    if (activeVoiceBound == 0) return false;
    for (std::uint32_t i = 0; i < activeVoiceBound; ++i) {
        if (voices[i].idle) continue;
        for (Oscillator& osc : voices[i].oscillators)
            osc.Glide();
    }
    std::fill(out.begin(), out.end(), 0);
    for (std::size_t offset = 0; offset < out.size(); offset += MAX_CHUNK) {
        RenderChunk(out.subspan(offset, std::min(MAX_CHUNK, out.size() - offset)));
    }
    return true;
}

void PolySynth::RenderChunk(std::span<std::int32_t> out) {
    std::size_t frames = out.size();
    bool lfoActive = patch.lfoOn != 0;
    if (lfoActive) {
        std::span<std::int32_t> ramp(rampBuffer.data(), frames), wave(lfoBuffer.data(), frames);
        lfoRamp.RenderRamp(ramp);
        lfo.SetSpeed(patch.lfoSpeed);
        lfo.Render(wave);
        // Locals: the buffers' stores could otherwise alias the patch.
        const std::int32_t vibrato = patch.vibrato, wahWah = patch.wahWah, tremolo = patch.tremolo;
        std::int32_t* vib = vibratoBuffer.data();
        std::int32_t* wah = wahBuffer.data();
        std::int32_t* trem = tremoloBuffer.data();
        for (std::size_t f = 0; f < frames; ++f) {
            std::int32_t m = (ramp[f] * wave[f]) >> 15;
            vib[f] = vibrato ? ((((wave[f] - 16384) * ramp[f]) >> 15) * vibrato) >> 8 : 0;
            wah[f] = wahWah ? (wahWah * m) >> 7 : 0;
            trem[f] = 32768 - ((tremolo * m) >> 6);
        }
    }
    const VoiceBlockParams p = BlockParams(lfoActive);
    if (!p.filter) {
        for (std::uint32_t i = 0; i < activeVoiceBound; ++i) {
            if (!voices[i].idle) RenderVoiceBlock(voices[i], noiseState, p, *scratch, out);
        }
        return;
    }
    // Filtered voices go in groups, in voice order, so that the shared noise is drawn in
    // the same order as one by one.
    std::array<Voice*, FILTER_LANES> group;
    std::size_t count = 0;
    for (std::uint32_t i = 0; i < activeVoiceBound; ++i) {
        if (voices[i].idle) continue;
        group[count++] = &voices[i];
        if (count == FILTER_LANES) {
            RenderFilteredVoices(group, noiseState, p, *scratch, *groupScratch, out);
            count = 0;
        }
    }
    if (count > 0)
        RenderFilteredVoices({group.data(), count}, noiseState, p, *scratch, *groupScratch, out);
}

VoiceBlockParams PolySynth::BlockParams(bool lfoActive) const {
    VoiceBlockParams p;
    p.noise = patch.noiseLevel * 512;
    p.cutoff = patch.cutoff;
    p.resonance = patch.resonance;
    p.lfo = lfoActive;
    p.filter = patch.filterEnvelopeOn != 0;
    p.ampOn = patch.ampEnvelopeOn != 0;
    p.tremolo = patch.tremolo != 0;
    p.vibrato = vibratoBuffer.data();
    p.wah = wahBuffer.data();
    p.tremoloFactor = tremoloBuffer.data();
    return p;
}

bool PolySynth::SetControlValue(std::uint8_t id, double value) {
    auto guard = HoldMixerLock();
    return sound::SetControlValue(controls, id, value);
}

void PolySynth::SelectRadio(std::uint8_t first, std::uint8_t end, std::uint8_t chosen) {
    auto guard = HoldMixerLock();
    sound::SelectRadio(controls, first, end, chosen);
}

double PolySynth::GetControlValue(std::uint8_t id) {
    auto guard = HoldMixerLock();
    return sound::GetControlValue(std::span<const Control>(controls), id);
}

bool PolySynth::Save(std::ostream& out) {
    auto guard = HoldMixerLock();
    WritePatch(out, patch);
    return static_cast<bool>(out);
}

bool PolySynth::Load(std::istream& in, std::string& error) {
    Patch p;
    if (!ReadPatch(in, p, error)) return false;
    auto guard = HoldMixerLock();
    ApplyPatch(p);
    return true;
}

void PolySynth::ApplyPatch(const Patch& p) {
    for (int k = 0; k < 3; ++k)
        SetWaveform(k, p.waveform[k]);
    for (int k = 0; k < 3; ++k)
        SetPitch(k, p.pitch[k]);
    SetLevels(p.level[0], p.level[1], p.level[2], p.noiseLevel);
    SetPolyphony(p.mono ? 0 : 1);
    SetCutoff(p.cutoff);
    SetResonance(p.resonance);
    const auto& a = p.ampEnvelope;
    const auto& f = p.filterEnvelope;
    SetAmpEnvelope(a[0], a[1], a[2], a[3], p.ampEnvelopeOn != 0);
    SetFilterEnvelope(f[0], f[1], f[2], f[3], p.filterEnvelopeOn != 0);
    SetLfo(p.lfoWaveform, p.lfoSpeed, p.lfoAttack, p.vibrato, p.tremolo, p.wahWah, p.lfoOn != 0);
    SetPortamento(p.portamento);
    // Stored only: sounding voices follow at the next SetPitchBend.
    patch.pitchBend = p.pitchBend;
    SetBendBase(p.bendBase);
}

}  // namespace sound
