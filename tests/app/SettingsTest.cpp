// The remembered settings: the file as written, what a damaged or foreign one does, and
// the screens put back as they were left.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include "GameHarness.h"
#include "app/Settings.h"
#include "platform/SafeFile.h"
#include "theory/ChordSearch.h"

namespace {

using app::Settings;

Settings Unusual() {
    Settings s;
    s.scale = 3;
    s.windowX = -40;
    s.windowY = 120;
    s.mode = 2;
    s.root = 7;
    s.chordType = 43;
    s.tuning = 15;
    s.leftHanded = true;
    s.splitChords = true;
    s.scaleType = 27;
    s.key = 11;
    s.triggerLevel = 96;
    s.detectChords = false;
    s.noiseReduction = true;
    s.spelling = theory::Spelling::Key;
    return s;
}

TEST(Settings, AreWrittenAsThisTextAndReadBack) {
    EXPECT_EQ(app::FormatSettings(Unusual()),
              "[Fretlore]\nversion=1\nwindowX=-40\nwindowY=120\nscale=3\nmode=2\nroot=7\n"
              "chordType=43\ntuning=15\nleftHanded=1\nsplitChords=1\nscaleType=27\nkey=11\n"
              "triggerLevel=96\ndetectChords=0\nnoiseReduction=1\ncapo=0\na4=440\na4Sound=0\n"
              "spelling=key\n");
    std::string error;
    EXPECT_EQ(app::ParseSettings(app::FormatSettings(Unusual()), error), Unusual()) << error;
    // Defaults, no place yet; keys missing from an older file keep their defaults.
    EXPECT_EQ(app::FormatSettings(Settings{}).find("window"), std::string::npos);
    auto partial = app::ParseSettings("[Fretlore]\r\nversion = 1\r\n# note\r\nroot=4\r\n", error);
    ASSERT_TRUE(partial) << error;
    Settings expected;
    expected.root = 4;
    EXPECT_EQ(*partial, expected);
    EXPECT_TRUE(app::FormatSettings(Settings{}).ends_with("\nspelling=sharps\n"));
    auto flats = app::ParseSettings("[Fretlore]\nversion=1\nspelling = flats\n", error);
    ASSERT_TRUE(flats) << error;
    EXPECT_EQ(flats->spelling, theory::Spelling::Flats);
}

TEST(Settings, TheCapoIsWrittenOnItsOwnLineAndReadBack) {
    Settings s;
    s.capo = 7;
    std::string text = app::FormatSettings(s);
    EXPECT_EQ(text,
              "[Fretlore]\nversion=1\nscale=2\nmode=0\nroot=0\nchordType=0\ntuning=0\n"
              "leftHanded=0\nsplitChords=0\nscaleType=0\nkey=0\ntriggerLevel=30\ndetectChords=1\n"
              "noiseReduction=0\ncapo=7\na4=440\na4Sound=0\nspelling=sharps\n");
    std::string error;
    EXPECT_EQ(app::ParseSettings(text, error), s) << error;
    auto highest = app::ParseSettings("[Fretlore]\nversion=1\ncapo=11\n", error);
    ASSERT_TRUE(highest) << error;
    EXPECT_EQ(highest->capo, 11);
}

TEST(Settings, AForeignOrDamagedFileIsTakenWholeOrNotAtAll) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "not a Fretlore settings file"},
        {"[Other]\nversion=1\n", "not a Fretlore settings file"},
        {"[Fretlore]\nroot=1\n", "it has no version"},
        {"[Fretlore]\nversion=2\n", "written by another version (2)"},
        {"[Fretlore]\nversion=1\nroot=x\n", "line 3 is damaged: root=x"},
        {"[Fretlore]\nversion=1\nroot\n", "line 3 is damaged: root"},
        {"[Fretlore]\nversion=1\nroot=1\nroot=2\n", "line 4 is damaged: root=2"},
        {"[Fretlore]\nversion=1\nroot=12\n", "root is out of range: 12"},
        {"[Fretlore]\nversion=1\nchordType=44\n", "chordType is out of range: 44"},
        {"[Fretlore]\nversion=1\ntuning=32\n", "tuning is out of range: 32"},
        {"[Fretlore]\nversion=1\na4=414\n", "a4 is out of range: 414"},
        {"[Fretlore]\nversion=1\na4=467\n", "a4 is out of range: 467"},
        {"[Fretlore]\nversion=1\na4Sound=2\n", "a4Sound is out of range: 2"},
        {"[Fretlore]\nversion=1\nscaleType=28\n", "scaleType is out of range: 28"},
        {"[Fretlore]\nversion=1\nmode=6\n", "mode is out of range: 6"},
        {"[Fretlore]\nversion=1\nscale=0\n", "scale is out of range: 0"},
        {"[Fretlore]\nversion=1\ntriggerLevel=97\n", "triggerLevel is out of range: 97"},
        {"[Fretlore]\nversion=1\nleftHanded=2\n", "leftHanded is out of range: 2"},
        {"[Fretlore]\nversion=1\ncapo=12\n", "capo is out of range: 12"},
        {"[Fretlore]\nversion=1\ncapo=-1\n", "capo is out of range: -1"},
        {"[Fretlore]\nversion=1\nwindowX=5\n", "the window's place is half missing"},
        {"[Fretlore]\nversion=1\nwindowX=5\nwindowY=100001\n",
         "the window's place is out of range"},
        {"[Fretlore]\nversion=1\ncolour=3\n", "unknown setting colour"},
        {"[Fretlore]\nversion=1\nspelling=bogus\n", "spelling is not sharps, flats or key: bogus"},
        {"[Fretlore]\nversion=1\nspelling=1\n", "spelling is not sharps, flats or key: 1"},
        {"[Fretlore]\nversion=1\nspelling=key\nspelling=key\n", "line 4 is damaged: spelling=key"},
        {"[Fretlore]\nversion=1\nspelling\n", "line 3 is damaged: spelling"},
    };
    for (const auto& [text, why] : cases) {
        std::string error;
        EXPECT_FALSE(app::ParseSettings(text, error)) << text;
        EXPECT_EQ(error, why) << text;
    }
}

TEST(Settings, LoadSaysOneLineForADamagedFileAndNothingForAMissingOne) {
    std::string folder = ::testing::TempDir() + "settings-" + std::to_string(getpid());
    std::string path = folder + "/deep/fretlore/settings.ini";
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(app::LoadSettings(path));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

    ASSERT_TRUE(app::SaveSettings(path, Unusual()));  // the folders are made
    EXPECT_EQ(app::LoadSettings(path), Unusual());

    std::string damaged = "[Fretlore]\nversion=1\nkey=99\n";
    ASSERT_EQ(platform::WriteFileSafely(
                  path, {reinterpret_cast<const std::uint8_t*>(damaged.data()), damaged.size()}),
              "");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(app::LoadSettings(path));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "fretlore: ignoring the settings " + path +
                  ": key is out of range: 99; they will be written anew\n");
    EXPECT_TRUE(app::ReadSettingsFile(path).replaceable);

    // A file too large to read may hold the user's tunings: it is never written over.
    std::string large = "[tunings]\nMine = D2 A2 D3 G3 A3 D4\n" + std::string(70000, '#');
    ASSERT_EQ(platform::WriteFileSafely(
                  path, {reinterpret_cast<const std::uint8_t*>(large.data()), large.size()}),
              "");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(app::ReadSettingsFile(path).replaceable);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("the file is left as it is\n"),
              std::string::npos);
}

TEST(Settings, ThePathFollowsTheXdgConfigFolder) {
    const char* home = std::getenv("HOME");
    std::string oldHome = home ? home : "";
    setenv("XDG_CONFIG_HOME", "/cfg/", 1);
    EXPECT_EQ(app::SettingsPath(), "/cfg/fretlore/settings.ini");
    setenv("XDG_CONFIG_HOME", "relative", 1);
    setenv("HOME", "/home/ann", 1);
    EXPECT_EQ(app::SettingsPath(), "/home/ann/.config/fretlore/settings.ini");
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", oldHome.c_str(), 1);
}

TEST(Settings, TheScreensAndCapoArePutBackAsTheyWereLeft) {
    apptest::GameRun run;
    ASSERT_TRUE(run.Run(apptest::DISMISS_TITLE));
    Settings wanted = Unusual();
    run.game.ApplySettings(wanted);
    Settings got = run.game.CurrentSettings();
    // The window's part is the backend's, not the screens'.
    got.scale = wanted.scale;
    got.windowX = wanted.windowX;
    got.windowY = wanted.windowY;
    EXPECT_EQ(got, wanted);
    EXPECT_EQ(run.game.mode, 2);
    EXPECT_TRUE(run.game.scaleList.Visible());
    EXPECT_EQ(run.game.trigger.Value(), 0);  // shown inverted
    EXPECT_TRUE(run.game.leftHanded.Checked());
    EXPECT_TRUE(run.game.allowSplitChords.Checked());
    EXPECT_EQ(run.game.detectButton.caption, "Detect Notes");
    EXPECT_EQ(run.game.nrButton.caption, "NR: On");
    // The string buttons follow the tuning (Low C: C G D G A D).
    EXPECT_EQ(run.game.stringButtons[0].caption, "C");
    EXPECT_EQ(run.game.stringButtons[4].caption, "A");
    // The shapes were searched again for the chord put back.
    theory::VoicingList expected;
    theory::FindVoicings(7, 43, true, expected);
    ASSERT_GT(expected.count, 0);
    EXPECT_EQ(run.game.voicings.count, expected.count);
    EXPECT_EQ(run.game.voicings.items[0].frets, expected.items[0].frets);

    // A remembered capo: D Major behind capo 2 takes the C Major shapes.
    Settings capoed;
    capoed.root = 2;
    capoed.capo = 2;
    run.game.ApplySettings(capoed);
    EXPECT_EQ(run.game.CurrentSettings(), capoed);
    EXPECT_EQ(theory::CurrentTuning().capo, 2);
    EXPECT_EQ(run.game.stringButtons[0].caption, "F##");
    EXPECT_EQ(run.game.stringButtons[4].caption, "C##");
    ASSERT_GT(run.game.voicings.count, 0);
    EXPECT_EQ(run.game.voicings.items[0].frets, (theory::Frets{-1, 3, 2, 0, 1, 0}));
    run.game.ApplySettings(Settings{});
    EXPECT_EQ(theory::CurrentTuning().capo, 0);
    EXPECT_EQ(run.game.stringButtons[0].caption, "E");
}

}  // namespace
