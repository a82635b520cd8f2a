#include "detect/Detector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "detect/Listener.h"
#include "tests/detect/Signals.h"

namespace detect {
namespace {

using Order = std::array<std::int32_t, 12>;

std::span<const std::int16_t> Buffer(const std::vector<std::int16_t>& s, std::size_t index) {
    return std::span(s).subspan(index * CAPTURE_SAMPLES, CAPTURE_SAMPLES);
}

TEST(NameFrequencyTest, NamesTheNearestNoteWithOctaveAndTruncatedCents) {
    struct Case {
        double hz;
        int pitchClass, octaveShown, cents;
    } cases[] = {
        {440.0, 9, 4, 0},
        {520.0, 0, 5, -10},  // 11.892 semitones above middle C: rounds
                             // up, 10.8 cents low
        {261.6255653006, 0, 4, 0},
        {254.0, 11, 3, 48},  // below middle C: one octave down, 11.488
                             // semitones up
        {130.8127826503, 0, 3, 0},
        {123.0, 11, 2, -6},  // 6.6 cents below B2
        {1975.0, 11, 6, 0},
        {30.87, 11, 0, 0},
        {466.1637615, 10, 4, 0},
    };
    for (const Case& c : cases) {
        auto reading = NameFrequency(c.hz);
        ASSERT_TRUE(reading) << c.hz;
        EXPECT_EQ(reading->pitchClass, c.pitchClass) << c.hz;
        EXPECT_EQ(reading->octaveOffset + 4, c.octaveShown) << c.hz;
        EXPECT_EQ(reading->cents, c.cents) << c.hz;
        EXPECT_EQ(reading->frequency, c.hz);
    }
    EXPECT_EQ(NameFrequency(466.1637615)->name, "A##");
    EXPECT_FALSE(NameFrequency(8.0));
    EXPECT_FALSE(NameFrequency(-440.0));
    EXPECT_FALSE(NameFrequency(std::nan("")));
    EXPECT_TRUE(NameFrequency(8.01));
}

TEST(CommonFundamentalTest, FindsTheHighestSharedSubharmonicNotBelowSixtyHz) {
    EXPECT_EQ(CommonFundamental(100.0, 0.0, 0.0), 100.0);
    EXPECT_EQ(CommonFundamental(40.0, 0.0, 0.0), 40.0);  // a lone peak is returned as it is
    EXPECT_EQ(CommonFundamental(300.0, 200.0, 400.0), 100.0);
    EXPECT_EQ(CommonFundamental(220.0, 330.0, 0.0), 110.0);
    EXPECT_EQ(CommonFundamental(200.0, 209.9, 190.1), 200.0);  // within 5 %
    EXPECT_EQ(CommonFundamental(200.0, 189.9, 0.0), 0.0);      // 190, 95, 63.3: each just outside
    EXPECT_EQ(CommonFundamental(130.0, 100.0, 0.0), 0.0);      // 130, 65, then below 60
    EXPECT_EQ(CommonFundamental(0.0, 200.0, 300.0), 0.0);
    EXPECT_EQ(CommonFundamental(600.0, 0.0, 1000.0), 200.0);  // i = 3; 1000 / 5
}

TEST(MatchChordTest, FindsMajorsThenMinorsFromCUpAmongTheStrongest) {
    DetectionResult r;
    Order eMinor{7, 11, 4, 0, 1, 2, 3, 5, 6, 8, 9, 10};
    ASSERT_TRUE(MatchChord(eMinor, 12, r));
    EXPECT_EQ(r.root, 4);
    EXPECT_EQ(r.chordType, 1);
    EXPECT_EQ(r.text, "E Minor");
    EXPECT_EQ(r.highlight[0], 4);
    EXPECT_EQ(r.highlight[1], 7);
    EXPECT_EQ(r.highlight[2], 11);

    // C, E, D strongest and G fourth: pass 0 finds nothing, pass 1 C Major.
    Order cedg{0, 4, 2, 7, 1, 3, 5, 6, 8, 9, 10, 11};
    ASSERT_TRUE(MatchChord(cedg, 12, r));
    EXPECT_EQ(r.text, "C Major");
    EXPECT_EQ(r.root, 0);
    EXPECT_EQ(r.chordType, 0);
    // Four strongest A, C, E, G: A minor fits in pass 1, but C major is searched first.
    Order acge{9, 0, 4, 7, 1, 2, 3, 5, 6, 8, 10, 11};
    ASSERT_TRUE(MatchChord(acge, 12, r));
    EXPECT_EQ(r.text, "A Minor");  // pass 0 already: A C E
    Order acg_e{9, 0, 7, 4, 1, 2, 3, 5, 6, 8, 10, 11};
    ASSERT_TRUE(MatchChord(acg_e, 12, r));
    EXPECT_EQ(r.text, "C Major");
    Order sharp{1, 5, 8, 0, 2, 3, 4, 6, 7, 9, 10, 11};
    ASSERT_TRUE(MatchChord(sharp, 12, r));
    EXPECT_EQ(r.text, "C## Major");
    // Counting only the first three entries leaves pass 1 nothing more.
    EXPECT_FALSE(MatchChord(cedg, 3, r));

    Order none{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    EXPECT_FALSE(MatchChord(none, 12, r));
    EXPECT_TRUE(r.text.empty());
    for (auto h : r.highlight)
        EXPECT_EQ(h, NO_HIGHLIGHT);
}

TEST(PitchClassLevelsTest, SumsTheSixOctavesAndOrdersLoudestFirst) {
    SpectrumAnalyser a;
    a.Configure(8000, 2048);
    Order order{};
    std::array<double, 12> levels{};
    std::array<std::int32_t, 12> frequencies{};
    EXPECT_EQ(PitchClassLevels(a, order, levels, frequencies), 0);
    EXPECT_EQ(order, (Order{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));  // ties keep their place
    for (double l : levels)
        EXPECT_EQ(l, 0.0);

    auto tone = test::Sine(440.0, -30.0, CAPTURE_SAMPLES);
    auto low = test::Sine(110.0, -50.0, CAPTURE_SAMPLES);
    std::vector<std::int16_t> mix(CAPTURE_SAMPLES);
    for (std::size_t i = 0; i < mix.size(); ++i)
        mix[i] = static_cast<std::int16_t>(tone[i] + low[i]);
    for (int i = 0; i < 6; ++i)
        a.Analyse(mix);
    std::int32_t peak = PitchClassLevels(a, order, levels, frequencies);
    // A's octaves sit at 110, 220, 440, 880, 1760 and 3520 Hz: bins 28, 56, 112, 225, 450, 901.
    double sum = 0.0;
    for (int bin : {28, 56, 112, 225, 450, 901}) {
        double level = a.BinLevel(bin);
        if (level > 0) sum += std::pow(10.0, (level - 96.0) / 10.0);
    }
    EXPECT_DOUBLE_EQ(levels[9], 10.0 * std::log10(sum) + 96.0);
    EXPECT_EQ(peak, static_cast<std::int32_t>(levels[9]));
    EXPECT_EQ(frequencies[9], 440);
    EXPECT_EQ(order[0], 9);
    for (std::size_t i = 1; i < order.size(); ++i)
        EXPECT_GE(levels[order[i - 1]], levels[order[i]]);
}

// Steady sines read their own frequency at every level: the window's side lobes and the
// quantisation ripple beside a pure tone are not taken for partials.
TEST(DetectNoteTest, ASteady440HzToneReadsA4AtEveryLevel) {
    for (double db = -3.0; db >= -66.0; db -= 3.0) {
        Listener listener;
        listener.triggerLevel = 0;
        auto s = test::Sine(440.0, db, CAPTURE_SAMPLES * 10);
        for (std::size_t b = 0; b < 10; ++b) {
            listener.Process(Buffer(s, b), false);
            const DetectionResult& r = listener.Result();
            ASSERT_TRUE(r.detected) << db << " dBFS, buffer " << b;
            EXPECT_EQ(r.text.substr(0, 3), "A4 ") << db << " dBFS, buffer " << b << ": " << r.text;
            EXPECT_LE(std::abs(r.cents), 3) << db << " dBFS, buffer " << b;
        }
    }
}

TEST(DetectNoteTest, BinSeventeenIsTheLowestConsidered) {
    Listener listener;
    listener.triggerLevel = 0;
    auto bin17 = test::Sine(17 * 3.90625, -20.0, CAPTURE_SAMPLES * 6);
    for (std::size_t b = 0; b < 6; ++b)
        listener.Process(Buffer(bin17, b), false);
    EXPECT_EQ(listener.Result().text, "C2 66.4Hz");
    EXPECT_EQ(listener.Result().cents, 26);

    Listener below;
    below.triggerLevel = 0;
    auto bin16 = test::Sine(16 * 3.90625, -20.0, CAPTURE_SAMPLES * 6);
    for (std::size_t b = 0; b < 6; ++b)
        below.Process(Buffer(bin16, b), false);
    // Its peak is not a candidate; whatever side lobe is read instead, it is not 62.5 Hz.
    EXPECT_EQ(below.Result().text.find("62."), std::string::npos) << below.Result().text;
    EXPECT_NE(below.Result().root, 11) << below.Result().text;
}

TEST(ListenerTest, NoteModeWritesTextHighlightAndCentsAndSilenceClearsThem) {
    Listener listener;
    listener.triggerLevel = 0;
    auto s = test::Sine(440.0, -20.0, CAPTURE_SAMPLES * 6);
    for (std::size_t b = 0; b < 6; ++b)
        ASSERT_TRUE(listener.Process(Buffer(s, b), false));
    const DetectionResult& r = listener.Result();
    EXPECT_TRUE(r.detected);
    EXPECT_EQ(r.text, "A4 440.0Hz");
    EXPECT_EQ(r.root, 9);
    EXPECT_EQ(r.cents, 0);
    EXPECT_EQ(r.highlight, (std::array<std::int32_t, 6>{9, 255, 255, -1, -1, -1}));

    // Every bin falls 2.5 dB a frame, so the tone's shape outlives it until the trigger cuts it.
    listener.triggerLevel = 30;
    std::vector<std::int16_t> silence(CAPTURE_SAMPLES * 40, 0);
    for (std::size_t b = 0; b < 40; ++b)
        listener.Process(Buffer(silence, b), false);
    EXPECT_FALSE(r.detected);
    EXPECT_TRUE(r.text.empty());
    EXPECT_EQ(r.highlight, (std::array<std::int32_t, 6>{-1, -1, -1, -1, -1, -1}));
}

TEST(ListenerTest, TheTriggerGatesOnThePeakPitchClassLevel) {
    auto quiet = test::Sine(440.0, -42.0, CAPTURE_SAMPLES);  // its first frame peaks near 19
    Listener gated;
    gated.Process(quiet, false);
    EXPECT_LT(gated.Result().pitchClassLevel[9], 30.0);
    EXPECT_GT(gated.Result().pitchClassLevel[9], 0.0);
    EXPECT_FALSE(gated.Result().detected);
    EXPECT_EQ(gated.Result().highlight[0], NO_HIGHLIGHT);
    Listener open;
    open.triggerLevel = 0;
    open.Process(quiet, false);
    EXPECT_TRUE(open.Result().detected);
    EXPECT_EQ(open.Result().root, 9);

    // At 96 only a pitch class at the very top passes: a -20 dBFS tone never does, a loud one
    // does once its bins have risen to 0 dB.
    Listener top;
    top.triggerLevel = 96;
    auto mid = test::Sine(440.0, -20.0, CAPTURE_SAMPLES * 10);
    for (std::size_t b = 0; b < 10; ++b) {
        top.Process(Buffer(mid, b), false);
        ASSERT_FALSE(top.Result().detected);
    }
    auto loud = test::Sine(440.0, -3.0, CAPTURE_SAMPLES * 10);
    for (std::size_t b = 0; b < 10; ++b)
        top.Process(Buffer(loud, b), false);
    EXPECT_TRUE(top.Result().detected);
    EXPECT_EQ(top.Result().root, 9);
}

TEST(ListenerTest, OnlyTheActiveModePublishesAndMarksTheStoreDirty) {
    Listener listener;
    listener.detectChords = false;
    listener.triggerLevel = 0;
    auto s = test::Sine(440.0, -20.0, CAPTURE_SAMPLES);
    EXPECT_FALSE(listener.OnCaptureBuffer(s, false));
    EXPECT_FALSE(listener.Store().TakeDirty());
    EXPECT_EQ(listener.Analyser().Spectrum()[112], -96.0);  // not even analysed
    EXPECT_TRUE(listener.OnCaptureBuffer(s, true));
    EXPECT_TRUE(listener.Store().TakeDirty());
    EXPECT_FALSE(listener.Store().TakeDirty());
    DetectionSnapshot snapshot;
    listener.Store().Read(snapshot);
    EXPECT_EQ(snapshot.result.text, listener.Result().text);
    EXPECT_TRUE(snapshot.result.detected);
    EXPECT_EQ(snapshot.spectrum[112], listener.Analyser().Spectrum()[112]);
    EXPECT_EQ(snapshot.spectrum[1023], listener.Analyser().Spectrum()[1023]);
    EXPECT_FALSE(listener.OnCaptureBuffer(std::span(s).first(100), true));  // a short buffer
}

}  // namespace
}  // namespace detect
