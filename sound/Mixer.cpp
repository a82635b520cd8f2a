#include "sound/Mixer.h"

#include <algorithm>

#include "sound/MixerLock.h"

namespace sound {

Mixer::Mixer() {
    Control title = Title(0, 0, 10, 10, "Master Volume");
    title.attribute1 = 1;
    controls.push_back(title);
    Control volume = Slider(1, 0, 120, 120, 0, 64, 0, 128, 120, "Volume");
    volume.kind = KIND_SLIDER_2;
    controls.push_back(volume);
}

Mixer::~Mixer() {
    Close();
}

std::uint32_t Mixer::ComputeBlockBytes(std::uint32_t perFrame, std::uint32_t rate) {
    std::uint64_t bytes = static_cast<std::uint64_t>(perFrame) * rate * 512 / 32000 + 7;
    return static_cast<std::uint32_t>(bytes & ~std::uint64_t{7});
}

bool Mixer::Open(std::uint32_t rate, bool isStereo, std::uint32_t channelCount,
                 std::unique_ptr<platform::WaveOut> output) {
    if (open) {
        lastError = "the mixer is already open";
        return false;
    }
    if (rate == 0 || rate > 192000 || channelCount == 0 || channelCount > 64) {
        lastError = "unsupported mixer format";
        return false;
    }
    auto guard = HoldMixerLock();
    stereo = isStereo ? 1 : 0;
    sixteenBit = 1;
    masterVolume = 48;
    bytesPerFrame = 2u << stereo;
    blockBytes = ComputeBlockBytes(bytesPerFrame, rate);
    bufferBytes = blockBytes * HEADER_COUNT;
    sampleRate = rate;
    channels.clear();
    for (std::uint32_t i = 0; i < channelCount; ++i) {
        auto channel = std::make_unique<MixerChannel>();
        channel->Prepare(rate, FramesPerBlock(), &masterVolume, static_cast<std::uint8_t>(i + 1));
        channel->SetVolume(32);
        channels.push_back(std::move(channel));
    }
    buffer.assign(bufferBytes / 2, 0);
    const std::size_t blockSamples = blockBytes / 2;
    for (std::uint32_t k = 0; k < HEADER_COUNT; ++k) {
        headers[k].data = std::span<std::int16_t>(buffer.data() + k * blockSamples, blockSamples);
        headers[k].user = k;
        // The short first writes only start the stream of hand-backs.
        headers[k].bufferLength = 8;
    }
    SetControlValue(controls, 1, masterVolume);
    doneHead = doneCount = 0;
    if (output) {
        std::string error = output->Open(platform::MakePcmFormat(rate, stereo ? 2 : 1), *this);
        if (!error.empty()) {
            lastError = error;
            FreeAll();
            return false;
        }
        device = std::move(output);
        device->Pause();
        for (auto& header : headers)
            device->Write(header);
        stopRequested = false;
        thread = std::make_unique<platform::Thread>([this] { OutputThread(); },
                                                    platform::ThreadPriority::TimeCritical);
        device->Restart();
    }
    open = true;
    lastError.clear();
    return true;
}

void Mixer::FreeAll() {
    channels.clear();
    buffer = {};
    for (auto& header : headers)
        header = {};
}

bool Mixer::Close() {
    if (!open) return true;
    if (thread) {
        stopRequested = true;
        wake.Set();
        thread->Join(platform::INFINITE_WAIT);
        thread.reset();
    }
    if (device) {
        device->Reset();
        device->Close();
        device.reset();
    }
    auto guard = HoldMixerLock();
    {
        std::lock_guard lock(doneMutex);
        doneHead = doneCount = 0;
    }
    FreeAll();
    open = false;
    return true;
}

void Mixer::OnWaveOutDone(platform::WaveHeader& header) {
    {
        std::lock_guard lock(doneMutex);
        if (doneCount == doneRing.size()) return;  // cannot happen: each buffer is here once
        doneRing[(doneHead + doneCount++) % doneRing.size()] = header.user;
    }
    wake.Set();
}

void Mixer::OutputThread() {
    while (!stopRequested) {
        wake.Wait(25);
        for (;;) {
            std::uint32_t k;
            {
                std::lock_guard lock(doneMutex);
                if (doneCount == 0 || stopRequested) break;
                k = doneRing[doneHead];
                doneHead = (doneHead + 1) % doneRing.size();
                --doneCount;
            }
            platform::WaveHeader& header = headers[k];
            RenderBlock(header.data);
            header.bufferLength = blockBytes;
            device->Write(header);
        }
    }
}

void Mixer::RenderBlock(std::span<std::int16_t> out) {
    auto guard = HoldMixerLock();
    std::fill(out.begin(), out.end(), std::int16_t{0});
    for (auto& channel : channels)
        channel->Render(out, stereo != 0);
}

void Mixer::SetMasterVolume(std::uint32_t volume) {
    if (!open) return;
    auto guard = HoldMixerLock();
    masterVolume = std::min<std::uint32_t>(volume, 64);
    SetControlValue(controls, 1, masterVolume);
    for (auto& channel : channels) {
        channel->SetVolume(static_cast<std::uint32_t>(channel->Volume()));
    }
}

void Mixer::AttachInstrument(VoiceRoot* instrument, std::uint32_t channel) {
    auto guard = HoldMixerLock();
    if (channel >= channels.size()) return;
    if (instrument) instrument->SetSampleRate(channels[channel]->SampleRate());
    channels[channel]->instrument = instrument;
}

void Mixer::DetachInstrument(std::uint32_t channel) {
    auto guard = HoldMixerLock();
    if (channel < channels.size()) channels[channel]->instrument = nullptr;
}

VoiceRoot* Mixer::GetInstrument(std::uint32_t channel) {
    auto guard = HoldMixerLock();
    return channel < channels.size() ? channels[channel]->instrument : nullptr;
}

MixerChannel* Mixer::GetChannel(std::uint32_t channel) {
    return channel < channels.size() ? channels[channel].get() : nullptr;
}

void Mixer::Lock() {
    MixerLock().Enter();
}

void Mixer::Unlock() {
    MixerLock().Leave();
}

int Mixer::OnControlChanged(const ControlChange& change) {
    if (change.id == 1) SetMasterVolume(static_cast<std::uint32_t>(std::max(0.0f, change.value)));
    return 1;
}

std::span<const Control> Mixer::GetControls() {
    name = "Mixer";
    return controls;
}

}  // namespace sound
