#include "platform/audio/WavFile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <sstream>
#include <thread>

namespace platform {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The header as the format describes it, written out by hand.
const std::string HEADER_22050_MONO_4_BYTES(
    "RIFF\x28\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x22\x56\0\0\x44\xAC\0\0\x02\0\x10\0"
    "data\x04\0\0\0",
    44);

class WavTargetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string name = fs::temp_directory_path() / "fretlore-wavout-XXXXXX";
        ASSERT_NE(mkdtemp(name.data()), nullptr);
        dir = name;
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string WriteTwoSamples(const fs::path& target) {
        WavWriter writer;
        if (std::string error = writer.Open(target, 22050, 1); !error.empty()) return error;
        writer.Write(std::vector<std::int16_t>{0x0102, -2});
        return writer.Finish();
    }
    std::size_t Entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
    }

    fs::path dir;
};

TEST_F(WavTargetTest, HeaderAndSamplesByteByByteAndReadBack) {
    ASSERT_EQ(WriteTwoSamples(dir / "x.wav"), "");
    const std::string bytes = HEADER_22050_MONO_4_BYTES + "\x02\x01\xFE\xFF";
    EXPECT_EQ(Read(dir / "x.wav"), bytes);
    WavData wav;
    ASSERT_EQ(ReadWavFile(dir / "x.wav", wav), "");
    EXPECT_EQ(wav.sampleRate, 22050u);
    EXPECT_EQ(wav.channels, 1);
    EXPECT_EQ(wav.samples, (std::vector<std::int16_t>{0x0102, -2}));
    // The old file stays until a write is finished, and an abandoned one leaves nothing.
    {
        WavWriter writer;
        ASSERT_EQ(writer.Open(dir / "x.wav", 8000, 1), "");
        writer.Write(std::vector<std::int16_t>(100, 3));
        EXPECT_EQ(Read(dir / "x.wav"), bytes);
    }
    EXPECT_EQ(Read(dir / "x.wav"), bytes);
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(WavTargetTest, APlantedTemporaryLinkIsNotFollowed) {
    std::ofstream(dir / "victim") << "precious";
    fs::create_symlink(dir / "victim", dir / "x.wav.tmp");
    ASSERT_EQ(WriteTwoSamples(dir / "x.wav"), "");
    EXPECT_EQ(Read(dir / "victim"), "precious");
    EXPECT_TRUE(fs::is_symlink(dir / "x.wav.tmp"));
    EXPECT_EQ(Read(dir / "x.wav").size(), 48u);
    EXPECT_EQ(Entries(), 3u);
}

TEST_F(WavTargetTest, ADeviceStaysADevice) {
    fs::path device = "/dev/null";
    if (geteuid() == 0) {
        device = dir / "null.wav";
        ASSERT_EQ(mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    }
    ASSERT_EQ(WriteTwoSamples(device), "");
    struct stat st {};
    ASSERT_EQ(lstat(device.c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    EXPECT_EQ(st.st_rdev, makedev(1, 3));
    EXPECT_EQ(Entries(), geteuid() == 0 ? 1u : 0u);
}

TEST_F(WavTargetTest, APipeGetsTheStreamWithLengthUnknown) {
    fs::path pipe = dir / "pipe.wav";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
    int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_EQ(WriteTwoSamples(pipe), "");
    std::string got(100, '\0');
    ssize_t n = read(reader, got.data(), got.size());
    close(reader);
    std::string expected = HEADER_22050_MONO_4_BYTES + "\x02\x01\xFE\xFF";
    expected.replace(4, 4, "\xFF\xFF\xFF\xFF");
    expected.replace(40, 4, "\xFF\xFF\xFF\xFF");
    EXPECT_EQ(got.substr(0, n > 0 ? static_cast<std::size_t>(n) : 0), expected);
    EXPECT_TRUE(fs::is_fifo(pipe));
    // Nobody reading: an error at once, not a run that hangs.
    EXPECT_EQ(WriteTwoSamples(pipe),
              "cannot write " + pipe.string() + ": nobody is reading from the pipe");
}

TEST_F(WavTargetTest, FailedWritesAreReportedByFinish) {
    fs::path full = "/dev/full";
    if (geteuid() == 0) {
        full = dir / "full.wav";
        ASSERT_EQ(mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)), 0);
    }
    WavWriter writer;
    std::string error = writer.Open(full, 22050, 1);
    if (error.empty()) {
        writer.Write(std::vector<std::int16_t>(20000, 1));
        error = writer.Finish();
    }
    EXPECT_EQ(error, "cannot write " + full.string() + ": No space left on device");
}

// A recording of `blocks` blocks of `value`, or of the other writer, and nothing else.
bool Whole(const fs::path& path) {
    WavData wav;
    if (!fs::exists(path)) return true;
    if (!ReadWavFile(path, wav).empty() || wav.samples.empty()) return false;
    std::size_t expected = wav.samples[0] == 1 ? 200u * 256u : 310u * 256u;
    // (The data chunk is cut to what the file holds, so a short file shows here too.)
    return wav.samples.size() == expected &&
           std::all_of(wav.samples.begin(), wav.samples.end(),
                       [&](std::int16_t v) { return v == wav.samples[0]; });
}

TEST_F(WavTargetTest, TwoWritersRacingLeaveOneWholeFile) {
    // Recordings of different lengths and values, so a mix of the two shows.
    auto record = [&](std::int16_t value, int blocks) {
        for (int i = 0; i < 50; ++i) {
            WavWriter writer;
            if (!writer.Open(dir / "x.wav", 25050, 1).empty()) return;
            for (int block = 0; block < blocks; ++block)
                writer.Write(std::vector<std::int16_t>(256, value));
            (void)writer.Finish();
        }
    };
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (!done)
            torn += Whole(dir / "x.wav") ? 0 : 1;
    });
    std::thread first(record, std::int16_t{1}, 200), second(record, std::int16_t{2}, 310);
    first.join();
    second.join();
    done = true;
    reader.join();
    EXPECT_EQ(torn, 0);
    EXPECT_TRUE(fs::exists(dir / "x.wav"));
    EXPECT_TRUE(Whole(dir / "x.wav"));
    auto size = fs::file_size(dir / "x.wav");
    EXPECT_TRUE(size == 44 + 2 * 200 * 256 || size == 44 + 2 * 310 * 256) << size;
    EXPECT_EQ(Entries(), 1u);
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
    EXPECT_EQ(writer.Open(fs::path("/nonexistent-folder/x.wav"), 22050, 1),
              "cannot write /nonexistent-folder/x.wav: No such file or directory");
}

}  // namespace
}  // namespace platform
