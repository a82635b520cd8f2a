// The Chord Detection mode in the real program, headless: what it shows of a detection
// handed to it, and what its Detect, NR, Trigger and More controls change.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "GameHarness.h"
#include "platform/Clock.h"

namespace {

using apptest::BasicGameRun;

constexpr std::uint16_t RED = 0xF800, GREY = 0x8410, WHITE = 0xFFFF, YELLOW = 0xFFE0;
constexpr std::uint16_t LIT = 0x6304, UNLIT = 0xC614, TRIGGER = 0x840C;
const std::string TO_DETECTION =
    std::string(apptest::DISMISS_TITLE) + apptest::TAP_MENU + "tap 120 202\nframes 2\n";
const std::string TAP_DETECT = "tap 182 15\nframes 1\n";
const std::string TAP_NR = "tap 182 40\nframes 1\n";
const std::string TAP_ABOVE_TRIGGER = "tap 210 58\nframes 1\n";
// The script's own key for "a new detection arrives now".
const std::string NEXT_DETECTION = "key Z\nframes 1\n";

// The program, fed detections as the detector will feed it: one more each time the
// script presses Z.
struct FedGame : app::MyGame {
    platform::LResult HandleMessage(std::uint32_t msg, platform::WParam wParam,
                                    platform::LParam lParam) override {
        if (msg == platform::MSG_KEYDOWN && wParam == 'Z' && next < feed.size())
            SetDetection(feed[next++], spectrum);
        return MyGame::HandleMessage(msg, wParam, lParam);
    }
    std::vector<detect::DetectionResult> feed;
    std::size_t next = 0;
    std::vector<double> spectrum = std::vector<double>(screens::SPECTRUM_BINS, -96.0);
    std::vector<std::string> nrCalls;  // each call of the NR hook, with the caption then
};

detect::DetectionResult EMinor() {
    detect::DetectionResult r;
    r.detected = true;
    r.root = 4;
    r.chordType = 1;
    r.highlight = {4, 7, 11, -1, -1, -1};
    r.pitchClassLevel = {0, 0, 12, 0, 70, 0, 0, 62, 0, 0, 0, 55};
    r.text = "E Minor";
    return r;
}

detect::DetectionResult NoteA4(int cents) {
    detect::DetectionResult r;
    r.detected = true;
    r.root = 9;
    r.cents = cents;
    r.highlight = {9, 255, 255, -1, -1, -1};
    r.pitchClassLevel[9] = 66;
    r.text = "A4 440.0Hz";
    return r;
}

struct DetectionMode : ::testing::Test {
    platform::FakeClock clock{1000};
    platform::ScopedClock useClock{clock};
    BasicGameRun<FedGame> run;

    std::uint16_t SegmentAt(int p, int s) const { return run.Pixel(22 + 14 * p, 154 - 4 * s); }
    std::uint16_t Shot(const std::string& name, int x, int y) const {
        return BasicGameRun<FedGame>::ShotPixel(apptest::TempPath(name), x, y);
    }
    static std::string TakeShot(const std::string& name) {
        return "shot " + apptest::TempPath(name) + "\n";
    }
};

TEST_F(DetectionMode, ADetectedChordLightsItsMetersInRedWithTheTriggerOnTheOthers) {
    // A peak around 170 Hz: column 9 (x 29) shows bin 46 at level 86, 64 pixels high.
    for (int bin = 40; bin <= 48; ++bin)
        run.game.spectrum[bin] = -10.0;
    run.game.SetDetection(EMinor(), run.game.spectrum);
    ASSERT_TRUE(run.Run(TO_DETECTION + TakeShot("detection-mode-eminor.png")));
    ASSERT_EQ(run.game.mode, app::MODE_DETECTION);
    // The meters' drawing is checked segment by segment with the screen; here, that the
    // detection and the trigger reach it.
    EXPECT_EQ(SegmentAt(4, 17), RED);  // E, 70 dB: 18 segments
    EXPECT_EQ(SegmentAt(4, 18), UNLIT);
    EXPECT_EQ(SegmentAt(11, 13), RED);  // B, 55 dB: 14
    EXPECT_EQ(SegmentAt(2, 2), LIT);    // D, 12 dB: 3, not in the chord
    EXPECT_EQ(SegmentAt(2, 3), UNLIT);
    EXPECT_EQ(SegmentAt(0, 7), TRIGGER);  // the trigger at 30 on the unlit meters
    EXPECT_EQ(run.game.detectionDirty, 0u);
    EXPECT_TRUE(run.game.stringButtons[0].Visible());
    EXPECT_EQ(Shot("detection-mode-eminor.png", 78, 154), RED);
    EXPECT_EQ(run.Pixel(29, 250 - 64), 0x0000);
    EXPECT_NE(run.Pixel(29, 250 - 65), 0x0000);
    EXPECT_EQ(run.Pixel(34, 250), 0x0000);  // column 14, bin 71: the base line alone
    EXPECT_NE(run.Pixel(34, 249), 0x0000);
}

TEST_F(DetectionMode, AnInTuneNoteLightsTheMiddleSquareRed) {
    run.game.detectChords = 0;
    run.game.feed = {NoteA4(-12)};
    run.game.SetDetection(NoteA4(0), run.game.spectrum);
    ASSERT_TRUE(run.Run(TO_DETECTION + TakeShot("detection-mode-a4.png") + NEXT_DETECTION +
                        TakeShot("detection-mode-a4-flat.png")));
    EXPECT_EQ(run.game.detectButton.caption, "Detect Notes");
    EXPECT_EQ(Shot("detection-mode-a4.png", 70, 43), RED);
    EXPECT_EQ(Shot("detection-mode-a4.png", 58, 43), GREY);
    EXPECT_EQ(Shot("detection-mode-a4.png", 120, 30), WHITE);
    EXPECT_EQ(Shot("detection-mode-a4.png", 22 + 14 * 9, 154), RED);
    // 12 cents flat: the square two left of the middle, in green.
    EXPECT_EQ(Shot("detection-mode-a4-flat.png", 58, 43), 0x07E0);
    EXPECT_EQ(Shot("detection-mode-a4-flat.png", 70, 43), GREY);
}

TEST_F(DetectionMode, ANewDetectionIsDrawnAtTheNextFrameAndAQuietOneClearsIt) {
    detect::DetectionResult quiet;  // below the trigger: nothing detected, nothing marked
    run.game.feed = {EMinor(), quiet};
    ASSERT_TRUE(run.Run(TO_DETECTION + TakeShot("detection-mode-none.png") + NEXT_DETECTION +
                        TakeShot("detection-mode-new.png") + NEXT_DETECTION));
    EXPECT_EQ(Shot("detection-mode-none.png", 78, 154), UNLIT);
    EXPECT_EQ(Shot("detection-mode-new.png", 78, 154), RED);
    EXPECT_EQ(SegmentAt(4, 0), UNLIT);
    EXPECT_EQ(SegmentAt(4, 7), TRIGGER);
    EXPECT_EQ(run.game.detectionDirty, 0u);
}

TEST_F(DetectionMode, MoreShowsTheChordOnThePianoRollInsteadOfTheSpectrum) {
    run.game.SetDetection(EMinor(), run.game.spectrum);
    ASSERT_TRUE(run.Run(TO_DETECTION + TakeShot("detection-mode-spectrum.png") + apptest::TAP_MORE +
                        "frames 1\n" + TakeShot("detection-mode-roll.png")));
    EXPECT_NE(Shot("detection-mode-spectrum.png", 43, 281), YELLOW);
    EXPECT_EQ(Shot("detection-mode-spectrum.png", 120, 250), 0x0000);  // the spectrum's base line
    EXPECT_FALSE(run.game.stringButtons[0].Visible());
    EXPECT_EQ(run.Pixel(43, 281), YELLOW);  // E, the root, below its white key
    EXPECT_EQ(run.Pixel(75, 281), WHITE);   // G
    EXPECT_EQ(run.Pixel(48, 260), 0x0000);  // E's key dot
    EXPECT_NE(run.Pixel(120, 250), 0x0000);
}

TEST_F(DetectionMode, TriggerDetectAndNrChangeTheirSettings) {
    run.game.noiseReductionChanged = [this](bool on) {
        run.game.nrCalls.push_back((on ? "on, " : "off, ") + run.game.nrButton.caption);
    };
    ASSERT_TRUE(run.Run(TO_DETECTION + TAP_ABOVE_TRIGGER + TAP_DETECT + TAP_NR + TAP_NR + "state " +
                        apptest::TempPath("detection-mode-controls.json") + "\n"));
    // A page up the bar: position 58, level 38, the mark on segment ceil(38 / 4) - 1.
    EXPECT_EQ(run.game.triggerLevel, 38);
    EXPECT_EQ(SegmentAt(0, 9), TRIGGER);
    EXPECT_EQ(SegmentAt(0, 7), UNLIT);
    EXPECT_EQ(
        apptest::StateValue(apptest::ReadState(apptest::TempPath("detection-mode-controls.json")),
                            "triggerLevel"),
        38);
    EXPECT_EQ(run.game.detectChords, 0u);
    EXPECT_EQ(run.game.detectButton.caption, "Detect Notes");
    EXPECT_EQ(run.game.nrCalls, (std::vector<std::string>{"on, NR: On", "off, NR: Off"}));
    EXPECT_EQ(run.game.noiseReduction, 0u);
}

// Heard rather than handed over: buffers of an A minor triad through the capture callback
// reach the screen at the next frame and make A minor the finder's chord.
struct HearingGame : app::MyGame {
    platform::LResult HandleMessage(std::uint32_t msg, platform::WParam wParam,
                                    platform::LParam lParam) override {
        if (msg == platform::MSG_KEYDOWN && wParam == 'Y') {
            std::vector<std::int16_t> buffer(detect::CAPTURE_SAMPLES);
            for (int n = 0; n < 8; ++n) {
                for (std::size_t i = 0; i < buffer.size(); ++i) {
                    double t = static_cast<double>(n * buffer.size() + i) / detect::CAPTURE_RATE;
                    double s = 0;
                    for (double f : {220.0, 261.63, 329.63})
                        s += std::sin(2 * M_PI * f * t);
                    buffer[i] = static_cast<std::int16_t>(s * 6000);
                }
                OnCaptureBuffer(buffer);
            }
        }
        return MyGame::HandleMessage(msg, wParam, lParam);
    }
};

TEST(DetectionListening, AHeardChordIsShownAndBecomesTheFindersChord) {
    platform::FakeClock clock{1000};
    platform::ScopedClock useClock{clock};
    BasicGameRun<HearingGame> run;
    std::string state = apptest::TempPath("heard.json");
    // Heard outside the mode: nothing is analysed.
    ASSERT_TRUE(run.Run(std::string(apptest::DISMISS_TITLE) + "key Y\nframes 1\n" +
                        apptest::TAP_MENU + "tap 120 202\nframes 2\nstate " + state + "\n"));
    EXPECT_EQ(run.game.rootList.list.Selection(), 0);
    BasicGameRun<HearingGame> heard;
    ASSERT_TRUE(heard.Run(TO_DETECTION + "key Y\nframes 2\nstate " + state + "\n"));
    EXPECT_EQ(heard.game.rootList.list.Selection(), 9);   // A
    EXPECT_EQ(heard.game.chordList.list.Selection(), 1);  // Minor
    EXPECT_GT(heard.game.voicings.count, 0);
    // A, C and E are marked in red: the bottom segment of each meter.
    for (int p : {9, 0, 4})
        EXPECT_EQ(heard.Pixel(22 + 14 * p, 154), RED) << p;
    EXPECT_NE(heard.Pixel(22 + 14 * 2, 154), RED);
    auto json = platform::ReadWholeFile(state);
    ASSERT_TRUE(json);
    std::string text(json->begin(), json->end());
    for (const char* key : {"\"detection\": {\"detectChords\": true, \"triggerLevel\": 30",
                            "\"detected\": true, \"text\": \"A Minor\", \"root\": 9",
                            "\"chordType\": 1", "\"highlight\": [9, 0, 4]"})
        EXPECT_NE(text.find(key), std::string::npos) << key << " in " << text;
}

}  // namespace
