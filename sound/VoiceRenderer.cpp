#include "sound/VoiceRenderer.h"

#include <algorithm>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sound {

namespace {

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

// The filter coefficient and feedback of each frame: they depend on the envelope and the
// LFO only, so they are worked out ahead of the recurrence.
// STRIDE words apart in `cutoff` and `feedback`.
template <bool LFO, std::size_t STRIDE = 1>
void FilterCoefficients(const VoiceBlockParams& p, std::int32_t key, const std::int32_t* shape,
                        std::int32_t* cutoff, std::int32_t* feedback, std::size_t n) {
    const std::uint64_t* reciprocals = Reciprocals().data();
    for (std::size_t f = 0; f < n; ++f) {
        std::int32_t c =
            LFO ? p.wah[f] + ((shape[f] * p.cutoff) >> 15) : key + ((p.cutoff * shape[f]) >> 15);
        c = std::clamp(c, 0, MAX_COEFFICIENT);
        cutoff[f * STRIDE] = c;
        feedback[f * STRIDE] = Feedback(reciprocals, p.resonance, c);
    }
}

// The resonant low-pass of Lowpass, with its coefficients given per frame, STRIDE words
// apart. A lone voice's output is the scaled signal; a group's is the second stage s1,
// scaled when mixed.
template <std::size_t STRIDE = 1>
void FilterSignal(LowpassState& st, std::int32_t q, const std::int32_t* cutoff,
                  const std::int32_t* feedback, std::int32_t* signal, std::size_t n) {
    // 64 bits: with full feedback the first stage swings far past 16 bits.
    std::int64_t s0 = st.s0, s1 = st.s1;
    for (std::size_t f = 0; f < n; ++f) {
        const std::int64_t c = cutoff[f * STRIDE];
        s0 += (((signal[f * STRIDE] >> 2) + (((s0 - s1) * feedback[f * STRIDE]) >> 8) - s0) * c) >>
              15;
        s0 = std::clamp<std::int64_t>(s0, LOWPASS_STAGE_MIN, LOWPASS_STAGE_MAX);
        s1 += ((s0 - s1) * c) >> 15;
        s1 = std::clamp<std::int64_t>(s1, -32768, 32767);
        if constexpr (STRIDE == 1)
            signal[f] = static_cast<std::int32_t>(s1) * 4;
        else
            signal[f * STRIDE] = static_cast<std::int32_t>(s1);
    }
    st.s0 = static_cast<std::int32_t>(s0);
    st.s1 = static_cast<std::int32_t>(s1);
    if (n > 0) {
        st.lastCutoff = cutoff[(n - 1) * STRIDE];
        st.lastResonance = q;
        st.feedback = feedback[(n - 1) * STRIDE];
    }
}

#if defined(__SSE2__)
// The same filter for VECTORS × 4 voices side by side, in 32-bit lanes. The 64-bit products
// a × b >> k (b below 2^15, |a| below 2^30) are split as a = h × 2^15 + l with 0 <= l < 2^15:
// then a × b >> k = (h × b << (15 − k)) + (l × b >> k) exactly, and both products are 16 × 16
// bits (b's upper half is zero), which one multiply-add instruction makes.
__m128i MulShift(__m128i a, __m128i b, int k) {
    const __m128i low15 = _mm_set1_epi32(0x7FFF);
    __m128i high = _mm_madd_epi16(_mm_srai_epi32(a, 15), b);
    __m128i low = _mm_srli_epi32(_mm_madd_epi16(_mm_and_si128(a, low15), b), k);
    return _mm_add_epi32(k == 15 ? high : _mm_slli_epi32(high, 15 - k), low);
}

// Saturates to 16 bits and widens back.
__m128i Clamp16(__m128i v) {
    __m128i packed = _mm_packs_epi32(v, v);
    return _mm_srai_epi32(_mm_unpacklo_epi16(packed, packed), 16);
}

// While every first stage stays within ±LANE_STAGE_LIMIT, a step's products stay below the
// bounds MulShift needs (|s0 − s1| × 512 >> 8 and the stage's input below 2^26), so the lanes
// match the 64-bit filter exactly. A lane past it hands the rest of the block to that filter.
constexpr std::int32_t LANE_STAGE_LIMIT = 1 << 24;

// Returns the frames filtered, up to the first frame after which a first stage left the lane
// range (all n when none did).
template <std::size_t VECTORS>
std::size_t FilterLanes(std::array<LowpassState*, FILTER_LANES>& st, const std::int32_t* cutoff,
                        const std::int32_t* feedback, std::int32_t* signal, std::size_t n) {
    alignas(16) std::array<std::int32_t, FILTER_LANES> a0{}, a1{};
    for (std::size_t k = 0; k < VECTORS * 4; ++k) {
        if (!st[k]) continue;
        if (st[k]->s0 > LANE_STAGE_LIMIT || st[k]->s0 < -LANE_STAGE_LIMIT) return 0;
        a0[k] = st[k]->s0, a1[k] = st[k]->s1;
    }
    __m128i s0[VECTORS], s1[VECTORS];
    for (std::size_t v = 0; v < VECTORS; ++v) {
        s0[v] = _mm_load_si128(reinterpret_cast<const __m128i*>(&a0[4 * v]));
        s1[v] = _mm_load_si128(reinterpret_cast<const __m128i*>(&a1[4 * v]));
    }
    const __m128i s0Max = _mm_set1_epi32(LANE_STAGE_LIMIT);
    const __m128i s0Min = _mm_set1_epi32(-LANE_STAGE_LIMIT);
    std::size_t f = 0;
    while (f < n) {
        __m128i outside = _mm_setzero_si128();
        for (std::size_t v = 0; v < VECTORS; ++v) {
            const std::size_t at = f * FILTER_LANES + 4 * v;
            auto* x = reinterpret_cast<__m128i*>(signal + at);
            __m128i c = _mm_load_si128(reinterpret_cast<const __m128i*>(cutoff + at));
            __m128i fb = _mm_load_si128(reinterpret_cast<const __m128i*>(feedback + at));
            __m128i t = _mm_add_epi32(_mm_srai_epi32(_mm_load_si128(x), 2),
                                      MulShift(_mm_sub_epi32(s0[v], s1[v]), fb, 8));
            t = _mm_sub_epi32(t, s0[v]);
            s0[v] = _mm_add_epi32(s0[v], MulShift(t, c, 15));
            s1[v] = Clamp16(_mm_add_epi32(s1[v], MulShift(_mm_sub_epi32(s0[v], s1[v]), c, 15)));
            _mm_store_si128(x, s1[v]);
            outside = _mm_or_si128(outside, _mm_or_si128(_mm_cmpgt_epi32(s0[v], s0Max),
                                                         _mm_cmpgt_epi32(s0Min, s0[v])));
        }
        ++f;
        if (_mm_movemask_epi8(outside) != 0) break;
    }
    for (std::size_t v = 0; v < VECTORS; ++v) {
        _mm_store_si128(reinterpret_cast<__m128i*>(&a0[4 * v]), s0[v]);
        _mm_store_si128(reinterpret_cast<__m128i*>(&a1[4 * v]), s1[v]);
    }
    for (std::size_t k = 0; k < VECTORS * 4; ++k) {
        if (st[k]) st[k]->s0 = a0[k], st[k]->s1 = a1[k];
    }
    return f;
}
#endif

// a × s >> 15 for a factor a of 0..32768. A filtered voice reaches 131068 and noise adds to
// an unfiltered one, so in general the product needs more than 32 bits; it is taken in two
// 32-bit halves, s = h × 2^15 + l with 0 <= l < 2^15, as a × h + (a × l >> 15), which is exact
// and keeps the loop in 32-bit lanes. A plain voice's samples are 16 bits and need no split.
template <bool WIDE>
inline std::int32_t Scale15(std::int32_t a, std::int32_t s) {
    if constexpr (WIDE)
        return a * (s >> 15) + ((a * (s & 0x7FFF)) >> 15);
    else
        return (a * s) >> 15;
}

// Envelope, tremolo and velocity, added into the output.
template <bool AMP, bool TREMOLO, bool WIDE = false>
void Mix(std::int32_t gain, const std::int32_t* signal, const std::int32_t* amp,
         const std::int32_t* tremolo, std::int32_t* out, std::size_t n) {
    for (std::size_t f = 0; f < n; ++f) {
        std::int32_t s = signal[f];
        if constexpr (AMP) s = Scale15<WIDE>(amp[f], s);
        if constexpr (TREMOLO) s = Scale15<WIDE>(tremolo[f], s);
        out[f] += (gain * s) >> 6;
    }
}

// Mix for a voice of a group: its filter output is s1, FILTER_LANES words apart.
template <bool AMP, bool TREMOLO>
void MixLane(std::int32_t gain, const std::int32_t* s1, const std::int32_t* amp,
             const std::int32_t* tremolo, std::int32_t* out, std::size_t n) {
    for (std::size_t f = 0; f < n; ++f) {
        std::int32_t s = s1[f * FILTER_LANES] * 4;
        if constexpr (AMP) s = Scale15<true>(amp[f], s);
        if constexpr (TREMOLO) s = Scale15<true>(tremolo[f], s);
        out[f] += (gain * s) >> 6;
    }
}

// Mix<true, false> for a plain voice, whose signal (a 16-bit sample × level 0..64 >> 6),
// envelope (0..32767) and gain (0..64) all fit 16 bits: then each product is one
// multiply-add of the 16-bit halves, exactly.
void MixPlain(std::int32_t gain, const std::int32_t* signal, const std::int32_t* amp,
              std::int32_t* out, std::size_t n) {
    std::size_t f = 0;
#if defined(__SSE2__)
    const __m128i g = _mm_set1_epi32(gain);
    for (; f + 4 <= n; f += 4) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(signal + f));
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(amp + f));
        s = _mm_srai_epi32(_mm_madd_epi16(s, a), 15);
        s = _mm_srai_epi32(_mm_madd_epi16(s, g), 6);
        auto* o = reinterpret_cast<__m128i*>(out + f);
        _mm_storeu_si128(o, _mm_add_epi32(_mm_loadu_si128(o), s));
    }
#endif
    for (; f < n; ++f)
        out[f] += (gain * ((amp[f] * signal[f]) >> 15)) >> 6;
}

// The common case of a sampler voice: one oscillator, no LFO, filter or noise.
void RenderPlainVoice(Voice& voice, VoiceScratch& w, std::span<std::int32_t> out) {
    std::int32_t* signal = w.signal.data();
    Oscillator& osc = voice.oscillators[0];
    std::size_t sounding = osc.RenderPlain({signal, out.size()});
    std::size_t live = voice.ampEnvelope.Render({w.amp.data(), sounding});
    // The synthesiser keeps levels and gains in 0..64; anything else takes the wide path.
    if (osc.Level() >= 0 && osc.Level() <= 64 && voice.gain >= 0 && voice.gain <= 64)
        MixPlain(voice.gain, signal, w.amp.data(), out.data(), live);
    else
        Mix<true, false>(voice.gain, signal, w.amp.data(), nullptr, out.data(), live);
    if (sounding < out.size() || live < sounding) voice.idle = true;
}

// The oscillators of a voice found sounding, into `signal`; returns the frames made.
template <bool LFO>
std::size_t RenderVoiceSources(Voice& voice, const VoiceBlockParams& p, VoiceScratch& w,
                               std::int32_t* signal, std::size_t n) {
    if (!voice.fmOn && voice.oscillatorCount == 2 && voice.oscillators[0].IsLooping() &&
        voice.oscillators[1].IsLooping()) {
        const std::int32_t* vibrato = p.vibrato;
        if (!LFO) {
            std::fill_n(w.feedback.data(), n, 0);
            vibrato = w.feedback.data();
        }
        RenderLoopingPair(voice, vibrato, signal, w.shape.data(), n);
        return n;
    }
    return RenderSources<LFO>(voice, p.vibrato, signal, n);
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
    std::size_t made = RenderVoiceSources<LFO>(voice, p, w, signal, out.size());
    const bool amp = !LFO || p.ampOn;
    // Ticks past the one that turns the envelope off change nothing: off stays off at 0.
    std::size_t live = amp ? voice.ampEnvelope.Render({w.amp.data(), made}) : made;
    if (live < made) voice.idle = true;
    if (p.noise != 0) AddNoise(noiseState, p.noise, signal, live);
    if (p.filter) {
        voice.filterEnvelope.Render({w.shape.data(), live});
        FilterCoefficients<LFO>(p, voice.keyFrequency, w.shape.data(), w.cutoff.data(),
                                w.feedback.data(), live);
        FilterSignal(voice.filter, p.resonance, w.cutoff.data(), w.feedback.data(), signal, live);
    }
    const bool tremolo = LFO && p.tremolo;
    if (amp && tremolo)
        Mix<true, true, true>(voice.gain, signal, w.amp.data(), p.tremoloFactor, out.data(), live);
    else if (amp)
        Mix<true, false, true>(voice.gain, signal, w.amp.data(), nullptr, out.data(), live);
    else if (tremolo)
        Mix<false, true, true>(voice.gain, signal, nullptr, p.tremoloFactor, out.data(), live);
    else
        Mix<false, false, true>(voice.gain, signal, nullptr, nullptr, out.data(), live);
}

// Everything before the filter for one voice of a group, into lane `k`; returns the frames
// that sound (0 for a voice found off).
template <bool LFO>
std::size_t PrepareLane(Voice& voiceRef, std::uint32_t& noiseState, const VoiceBlockParams& p,
                        VoiceScratch& w, VoiceGroupScratch& g, std::size_t k, std::size_t n) {
    Voice voice = voiceRef;
    std::int32_t* signal = w.signal.data();
    std::size_t live = 0;
    if (voice.ampEnvelope.GetState() == Adsr::OFF) {
        voice.idle = true;
    } else {
        std::size_t made = RenderVoiceSources<LFO>(voice, p, w, signal, n);
        const bool amp = !LFO || p.ampOn;
        live = amp ? voice.ampEnvelope.Render({g.amp[k].data(), made}) : made;
        if (live < made) voice.idle = true;
        if (p.noise != 0) AddNoise(noiseState, p.noise, signal, live);
        std::int32_t* lane = g.signal.data() + k;
        for (std::size_t f = 0; f < live; ++f)
            lane[f * FILTER_LANES] = signal[f];
        voice.filterEnvelope.Render({w.shape.data(), live});
        FilterCoefficients<LFO, FILTER_LANES>(p, voice.keyFrequency, w.shape.data(),
                                              g.cutoff.data() + k, g.feedback.data() + k, live);
    }
    voiceRef = voice;
    return live;
}

template <bool LFO>
void RenderGroup(std::span<Voice* const> voices, std::uint32_t& noiseState,
                 const VoiceBlockParams& p, VoiceScratch& w, VoiceGroupScratch& g,
                 std::span<std::int32_t> out) {
    std::array<Voice*, FILTER_LANES> lane{};
    std::array<LowpassState*, FILTER_LANES> state{};
    std::array<std::size_t, FILTER_LANES> live{};
    std::size_t lanes = 0;
    for (Voice* voice : voices) {
        std::size_t n = PrepareLane<LFO>(*voice, noiseState, p, w, g, lanes, out.size());
        if (n == 0) continue;
        lane[lanes] = voice;
        state[lanes] = &voice->filter;
        live[lanes++] = n;
    }
    if (lanes == 0) return;
    // Side by side up to the first voice to end; each voice alone after that.
    std::size_t together = *std::min_element(live.begin(), live.begin() + lanes);
    std::size_t done = 0;
#if defined(__SSE2__)
    if (lanes > 4) {
        done = FilterLanes<2>(state, g.cutoff.data(), g.feedback.data(), g.signal.data(), together);
    } else if (lanes > 1) {
        done = FilterLanes<1>(state, g.cutoff.data(), g.feedback.data(), g.signal.data(), together);
    }
#endif
    const std::int32_t q = p.resonance;
    const bool amp = !LFO || p.ampOn;
    const bool tremolo = LFO && p.tremolo;
    for (std::size_t k = 0; k < lanes; ++k) {
        const std::size_t at = done * FILTER_LANES + k;
        FilterSignal<FILTER_LANES>(*state[k], q, g.cutoff.data() + at, g.feedback.data() + at,
                                   g.signal.data() + at, live[k] - done);
        if (done > 0 && live[k] == done) {
            // The cached coefficients a lone render would leave.
            const std::size_t last = (done - 1) * FILTER_LANES + k;
            state[k]->lastCutoff = g.cutoff[last];
            state[k]->lastResonance = q;
            state[k]->feedback = g.feedback[last];
        }
        const std::int32_t gain = lane[k]->gain;
        const std::int32_t* s1 = g.signal.data() + k;
        const std::int32_t* a = g.amp[k].data();
        if (amp && tremolo)
            MixLane<true, true>(gain, s1, a, p.tremoloFactor, out.data(), live[k]);
        else if (amp)
            MixLane<true, false>(gain, s1, a, nullptr, out.data(), live[k]);
        else if (tremolo)
            MixLane<false, true>(gain, s1, nullptr, p.tremoloFactor, out.data(), live[k]);
        else
            MixLane<false, false>(gain, s1, nullptr, nullptr, out.data(), live[k]);
    }
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

void RenderFilteredVoices(std::span<Voice* const> voices, std::uint32_t& noiseState,
                          const VoiceBlockParams& p, VoiceScratch& scratch,
                          VoiceGroupScratch& group, std::span<std::int32_t> out) {
    if (out.empty()) return;
    // A lone voice is quicker through the plain single-voice path.
    if (voices.size() == 1) {
        RenderVoiceBlock(*voices[0], noiseState, p, scratch, out);
        return;
    }
    if (p.lfo)
        RenderGroup<true>(voices, noiseState, p, scratch, group, out);
    else
        RenderGroup<false>(voices, noiseState, p, scratch, group, out);
}

}  // namespace sound
