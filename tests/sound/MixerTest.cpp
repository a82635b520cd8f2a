#include "sound/Mixer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "sound/MixerLock.h"

namespace sound {
namespace {

// An instrument that plays one constant value while "sounding".
class ConstantInstrument : public VoiceRoot {
  public:
    explicit ConstantInstrument(std::int32_t value) : value(value) {}
    int OnControlChanged(const ControlChange&) override { return 1; }
    std::span<const Control> GetControls() override { return {}; }
    bool SetSampleRate(std::uint32_t r) override { return rate = r, true; }
    bool Render(std::span<std::int32_t> out) override {
        if (!sounding) return false;
        std::fill(out.begin(), out.end(), value);
        return true;
    }
    int NoteOn(int note, int) override { return sounding = true, note; }
    void NoteOff(int) override { sounding = false; }
    void AllNotesOff() override { sounding = false; }
    bool Load(std::istream&, std::string&) override { return false; }
    bool Save(std::ostream&) override { return false; }
    bool SetControlValue(std::uint8_t, double) override { return false; }
    void SelectRadio(std::uint8_t, std::uint8_t, std::uint8_t) override {}
    double GetControlValue(std::uint8_t) override { return 0; }
    FileType GetFileType() const override { return {"*.x", "X"}; }

    std::int32_t value;
    bool sounding = true;
    std::uint32_t rate = 0;
};

class FailingDevice : public platform::WaveOut {
  public:
    std::string Open(const platform::WaveFormat&, platform::WaveOutClient&) override {
        return "no sound device: none here";
    }
    void Write(platform::WaveHeader&) override {}
    void Pause() override {}
    void Restart() override {}
    void Reset() override {}
    void Close() override {}
};

std::vector<std::int16_t> Block(Mixer& mixer) {
    std::vector<std::int16_t> out(mixer.FramesPerBlock() << (mixer.Stereo() ? 1 : 0), 99);
    mixer.RenderBlock(out);
    return out;
}

TEST(MixerTest, BlockSizesFollowTheRateAndGainsTheVolumes) {
    EXPECT_EQ(Mixer::ComputeBlockBytes(2, 22050), 712u);
    EXPECT_EQ(Mixer::ComputeBlockBytes(4, 44100), 2824u);
    Mixer mixer;
    ASSERT_TRUE(mixer.Open(22050, false, 6, nullptr));
    EXPECT_EQ(mixer.BlockBytes(), 712u);
    EXPECT_EQ(mixer.FramesPerBlock(), 356u);
    EXPECT_FALSE(mixer.Open(22050, false, 6, nullptr));
    EXPECT_EQ(mixer.GetChannelCount(), 6u);
    // Volumes and gains.
    EXPECT_EQ(mixer.MasterVolume(), 48u);
    EXPECT_EQ(mixer.GetChannel(0)->Volume(), 32);
    EXPECT_EQ(mixer.GetChannel(0)->Gain(), 24);
    mixer.GetChannel(1)->SetVolume(48);
    mixer.SetMasterVolume(100);
    EXPECT_EQ(mixer.MasterVolume(), 64u);
    EXPECT_EQ(mixer.GetChannel(1)->Gain(), 48);
    mixer.GetChannel(1)->SetVolume(1000);
    EXPECT_EQ(mixer.GetChannel(1)->Volume(), 64);
    ConstantInstrument one(1000);
    mixer.AttachInstrument(&one, 1);
    EXPECT_EQ(one.rate, 22050u);
    auto out = Block(mixer);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int v) { return v == 1000; }));
}

TEST(MixerTest, EmptyMutedAndSilentChannelsAddNothing) {
    Mixer mixer;
    ASSERT_TRUE(mixer.Open(22050, false, 3, nullptr));
    ConstantInstrument muted(5000), silent(5000);
    silent.sounding = false;
    mixer.AttachInstrument(&muted, 0);
    mixer.GetChannel(0)->SetMute(true);
    mixer.AttachInstrument(&silent, 1);
    auto out = Block(mixer);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int v) { return v == 0; }));
    mixer.DetachInstrument(0);
    EXPECT_EQ(mixer.GetInstrument(0), nullptr);
    EXPECT_EQ(mixer.GetInstrument(1), &silent);
    EXPECT_EQ(mixer.GetInstrument(3), nullptr);
}

TEST(MixerTest, FullScaleChannelsClipInsteadOfWrapping) {
    for (std::int32_t value : {32767, -32768}) {
        Mixer mixer;
        ASSERT_TRUE(mixer.Open(22050, false, 2, nullptr));
        mixer.SetMasterVolume(64);
        ConstantInstrument a(value), b(value);
        for (std::uint32_t c = 0; c < 2; ++c)
            mixer.GetChannel(c)->SetVolume(64);
        mixer.AttachInstrument(&a, 0);
        mixer.AttachInstrument(&b, 1);
        auto out = Block(mixer);
        std::int16_t expected = value > 0 ? 32767 : -32768;
        EXPECT_TRUE(std::all_of(out.begin(), out.end(), [&](int v) { return v == expected; }));
    }
}

TEST(MixerTest, PanSplitsStereo) {
    Mixer mixer;
    ASSERT_TRUE(mixer.Open(44100, true, 1, nullptr));
    mixer.SetMasterVolume(64);
    MixerChannel& channel = *mixer.GetChannel(0);
    channel.SetVolume(64);
    ConstantInstrument tone(1001);
    mixer.AttachInstrument(&tone, 0);
    channel.SetPan(0);
    EXPECT_EQ(channel.Pan(), 128);
    auto out = Block(mixer);
    EXPECT_EQ(out[0], 500);
    EXPECT_EQ(out[1], 500);
    channel.SetPan(127);
    EXPECT_EQ(channel.Pan(), 255);
    out = Block(mixer);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], (1001 * 255) >> 8);
    channel.SetPan(-128);
    out = Block(mixer);
    EXPECT_EQ(out[0], 1001 * 255 >> 8);
    EXPECT_EQ(out[1], 0);
    channel.SetPan(-200);  // below −128 wraps high
    EXPECT_EQ(channel.Pan(), 255);
    channel.OnControlChanged({2, 40, 32768});  // the second value form: × 4 − 128
    EXPECT_EQ(channel.Pan(), 160);
}

TEST(MixerTest, FailedOpenLeavesAMixerWithoutChannels) {
    Mixer mixer;
    EXPECT_FALSE(mixer.Open(22050, false, 6, std::make_unique<FailingDevice>()));
    EXPECT_EQ(mixer.LastError(), "no sound device: none here");
    EXPECT_FALSE(mixer.IsOpen());
    EXPECT_EQ(mixer.GetChannelCount(), 0u);
    ConstantInstrument tone(1);
    mixer.AttachInstrument(&tone, 0);
    mixer.DetachInstrument(0);
    EXPECT_EQ(mixer.GetInstrument(0), nullptr);
    mixer.Lock();
    mixer.Unlock();
    EXPECT_TRUE(mixer.Close());
    EXPECT_TRUE(mixer.Close());
}

TEST(MixerTest, Panels) {
    Mixer mixer;
    ASSERT_TRUE(mixer.Open(22050, false, 12, nullptr));
    EXPECT_EQ(mixer.GetControls().size(), 2u);
    EXPECT_EQ(mixer.Name(), "Mixer");
    EXPECT_EQ(mixer.GetControls()[1].value, 48.0f);
    mixer.OnControlChanged({1, 20});
    EXPECT_EQ(mixer.MasterVolume(), 20u);
    auto first = mixer.GetChannel(0)->GetControls();
    auto last = mixer.GetChannel(11)->GetControls();
    EXPECT_EQ(first.size(), 11u);
    EXPECT_EQ(first[0].label, "Channel: 01");
    EXPECT_EQ(last[0].label, "Channel: 12");
    EXPECT_EQ(mixer.GetChannel(0)->OnControlChanged({8, 1}), 0);  // no effect in the slot
    EXPECT_EQ(mixer.GetChannel(0)->OnControlChanged({99, 1}), 1);
    mixer.GetChannel(0)->OnControlChanged({1, 10});
    EXPECT_EQ(mixer.GetChannel(0)->Volume(), 10);
}

}  // namespace
}  // namespace sound
