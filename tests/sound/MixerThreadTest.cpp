// The mixer with its output thread running: latency, notes from several threads, and
// the headless devices.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "platform/audio/HeadlessWaveOut.h"
#include "platform/audio/WaveOutQueue.h"
#include "sound/Mixer.h"
#include "sound/Sampler.h"
#include "sound/Wavetables.h"
#include "tests/sound/AudioProbe.h"

namespace sound {
namespace {

constexpr std::uint32_t RATE = 22050;

// Waits until the output thread has written back every buffer it was handed.
bool CaughtUp(const platform::ManualWaveOut& device) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (device.Queue().HandedBack() != 0) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return true;
}

TEST(MixerThreadTest, NoteIsHeardWithin50MillisecondsOnASimulatedDeviceClock) {
    auto owned = std::make_unique<platform::ManualWaveOut>();
    platform::ManualWaveOut& device = *owned;
    Mixer mixer;
    ASSERT_TRUE(mixer.Open(RATE, false, 6, std::move(owned)));
    PolySynth synth;
    mixer.AttachInstrument(&synth, 0);
    synth.SetWaveform(1, WAVE_NONE);

    // The device plays 64 frames (2.9 ms) per tick of its clock.
    std::vector<std::int16_t> tick(64);
    std::size_t clock = 0, noteAt = 0, heardAt = 0;
    const std::size_t limit = RATE * 40 / 1000;
    for (; clock < RATE * 2; clock += tick.size()) {
        if (clock >= RATE / 2 && noteAt == 0) {
            noteAt = clock;
            synth.NoteOn(69, 64);
        }
        device.Pull(tick);
        ASSERT_TRUE(CaughtUp(device));
        EXPECT_LE(device.Queue().AheadSamples(), limit);
        auto loud = std::find_if(tick.begin(), tick.end(), [](std::int16_t v) { return v != 0; });
        if (noteAt != 0 && loud != tick.end()) {
            heardAt = clock + static_cast<std::size_t>(loud - tick.begin());
            break;
        }
        if (noteAt == 0) {
            ASSERT_EQ(loud, tick.end()) << "sound before the note";
        }
    }
    ASSERT_NE(heardAt, 0u) << "the note was never heard";
    double ms = (heardAt - noteAt) * 1000.0 / RATE;
    EXPECT_LE(ms, 50.0);
    RecordProperty("latency_ms", std::to_string(ms));
    std::printf("note heard after %.1f ms of device time\n", ms);
    mixer.Close();
}

TEST(MixerThreadTest, NotesFromTwoThreadsWhileTheOutputThreadRenders) {
    Mixer mixer;
    ASSERT_TRUE(mixer.Open(RATE, false, 6, std::make_unique<platform::NullWaveOut>()));
    std::array<Sampler, 2> strings;
    for (int i = 0; i < 2; ++i) {
        mixer.AttachInstrument(&strings[i], i);
        ApplySynthesisedGuitar(strings[i]);
    }
    std::atomic<bool> done{false};
    auto player = [&](Sampler& s, int base) {
        for (int i = 0; !done; ++i) {
            int note = s.NoteOn(base + i % 12, 56);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            s.NoteOff(note);
            if (i % 7 == 0) s.SetPitchBend((i % 5) * 0.1);
        }
    };
    std::thread main([&] { player(strings[0], 60); });
    std::thread chords([&] { player(strings[1], 48); });
    for (int round = 0; round < 20; ++round) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        // The main thread also rearranges the channels and changes settings.
        mixer.DetachInstrument(1);
        mixer.AttachInstrument(&strings[1], 1);
        mixer.GetChannel(0)->SetVolume(static_cast<std::uint32_t>(round * 3));
        mixer.SetMasterVolume(40 + round);
        strings[0].SetCutoff(5000 + round * 100);
    }
    done = true;
    main.join();
    chords.join();
    strings[0].AllNotesOff();
    EXPECT_TRUE(mixer.Close());
}

TEST(MixerThreadTest, WavSinkRecordsWhatThePlayerPlays) {
    auto path = std::filesystem::temp_directory_path() /
                ("fretlore-mixer-" + std::to_string(::getpid()) + ".wav");
    {
        Mixer mixer;
        ASSERT_TRUE(mixer.Open(RATE, false, 6, std::make_unique<platform::WavFileWaveOut>(path)));
        PolySynth synth;
        mixer.AttachInstrument(&synth, 2);
        synth.SetWaveform(1, WAVE_NONE);
        synth.NoteOn(57, 64);
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        mixer.Close();
    }
    platform::WavData wav;
    ASSERT_EQ(platform::ReadWavFile(path, wav), "");
    std::filesystem::remove(path);
    EXPECT_EQ(wav.sampleRate, RATE);
    EXPECT_EQ(wav.channels, 1);
    // Real time: roughly 0.4 s of sound, and the tone is A3 at the channel's gain.
    EXPECT_GT(wav.samples.size(), RATE / 4);
    EXPECT_LT(wav.samples.size(), RATE);
    std::span<const std::int16_t> all(wav.samples);
    EXPECT_NEAR(soundtest::PeakAbs(all), 32767 * 24 / 64, 400);
    std::span<const std::int16_t> tail = all.last(4096);
    EXPECT_NEAR(soundtest::PeakFrequency(tail, RATE, 200, 240), 220.5, 1.0);
}

}  // namespace
}  // namespace sound
