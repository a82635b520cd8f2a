// bench-libs: fretlore_sound fretlore_audio
// The sound engine's budgets: a sampler voice and a synthesiser voice (filter and LFO on)
// at most 55 µs of CPU per voice-second, half of what a peer synthesiser needs (≈ 110 µs,
// measured with many voices sounding, so the chords below are the comparable figures);
// the mixer with six samplers and 36 sounding voices at least 300× real time.
// Each iteration renders one second of sound at 22050 Hz in 356-frame blocks.

#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <vector>

#include "sound/Mixer.h"
#include "sound/PluckedString.h"
#include "sound/Sampler.h"
#include "sound/Wavetables.h"

namespace {

constexpr std::uint32_t RATE = 22050;
constexpr std::size_t BLOCK = 356;
constexpr int BLOCKS_PER_SECOND = (RATE + BLOCK - 1) / BLOCK;

// A guitar string whose recording loops, so that its voices never end mid-benchmark.
void LoopingGuitar(sound::Sampler& sampler, int string) {
    sound::ConfigureGuitarString(sampler, string);
    sound::Sample looped = sampler.GetSample();
    looped.SetLoop(sound::Sample::LOOP_ALL, 0, 0);
    sampler.SetSample(std::move(looped));
}

void RenderOneSecond(sound::VoiceRoot& instrument, std::vector<std::int32_t>& block) {
    for (int b = 0; b < BLOCKS_PER_SECOND; ++b) {
        benchmark::DoNotOptimize(instrument.Render(block));
    }
}

void PerVoiceSecond(benchmark::State& state, int voices) {
    // Seconds per iteration over the voices: CPU per voice-second. The Time column is wall
    // time, which on a busy machine counts other processes' turns as well.
    state.counters["cpu_per_voice_second"] = benchmark::Counter(
        voices, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.SetLabel("budget cpu_per_voice_second 55 us");
}

void SamplerVoice(benchmark::State& state) {
    sound::Sampler sampler;
    LoopingGuitar(sampler, 1);
    sampler.SetSampleRate(RATE);
    sampler.NoteOn(71, 56);  // a fret up: the interpolating path
    std::vector<std::int32_t> block(BLOCK);
    for (auto _ : state)
        RenderOneSecond(sampler, block);
    PerVoiceSecond(state, 1);
}
BENCHMARK(SamplerVoice)->Unit(benchmark::kMicrosecond);

// The first second of a strummed string as the chord player plays it: struck, let go after
// 100 ms, then in its release; the recording is the one-shot one. Striking again cuts the
// previous voice within 10 ms, so for that long two voices sound.
void SamplerVoiceStrummed(benchmark::State& state) {
    sound::Sampler sampler;
    sound::ConfigureGuitarString(sampler, 1);
    sampler.SetSampleRate(RATE);
    std::vector<std::int32_t> block(BLOCK);
    constexpr int HELD_BLOCKS = (RATE / 10 + BLOCK - 1) / BLOCK;
    for (auto _ : state) {
        sampler.NoteOn(71, 56);
        for (int b = 0; b < BLOCKS_PER_SECOND; ++b) {
            if (b == HELD_BLOCKS) sampler.NoteOff(71);
            benchmark::DoNotOptimize(sampler.Render(block));
        }
    }
    PerVoiceSecond(state, 1);
}
BENCHMARK(SamplerVoiceStrummed)->Unit(benchmark::kMicrosecond);

void ConfigureFilteredSynth(sound::PolySynth& synth) {
    synth.SetSampleRate(RATE);
    synth.SetWaveform(0, sound::WAVE_SAW);
    synth.SetWaveform(1, sound::WAVE_SQUARE);
    synth.SetPitch(1, 0.2);
    synth.SetPolyphony(1);
    synth.SetAmpEnvelope(0.01, 0.1, 1.0, 0.5, true);
    synth.SetFilterEnvelope(0.01, 0.3, 0.5, 1.0, true);
    synth.SetCutoff(12000);
    synth.SetResonance(120);
    synth.SetLfo(sound::LFO_SINE, 5.0, 4, 16, 16, 16, true);
}

void SynthVoiceWithFilterAndLfo(benchmark::State& state) {
    sound::PolySynth synth;
    ConfigureFilteredSynth(synth);
    synth.NoteOn(57, 56);
    std::vector<std::int32_t> block(BLOCK);
    for (auto _ : state)
        RenderOneSecond(synth, block);
    state.SetLabel("time per iteration = CPU per voice-second; budget 55 us");
}
BENCHMARK(SynthVoiceWithFilterAndLfo)->Unit(benchmark::kMicrosecond);

// A chord of state.range(0) voices of one synthesiser, each with filter and LFO.
void SynthChordWithFilterAndLfo(benchmark::State& state) {
    const int voices = static_cast<int>(state.range(0));
    sound::PolySynth synth;
    ConfigureFilteredSynth(synth);
    for (int v = 0; v < voices; ++v)
        synth.NoteOn(45 + 3 * v, 40 + v);
    std::vector<std::int32_t> block(BLOCK);
    for (auto _ : state)
        RenderOneSecond(synth, block);
    PerVoiceSecond(state, voices);
}
BENCHMARK(SynthChordWithFilterAndLfo)->Arg(6)->Arg(12)->Unit(benchmark::kMicrosecond);

// Six voices of one sampler string, interpolating.
void SamplerChord(benchmark::State& state) {
    const int voices = static_cast<int>(state.range(0));
    sound::Sampler sampler;
    LoopingGuitar(sampler, 1);
    sampler.SetSampleRate(RATE);
    for (int v = 0; v < voices; ++v)
        sampler.NoteOn(64 + 2 * v + 1, 56);
    std::vector<std::int32_t> block(BLOCK);
    for (auto _ : state)
        RenderOneSecond(sampler, block);
    PerVoiceSecond(state, voices);
}
BENCHMARK(SamplerChord)->Arg(6)->Unit(benchmark::kMicrosecond);

void MixerSixSamplers36Voices(benchmark::State& state) {
    sound::Mixer mixer;
    mixer.Open(RATE, false, 6, nullptr);
    std::array<sound::Sampler, 6> strings;
    for (int s = 0; s < 6; ++s) {
        LoopingGuitar(strings[s], s);
        mixer.AttachInstrument(&strings[s], static_cast<std::uint32_t>(s));
        for (int v = 0; v < 6; ++v)
            strings[s].NoteOn(69 + 2 * v, 56);
    }
    std::vector<std::int16_t> block(mixer.FramesPerBlock());
    for (auto _ : state) {
        for (int b = 0; b < BLOCKS_PER_SECOND; ++b) {
            mixer.RenderBlock(block);
            benchmark::DoNotOptimize(block.data());
        }
    }
    state.counters["x_real_time"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.SetLabel("one second of sound per iteration; budget >= 300x real time");
}
BENCHMARK(MixerSixSamplers36Voices)->Unit(benchmark::kMicrosecond);

}  // namespace
