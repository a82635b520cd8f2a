// The user's own tunings in the settings file: which lines count, what is said of the others,
// the section written back as it was, and the Tuning list and remembered index that use them.

#include "app/UserTunings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "GameHarness.h"
#include "app/Settings.h"
#include "platform/Files.h"
#include "platform/SafeFile.h"

namespace {

struct TuningsFixture : ::testing::Test {
    ~TuningsFixture() override { theory::SetCustomTunings({}); }
};

std::string Section(int goodLines) {
    std::string text = "[tunings]\n";
    for (int k = 0; k < goodLines; ++k)
        text += "T" + std::to_string(k) + " = E2 A2 D3 G3 B3 E" + std::to_string(k % 7) + "\n";
    return text;
}

TEST(UserTunings, GoodLinesCountAndEachBadOneIsNamedOnce) {
    const std::string section =
        "[tunings]\n"                               // file line 7
        "Baritone = B1 E2 A2 D3 F#3 B3\n"           // 8
        "# a comment\n"                             // 9
        "\n"                                        // 10
        "Short = E2 A2 D3\n"                        // 11
        "Odd = E2 A2 H3 G3 B3 E4\n"                 // 12
        "High = E2 A2 D3 G3 B3 E9\n"                // 13
        " = E2 A2 D3 G3 B3 E4\n"                    // 14
        "drop d = D2 A2 D3 G3 B3 E4\n"              // 15
        "BARITONE = B1 E2 A2 D3 F#3 B3\n"           // 16
        "just words\n"                              // 17
        "  Flat Bb = Bb1 Eb2 Ab2 Db3 F3 Bb3 \r\n";  // 18
    std::vector<std::string> complaints;
    auto rows = app::ParseTuningsSection(section, 7, complaints);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].name, "Baritone");
    EXPECT_EQ(rows[0].pitches, (theory::StringPitches{35, 40, 45, 50, 54, 59}));
    EXPECT_EQ(rows[0].strings, (theory::StringTuning{11, 4, 9, 2, 6, 11}));
    EXPECT_EQ(rows[1].name, "Flat Bb");
    EXPECT_EQ(rows[1].pitches, (theory::StringPitches{34, 39, 44, 49, 53, 58}));
    const std::vector<std::string> expected = {
        "line 11 skipped (not six notes): Short = E2 A2 D3",
        "line 12 skipped (unknown note H3): Odd = E2 A2 H3 G3 B3 E4",
        "line 13 skipped (octave out of range (0 to 6) in E9): High = E2 A2 D3 G3 B3 E9",
        "line 14 skipped (no name): = E2 A2 D3 G3 B3 E4",
        "line 15 skipped (the name of a built-in tuning): drop d = D2 A2 D3 G3 B3 E4",
        "line 16 skipped (the name is taken by an earlier line): BARITONE = B1 E2 A2 D3 F#3 B3",
        "line 17 skipped (no '='): just words",
    };
    EXPECT_EQ(complaints, expected);
}

TEST(UserTunings, SixteenFitAndEachOneMoreIsSaidToHaveNoRoom) {
    std::vector<std::string> complaints;
    auto rows = app::ParseTuningsSection(Section(18), 1, complaints);
    ASSERT_EQ(rows.size(), 16u);
    EXPECT_EQ(rows[15].name, "T15");
    ASSERT_EQ(complaints.size(), 2u);
    EXPECT_EQ(complaints[0],
              "line 18 skipped (no room for more than 16 tunings): T16 = E2 A2 D3 G3 B3 E2");
    EXPECT_EQ(complaints[1].substr(0, 8), "line 19 ");
}

TEST(UserTunings, TheSectionIsWrittenBackByteForByte) {
    const std::string tunings =
        " [Tunings]\r\n  My G = D2 G2 D3 G3 B3 D4  \nnot a tuning\n# mine\n\n"
        "Last=E2 A2 D3 G3 B3 E4";  // no newline at the end
    std::string folder = ::testing::TempDir() + "tunings-" + std::to_string(getpid());
    std::string path = folder + "/settings.ini";
    auto write = [&](const std::string& text) {
        ASSERT_TRUE(platform::CreateFolders(folder));
        ASSERT_EQ(platform::WriteFileSafely(
                      path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}),
                  "");
    };
    auto read = [&] {
        auto bytes = platform::ReadWholeFile(path);
        return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<none>");
    };
    // Before the settings, after them, and beside settings that are refused.
    for (const std::string& before : {std::string("[Fretlore]\nversion=1\nroot=4\n") + tunings,
                                      tunings + "\n[Fretlore]\nversion=1\nroot=4\n",
                                      "[Fretlore]\nversion=1\nroot=99\n" + tunings, tunings}) {
        write(before);
        ::testing::internal::CaptureStderr();
        app::SettingsFile file = app::ReadSettingsFile(path);
        std::string said = ::testing::internal::GetCapturedStderr();
        // Placed first, the section runs on to the next header, taking the newline with it.
        bool first = before.starts_with(" [Tunings]") && before != tunings;
        EXPECT_EQ(file.tunings, first ? tunings + "\n" : tunings) << before;
        EXPECT_EQ(said.empty(), before.find("root=99") == std::string::npos) << said;
        app::Settings s = file.settings.value_or(app::Settings{});
        s.root = 5;
        s.tunings = file.tunings;
        ASSERT_TRUE(app::SaveSettings(path, s));
        app::Settings plain = s;
        plain.tunings.clear();
        EXPECT_EQ(read(), app::FormatSettings(plain) + (first ? tunings + "\n" : tunings));
    }
    // Eighteen lines of settings, then the section.
    EXPECT_EQ(app::ReadSettingsFile(path).tuningsLine, 19);
}

TEST_F(TuningsFixture, TheTuningListEndsWithTheUsersAndAGoneOneFallsBackToStandard) {
    std::ostringstream said;
    app::SplitSettingsText split{"", "[tunings]\nBaritone = B1 E2 A2 D3 F#3 B3\n", 3};
    EXPECT_EQ(app::InstallUserTunings(split, "fretlore", "/s.ini", said), 1);
    EXPECT_EQ(said.str(), "");
    {
        apptest::GameRun run;
        ASSERT_TRUE(run.Run(apptest::DISMISS_TITLE));
        ASSERT_EQ(run.game.tuningList.list.Count(), 17);
        EXPECT_EQ(run.game.tuningList.list.Item(15)->text, "Low C");
        EXPECT_EQ(run.game.tuningList.list.Item(16)->text, "Baritone");
        app::Settings s;
        s.tuning = 16;
        run.game.ApplySettings(s);
        EXPECT_EQ(run.game.tuningList.list.Selection(), 16);
        EXPECT_EQ(run.game.stringButtons[0].caption, "B");
        EXPECT_EQ(run.game.stringButtons[4].caption, "F##");
        EXPECT_EQ(run.game.CurrentSettings().tuning, 16);
    }
    theory::SetCustomTunings({});
    apptest::GameRun run;
    ASSERT_TRUE(run.Run(apptest::DISMISS_TITLE));
    app::Settings s;
    s.tuning = 16;
    s.root = 2;
    ::testing::internal::CaptureStderr();
    run.game.ApplySettings(s);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "fretlore: the remembered tuning 16 is no longer in the settings; using Standard\n");
    EXPECT_EQ(run.game.tuningList.list.Selection(), 0);
    EXPECT_EQ(run.game.CurrentSettings().tuning, 0);
    EXPECT_EQ(run.game.stringButtons[0].caption, "E");
    EXPECT_EQ(run.game.rootList.list.Selection(), 2);  // the rest is still put back

    std::ostringstream bad;
    split.tunings += "Baritone = C2 C2 C2 C2 C2 C2\n";
    EXPECT_EQ(app::InstallUserTunings(split, "fretlore", "/s.ini", bad), 1);
    EXPECT_EQ(bad.str(),
              "fretlore: /s.ini: line 5 skipped (the name is taken by an earlier line): "
              "Baritone = C2 C2 C2 C2 C2 C2\n");
}

}  // namespace
