#include "platform/audio/WavFile.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace platform {
namespace {

namespace fs = std::filesystem;

TEST(WavFileTest, WritesThroughATemporaryFileAndReadsBack) {
    fs::path path =
        fs::temp_directory_path() / ("fretlore-wav-" + std::to_string(::getpid()) + ".wav");
    {
        WavWriter writer;
        ASSERT_EQ(writer.Open(path, 22050, 1), "");
        std::vector<std::int16_t> samples = {0, 1, -1, 32767, -32768};
        writer.Write(samples);
        EXPECT_FALSE(fs::exists(path));  // not there until finished
        ASSERT_EQ(writer.Finish(), "");
    }
    EXPECT_EQ(fs::file_size(path), 44u + 10u);
    WavData wav;
    ASSERT_EQ(ReadWavFile(path, wav), "");
    EXPECT_EQ(wav.sampleRate, 22050u);
    EXPECT_EQ(wav.channels, 1);
    EXPECT_EQ(wav.samples, (std::vector<std::int16_t>{0, 1, -1, 32767, -32768}));
    // An abandoned write leaves the old file as it was and no temporary behind.
    {
        WavWriter writer;
        ASSERT_EQ(writer.Open(path, 8000, 1), "");
        writer.Write(std::vector<std::int16_t>(100, 3));
    }
    ASSERT_EQ(ReadWavFile(path, wav), "");
    EXPECT_EQ(wav.sampleRate, 22050u);
    EXPECT_FALSE(fs::exists(fs::path(path) += ".tmp"));
    fs::remove(path);
}

TEST(WavFileTest, RefusesWhatIsNotSixteenBitPcm) {
    fs::path path =
        fs::temp_directory_path() / ("fretlore-junk-" + std::to_string(::getpid()) + ".wav");
    std::ofstream(path, std::ios::binary) << "RIFF\x04\x00\x00\x00WAVEjunk";
    WavData wav;
    EXPECT_NE(ReadWavFile(path, wav), "");
    std::ofstream(path, std::ios::binary) << "not a wav at all";
    EXPECT_NE(ReadWavFile(path, wav), "");
    fs::remove(path);
    EXPECT_NE(ReadWavFile(path, wav), "");
    WavWriter writer;
    EXPECT_NE(writer.Open(fs::path("/nonexistent-folder/x.wav"), 22050, 1), "");
}

}  // namespace
}  // namespace platform
