// Sequences saved and loaded through the Disk Mode menu and its dialogs by the real program,
// damaged files refused, and a sequence file given on the command line.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "GameHarness.h"
#include "theory/Sequence.h"

namespace {

using apptest::GameRun;
using apptest::ReadState;
using apptest::StateValue;
namespace fs = std::filesystem;

const std::string START = std::string(apptest::DISMISS_TITLE) + "frames 2\n";
// "Load / Save" in the mode menu, then a row of the "Disk Mode" menu.
const std::string LOAD = std::string(apptest::TAP_MENU) + "tap 120 224\ntap 120 158\nframes 2\n";
const std::string SAVE = std::string(apptest::TAP_MENU) + "tap 120 224\ntap 120 180\nframes 2\n";
// The open dialog's first entry, twice: a double tap.
const std::string OPEN_FIRST = "tap 60 145\ntap 60 145\nframes 2\n";
// The save dialog's Edit and Ok, the keypad's s, o, n, g and the keypad dialog's Ok.
const std::string TYPE_SONG =
    "tap 195 97\ntap 50 156\ntap 190 136\ntap 130 176\ntap 110 156\n"
    "tap 140 227\ntap 140 255\nframes 2\n";

theory::Sequence TwoSteps() {
    theory::Sequence s;
    s.count = 2;
    s.steps[0] = {0, 0, 0, 4, 0, {}, {-1, 3, 2, 0, 1, 0}};
    s.steps[1] = {9, 1, 1, 8, 1, {}, {5, 7, 7, 5, 5, 5}};
    s.steps[7].unused = {1, 2, 3};  // beyond the count, and still the file's
    return s;
}

std::string Message(const std::string& title, const std::string& text) {
    return "\"message\": {\"title\": \"" + title + "\", \"text\": \"" + text + "\"}";
}

int LinesWith(const std::string& text, const std::string& part) {
    std::istringstream lines(text);
    int n = 0;
    for (std::string line; std::getline(lines, line);)
        n += line.find(part) != std::string::npos;
    return n;
}

// On the real clock: the player thread's sleeps would move a test clock on between the
// two taps of a double tap.
struct DiskMode : ::testing::Test {
    fs::path home = fs::path(::testing::TempDir()) / ("disk-" + std::to_string(getpid()));

    void SetUp() override {
        fs::remove_all(home);
        fs::create_directories(home / "Sequences");
        setenv("FRETLORE_HOME", home.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("FRETLORE_HOME");
        fs::remove_all(home);
    }
    fs::path Sequences() const { return home / "Sequences"; }
    void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(Sequences() / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    std::string State(const std::string& name) const { return (home / name).string(); }
};

TEST_F(DiskMode, ASequenceSavedThroughTheDialogsIsItsImageAndLoadsBackKeepingTheTuning) {
    const theory::Sequence steps = TwoSteps();
    {
        GameRun run;
        run.game.sequence = steps;
        ASSERT_TRUE(run.Run(START + SAVE + TYPE_SONG + "state " + State("saved") + "\n"));
        std::string json = ReadState(State("saved"));
        EXPECT_NE(json.find(Message("Save Sequence", "Sequence saved successfully!")),
                  std::string::npos)
            << json;
        EXPECT_NE(json.find("\"dialog\": null"), std::string::npos);
    }
    std::ifstream file(Sequences() / "song.seq", std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
    theory::SequenceImage image = theory::EncodeSequence(steps);
    EXPECT_EQ(bytes, std::vector<std::uint8_t>(image.begin(), image.end()));
    ASSERT_EQ(bytes.size(), 772u);

    GameRun run;
    // The tuning list's third entry first, then the load.
    ASSERT_TRUE(run.Run(START + "tap 60 62\nframes 1\ntap 60 122\nframes 1\n" + LOAD + OPEN_FIRST +
                        "state " + State("loaded") + "\n"));
    std::string json = ReadState(State("loaded"));
    EXPECT_NE(json.find(Message("Load Sequence", "Sequence loaded successfully!")),
              std::string::npos)
        << json;
    EXPECT_EQ(StateValue(json, "tuning"), 2);
    EXPECT_EQ(StateValue(json, "mode"), 0);
    EXPECT_TRUE(run.game.sequence == steps);
}

TEST_F(DiskMode, ADamagedFileIsRefusedWithAMessageAndOneLineAndTheSequenceStays) {
    std::vector<std::uint8_t> count99(772, 0), countMinus1(772, 0);
    count99[0] = 99;
    countMinus1[0] = countMinus1[1] = countMinus1[2] = countMinus1[3] = 0xFF;
    const std::pair<const char*, std::vector<std::uint8_t>> files[] = {
        {"count99.seq", count99},
        {"minus.seq", countMinus1},
        {"short.seq", std::vector<std::uint8_t>(100, 0)},
    };
    for (const auto& [name, bytes] : files) {
        fs::remove_all(Sequences());
        fs::create_directories(Sequences());
        Write(name, bytes);
        GameRun run;
        run.game.sequence = TwoSteps();
        ::testing::internal::CaptureStderr();
        ASSERT_TRUE(run.Run(START + LOAD + OPEN_FIRST + "state " + State(name) + "\n"));
        std::string errors = ::testing::internal::GetCapturedStderr();
        std::string json = ReadState(State(name));
        EXPECT_NE(
            json.find(Message("Load Sequence", std::string(name) + " is not a sequence file.")),
            std::string::npos)
            << json;
        EXPECT_EQ(LinesWith(errors, name), 1) << errors;
        EXPECT_TRUE(run.game.sequence == TwoSteps()) << name;
    }
}

TEST_F(DiskMode, AFailedSaveSaysSoAndNeverSucceeds) {
    fs::create_directory(Sequences() / "song.seq");  // a folder stands where the file would go
    GameRun run;
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(run.Run(START + SAVE + TYPE_SONG + "state " + State("failed") + "\n"));
    std::string errors = ::testing::internal::GetCapturedStderr();
    std::string json = ReadState(State("failed"));
    EXPECT_NE(json.find(Message("Save Sequence", "The sequence could not be saved as song.seq.")),
              std::string::npos)
        << json;
    EXPECT_EQ(json.find("successfully"), std::string::npos);
    EXPECT_EQ(LinesWith(errors, "song.seq"), 1) << errors;
    EXPECT_TRUE(fs::is_directory(Sequences() / "song.seq"));
}

TEST_F(DiskMode, LoadStopsPlaybackAndQuittingInTheDialogEndsTheProgram) {
    GameRun run;
    run.game.player.playing = 1;
    ASSERT_TRUE(run.Run(START + LOAD + "state " + State("open") + "\n"));
    std::string json = ReadState(State("open"));
    EXPECT_NE(json.find("\"dialog\": \"Load Sequence\""), std::string::npos) << json;
    EXPECT_EQ(StateValue(json, "playing"), 0);
    EXPECT_EQ(run.game.openDialog, "");
    EXPECT_FALSE(run.game.lastMessage);
    EXPECT_TRUE(run.backend.ScriptDone());
}

TEST_F(DiskMode, ASequenceOnTheCommandLineOpensInTheSequencer) {
    theory::SequenceImage image = theory::EncodeSequence(TwoSteps());
    Write("given.seq", std::vector<std::uint8_t>(image.begin(), image.end()));
    Write("broken.seq", std::vector<std::uint8_t>(100, 0));
    struct Case {
        const char* name;
        const char* message;  // none when the file loads
        int count;
    };
    const Case cases[] = {
        {"given.seq", nullptr, 2},
        {"broken.seq", "broken.seq is not a sequence file.", 0},
        {"missing.seq", "missing.seq could not be opened.", 0},
    };
    for (const Case& c : cases) {
        GameRun run;
        run.game.startSequence = (Sequences() / c.name).string();
        ::testing::internal::CaptureStderr();
        ASSERT_TRUE(run.Run(START + "state " + State(c.name) + "\n"));
        std::string errors = ::testing::internal::GetCapturedStderr();
        std::string json = ReadState(State(c.name));
        EXPECT_EQ(StateValue(json, "mode"), 3) << c.name;
        EXPECT_EQ(run.game.sequence.count, c.count) << c.name;
        if (c.message) {
            EXPECT_NE(json.find(Message("Load Sequence", c.message)), std::string::npos) << json;
            EXPECT_EQ(LinesWith(errors, c.name), 1) << errors;
        } else {
            EXPECT_NE(json.find("\"message\": null"), std::string::npos) << json;
            EXPECT_TRUE(run.game.sequence == TwoSteps());
        }
    }
}

}  // namespace
