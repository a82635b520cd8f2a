#pragma once
// The mixer: a row of channels, each playing one instrument, summed into 16-bit blocks
// that an output thread streams to the sound device through a ring of 32 buffers.
//
// Threads: Open, Close, attaching and detaching run on the main thread; the output
// thread renders each buffer the device hands back, holding the mixer lock.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "platform/Thread.h"
#include "platform/audio/WaveOut.h"
#include "sound/MixerChannel.h"

namespace sound {

class Mixer : public VisualInterface, private platform::WaveOutClient {
  public:
    static constexpr std::uint32_t HEADER_COUNT = 32;

    Mixer();
    ~Mixer() override;
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // Bytes in one device buffer: about 16 ms, a multiple of 8.
    static std::uint32_t ComputeBlockBytes(std::uint32_t bytesPerFrame, std::uint32_t rate);

    // Builds the channels and buffers and starts streaming to `device`. With no device
    // there is no thread either: the caller renders blocks itself with RenderBlock.
    // Returns false (see LastError) when already open or when the device fails to open.
    bool Open(std::uint32_t sampleRate, bool stereo, std::uint32_t channelCount,
              std::unique_ptr<platform::WaveOut> device);
    // Stops the thread and the device and frees everything. Always true.
    bool Close();
    const std::string& LastError() const { return lastError; }
    bool IsOpen() const { return open; }

    void SetMasterVolume(std::uint32_t volume);
    std::uint32_t MasterVolume() const { return masterVolume; }
    // Gives the instrument the channel's rate and puts it on the channel (not owned).
    void AttachInstrument(VoiceRoot* instrument, std::uint32_t channel);
    void DetachInstrument(std::uint32_t channel);
    std::uint32_t GetChannelCount() const { return static_cast<std::uint32_t>(channels.size()); }
    VoiceRoot* GetInstrument(std::uint32_t channel);
    MixerChannel* GetChannel(std::uint32_t channel);
    void Lock();
    void Unlock();

    std::uint32_t SampleRate() const { return sampleRate; }
    std::uint32_t BlockBytes() const { return blockBytes; }
    std::uint32_t FramesPerBlock() const { return blockBytes >> stereo >> 1; }
    bool Stereo() const { return stereo != 0; }
    // Mixes one block (FramesPerBlock frames) into `out`, holding the mixer lock.
    void RenderBlock(std::span<std::int16_t> out);

    int OnControlChanged(const ControlChange& change) override;
    std::span<const Control> GetControls() override;

  private:
    void OnWaveOutDone(platform::WaveHeader& header) override;
    void OutputThread();
    void FreeAll();

    std::unique_ptr<platform::WaveOut> device;
    std::vector<std::int16_t> buffer;  // the 32 device buffers end to end
    std::array<platform::WaveHeader, HEADER_COUNT> headers{};
    std::vector<std::unique_ptr<MixerChannel>> channels;
    std::unique_ptr<platform::Thread> thread;
    std::atomic<bool> stopRequested{false};
    platform::AutoResetEvent wake;  // a buffer came back, or the thread should stop

    // Buffers handed back by the device, waiting for the output thread.
    std::mutex doneMutex;
    std::array<std::uint32_t, 2 * HEADER_COUNT> doneRing{};
    std::size_t doneHead = 0, doneCount = 0;

    std::vector<Control> controls;
    std::string lastError;
    bool open = false;
    std::uint32_t sampleRate = 0;
    std::uint32_t blockBytes = 0;
    std::uint32_t bufferBytes = 0;
    std::uint32_t bytesPerFrame = 2;
    std::uint8_t stereo = 0;         // used as a shift
    std::uint8_t sixteenBit = 1;     // used as a shift
    std::uint32_t masterVolume = 0;  // 0..64
};

}  // namespace sound
