#include "detect/AudioCapture.h"

#include <algorithm>

namespace detect {

AudioCapture::~AudioCapture() {
    Stop();
}

void AudioCapture::SetDevice(std::unique_ptr<platform::WaveIn> newDevice) {
    std::lock_guard lock(control);
    if (!thread) device = std::move(newDevice);
}

bool AudioCapture::Configure(Callback cb, platform::ThreadPriority p, std::uint16_t count,
                             std::uint32_t size, std::uint16_t channels, std::uint32_t rate,
                             std::uint16_t bits) {
    std::lock_guard lock(control);
    callback = std::move(cb);
    priority = p;
    bufferCount = count;
    bufferSize = size;
    format.formatTag = 1;
    format.channels = channels;
    format.samplesPerSec = rate;
    format.bitsPerSample = bits;
    format.blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
    format.avgBytesPerSec = format.blockAlign * rate;
    configured = true;
    return true;
}

bool AudioCapture::StartCapture(Callback cb, std::uint32_t rate, std::uint32_t size,
                                std::uint16_t bits, std::uint16_t channels) {
    Configure(std::move(cb), platform::ThreadPriority::Normal, 4, size, channels, rate, bits);
    return Start();
}

bool AudioCapture::Start() {
    std::lock_guard lock(control);
    auto fail = [this](std::string reason) {
        Release();
        std::lock_guard guard(mutex);
        lastError = std::move(reason);
        return false;
    };
    if (thread) return false;  // running: nothing changes, not even the last error
    if (!configured) return fail("capture is not configured");
    if (bufferCount == 0 || bufferSize < 2) return fail("no capture buffers");
    std::size_t samples = bufferSize / 2;
    memory.assign(samples * (bufferCount + 1u), 0);
    headers.assign(bufferCount, platform::WaveHeader{});
    for (std::uint16_t i = 0; i < bufferCount; ++i) {
        headers[i].data = std::span<std::int16_t>(memory.data() + i * samples, samples);
        headers[i].bufferLength = bufferSize;
        headers[i].user = i;
    }
    {
        std::lock_guard guard(mutex);
        filled.clear();
        filled.reserve(bufferCount);
        stopRequested = false;
    }
    if (std::string reason = OpenDevice(); !reason.empty()) return fail(reason);
    for (platform::WaveHeader& h : headers)
        device->AddBuffer(h);
    // The thread keeps its own callback: Configure during a run changes only the next one.
    thread =
        std::make_unique<platform::Thread>([this, cb = callback] { CaptureLoop(cb); }, priority);
    running = true;
    device->Start();
    std::lock_guard guard(mutex);
    lastError.clear();
    return true;
}

// Opens the first device that accepts the format; "" or why none did.
std::string AudioCapture::OpenDevice() {
    if (!device) return "no input device";
    std::size_t count = device->DeviceCount();
    if (count == 0) return "no input device";
    std::string reason;
    for (std::size_t id = 0; id < count; ++id) {
        reason = device->Open(id, format, *this);
        if (reason.empty()) {
            deviceOpen = true;
            return {};
        }
    }
    return reason;
}

bool AudioCapture::Stop() {
    std::lock_guard lock(control);
    if (!thread) return false;
    {
        std::lock_guard guard(mutex);
        stopRequested = true;
    }
    wake.notify_one();
    // A callback cannot be cut off safely, so this waits for the one under way to return.
    thread->Join(platform::INFINITE_WAIT);
    thread.reset();
    running = false;
    Release();
    return true;
}

// Closes the device and frees the buffers; the configuration stays.
void AudioCapture::Release() {
    if (device && deviceOpen) {
        device->Stop();
        device->Reset();
        device->Close();
    }
    deviceOpen = false;
    headers.clear();
    memory.clear();
    std::lock_guard guard(mutex);
    filled.clear();
}

std::string AudioCapture::LastError() const {
    std::lock_guard guard(mutex);
    return lastError;
}

void AudioCapture::OnWaveInData(platform::WaveHeader& header) {
    {
        std::lock_guard guard(mutex);
        if (filled.size() == filled.capacity()) return;  // not one of ours
        filled.push_back(&header);
    }
    wake.notify_one();
}

void AudioCapture::CaptureLoop(const Callback& cb) {
    std::unique_lock guard(mutex);
    for (;;) {
        wake.wait(guard, [this] { return stopRequested || !filled.empty(); });
        if (stopRequested) return;
        platform::WaveHeader* header = filled.front();
        filled.erase(filled.begin());
        guard.unlock();
        // No lock is held while the callback runs.
        std::size_t bytes = std::min<std::size_t>(header->bytesRecorded, header->data.size_bytes());
        if (cb) cb(std::span<const std::int16_t>(header->data.data(), bytes / 2));
        device->AddBuffer(*header);
        guard.lock();
    }
}

}  // namespace detect
