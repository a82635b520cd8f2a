#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gfx/Blit.h"
#include "gfx/Surface.h"
#include "platform/Resources.h"
#include "res/EmbeddedResources.h"

namespace app {
namespace {

std::optional<Options> Parse(std::vector<std::string> args, std::string* error = nullptr) {
    std::string e;
    auto o = ParseCommandLine(args, e);
    if (error) *error = e;
    return o;
}

TEST(CommandLine, AcceptsTheProgramsOptions) {
    auto o = Parse({"--headless", "--script", "s.txt", "--frames", "5", "--shot", "a.png",
                    "--audio-out", "x.wav"});
    ASSERT_TRUE(o);
    EXPECT_TRUE(o->headless);
    EXPECT_EQ(o->frames, 5u);
    EXPECT_EQ(o->shotPath, "a.png");
    EXPECT_EQ(Parse({"--scale", "3"})->scale, 3);
    EXPECT_EQ(Parse({})->capo, std::nullopt);
    EXPECT_EQ(Parse({"--capo", "0"})->capo, 0);
    EXPECT_EQ(Parse({"--headless", "--capo", "11"})->capo, 11);
    auto devices =
        Parse({"--input-device", "USB Mic", "--output-device", "Speakers", "--mic", "a.flac"});
    ASSERT_TRUE(devices);
    EXPECT_EQ(devices->inputDevice, "USB Mic");
    EXPECT_EQ(devices->outputDevice, "Speakers");
    EXPECT_EQ(devices->micPath, "a.flac");
    EXPECT_FALSE(Parse({})->spelling);
    EXPECT_EQ(Parse({"--spelling", "flats"})->spelling, theory::Spelling::Flats);
    EXPECT_EQ(Parse({"--headless", "--spelling", "key"})->spelling, theory::Spelling::Key);
}

TEST(CommandLine, TakesOneSequenceFileToOpen) {
    EXPECT_EQ(Parse({})->sequencePath, "");
    EXPECT_EQ(Parse({"songs/Blues.seq"})->sequencePath, "songs/Blues.seq");
    EXPECT_EQ(Parse({"--scale", "3", "/a/B.SEQ"})->sequencePath, "/a/B.SEQ");
    EXPECT_EQ(Parse({"--headless", "x.seq", "--frames", "2"})->sequencePath, "x.seq");
    std::string error;
    EXPECT_FALSE(Parse({"a.seq", "b.seq"}, &error));
    EXPECT_EQ(error, "one sequence file at a time: 'a.seq' and 'b.seq'");
    EXPECT_FALSE(Parse({"song.txt"}, &error));
    EXPECT_EQ(error, "unknown option 'song.txt'");
    EXPECT_FALSE(Parse({".seq"}, &error));
    EXPECT_FALSE(Parse({"--x.seq"}, &error));
    EXPECT_EQ(error, "unknown option '--x.seq'");
}

TEST(CommandLine, RefusesWhatItDoesNotKnowInOneLine) {
    std::string error;
    EXPECT_FALSE(Parse({"--fullscreen"}, &error));
    EXPECT_EQ(error, "unknown option '--fullscreen'");
    EXPECT_FALSE(Parse({"--scale", "0"}, &error));
    EXPECT_EQ(error, "bad value '0' for --scale");
    for (const char* capo : {"12", "-1", "2x", ""}) {
        EXPECT_FALSE(Parse({"--capo", capo}, &error)) << capo;
        EXPECT_EQ(error, "bad value '" + std::string(capo) + "' for --capo (a fret from 0 to 11)");
    }
    EXPECT_FALSE(Parse({"--capo"}, &error));
    EXPECT_EQ(error, "--capo needs a value");
    EXPECT_FALSE(Parse({"--headless", "--frames"}, &error));
    EXPECT_EQ(error, "--frames needs a value");
    EXPECT_FALSE(Parse({"--shot", "a.png"}, &error));
    EXPECT_FALSE(Parse({"--headless", "--frames", "-1"}, &error));
    EXPECT_FALSE(Parse({"--input-device"}, &error));
    EXPECT_EQ(error, "--input-device needs a value");
    EXPECT_FALSE(Parse({"--headless", "--input-device", "x"}, &error));
    EXPECT_FALSE(Parse({"--headless", "--output-device", "x"}, &error));
    EXPECT_FALSE(Parse({"--spelling", "bogus"}, &error));
    EXPECT_EQ(error, "bad value 'bogus' for --spelling (sharps, flats or key)");
    EXPECT_FALSE(Parse({"--spelling"}, &error));
    EXPECT_EQ(error, "--spelling needs a value");
}

// The program's pictures come out of its own resource table at the sizes the screens use.
TEST(Resources, EveryPictureDecodesAtItsSize) {
    platform::SetResourceTable(res::EmbeddedResources());
    struct Picture {
        std::string_view type;
        std::uint32_t id;
        std::uint32_t width, height;
    } pictures[] = {
        {platform::RESOURCE_GIF, 1, 200, 220},     {platform::RESOURCE_GIF, 105, 240, 320},
        {platform::RESOURCE_BITMAP, 103, 28, 28},  {platform::RESOURCE_BITMAP, 104, 30, 30},
        {platform::RESOURCE_BITMAP, 106, 12, 36},  {platform::RESOURCE_BITMAP, 107, 45, 273},
        {platform::RESOURCE_BITMAP, 108, 48, 16},  {platform::RESOURCE_BITMAP, 120, 20, 11},
        {platform::RESOURCE_BITMAP, 121, 224, 64}, {platform::RESOURCE_ICON, 119, 32, 32}};
    for (const Picture& p : pictures) {
        auto s = gfx::loadImageResource(p.id, p.type);
        ASSERT_TRUE(s) << p.id;
        EXPECT_EQ(s->width, p.width) << p.id;
        EXPECT_EQ(s->height, p.height) << p.id;
    }
    EXPECT_EQ(gfx::loadImageResource(2, platform::RESOURCE_GIF), nullptr);  // no splash picture
    // The check box strip keys its corners, and the button faces build at every size used.
    auto checks = gfx::loadImageResource(104, platform::RESOURCE_BITMAP);
    EXPECT_EQ(checks->Row(0)[15], gfx::COLOUR_KEY);
    for (int w : {50, 30, 95}) {
        auto faces = gfx::makeFramedImage(106, w, 20, 3);
        ASSERT_TRUE(faces);
        EXPECT_EQ(faces->Row(0)[0], gfx::COLOUR_KEY);
        EXPECT_NE(faces->Row(30)[w / 2], gfx::COLOUR_KEY);
    }
    EXPECT_EQ(gfx::loadImageFromMemory(std::span<const std::uint8_t>()), nullptr);
    const std::uint8_t junk[] = {'B', 'M', 1, 2, 3};
    EXPECT_EQ(gfx::loadImageFromMemory(junk), nullptr);
}

}  // namespace
}  // namespace app
