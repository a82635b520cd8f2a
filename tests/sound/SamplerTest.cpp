#include "sound/Sampler.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Clock.h"
#include "sound/Wavetables.h"

namespace sound {
namespace {

std::vector<std::int16_t> Ramp(std::size_t n) {
    std::vector<std::int16_t> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = static_cast<std::int16_t>(i * 7 % 20000);
    return v;
}

void PutU32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s.push_back(static_cast<char>(v >> (8 * i)));
}

// A patch followed by a hand-made sample record.
std::string SamplerFile(std::uint32_t frames, std::uint32_t written, std::uint32_t root,
                        std::uint32_t rate, std::uint8_t mode, std::uint32_t start,
                        std::uint32_t end) {
    std::ostringstream out;
    WritePatch(out, Patch{});
    std::string s = out.str();
    PutU32(s, frames);
    for (std::uint32_t i = 0; i < written; ++i)
        s += std::string("\x10\x00", 2);
    PutU32(s, root);
    PutU32(s, rate);
    s.push_back(static_cast<char>(mode));
    PutU32(s, start);
    PutU32(s, end);
    return s;
}

TEST(SampleTest, RootNoteLoopsAndEightBitConversion) {
    Sample s;
    s.SetRootNote(45);
    EXPECT_EQ(s.RootFrequency(), 110u);
    s.Assign16(Ramp(1000), 22050);
    EXPECT_TRUE(s.SetLoop(Sample::LOOP_POINTS, 0, 0));
    EXPECT_EQ(s.LoopEnd(), 999u);
    EXPECT_FALSE(s.SetLoop(Sample::LOOP_ALL, 10, 1001));
    EXPECT_EQ(s.GetLoopMode(), Sample::LOOP_POINTS);
    EXPECT_EQ(s.LoopEnd(), 999u);
    Sample eight;
    eight.Assign8({0, 128, 255}, 8000);
    EXPECT_TRUE(eight.IsEightBit());
    EXPECT_TRUE(eight.Data().empty());
    eight.ConvertTo16Bit();
    ASSERT_EQ(eight.Data().size(), 3u);
    EXPECT_EQ(eight.Data()[0], -32768);
    EXPECT_EQ(eight.Data()[1], 0);
    EXPECT_EQ(eight.Data()[2], 127 * 256);
}

TEST(SamplerTest, RootFrequencyAtItsOwnNoteStepsOneFrame) {
    Sampler sampler;
    sampler.SetSampleRate(22050);
    Sample s;
    s.Assign16(Ramp(5000), 22050);
    s.SetRootFrequency(110);
    sampler.SetSample(std::move(s));
    sampler.SetLevels(64, 0, 0, 0);
    EXPECT_EQ(sampler.GetTable(0), &sampler.GetSample());
    EXPECT_EQ(sampler.GetTable(1), &SharedWavetables()[0]);
    sampler.UseSample(1, nullptr);
    sampler.NoteOn(45, 64);
    EXPECT_EQ(sampler.GetVoice(0).oscillators[0].Step(), 4096);
    // A one-shot sample ends its voice when it runs out.
    std::vector<std::int32_t> out(6000);
    sampler.Render(out);
    EXPECT_TRUE(sampler.GetVoice(0).idle);
}

TEST(SamplerTest, FileWithoutASampleLoadsSilent) {
    std::ostringstream out;
    WritePatch(out, Patch{});
    std::string bytes = out.str();
    PutU32(bytes, 0);
    ASSERT_EQ(bytes.size(), 163u);
    Sampler sampler;
    sampler.SetSampleRate(22050);
    std::istringstream in(bytes);
    std::string error;
    ASSERT_TRUE(sampler.Load(in, error)) << error;
    EXPECT_EQ(sampler.GetTable(0), nullptr);
    sampler.NoteOn(69, 64);
    std::vector<std::int32_t> rendered(1000, 1);
    sampler.Render(rendered);
    EXPECT_TRUE(std::all_of(rendered.begin(), rendered.end(), [](int v) { return v == 0; }));
}

TEST(SamplerTest, DamagedRecordsAreRefusedAndTheOldSampleStays) {
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"frames beyond the file", SamplerFile(1000, 10, 440, 22050, 0, 0, 9)},
        {"frames beyond the limit", SamplerFile(MAX_SAMPLE_FRAMES + 1, 4, 440, 22050, 0, 0, 0)},
        {"huge frame count", SamplerFile(0xFFFFFFFF, 4, 440, 22050, 0, 0, 0)},
        {"loop end outside", SamplerFile(10, 10, 440, 22050, 2, 0, 10)},
        {"loop start outside", SamplerFile(10, 10, 440, 22050, 2, 50, 5)},
        {"zero root", SamplerFile(10, 10, 0, 22050, 0, 0, 9)},
        {"zero rate", SamplerFile(10, 10, 440, 0, 0, 0, 9)},
        {"loop mode 3", SamplerFile(10, 10, 440, 22050, 3, 0, 9)},
        {"cut in the fields", SamplerFile(10, 10, 440, 22050, 0, 0, 9).substr(0, 159 + 4 + 20 + 6)},
        {"cut in the count", SamplerFile(10, 10, 440, 22050, 0, 0, 9).substr(0, 161)},
    };
    for (const auto& [what, bytes] : cases) {
        Sampler sampler;
        Sample s;
        s.Assign16(Ramp(50), 22050);
        sampler.SetSample(std::move(s));
        sampler.SetCutoff(1234);
        std::istringstream in(bytes);
        std::string error;
        EXPECT_FALSE(sampler.Load(in, error)) << what;
        EXPECT_FALSE(error.empty()) << what;
        EXPECT_EQ(sampler.GetSample().Length(), 50u) << what;
        EXPECT_EQ(sampler.GetTable(0), &sampler.GetSample()) << what;
        EXPECT_EQ(sampler.GetPatch().cutoff, 1234) << what;
    }
    // The well-formed file of the same shape loads.
    Sampler sampler;
    std::istringstream in(SamplerFile(10, 10, 440, 22050, 2, 0, 9));
    std::string error;
    EXPECT_TRUE(sampler.Load(in, error)) << error;
}

// Rates, root frequencies and loop points just inside and just outside what is accepted.
TEST(SamplerTest, RecordBoundsHoldAtTheirEdges) {
    struct Case {
        const char* what;
        std::string bytes;
        bool loads;
    };
    const std::vector<Case> cases = {
        {"rate 999", SamplerFile(10, 10, 440, 999, 0, 0, 9), false},
        {"rate 1000", SamplerFile(10, 10, 440, 1000, 0, 0, 9), true},
        {"rate 192000", SamplerFile(10, 10, 440, 192000, 0, 0, 9), true},
        {"rate 192001", SamplerFile(10, 10, 440, 192001, 0, 0, 9), false},
        {"root 7", SamplerFile(10, 10, 7, 22050, 0, 0, 9), false},
        {"root 8", SamplerFile(10, 10, 8, 22050, 0, 0, 9), true},
        {"root 20000", SamplerFile(10, 10, 20000, 22050, 0, 0, 9), true},
        {"root 20001", SamplerFile(10, 10, 20001, 22050, 0, 0, 9), false},
        {"loop start after end", SamplerFile(10, 10, 440, 22050, 2, 6, 5), false},
        {"loop of no length", SamplerFile(10, 10, 440, 22050, 2, 5, 5), false},
        {"loop end 0", SamplerFile(10, 10, 440, 22050, 2, 0, 0), false},
        {"loop of one frame", SamplerFile(10, 10, 440, 22050, 2, 4, 5), true},
        {"loop from 0 to 1", SamplerFile(10, 10, 440, 22050, 2, 0, 1), true},
        // Only looping between the points reads them.
        {"whole loop, points 0", SamplerFile(10, 10, 440, 22050, 1, 0, 0), true},
        {"one-shot, start after end", SamplerFile(10, 10, 440, 22050, 0, 6, 5), true},
    };
    for (const Case& c : cases) {
        Sampler sampler;
        Sample old;
        old.Assign16(Ramp(50), 22050);
        sampler.SetSample(std::move(old));
        std::istringstream in(c.bytes);
        std::string error;
        EXPECT_EQ(sampler.Load(in, error), c.loads) << c.what;
        EXPECT_EQ(error.empty(), c.loads) << c.what;
        EXPECT_EQ(sampler.GetSample().Length(), c.loads ? 10u : 50u) << c.what;
    }
}

TEST(SamplerTest, PlayControlSoundsA4WithoutTheSecondOscillator) {
    platform::FakeClock clock;
    platform::ScopedClock scoped(clock);
    Sampler sampler;
    sampler.SetSampleRate(22050);
    sampler.SetWaveform(1, WAVE_SAW);
    const Sample* second = sampler.GetTable(1);
    std::uint32_t before = clock.NowMs();
    EXPECT_EQ(sampler.OnControlChanged({Sampler::PLAY_CONTROL, 1}), 1);
    EXPECT_EQ(clock.NowMs() - before, 500u);
    const Voice& v = sampler.GetVoice(0);
    EXPECT_EQ(v.note, 69);
    EXPECT_EQ(v.gain, 48);
    EXPECT_EQ(v.oscillatorCount, 1u);
    EXPECT_FALSE(v.ampEnvelope.Held());
    EXPECT_EQ(sampler.GetTable(1), second);
}

class PatchFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir =
            std::filesystem::temp_directory_path() /
            ("fretlore-sound-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
};

TEST_F(PatchFileTest, SavesWholeFilesAndLoadsThemBack) {
    Sampler a;
    Sample s;
    s.Assign16(Ramp(100), 22050);
    a.SetSample(std::move(s));
    EXPECT_EQ(a.GetFileType().pattern, std::string("*.sampler"));
    EXPECT_EQ(SavePatchFile(a, dir / "x.sampler"), "");
    EXPECT_EQ(std::filesystem::file_size(dir / "x.sampler"), PATCH_BYTES + 4 + 200 + 17);
    EXPECT_FALSE(std::filesystem::exists(dir / "x.sampler.tmp"));
    // Readable by all, as the program's other files (the umask is the user's to narrow).
    mode_t oldMask = umask(022);
    EXPECT_EQ(SavePatchFile(a, dir / "g1.sampler"), "");
    umask(oldMask);
    EXPECT_EQ(std::filesystem::status(dir / "g1.sampler").permissions(),
              std::filesystem::perms(0644));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2);
    Sampler b;
    EXPECT_EQ(LoadPatchFile(b, dir / "x.sampler"), "");
    EXPECT_EQ(b.GetSample().Length(), 100u);
    EXPECT_NE(SavePatchFile(a, dir / "missing" / "x.sampler"), "");
    EXPECT_NE(LoadPatchFile(b, dir / "nothing.sampler"), "");
}

TEST_F(PatchFileTest, StringFallsBackToTheSynthesisedGuitar) {
    Sampler sampler;
    std::string message;
    EXPECT_FALSE(SetUpStringInstrument(sampler, dir / "g1.sampler", message));
    EXPECT_NE(message.find("g1.sampler"), std::string::npos);
    EXPECT_EQ(sampler.GetPatch().waveform[0], WAVE_SAW);
    EXPECT_DOUBLE_EQ(sampler.GetPatch().pitch[1], 0.2);
    EXPECT_EQ(sampler.GetPatch().cutoff, 7000);
    EXPECT_EQ(sampler.GetPatch().filterEnvelopeOn, 1);

    std::ofstream(dir / "g2.sampler", std::ios::binary) << "damaged";
    Sampler second;
    EXPECT_FALSE(SetUpStringInstrument(second, dir / "g2.sampler", message));
    EXPECT_NE(message.find("damaged"), std::string::npos);
    EXPECT_EQ(second.GetPatch().cutoff, 7000);
}

}  // namespace
}  // namespace sound
