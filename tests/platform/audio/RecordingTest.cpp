#include "platform/audio/Recording.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <numeric>

#include "platform/Clock.h"
#include "platform/audio/WavFile.h"

namespace platform {
namespace {

std::string Temp(const std::string& name) {
    return (std::filesystem::temp_directory_path() /
            ("fretlore-rec-" + std::to_string(::getpid()) + "-" + name))
        .string();
}

// Interleaved stereo: a sine at `hz`, `left` and `right` of full scale in each channel.
std::vector<std::int16_t> StereoSine(double hz, std::uint32_t rate, double seconds, double left,
                                     double right) {
    std::size_t frames = static_cast<std::size_t>(rate * seconds);
    std::vector<std::int16_t> out(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        double s = std::sin(2 * std::numbers::pi * hz * static_cast<double>(i) / rate);
        out[2 * i] = static_cast<std::int16_t>(std::lround(s * left * 32767));
        out[2 * i + 1] = static_cast<std::int16_t>(std::lround(s * right * 32767));
    }
    return out;
}

// The frequency from the first and last rising zero crossings, interpolated, and the RMS
// level as a fraction of full scale, over the middle of the sound (no edge transients).
struct Measure {
    double hz = 0, rms = 0;
};
Measure MeasureSine(const std::vector<std::int16_t>& s, std::uint32_t rate) {
    std::size_t from = s.size() / 8, to = s.size() - s.size() / 8;
    double first = -1, last = -1, sum = 0;
    int crossings = 0;
    for (std::size_t i = from; i < to; ++i) {
        sum += static_cast<double>(s[i]) * s[i];
        if (s[i - 1] < 0 && s[i] >= 0) {
            double t = static_cast<double>(i - 1) +
                       static_cast<double>(-s[i - 1]) / (s[i] - static_cast<double>(s[i - 1]));
            if (first < 0) first = t;
            last = t;
            ++crossings;
        }
    }
    Measure m;
    m.hz = (crossings - 1) * static_cast<double>(rate) / (last - first);
    m.rms = std::sqrt(sum / static_cast<double>(to - from)) / 32767;
    return m;
}

// `sound` written as a WAV file at `rate`, read back as a recording at 8 kHz.
std::vector<std::int16_t> ReadAt8000(const std::vector<std::int16_t>& sound, std::uint32_t rate,
                                     std::uint16_t channels) {
    std::string path = Temp("written.wav"), error;
    WavWriter writer;
    EXPECT_EQ(writer.Open(path, rate, channels), "");
    writer.Write(sound);
    EXPECT_EQ(writer.Finish(), "");
    auto mono = ReadRecording(path, 8000, error);
    std::filesystem::remove(path);
    EXPECT_TRUE(mono) << error;
    return mono.value_or(std::vector<std::int16_t>{});
}

// Stereo becomes mono at 8 kHz: the channels are averaged (0.6 and 0.2 make 0.4, whose RMS
// is 0.283), the pitch stays and one second stays one second. A tone near the top of what
// the detector reads (2 kHz) keeps its level through the resampler's pass band.
TEST(RecordingTest, StereoBecomesMonoAt8000KeepingPitchAndLevel) {
    struct Case {
        std::uint32_t rate;
        double hz, hzTolerance, seconds, left, right, rmsTolerance;
    };
    for (Case c : {Case{44100, 440, 0.2, 1.0, 0.6, 0.2, 0.004},
                   Case{48000, 2000, 0.5, 0.5, 0.5, 0.5, 0.01}}) {
        auto mono = ReadAt8000(StereoSine(c.hz, c.rate, c.seconds, c.left, c.right), c.rate, 2);
        ASSERT_NEAR(static_cast<double>(mono.size()), 8000 * c.seconds, 2) << c.hz;
        Measure m = MeasureSine(mono, 8000);
        EXPECT_NEAR(m.hz, c.hz, c.hzTolerance) << c.hz;
        EXPECT_NEAR(m.rms, (c.left + c.right) / 2 / std::numbers::sqrt2, c.rmsTolerance) << c.hz;
    }
}

// Tones above the new band are removed, not folded into it: 8 kHz would land on 3025 Hz
// after a plain cut of 44.1 kHz to a quarter, and on 0 Hz at 8 kHz; 4.5 kHz on 3.5 kHz.
TEST(RecordingTest, TonesAboveTheBandDoNotFoldIntoIt) {
    for (double hz : {8000.0, 4500.0, 15000.0}) {
        auto mono = ReadAt8000(StereoSine(hz, 44100, 1.0, 0.5, 0.5), 44100, 2);
        ASSERT_GT(mono.size(), 4000u) << hz;
        double sum = 0;
        for (std::size_t i = 1000; i < mono.size() - 1000; ++i)
            sum += static_cast<double>(mono[i]) * mono[i];
        double rms = std::sqrt(sum / static_cast<double>(mono.size() - 2000)) / 32767;
        // At least 70 dB below the tone's own level (0.354).
        EXPECT_LT(rms, 0.354 * std::pow(10, -70.0 / 20)) << hz;
    }
}

// FLAC and Ogg (and MP3, where this libsndfile writes it) read like WAV. The MP3 is mono:
// Debian 12's libsndfile reads back the stereo MP3s it writes as noise.
TEST(RecordingTest, CompressedFormatsRead) {
    struct Kind {
        const char* name;
        int format;
        int channels;
        double tolerance;
    };
    for (Kind kind : {Kind{"flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2, 0.004},
                      Kind{"ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 2, 0.03},
                      Kind{"mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 1, 0.03}}) {
        SF_INFO info{};
        info.samplerate = 44100;
        info.channels = kind.channels;
        info.format = kind.format;
        if (!sf_format_check(&info)) continue;
        std::string path = Temp(std::string("tone.") + kind.name);
        SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
        if (!file) continue;  // a format this libsndfile lists but cannot write
        auto sound = StereoSine(330, 44100, 1.0, 0.5, 0.5);
        if (kind.channels == 1) {
            for (std::size_t i = 0; i < sound.size() / 2; ++i)
                sound[i] = sound[2 * i];
        }
        sf_writef_short(file, sound.data(), 44100);
        sf_close(file);
        std::string error;
        auto mono = ReadRecording(path, 8000, error);
        ASSERT_TRUE(mono) << kind.name << ": " << error;
        Measure m = MeasureSine(*mono, 8000);
        EXPECT_NEAR(m.hz, 330, 0.5) << kind.name;
        EXPECT_NEAR(m.rms, 0.5 / std::numbers::sqrt2, kind.tolerance) << kind.name;
        std::filesystem::remove(path);
    }
}

// Missing, empty, foreign and damaged files: one line that names the file, and no sound.
TEST(RecordingTest, UnreadableFilesSayWhyInOneLine) {
    std::string empty = Temp("empty.wav"), text = Temp("text.wav"), damaged = Temp("bad.wav"),
                silent = Temp("nothing.wav");
    std::ofstream(empty).close();
    std::ofstream(text) << "these are not the sounds you are looking for\n";
    {
        std::ofstream out(damaged, std::ios::binary);
        out << "RIFF\x24\x00\x00\x00WAVEfmt " << std::string(8, '\xff') << std::string(40, 'x');
    }
    WavWriter writer;
    ASSERT_EQ(writer.Open(silent, 8000, 1), "");
    ASSERT_EQ(writer.Finish(), "");
    for (const std::string& path : {Temp("missing.wav"), empty, text, damaged, silent}) {
        std::string error;
        auto sound = ReadRecording(path, 8000, error);
        EXPECT_FALSE(sound) << path;
        EXPECT_EQ(error.rfind(path + ": ", 0), 0u) << error;
        EXPECT_GT(error.size(), path.size() + 2) << path;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        std::filesystem::remove(path);
    }
}

// A header's claims are checked before they are believed: a sample rate no recording has
// is refused, and a length the file does not hold reserves nothing like it.
TEST(RecordingTest, HeadersAreNotTakenAtTheirWord) {
    auto wav = [](std::uint32_t rate) {
        std::string path = Temp("rate-" + std::to_string(rate) + ".wav");
        WavWriter writer;
        EXPECT_EQ(writer.Open(path, rate, 1), "");
        writer.Write(StereoSine(440, 8000, 0.1, 0.5, 0.5));
        EXPECT_EQ(writer.Finish(), "");
        return path;
    };
    for (std::uint32_t rate : {999u, 768001u}) {
        std::string path = wav(rate), error;
        EXPECT_FALSE(ReadRecording(path, 8000, error)) << rate;
        EXPECT_EQ(error, path + ": a sample rate of " + std::to_string(rate) +
                             " Hz is not supported (1000 to 768000)");
        std::filesystem::remove(path);
    }
    for (std::uint32_t rate : {1000u, 768000u}) {
        std::string path = wav(rate), error;
        EXPECT_TRUE(ReadRecording(path, 8000, error)) << rate << ": " << error;
        std::filesystem::remove(path);
    }
    // An AU file whose header leaves the length open: 16-bit big-endian at 8000 Hz, mono.
    std::string au = Temp("open-length.au");
    {
        std::ofstream out(au, std::ios::binary);
        const unsigned char header[24] = {'.',  's',  'n',  'd',  0, 0, 0, 24,
                                          0xff, 0xff, 0xff, 0xff, 0, 0, 0, 3,
                                          0,    0,    0x1f, 0x40, 0, 0, 0, 1};
        out.write(reinterpret_cast<const char*>(header), sizeof header);
        for (int i = 0; i < 800; ++i) {
            out.put(static_cast<char>((i % 20) * 10));
            out.put(0);
        }
    }
    std::string error;
    auto sound = ReadRecording(au, 8000, error);
    ASSERT_TRUE(sound) << error;
    EXPECT_NEAR(static_cast<double>(sound->size()), 800, 80);
    EXPECT_LT(sound->capacity(), 8000u * 601);
    std::filesystem::remove(au);
}

// Takes the recording's buffers on the pacing thread, noting the clock, and queues each
// again at once.
struct Listener : WaveInClient {
    WaveIn* in = nullptr;
    std::mutex mutex;
    std::condition_variable cv;
    std::vector<std::vector<std::int16_t>> buffers;
    std::vector<std::uint32_t> times;
    void OnWaveInData(WaveHeader& h) override {
        {
            std::lock_guard lock(mutex);
            buffers.emplace_back(h.data.begin(), h.data.begin() + h.bytesRecorded / 2);
            times.push_back(TickMs());
        }
        cv.notify_all();
        in->AddBuffer(h);
    }
    void WaitFor(std::size_t n) {
        std::unique_lock lock(mutex);
        cv.wait(lock, [&] { return buffers.size() >= n; });
    }
};

// On the fake clock (which moves only as the pacing thread sleeps), buffer k of 2048
// samples arrives 256 × (k + 1) ms after the start, and the recording loops at its end.
TEST(RecordingTest, RecordingIsPacedOnTheClockAndLoops) {
    FakeClock clock(5000);
    ScopedClock scoped(clock);
    auto ramp = std::make_shared<std::vector<std::int16_t>>(3000);
    std::iota(ramp->begin(), ramp->end(), std::int16_t{1});
    RecordingWaveIn in(ramp, 8000);
    Listener listener;
    listener.in = &in;
    EXPECT_NE(in.Open(0, MakePcmFormat(22050, 1), listener), "");
    ASSERT_EQ(in.Open(0, MakePcmFormat(8000, 1), listener), "");
    std::vector<std::int16_t> memory(4 * 2048);
    std::array<WaveHeader, 4> headers;
    for (std::size_t k = 0; k < 4; ++k) {
        headers[k].data = std::span<std::int16_t>(memory.data() + k * 2048, 2048);
        headers[k].bufferLength = 4096;
        in.AddBuffer(headers[k]);
    }
    in.Start();
    listener.WaitFor(5);
    in.Close();
    for (std::size_t k = 0; k < 5; ++k) {
        std::uint32_t due = 5000 + 256 * static_cast<std::uint32_t>(k + 1);
        EXPECT_GE(listener.times[k], due) << k;
        EXPECT_LE(listener.times[k], due + 8) << k;
        ASSERT_EQ(listener.buffers[k].size(), 2048u);
        // Sample n of the stream is ramp[n mod 3000], which holds n mod 3000 + 1.
        for (std::size_t i :
             {std::size_t{0}, std::size_t{951}, std::size_t{952}, std::size_t{2047}})
            EXPECT_EQ(listener.buffers[k][i], static_cast<std::int16_t>((k * 2048 + i) % 3000 + 1))
                << k << " " << i;
    }
    EXPECT_EQ(in.Dropped(), 0u);
}

}  // namespace
}  // namespace platform
