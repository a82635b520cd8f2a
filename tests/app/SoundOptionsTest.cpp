// The microphone and device options, and `fretlore devices`, through the real binary:
// every refusal is one line and exit code 2, before any window opens.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/audio/WavFile.h"

namespace {

struct Result {
    int exitCode;
    std::string output;
};

// Runs the program with no display at all, so that reaching the window fails with exit 1.
Result RunFretlore(const std::string& environment, const std::string& arguments) {
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY " + environment + " " +
                          FRETLORE_BINARY + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[256];
    while (pipe && fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    int status = pipe ? pclose(pipe) : -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string Temp(const std::string& name) {
    return ::testing::TempDir() + name;
}

int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST(SoundOptions, AnUnreadableMicFileIsOneLineBeforeTheWindow) {
    std::string damaged = Temp("fretlore-damaged.wav");
    std::ofstream(damaged) << "RIFF....WAVEfmt garbage";
    for (const std::string& args :
         {"--mic " + damaged, "--headless --mic " + damaged, "--mic " + Temp("no-such.flac")}) {
        Result r = RunFretlore("", args);
        EXPECT_EQ(r.exitCode, 2) << args << ": " << r.output;
        EXPECT_TRUE(r.output.starts_with("fretlore: --mic: ")) << r.output;
        EXPECT_EQ(Lines(r.output), 1) << r.output;
    }
    std::remove(damaged.c_str());
}

// A good recording is listened to headless without a word on stderr.
TEST(SoundOptions, AReadableMicFileRunsHeadless) {
    std::string path = Temp("fretlore-a440.wav");
    platform::WavWriter writer;
    ASSERT_EQ(writer.Open(path, 44100, 2), "");
    std::vector<std::int16_t> sound(44100);
    for (std::size_t i = 0; i < sound.size(); ++i)
        sound[i] = static_cast<std::int16_t>(8000 * std::sin(i * 2 * 3.14159265 * 440 / 44100));
    writer.Write(sound);
    ASSERT_EQ(writer.Finish(), "");
    Result r = RunFretlore("", "--headless --mic " + path + " --script /dev/null --frames 12");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(r.output.find("detection"), std::string::npos) << r.output;
    std::remove(path.c_str());
}

// Devices are chosen by SDL's names; an unknown one is refused with the names there are.
TEST(SoundOptions, UnknownDeviceNamesListTheChoices) {
    Result in = RunFretlore("SDL_AUDIODRIVER=dummy", "--input-device 'No Such Mic'");
    EXPECT_EQ(in.exitCode, 2);
    EXPECT_EQ(in.output,
              "fretlore: unknown input device 'No Such Mic'; the input devices are: 'System audio "
              "capture device'\n");
    Result out = RunFretlore("SDL_AUDIODRIVER=dummy", "--output-device nowhere");
    EXPECT_EQ(out.exitCode, 2);
    EXPECT_EQ(out.output,
              "fretlore: unknown output device 'nowhere'; the output devices are: 'System audio "
              "output device'\n");
    // A known name passes the check and the run goes on to the (missing) display.
    Result known =
        RunFretlore("SDL_AUDIODRIVER=dummy", "--input-device 'System audio capture device'");
    EXPECT_EQ(known.exitCode, 1) << known.output;
    EXPECT_TRUE(known.output.starts_with("fretlore: no display available")) << known.output;
    Result headless = RunFretlore("", "--headless --output-device x");
    EXPECT_EQ(headless.exitCode, 2);
    EXPECT_EQ(Lines(headless.output), 1) << headless.output;
}

TEST(SoundOptions, DevicesListsOutputsAndInputs) {
    Result r = RunFretlore("SDL_AUDIODRIVER=dummy", "devices");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.output,
              "Output devices:\n  System audio output device\nInput devices:\n  System audio "
              "capture device\n");
    // No sound system at all: it says so, and that is no error.
    Result none = RunFretlore("SDL_AUDIODRIVER=no-such-driver", "devices");
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_TRUE(none.output.starts_with("Output devices: none (no sound devices: ")) << none.output;
    EXPECT_NE(none.output.find("\nInput devices: none (no sound devices: "), std::string::npos)
        << none.output;
    EXPECT_EQ(RunFretlore("", "devices --all").exitCode, 2);
    EXPECT_EQ(RunFretlore("", "devices --help").exitCode, 0);
}

}  // namespace
