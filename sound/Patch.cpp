#include "sound/Patch.h"

#include <cmath>

#include "sound/Oscillator.h"
#include "sound/Sample.h"

namespace sound {

void WritePatch(std::ostream& out, const Patch& p) {
    ByteWriter w(out);
    for (std::uint8_t wave : p.waveform)
        w.U8(wave);
    for (double pitch : p.pitch)
        w.F64(pitch);
    w.I32(p.noiseLevel);
    for (std::int32_t level : p.level)
        w.I32(level);
    w.U8(p.mono);
    w.U8(p.filterEnvelopeOn);
    w.U8(p.ampEnvelopeOn);
    w.U8(p.lfoOn);
    for (double v : p.ampEnvelope)
        w.F64(v);
    for (double v : p.filterEnvelope)
        w.F64(v);
    w.F32(p.lfoSpeed);
    w.I32(p.vibrato);
    w.I32(p.tremolo);
    w.I32(p.wahWah);
    w.I32(p.lfoAttack);
    w.I32(p.lfoWaveform);
    w.I32(p.resonance);
    w.I32(p.cutoff);
    w.F64(p.pitchBend);
    w.I32(p.portamento);
    w.I32(p.bendBase);
}

namespace {

bool ReadFields(ByteReader& r, Patch& p) {
    bool ok = true;
    for (std::uint8_t& wave : p.waveform)
        ok = ok && r.U8(wave);
    for (double& pitch : p.pitch)
        ok = ok && r.F64(pitch);
    ok = ok && r.I32(p.noiseLevel);
    for (std::int32_t& level : p.level)
        ok = ok && r.I32(level);
    ok = ok && r.U8(p.mono) && r.U8(p.filterEnvelopeOn) && r.U8(p.ampEnvelopeOn) && r.U8(p.lfoOn);
    for (double& v : p.ampEnvelope)
        ok = ok && r.F64(v);
    for (double& v : p.filterEnvelope)
        ok = ok && r.F64(v);
    return ok && r.F32(p.lfoSpeed) && r.I32(p.vibrato) && r.I32(p.tremolo) && r.I32(p.wahWah) &&
           r.I32(p.lfoAttack) && r.I32(p.lfoWaveform) && r.I32(p.resonance) && r.I32(p.cutoff) &&
           r.F64(p.pitchBend) && r.I32(p.portamento) && r.I32(p.bendBase);
}

bool AllFinite(const Patch& p) {
    for (double v : p.pitch)
        if (!std::isfinite(v)) return false;
    for (double v : p.ampEnvelope)
        if (!std::isfinite(v)) return false;
    for (double v : p.filterEnvelope)
        if (!std::isfinite(v)) return false;
    return std::isfinite(p.lfoSpeed) && std::isfinite(p.pitchBend);
}

}  // namespace

bool ReadPatch(std::istream& in, Patch& patch, std::string& error) {
    ByteReader reader(in);
    Patch p;
    if (!ReadFields(reader, p)) {
        error = "the patch is shorter than " + std::to_string(PATCH_BYTES) + " bytes";
        return false;
    }
    for (std::uint8_t wave : p.waveform) {
        if (wave > 4) {
            error = "an oscillator waveform is " + std::to_string(wave) + " (at most 4)";
            return false;
        }
    }
    if (!IsLfoWaveform(p.lfoWaveform)) {
        error = "the LFO waveform " + std::to_string(p.lfoWaveform) + " is unknown";
        return false;
    }
    if (p.bendBase < MIN_BEND_BASE || p.bendBase > MAX_BEND_BASE) {
        error = "the bend base " + std::to_string(p.bendBase) + " is outside 1..12";
        return false;
    }
    if (!AllFinite(p)) {
        error = "the patch holds a number that is not finite";
        return false;
    }
    if (p.resonance < 0 || p.resonance > 256) p.resonance = 128;
    if (p.cutoff < 0 || p.cutoff > 32768) p.cutoff = 16384;
    patch = p;
    return true;
}

}  // namespace sound
