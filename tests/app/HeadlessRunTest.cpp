// Runs the real program binary headless, as a user or a tool would.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "gfx/Surface.h"
#include "platform/Files.h"
#include "platform/Image.h"

namespace {

struct Result {
    int exitCode;
    std::string output;
};

Result RunProgram(const std::string& arguments) {
    std::string command = std::string(FRETLORE_BINARY) + " " + arguments + " 2>&1";
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

TEST(HeadlessRun, WritesAScreenshotOfTheBackground) {
    std::string shot = Temp("fretlore-shot.png");
    std::remove(shot.c_str());
    Result r = RunProgram("--headless --frames 5 --shot " + shot);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    auto bytes = platform::ReadWholeFile(shot);
    ASSERT_TRUE(bytes);
    auto image = platform::DecodeImage(*bytes);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 240);
    EXPECT_EQ(image->height, 320);
    // Light at the top, the darker button bar at the bottom.
    std::uint32_t top = image->rgb[10 * 240 + 120], bar = image->rgb[305 * 240 + 120];
    EXPECT_GT(top & 0xFF, 0xD0u);
    EXPECT_LT(bar & 0xFF, top & 0xFF);
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
    EXPECT_EQ(RunProgram("--help").exitCode, 0);
    Result r = RunProgram("--headless --frames 2 --shot /nonexistent-folder/x.png");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("cannot write /nonexistent-folder/x.png"), std::string::npos)
        << r.output;
}

TEST(HeadlessRun, AScriptDrivesTheRunAndDumpsState) {
    std::string script = Temp("good-script.txt"), state = Temp("state.json"),
                shot = Temp("script-shot.png");
    std::ofstream(script) << "frames 2\ntap 120 160\nkey shift+a\nwait 20\nstate " << state
                          << "\nshot " << shot << "\n";
    Result r = RunProgram("--headless --script " + script);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    auto json = platform::ReadWholeFile(state);
    ASSERT_TRUE(json);
    EXPECT_NE(std::string(json->begin(), json->end()).find("\"title\": \"Fretlore 1.03\""),
              std::string::npos);
    EXPECT_TRUE(platform::FileExists(shot));
}

}  // namespace
