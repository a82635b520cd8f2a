// Runs the real program binary headless, as a user or a tool would.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "RunCommand.h"
#include "gfx/Surface.h"
#include "platform/Files.h"
#include "platform/Image.h"

namespace {

using Result = apptest::CommandResult;

Result RunProgram(const std::string& arguments) {
    return apptest::RunCommand(std::string(FRETLORE_BINARY) + " " + arguments + " 2>&1");
}

std::string Temp(const std::string& name) {
    return ::testing::TempDir() + name;
}

std::vector<std::uint32_t> Shot(const std::string& path) {
    auto bytes = platform::ReadWholeFile(path);
    if (!bytes) return {};
    auto image = platform::DecodeImage(*bytes);
    if (!image || image->width != 240 || image->height != 320) return {};
    return image->rgb;
}

TEST(HeadlessRun, VersionAndHelpPrintAndEnd) {
    Result version = RunProgram("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output, "Fretlore 1.03\n");
    Result help = RunProgram("--help");
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option :
         {"--scale", "--mic", "--input-device", "--output-device", "--audio-out", "--headless",
          "--script", "--frames", "--shot", "--version", "--help"})
        EXPECT_NE(help.output.find(std::string("  ") + option), std::string::npos) << option;
}

TEST(HeadlessRun, OpensOnTheTitleOverTheMainScreen) {
    std::string shot = Temp("fretlore-shot.png");
    std::remove(shot.c_str());
    Result r = RunProgram("--headless --frames 5 --shot " + shot);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    auto pixels = Shot(shot);
    ASSERT_EQ(pixels.size(), 240u * 320u);
    // The title picture is dark blue in the middle; the screen around it is darkened.
    std::uint32_t centre = pixels[60 * 240 + 120];
    EXPECT_LT((centre >> 16) & 0xFF, 0x40u);
    EXPECT_GT(centre & 0xFF, (centre >> 16) & 0xFF);
}

// Without a usable display the program says so in one line of its own, with nothing the
// window system's libraries print before it.
TEST(HeadlessRun, NoDisplayIsOneLineOfOurOwn) {
    for (const char* environment :
         {"env -u DISPLAY -u WAYLAND_DISPLAY", "env -u XDG_RUNTIME_DIR DISPLAY=:97",
          "env XDG_RUNTIME_DIR=/nonexistent DISPLAY=nowhere:0"}) {
        auto [code, output] =
            apptest::RunCommand(std::string(environment) + " " + FRETLORE_BINARY + " 2>&1");
        EXPECT_EQ(code, 1) << environment;
        EXPECT_TRUE(output.starts_with("fretlore: no display available")) << output;
        EXPECT_EQ(output.find('\n'), output.size() - 1) << output;
    }
}

TEST(HeadlessRun, ScriptErrorsNameTheLineAndExitWithTwo) {
    std::string script = Temp("bad-script.txt");
    std::ofstream(script) << "tap 10 10\nfly 3\n";
    Result r = RunProgram("--headless --script " + script);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.output.find("script line 2: unknown command 'fly'"), std::string::npos) << r.output;
}

TEST(HeadlessRun, BadOptionsAndUnwritableShotsFail) {
    EXPECT_EQ(RunProgram("--bogus").exitCode, 2);
    // Found before the run starts.
    Result r = RunProgram("--headless --frames 2 --shot /nonexistent-folder/x.png");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.output,
              "fretlore: --shot: cannot write /nonexistent-folder/x.png: No such file or "
              "directory\n");
}

class HeadlessFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string name = Temp("fretlore-files-XXXXXX");
        ASSERT_NE(mkdtemp(name.data()), nullptr);
        dir = name;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::size_t Entries() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(dir), {}));
    }
    // A device that refuses every byte: the system's, or as root one of our own.
    std::string FullDevice() const {
        if (geteuid() != 0) return "/dev/full";
        std::string path = dir + "/full.wav";
        return mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0 ? path : "";
    }

    std::string dir;
};

TEST_F(HeadlessFiles, AFolderGivenForAFileStopsTheRunBeforeItStarts) {
    Result r = RunProgram("--headless --frames 2 --audio-out " + dir);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.output, "fretlore: --audio-out: cannot write " + dir + ": it is a folder\n");
    r = RunProgram("--headless --script " + dir);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.output, "fretlore: --script: cannot read " + dir + ": Is a directory\n");
    EXPECT_EQ(Entries(), 0u);
}

// A pipe is not opened before the run (that would end its reader's input), nor a device
// written: their failures come at the end, and fail the run.
TEST_F(HeadlessFiles, OutputsThatFailAtTheEndFailTheRun) {
    std::string pipe = dir + "/pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
    Result r = RunProgram("--headless --frames 2 --audio-out " + pipe);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("fretlore: --audio-out failed: cannot write " + pipe +
                            ": nobody is reading from the pipe\n"),
              std::string::npos)
        << r.output;
    r = RunProgram("--headless --frames 2 --shot " + pipe);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("fretlore: --shot failed: cannot write " + pipe +
                            ": nobody is reading from the pipe\n"),
              std::string::npos)
        << r.output;
    std::string full = FullDevice();
    ASSERT_NE(full, "");
    r = RunProgram("--headless --frames 4 --audio-out " + full);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("fretlore: --audio-out failed: cannot write " + full +
                            ": No space left on device\n"),
              std::string::npos)
        << r.output;
    struct stat st {};
    EXPECT_TRUE(lstat(pipe.c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
    EXPECT_TRUE(lstat(full.c_str(), &st) == 0 && S_ISCHR(st.st_mode));
    EXPECT_EQ(Entries(), geteuid() == 0 ? 2u : 1u);
}

TEST_F(HeadlessFiles, ARecordingWhoseReaderLeavesFailsTheRun) {
    std::string pipe = dir + "/pipe.wav";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
    // Not inherited by the program, which would then read its own recording.
    int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    // Takes the header, then leaves while the run still plays.
    std::thread leaver([reader] {
        std::string header(44, '\0');
        std::size_t got = 0;
        for (int wait = 0; wait < 10000 && got < header.size(); ++wait) {
            ssize_t n = read(reader, header.data() + got, header.size() - got);
            if (n > 0) got += static_cast<std::size_t>(n);
            usleep(1000);
        }
        close(reader);
    });
    Result r = RunProgram("--headless --frames 20 --audio-out " + pipe);
    leaver.join();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(
        r.output.find("fretlore: --audio-out failed: cannot write " + pipe + ": Broken pipe\n"),
        std::string::npos)
        << r.output;
}

TEST_F(HeadlessFiles, StateShotAndRecordingAreReadableByAll) {
    std::string script = dir + "/s.txt";
    std::ofstream(script) << "frames 2\nstate " << dir << "/s.json\nshot " << dir << "/s.png\n";
    mode_t old = umask(022);
    Result r = RunProgram("--headless --script " + script + " --audio-out " + dir + "/s.wav");
    umask(old);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    for (const char* name : {"/s.json", "/s.png", "/s.wav"}) {
        struct stat st {};
        ASSERT_EQ(stat((dir + name).c_str(), &st), 0) << name;
        EXPECT_EQ(st.st_mode & 07777, 0644u) << name;
    }
    EXPECT_EQ(Entries(), 4u);
}

TEST(HeadlessRun, AScriptDrivesTheRunAndDumpsState) {
    std::string script = Temp("good-script.txt"), state = Temp("state.json"),
                shot = Temp("script-shot.png");
    std::ofstream(script) << "frames 2\nkey Enter\nkey shift+ctrl+c\nwait 20\nstate " << state
                          << "\nshot " << shot << "\n";
    Result r = RunProgram("--headless --script " + script);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    auto json = platform::ReadWholeFile(state);
    ASSERT_TRUE(json);
    std::string text(json->begin(), json->end());
    for (const char* key :
         {"\"mode\": 0", "\"root\": 1", "\"chordType\": 1", "\"inversion\": 0", "\"voicings\": [",
          "\"player\": {\"playing\": false", "\"visible\": {\"100\": true"})
        EXPECT_NE(text.find(key), std::string::npos) << key << " in " << text;
    EXPECT_EQ(Shot(shot).size(), 240u * 320u);
}

// --capo puts the capo on after the title; the keys then move it from there.
TEST(HeadlessRun, ACapoGivenOnTheCommandLineIsOnFromTheStart) {
    std::string script = Temp("capo-script.txt"), state = Temp("capo-state.json");
    std::ofstream(script) << "key Enter\nkey ]\nstate " << state << "\n";
    Result r = RunProgram("--headless --capo 4 --script " + script);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    auto json = platform::ReadWholeFile(state);
    ASSERT_TRUE(json);
    std::string text(json->begin(), json->end());
    EXPECT_NE(text.find("\"capo\": 5,"), std::string::npos) << text;
    Result bad = RunProgram("--headless --capo 12 --frames 1");
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.output,
              "fretlore: bad value '12' for --capo (a fret from 0 to 11) (see fretlore --help)\n");
}

TEST(HeadlessRun, SpellingIsGivenOnTheCommandLineAndDumped) {
    std::string script = Temp("spelling-script.txt"), state = Temp("spelling-state.json");
    std::ofstream(script) << "frames 2\nkey Enter\nkey shift+a\nstate " << state << "\n";
    Result r = RunProgram("--headless --spelling flats --script " + script);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    auto json = platform::ReadWholeFile(state);
    ASSERT_TRUE(json);
    std::string text(json->begin(), json->end());
    for (const char* key : {"\"spelling\": \"flats\"", "\"root\": 10", "\"text\": \"01 Bb (fret"})
        EXPECT_NE(text.find(key), std::string::npos) << key << " in " << text;
}

// The reference A4 is the run's own: 440 and the strings untouched unless asked, and refused
// outside 415..466 before anything starts.
TEST(HeadlessRun, TheStateDumpShowsTheA4OfTheRun) {
    std::string script = Temp("a4-script.txt"), state = Temp("a4-state.json");
    std::ofstream(script) << "frames 1\nstate " << state << "\n";
    for (const auto& [options, a4, sound] : {std::tuple{"", "440", "false"},
                                             {"--a4 415", "415", "false"},
                                             {"--a4 466 --a4-sound", "466", "true"}}) {
        Result r = RunProgram(std::string("--headless ") + options + " --script " + script);
        ASSERT_EQ(r.exitCode, 0) << r.output;
        auto json = platform::ReadWholeFile(state);
        ASSERT_TRUE(json);
        std::string text(json->begin(), json->end());
        EXPECT_NE(text.find(std::string("\"a4\": ") + a4 + ",\n  \"a4Sound\": " + sound),
                  std::string::npos)
            << text;
    }
    for (const char* bad : {"414", "467", "440.5", ""}) {
        Result r = RunProgram(std::string("--headless --frames 1 --a4 ") + bad);
        EXPECT_EQ(r.exitCode, 2) << bad;
        EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;
        EXPECT_NE(r.output.find("--a4"), std::string::npos) << r.output;
    }
}

TEST(HeadlessRun, QuittingWhileAMessageBoxIsOpenExitsWithZero) {
    std::string script = Temp("quit-in-help.txt"), before = Temp("before-help.png"),
                during = Temp("in-help.png");
    // Help, then the window's close request while the box waits for "Done".
    std::ofstream(script) << "key Enter\nframes 1\nshot " << before
                          << "\ntap 30 307\nframes 2\nshot " << during << "\nquit\n";
    Result r = RunProgram("--headless --script " + script);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(r.output.find("ERROR"), std::string::npos) << r.output;
    auto open = Shot(during), closed = Shot(before);
    ASSERT_EQ(open.size(), 240u * 320u);
    ASSERT_EQ(closed.size(), 240u * 320u);
    // The box was up: the screen around it darkened.
    EXPECT_LT(open[3 * 240 + 3] & 0xFF, closed[3 * 240 + 3] & 0xFF);
}

}  // namespace
