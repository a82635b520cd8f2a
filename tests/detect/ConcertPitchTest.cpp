// Another A4 for the detector: its note table, its names and cents.

#include <gtest/gtest.h>

#include <cmath>

#include "detect/Detector.h"
#include "detect/Listener.h"
#include "tests/detect/Signals.h"

namespace detect {
namespace {

TEST(ConcertPitchTest, TheNoteTableIsRebuiltForTheNewA4AtTheNextFrame) {
    SpectrumAnalyser a;
    ASSERT_TRUE(a.Configure(CAPTURE_RATE, CAPTURE_SAMPLES));
    EXPECT_FALSE(a.SetConcertPitch(414));
    EXPECT_FALSE(a.SetConcertPitch(467));
    EXPECT_TRUE(a.SetConcertPitch(415));
    EXPECT_TRUE(a.SetConcertPitch(466));
    ASSERT_TRUE(a.SetConcertPitch(442));
    EXPECT_NEAR(a.NoteTableFrequency(33), 440.0, 1e-9);  // not before the next frame
    std::vector<std::int16_t> silence(CAPTURE_SAMPLES);
    ASSERT_TRUE(a.Analyse(silence));
    EXPECT_EQ(a.ConcertPitch(), 442);
    EXPECT_NEAR(a.NoteTableFrequency(33), 442.0, 1e-9);
    EXPECT_NEAR(a.NoteTableFrequency(0), 65.70369, 1e-5);    // C2 = 442 x 2^(-33/12)
    EXPECT_NEAR(a.NoteTableFrequency(71), 3969.0258, 1e-4);  // B6
    EXPECT_NEAR(a.NoteTableFrequency(24), 262.8148, 1e-4);
    // A refused pitch leaves the table as it was.
    EXPECT_FALSE(a.SetConcertPitch(0));
    ASSERT_TRUE(a.Analyse(silence));
    EXPECT_NEAR(a.NoteTableFrequency(33), 442.0, 1e-9);
}

TEST(ConcertPitchTest, NamesAndCentsAreReadAgainstTheGivenA4) {
    struct Case {
        double hz;
        int a4, pitchClass, octaveShown, cents;
    } cases[] = {
        {442.0, 442, 9, 4, 0},    {440.0, 442, 9, 4, -7},  // 7.85 cents flat, truncated toward zero
        {440.0, 440, 9, 4, 0},    {415.0, 415, 9, 4, 0},
        {440.0, 415, 10, 4, 1},  // a semitone above A at 415 is 439.7 Hz
        {466.0, 466, 9, 4, 0},    {233.0, 466, 9, 3, 0},
        {523.251, 466, 11, 4, 0},                          // B4 at 466 is 0.6 cents below C5 at 440
        {262.8148, 442, 0, 4, 0}, {262.0, 442, 0, 4, -5},  // 5.4 cents below middle C at 442
    };
    for (const Case& c : cases) {
        auto reading = NameFrequency(c.hz, c.a4);
        ASSERT_TRUE(reading) << c.hz << " at " << c.a4;
        EXPECT_EQ(reading->pitchClass, c.pitchClass) << c.hz << " at " << c.a4;
        EXPECT_EQ(reading->octaveOffset + 4, c.octaveShown) << c.hz << " at " << c.a4;
        EXPECT_EQ(reading->cents, c.cents) << c.hz << " at " << c.a4;
    }
}

// The tones themselves, through the whole analysis: the A4 of the listener decides the cents.
TEST(ConcertPitchTest, ASineReadsAgainstTheListenersA4) {
    auto read = [](double hz, int a4) {
        Listener listener;
        listener.triggerLevel = 0;
        EXPECT_TRUE(listener.SetConcertPitch(a4));
        auto s = test::Sine(hz, -12.0, CAPTURE_SAMPLES * 4);
        for (std::size_t b = 0; b < 4; ++b)
            listener.Process(std::span(s).subspan(b * CAPTURE_SAMPLES, CAPTURE_SAMPLES), false);
        EXPECT_TRUE(listener.Result().detected) << hz;
        EXPECT_EQ(listener.Result().text.substr(0, 3), "A4 ") << hz << " at " << a4;
        return listener.Result().cents;
    };
    EXPECT_LE(std::abs(read(442.0, 442)), 3);
    EXPECT_LE(std::abs(read(440.0, 440)), 3);
    int flat = read(440.0, 442);
    EXPECT_GE(flat, -11);
    EXPECT_LE(flat, -5);
    EXPECT_LE(std::abs(read(466.0, 466)), 3);
}

}  // namespace
}  // namespace detect
