#include "sound/VoiceRenderer.h"

#include <algorithm>
#include <vector>

namespace sound {

namespace {

// Keeps a voice's sample inside the range the envelope multiplies without overflow.
constexpr std::int32_t VOICE_LIMIT = 65535;
constexpr std::int32_t MAX_COEFFICIENT = 32760;

// floor(n / d) = (n × R[d]) >> 39 for 0 <= n < 2^24 and 1 <= d <= 32768, with
// R[d] = ceil(2^39 / d): the rounding error R[d] × d − 2^39 is below d, so n times it
// stays below 2^39 and cannot carry the quotient past its floor.
constexpr int RECIPROCAL_SHIFT = 39;

const std::vector<std::uint64_t>& Reciprocals() {
    static const std::vector<std::uint64_t> table = [] {
        std::vector<std::uint64_t> r(32769);
        for (std::uint64_t d = 1; d < r.size(); ++d)
            r[d] = ((std::uint64_t{1} << RECIPROCAL_SHIFT) + d - 1) / d;
        return r;
    }();
    return table;
}

std::int32_t Feedback(const std::uint64_t* reciprocals, std::int32_t q, std::int32_t c) {
    std::uint64_t quotient =
        (static_cast<std::uint64_t>(q) << 15) * reciprocals[32768 - c] >> RECIPROCAL_SHIFT;
    std::int32_t fb = q + static_cast<std::int32_t>(quotient);
    return fb > 512 ? 512 : fb;
}

// The pitched oscillators, frame by frame; returns the frames made, the last of them the
// one where a one-shot ran out (the voice is then idle).
// Two oscillators looping whole tables without a modulator, the synthesiser's usual voice:
// each oscillator runs as its own loop and the two are mixed afterwards.
void RenderLoopingPair(Voice& voice, const std::int32_t* vibrato, std::int32_t* signal,
                       std::int32_t* other, std::size_t n) {
    Oscillator& o0 = voice.oscillators[Voice::SLOT_1];
    Oscillator& o1 = voice.oscillators[Voice::SLOT_2];
    o0.RenderLooping({signal, n}, vibrato);
    o1.RenderLooping({other, n}, vibrato);
    const std::int32_t l0 = o0.Level(), l1 = o1.Level();
    for (std::size_t f = 0; f < n; ++f)
        signal[f] = (l1 * other[f] + l0 * signal[f]) >> 6;
}

template <bool LFO>
std::size_t RenderSources(Voice& voice, const std::int32_t* vibrato, std::int32_t* signal,
                          std::size_t n) {
    // A copy whose address never leaves this loop stays in registers; the voice itself is
    // seen by other calls, so every store to `signal` would make the compiler reload it.
    Voice v = voice;
    std::size_t f = 0;
    while (f < n) {
        signal[f] = v.NextSample(LFO ? vibrato[f] : 0);
        ++f;
        if (v.idle) break;
    }
    voice = v;
    return f;
}

void AddNoise(std::uint32_t& state, std::int32_t range, std::int32_t* signal, std::size_t n) {
    std::uint32_t s = state;
    for (std::size_t f = 0; f < n; ++f) {
        s = s * 1103515245u + 12345u;
        signal[f] += static_cast<std::int32_t>((s >> 1) % static_cast<std::uint32_t>(range));
    }
    state = s;
}

void ClampToVoiceLimit(std::int32_t* signal, std::size_t n) {
    for (std::size_t f = 0; f < n; ++f)
        signal[f] = std::clamp(signal[f], -VOICE_LIMIT, VOICE_LIMIT);
}

// The filter coefficient and feedback of each frame: they depend on the envelope and the
// LFO only, so they are worked out ahead of the recurrence.
template <bool LFO>
void FilterCoefficients(const VoiceBlockParams& p, std::int32_t key, const std::int32_t* shape,
                        std::int32_t* cutoff, std::int32_t* feedback, std::size_t n) {
    const std::uint64_t* reciprocals = Reciprocals().data();
    for (std::size_t f = 0; f < n; ++f) {
        std::int32_t c =
            LFO ? p.wah[f] + ((shape[f] * p.cutoff) >> 15) : key + ((p.cutoff * shape[f]) >> 15);
        c = std::clamp(c, 0, MAX_COEFFICIENT);
        cutoff[f] = c;
        feedback[f] = Feedback(reciprocals, p.resonance, c);
    }
}

// The resonant low-pass of Lowpass, with its coefficients given per frame.
void FilterSignal(LowpassState& st, std::int32_t q, const std::int32_t* cutoff,
                  const std::int32_t* feedback, std::int32_t* signal, std::size_t n) {
    // 64 bits: with full feedback the first stage swings far past 16 bits.
    std::int64_t s0 = st.s0, s1 = st.s1;
    for (std::size_t f = 0; f < n; ++f) {
        const std::int64_t c = cutoff[f];
        s0 += (((signal[f] >> 2) + (((s0 - s1) * feedback[f]) >> 8) - s0) * c) >> 15;
        s0 = std::clamp<std::int64_t>(s0, -(1 << 24), 1 << 24);
        s1 += ((s0 - s1) * c) >> 15;
        s1 = std::clamp<std::int64_t>(s1, -32768, 32767);
        signal[f] = std::clamp(static_cast<std::int32_t>(s1) * 4, -VOICE_LIMIT, VOICE_LIMIT);
    }
    st.s0 = static_cast<std::int32_t>(s0);
    st.s1 = static_cast<std::int32_t>(s1);
    if (n > 0) {
        st.lastCutoff = cutoff[n - 1];
        st.lastResonance = q;
        st.feedback = feedback[n - 1];
    }
}

// Envelope, tremolo and velocity, added into the output.
template <bool AMP, bool TREMOLO>
void Mix(std::int32_t gain, const std::int32_t* signal, const std::int32_t* amp,
         const std::int32_t* tremolo, std::int32_t* out, std::size_t n) {
    for (std::size_t f = 0; f < n; ++f) {
        std::int32_t s = signal[f];
        if constexpr (AMP) s = (amp[f] * s) >> 15;
        if constexpr (TREMOLO) s = (tremolo[f] * s) >> 15;
        out[f] += (gain * s) >> 6;
    }
}

// The common case of a sampler voice: one oscillator that does not loop between points,
// no LFO, filter or noise.
void RenderPlainVoice(Voice& voice, VoiceScratch& w, std::span<std::int32_t> out) {
    std::int32_t* signal = w.signal.data();
    std::size_t sounding = voice.oscillators[0].RenderPlain({signal, out.size()});
    std::size_t live = voice.ampEnvelope.Render({w.amp.data(), sounding});
    Mix<true, false>(voice.gain, signal, w.amp.data(), nullptr, out.data(), live);
    if (sounding < out.size() || live < sounding) voice.idle = true;
}

template <bool LFO>
void RenderGeneralVoice(Voice& voice, std::uint32_t& noiseState, const VoiceBlockParams& p,
                        VoiceScratch& w, std::span<std::int32_t> out) {
    std::int32_t* signal = w.signal.data();
    // A voice found off makes no sound and moves nothing, the shared noise included.
    if (voice.ampEnvelope.GetState() == Adsr::OFF) {
        voice.idle = true;
        return;
    }
    std::size_t made = out.size();
    if (!voice.fmOn && voice.oscillatorCount == 2 && voice.oscillators[0].IsLooping() &&
        voice.oscillators[1].IsLooping()) {
        const std::int32_t* vibrato = p.vibrato;
        if (!LFO) {
            std::fill_n(w.feedback.data(), made, 0);
            vibrato = w.feedback.data();
        }
        RenderLoopingPair(voice, vibrato, signal, w.shape.data(), made);
    } else {
        made = RenderSources<LFO>(voice, p.vibrato, signal, made);
    }
    const bool amp = !LFO || p.ampOn;
    // Ticks past the one that turns the envelope off change nothing: off stays off at 0.
    std::size_t live = amp ? voice.ampEnvelope.Render({w.amp.data(), made}) : made;
    if (live < made) voice.idle = true;
    if (p.noise != 0) AddNoise(noiseState, p.noise, signal, live);
    ClampToVoiceLimit(signal, live);
    if (p.filter) {
        voice.filterEnvelope.Render({w.shape.data(), live});
        FilterCoefficients<LFO>(p, voice.keyFrequency, w.shape.data(), w.cutoff.data(),
                                w.feedback.data(), live);
        FilterSignal(voice.filter, p.resonance, w.cutoff.data(), w.feedback.data(), signal, live);
    }
    const bool tremolo = LFO && p.tremolo;
    if (amp && tremolo)
        Mix<true, true>(voice.gain, signal, w.amp.data(), p.tremoloFactor, out.data(), live);
    else if (amp)
        Mix<true, false>(voice.gain, signal, w.amp.data(), nullptr, out.data(), live);
    else if (tremolo)
        Mix<false, true>(voice.gain, signal, nullptr, p.tremoloFactor, out.data(), live);
    else
        Mix<false, false>(voice.gain, signal, nullptr, nullptr, out.data(), live);
}

}  // namespace

std::int32_t LowpassFeedback(std::int32_t q, std::int32_t c) {
    return Feedback(Reciprocals().data(), q, c);
}

void PrepareLowpassFeedback() {
    Reciprocals();
}

void RenderVoiceBlock(Voice& voiceRef, std::uint32_t& noiseState, const VoiceBlockParams& p,
                      VoiceScratch& scratch, std::span<std::int32_t> out) {
    if (out.empty()) return;
    // Worked on as a local copy so that the compiler keeps it in registers: the buffers
    // could otherwise alias it.
    Voice voice = voiceRef;
    if (!p.lfo && !p.filter && p.noise == 0 && !voice.fmOn && voice.oscillatorCount == 1 &&
        voice.oscillators[0].IsPlain() && !voice.oscillators[0].Finished()) {
        RenderPlainVoice(voice, scratch, out);
    } else if (p.lfo) {
        RenderGeneralVoice<true>(voice, noiseState, p, scratch, out);
    } else {
        RenderGeneralVoice<false>(voice, noiseState, p, scratch, out);
    }
    voiceRef = voice;
}

}  // namespace sound
