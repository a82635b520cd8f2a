// The microphone and device options, and `fretlore devices`, through the real binary:
// every refusal is one line and exit code 2, before any window opens.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "RunCommand.h"
#include "platform/Files.h"
#include "platform/Image.h"
#include "platform/audio/WavFile.h"

namespace {

using Result = apptest::CommandResult;

// Runs the program with no display at all, so that reaching the window fails with exit 1.
Result RunFretlore(const std::string& environment, const std::string& arguments) {
    return apptest::RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY " + environment + " " +
                               FRETLORE_BINARY + " " + arguments + " 2>&1");
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

// Mode 5 listening to a recording through --mic: the A minor triad it hears is named,
// marked on its meters, chosen in the finder and drawn on the piano roll after More.
TEST(SoundOptions, TheDetectionModeHearsARecording) {
    std::string wav = Temp("fretlore-a-minor.wav"), script = Temp("listen.txt");
    std::string state = Temp("listen.json"), meters = Temp("listen-meters.png"),
                roll = Temp("listen-roll.png");
    platform::WavWriter writer;
    ASSERT_EQ(writer.Open(wav, 22050, 2), "");
    std::vector<std::int16_t> frame(2);
    for (int i = 0; i < 22050 * 3; ++i) {
        double s = 0;
        for (double f : {220.0, 261.63, 329.63})
            s += std::sin(2 * M_PI * f * i / 22050);
        frame.assign(2, static_cast<std::int16_t>(s * 8000));
        writer.Write(frame);
    }
    ASSERT_EQ(writer.Finish(), "");
    // Menu, "Chord Detection"; then two seconds of listening in real time.
    std::ofstream(script) << "key Enter\ntap 210 307\ntap 120 202\nwait 2000\nframes 2\nstate "
                          << state << "\nshot " << meters << "\ntap 150 307\nframes 2\nshot "
                          << roll << "\n";
    Result r = RunFretlore("", "--headless --mic " + wav + " --script " + script);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    std::ifstream in(state);
    std::string json((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const char* key :
         {"\"mode\": 5", "\"root\": 9", "\"chordType\": 1",
          "\"detected\": true, \"text\": \"A Minor\"", "\"highlight\": [9, 0, 4]"})
        EXPECT_NE(json.find(key), std::string::npos) << key << " in " << json;
    auto pixel = [](const std::string& png, int x, int y) -> std::uint32_t {
        auto bytes = platform::ReadWholeFile(png);
        auto image = bytes ? platform::DecodeImage(*bytes) : std::nullopt;
        return image ? image->rgb[static_cast<std::size_t>(y) * image->width + x] & 0xF8FCF8 : 0;
    };
    for (int p : {9, 0, 4})  // the bottom segment of each marked meter, red
        EXPECT_EQ(pixel(meters, 22 + 14 * p, 154), 0xF80000u) << p;
    EXPECT_NE(pixel(meters, 22 + 14 * 6, 154), 0xF80000u);  // F# is not marked
    // The root's marker on the roll, yellow below the A key: x = 8 + 8 + 80, y = 64 + 217.
    EXPECT_EQ(pixel(roll, 96, 285), 0xF8FC00u);
    std::remove(wav.c_str());
}
