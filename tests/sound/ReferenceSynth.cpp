#include "tests/sound/ReferenceSynth.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace soundtest {

namespace {

double KeyHz(double note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12);
}

bool Fits32(std::int64_t v) {
    return v >= INT32_MIN && v <= INT32_MAX;
}

}  // namespace

ReferenceSynth::ReferenceSynth(const sound::PolySynth& model)
    : patch(model.GetPatch()),
      tables{model.GetTable(0), model.GetTable(1), model.GetTable(2)},
      rate(model.GetSampleRate()),
      lfoRamp(rate) {
    for (Voice& v : voices) {
        for (sound::Adsr* e : {&v.amp, &v.filter})
            e->SetSampleRate(rate);
        const auto& f = patch.filterEnvelope;
        v.filter.SetAll(f[0], f[1], f[2], f[3]);
    }
    // The sine shape only: the others are smoothed tables this model does not rebuild.
    for (int i = 0; i < 1024; ++i)
        lfoTable[i] = static_cast<std::int32_t>(16383 * std::sin(6.28318 * i / 1024) + 16384);
}

std::int32_t ReferenceSynth::Step(const sound::Sample& table, double frequency) const {
    double base = (static_cast<double>(table.SampleRate()) * 4096) * frequency /
                  static_cast<double>(table.RootFrequency());
    return static_cast<std::int32_t>(base / rate);
}

int ReferenceSynth::NoteOn(int note, int velocity) {
    for (Voice& v : voices) {
        if (v.idle || (!patch.mono && v.note != note)) continue;
        v.amp.QuickRelease();
        if (!patch.mono) break;
    }
    Voice* chosen = nullptr;
    for (Voice& v : voices) {
        if (v.idle) {
            chosen = &v;
            break;
        }
    }
    if (!chosen) {
        chosen = &voices[0];
        for (Voice& v : voices)
            if (v.startNumber < chosen->startNumber) chosen = &v;
    }
    Voice& v = *chosen;
    v.portamento = patch.portamento;
    const auto& a = patch.ampEnvelope;
    v.amp.SetAll(a[0], a[1], a[2], a[3]);
    Start(v, note);
    v.startNumber = startCounter++;
    lfoRamp.SetTime(patch.lfoAttack * 0.078125);
    lfoRamp.SetValue(0);
    lfoRamp.Trigger();
    v.s0 = v.s1 = 0;
    v.gain = velocity >= 0 && velocity <= 64 ? velocity : 64;
    v.amp.Trigger();
    v.filter.Trigger();
    v.idle = false;
    lastNote = note;
    return note;
}

void ReferenceSynth::Start(Voice& v, int note) {
    v.note = note;
    v.keyFrequency = static_cast<std::int32_t>(KeyHz(note));
    v.count = 0;
    for (int k = 0; k < 3; ++k) {
        if (!tables[k]) continue;
        const sound::Sample& t = *tables[k];
        Osc& o = v.osc[k < 2 ? v.count++ : 2];
        o = Osc{};
        o.data = t.Data().data();
        o.end = std::int64_t{t.Length()} << 12;
        o.loopStart = std::int64_t{t.LoopStart()} << 12;
        o.loopEnd = std::int64_t{t.LoopEnd()} << 12;
        o.loopMode = t.GetLoopMode();
        o.level = patch.level[k];
        o.step = o.targetStep = Step(t, KeyHz(note + patch.pitch[k]));
        if (v.portamento != 0 && note != lastNote) {
            auto previous = static_cast<float>(KeyHz(lastNote + patch.pitch[k]));
            o.step = Step(t, previous);
            o.glide = std::abs(o.targetStep - o.step) / v.portamento;
        }
    }
    v.fmOn = tables[2] != nullptr;
}

void ReferenceSynth::NoteOff(int note) {
    // The newest voice of the note still held, else the newest one fading.
    Voice* found = nullptr;
    auto fading = [](const Voice& v) { return v.amp.GetState() >= sound::Adsr::RELEASE; };
    for (Voice& v : voices) {
        if (v.idle || v.note != note) continue;
        if (!found || (fading(*found) && !fading(v)) ||
            (fading(*found) == fading(v) && v.startNumber > found->startNumber))
            found = &v;
    }
    if (found) {
        found->amp.Release();
        found->filter.Release();
    }
}

std::int32_t ReferenceSynth::Osc::Next(std::int32_t d) {
    if (!data) return 0;
    if (loopMode == 2 && position >= loopEnd)
        position = static_cast<std::int32_t>(position - loopEnd + loopStart);
    if (position >= end) {
        if (loopMode == 0) {
            finished = true;
            return 0;
        }
        position = static_cast<std::int32_t>(position - end);
    }
    std::int32_t i = position >> 12, f = position & 4095;
    std::int32_t next = position + 4096 >= end ? 0 : i + 1;
    std::int32_t value = (data[i] * (4096 - f) + data[next] * f) >> 12;
    position += step + d;
    return value;
}

std::int32_t ReferenceSynth::VoiceSample(Voice& v, std::int32_t vib) {
    if (v.count == 0) return 0;
    Osc &o0 = v.osc[0], &o1 = v.osc[1];
    if (v.fmOn) {
        std::int32_t f = v.osc[2].Next(0);
        if (o0.finished) return v.idle = true, 0;
        std::int32_t d = vib + ((f * v.osc[2].level) >> 6);
        std::int32_t s;
        if (v.count == 2) {
            if (o1.finished) return v.idle = true, 0;
            s = (o1.level * o1.Next(vib) + o0.Next(d) * o0.level) >> 6;
        } else {
            s = (o0.Next(d) * o0.level) >> 6;
        }
        return s < -32768 ? -32768 : s > 32767 ? 32767 : s;
    }
    if (v.count == 2 && !o0.finished && !o1.finished)
        return (o1.level * o1.Next(vib) + o0.level * o0.Next(vib)) >> 6;
    if (v.count == 1 && !o0.finished) return (o0.level * o0.Next(vib)) >> 6;
    v.idle = true;
    return 0;
}

std::int32_t ReferenceSynth::Filter(Voice& v, std::int32_t x, std::int32_t c) {
    const std::int32_t q = patch.resonance;
    if (c > 32760) c = 32760;
    std::int32_t fb = q + (q * 32768) / (32768 - c);
    if (fb > 512) fb = 512;
    // Worked in 64 bits, each step checked against the 32 bits it is defined in.
    std::int64_t a = (std::int64_t{v.s0} - v.s1) * fb;
    std::int64_t t = (x >> 2) + (a >> 8) - v.s0;
    std::int64_t p = t * c;
    std::int64_t s0 = v.s0 + (p >> 15);
    std::int64_t b = (s0 - v.s1) * c;
    std::int64_t s1 = v.s1 + (b >> 15);
    for (std::int64_t w : {a, t, p, s0, b, s1})
        overflowed = overflowed || !Fits32(w);
    v.s0 = static_cast<std::int32_t>(s0);
    v.s1 = static_cast<std::int32_t>(s1 < -32768 ? -32768 : s1 > 32767 ? 32767 : s1);
    return v.s1 * 4;
}

std::int32_t ReferenceSynth::Rand() {
    randState = randState * 1103515245u + 12345u;
    return static_cast<std::int32_t>(randState >> 1);
}

std::int32_t ReferenceSynth::Frame(std::int32_t lfo, std::int32_t ramp) {
    std::int32_t vib = 0, wah = 0, trem = 32768;
    if (patch.lfoOn) {
        std::int32_t m = (ramp * lfo) >> 15;
        if (patch.vibrato) vib = ((((lfo - 16384) * ramp) >> 15) * patch.vibrato) >> 8;
        if (patch.wahWah) wah = (patch.wahWah * m) >> 7;
        if (patch.tremolo) trem = 32768 - ((patch.tremolo * m) >> 6);
    }
    std::int32_t sum = 0;
    for (Voice& v : voices) {
        if (v.idle) continue;
        if (v.amp.GetState() == sound::Adsr::OFF) {
            v.idle = true;
            continue;
        }
        std::int32_t s = VoiceSample(v, vib);
        if (patch.noiseLevel != 0) s += Rand() % (patch.noiseLevel * 512);
        if (patch.filterEnvelopeOn) {
            std::int32_t e = v.filter.Tick();
            std::int32_t c = patch.lfoOn ? wah + ((e * patch.cutoff) >> 15)
                                         : v.keyFrequency + ((patch.cutoff * e) >> 15);
            s = Filter(v, s, c);
        }
        // A filtered voice reaches 131068, past what 32 bits hold once multiplied.
        if (!patch.lfoOn || patch.ampEnvelopeOn)
            s = static_cast<std::int32_t>((std::int64_t{v.amp.Tick()} * s) >> 15);
        if (patch.lfoOn && patch.tremolo)
            s = static_cast<std::int32_t>((std::int64_t{trem} * s) >> 15);
        sum += (v.gain * s) >> 6;
    }
    return sum;
}

bool ReferenceSynth::Render(std::span<std::int32_t> out) {
    bool any = false;
    for (const Voice& v : voices)
        any = any || !v.idle;
    if (!any) return false;
    for (Voice& v : voices) {
        if (v.idle) continue;
        for (Osc& o : v.osc) {
            if (o.step < o.targetStep)
                o.step = std::min(o.step + o.glide, o.targetStep);
            else if (o.step > o.targetStep)
                o.step = std::max(o.step - o.glide, o.targetStep);
        }
    }
    if (patch.lfoOn)
        lfoIncrement = static_cast<std::int32_t>((1024 << 15) * double{patch.lfoSpeed} / rate);
    for (std::int32_t& frame : out) {
        std::int32_t lfo = 0, ramp = 0;
        if (patch.lfoOn) {
            ramp = lfoRamp.Tick();
            lfo = lfoTable[lfoPhase >> 15];
            lfoPhase += lfoIncrement;
            if (lfoPhase >= 1024 << 15) lfoPhase -= 1024 << 15;
        }
        frame = Frame(lfo, ramp);
    }
    return true;
}

}  // namespace soundtest
