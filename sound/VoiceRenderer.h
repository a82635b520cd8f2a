#pragma once
// One voice of a synthesiser rendered a block at a time. Each stage of the voice runs as
// its own pass over the block (oscillators, noise, filter, envelopes and gain), so that
// each pass is a short loop specialised for its case and only the filter's recurrence
// has to run sample after sample. Every sample comes out as the stages taken one sample
// at a time would make it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "sound/Voice.h"

namespace sound {

// The most frames one call renders.
constexpr std::size_t VOICE_BLOCK = 1024;

struct VoiceBlockParams {
    std::int32_t noise = 0;      // range of the added noise, level × 512; 0 = none
    std::int32_t cutoff = 0;     // 0..32768, 15 bits
    std::int32_t resonance = 0;  // 0..256
    bool lfo = false;            // the three per-frame buffers below are filled
    bool filter = false;
    bool ampOn = true;  // heeded only with the LFO on
    bool tremolo = false;
    const std::int32_t* vibrato = nullptr;        // step offsets, 20.12
    const std::int32_t* wah = nullptr;            // cutoff offsets, 15 bits
    const std::int32_t* tremoloFactor = nullptr;  // 15 bits, 32768 = unchanged
};

// Work space for one block, kept by the synthesiser so that rendering never allocates.
struct VoiceScratch {
    std::array<std::int32_t, VOICE_BLOCK> signal, amp, shape, cutoff, feedback;
};

// Adds up to VOICE_BLOCK frames of `voice` into `out`, marking the voice idle when it ends.
void RenderVoiceBlock(Voice& voice, std::uint32_t& noiseState, const VoiceBlockParams& p,
                      VoiceScratch& scratch, std::span<std::int32_t> out);

// The most voices whose filters run side by side.
constexpr std::size_t FILTER_LANES = 8;

// Work space for a group of filtered voices. The filter's inputs and outputs are stored
// frame-major, FILTER_LANES words per frame, so that one load fetches a frame of every voice.
struct VoiceGroupScratch {
    std::array<std::array<std::int32_t, VOICE_BLOCK>, FILTER_LANES> amp;
    alignas(16) std::array<std::int32_t, VOICE_BLOCK * FILTER_LANES> signal, cutoff, feedback;
};

// RenderVoiceBlock for each of up to FILTER_LANES voices of one synthesiser with its filter
// on (p.filter), in order, with the same result; the filters' recurrences are independent,
// so they run interleaved and overlap in the processor.
void RenderFilteredVoices(std::span<Voice* const> voices, std::uint32_t& noiseState,
                          const VoiceBlockParams& p, VoiceScratch& scratch,
                          VoiceGroupScratch& group, std::span<std::int32_t> out);

// The filter's feedback q + q × 32768 / (32768 − c), capped at 512, for q 0..256 and
// c 0..32760, without a division.
std::int32_t LowpassFeedback(std::int32_t q, std::int32_t c);

// Builds the reciprocals LowpassFeedback reads; call once before rendering starts.
void PrepareLowpassFeedback();

}  // namespace sound
