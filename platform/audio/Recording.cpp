#include "platform/audio/Recording.h"

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <span>

#include "platform/Clock.h"

namespace platform {

namespace {

struct SndFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
struct ResamplerDeleter {
    void operator()(SRC_STATE* state) const { src_delete(state); }
};

constexpr sf_count_t BLOCK_FRAMES = 4096;

// Mixes one block of interleaved frames down to mono, in place.
void MixToMono(std::vector<float>& block, sf_count_t frames, int channels) {
    for (sf_count_t f = 0; f < frames; ++f) {
        float sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += block[static_cast<std::size_t>(f * channels + c)];
        block[static_cast<std::size_t>(f)] = sum / static_cast<float>(channels);
    }
}

void AppendAsShorts(std::vector<std::int16_t>& out, std::span<const float> in) {
    std::size_t at = out.size();
    out.resize(at + in.size());
    src_float_to_short_array(in.data(), out.data() + at, static_cast<int>(in.size()));
}

// Lowers a rate by a whole factor ahead of the resampler, whose sinc filter costs in
// proportion to how far it lowers the rate: 44.1 kHz goes to 11025 Hz first, which halves
// the time a 44.1 kHz recording takes to read. The low-pass (a Blackman-Harris windowed
// sinc) keeps the band the resampler will pass and removes, by about 90 dB, everything
// that would fold into it.
class Decimator {
  public:
    Decimator(int factor, double inRate, double passHz) : factor(factor) {
        if (factor <= 1) return;
        double stopHz = inRate / factor - passHz;
        auto n = static_cast<std::size_t>(std::ceil(8.0 * inRate / (stopHz - passHz))) | 1u;
        double cutoff = (passHz + stopHz) / 2 / inRate;  // cycles per sample
        taps.resize(n);
        double sum = 0;
        for (std::size_t k = 0; k < n; ++k) {
            double x = static_cast<double>(k) - static_cast<double>(n - 1) / 2;
            double sinc =
                x == 0 ? 2 * cutoff
                       : std::sin(2 * std::numbers::pi * cutoff * x) / (std::numbers::pi * x);
            double w = 2 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(n - 1);
            double window = 0.35875 - 0.48829 * std::cos(w) + 0.14128 * std::cos(2 * w) -
                            0.01168 * std::cos(3 * w);
            taps[k] = static_cast<float>(sinc * window);
            sum += taps[k];
        }
        for (float& t : taps)
            t = static_cast<float>(t / sum);  // unity gain at DC
        pending.assign(n - 1, 0.0f);          // the filter starts on silence
    }

    // The samples of `in` at the lower rate (all of them when the factor is 1).
    std::span<const float> Process(std::span<const float> in) {
        if (factor <= 1) return in;
        pending.insert(pending.end(), in.begin(), in.end());
        out.clear();
        std::size_t at = 0;
        for (; at + taps.size() <= pending.size(); at += static_cast<std::size_t>(factor)) {
            float y = 0;
            for (std::size_t k = 0; k < taps.size(); ++k)
                y += taps[k] * pending[at + k];
            out.push_back(y);
        }
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(at));
        return out;
    }

  private:
    int factor;
    std::vector<float> taps, pending, out;
};

// The whole factor to lower `inRate` by before resampling to `rate`: as large as leaves
// the resampler a quarter of headroom above its output rate.
int DecimationFactor(int inRate, std::uint32_t rate) {
    return std::max(1, static_cast<int>(inRate / (1.25 * rate)));
}

// Streams the file through the resampler: the whole recording is never held at its own rate.
std::string Convert(SNDFILE* file, const SF_INFO& info, std::uint32_t rate,
                    std::vector<std::int16_t>& out) {
    int status = 0;
    // Sinc "fastest" still passes 80 % of the new band (to 3.2 kHz at 8 kHz) with 97 dB of
    // stopband, more than the detector listens to, at a fraction of the better ones' cost.
    std::unique_ptr<SRC_STATE, ResamplerDeleter> resampler(src_new(SRC_SINC_FASTEST, 1, &status));
    if (!resampler) return std::string("cannot resample: ") + src_strerror(status);
    const int factor = DecimationFactor(info.samplerate, rate);
    Decimator decimator(factor, info.samplerate, 0.4 * rate);
    const double ratio = static_cast<double>(rate) * factor / info.samplerate;
    std::vector<float> in(static_cast<std::size_t>(BLOCK_FRAMES * info.channels));
    std::vector<float> converted(static_cast<std::size_t>(BLOCK_FRAMES * ratio) + 64);
    // The header's length is only a claim: room for ten minutes at most is made up front.
    double expected = static_cast<double>(info.frames) * rate / info.samplerate;
    out.reserve(static_cast<std::size_t>(std::clamp(expected, 0.0, 600.0 * rate)) + 64);
    bool ended = false;
    while (!ended) {
        sf_count_t frames = sf_readf_float(file, in.data(), BLOCK_FRAMES);
        if (sf_error(file) != SF_ERR_NO_ERROR) return sf_strerror(file);
        ended = frames == 0;  // a short read is not yet the end of every format
        MixToMono(in, frames, info.channels);
        std::span<const float> mono =
            decimator.Process(std::span<const float>(in.data(), static_cast<std::size_t>(frames)));
        SRC_DATA data{};
        data.data_in = mono.data();
        data.input_frames = static_cast<long>(mono.size());
        data.src_ratio = ratio;
        data.end_of_input = ended ? 1 : 0;
        do {
            data.data_out = converted.data();
            data.output_frames = static_cast<long>(converted.size());
            if (int e = src_process(resampler.get(), &data); e != 0)
                return std::string("cannot resample: ") + src_strerror(e);
            AppendAsShorts(
                out, std::span<const float>(converted.data(),
                                            static_cast<std::size_t>(data.output_frames_gen)));
            data.data_in += data.input_frames_used;
            data.input_frames -= data.input_frames_used;
        } while (data.input_frames > 0 || (ended && data.output_frames_gen > 0));
    }
    return {};
}

}  // namespace

std::optional<std::vector<std::int16_t>> ReadRecording(const std::string& path, std::uint32_t rate,
                                                       std::string& error) {
    SF_INFO info{};
    std::unique_ptr<SNDFILE, SndFileCloser> file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) {
        error = path + ": " + sf_strerror(nullptr);
        return std::nullopt;
    }
    if (info.channels < 1 || info.samplerate < 1 || rate < 1) {
        error = path + ": no sound in this file";
        return std::nullopt;
    }
    // Below this a header is damaged rather than a recording slow; above it the resampler
    // would need buffers hundreds of times the block.
    if (info.samplerate < MIN_RECORDING_RATE || info.samplerate > MAX_RECORDING_RATE) {
        error = path + ": a sample rate of " + std::to_string(info.samplerate) +
                " Hz is not supported (" + std::to_string(MIN_RECORDING_RATE) + " to " +
                std::to_string(MAX_RECORDING_RATE) + ")";
        return std::nullopt;
    }
    std::vector<std::int16_t> out;
    if (std::string reason = Convert(file.get(), info, rate, out); !reason.empty()) {
        error = path + ": " + reason;
        return std::nullopt;
    }
    if (out.empty()) {
        error = path + ": no sound in this file";
        return std::nullopt;
    }
    return out;
}

RecordingWaveIn::RecordingWaveIn(std::shared_ptr<const std::vector<std::int16_t>> recorded,
                                 std::uint32_t rate)
    : samples(std::move(recorded)), rate(rate) {}

std::string RecordingWaveIn::Open(std::size_t device, const WaveFormat& format,
                                  WaveInClient& client) {
    if (open) return "the recording is already open";
    if (device != 0) return "no such input device";
    if (!samples || samples->empty()) return "the recording holds no sound";
    if (format.formatTag != 1 || format.bitsPerSample != 16 || format.channels != 1 ||
        format.samplesPerSec != rate)
        return "the recording plays 16-bit mono at " + std::to_string(rate) + " Hz only";
    queue.Start(client);
    open = true;
    return {};
}

void RecordingWaveIn::Start() {
    if (!open || thread) return;
    stop = false;
    thread = std::make_unique<Thread>([this] { Run(); }, ThreadPriority::Highest);
}

void RecordingWaveIn::Stop() {
    if (!thread) return;
    stop = true;
    thread->Join(INFINITE_WAIT);
    thread.reset();
}

void RecordingWaveIn::Close() {
    Stop();
    queue.Reset();
    open = false;
}

void RecordingWaveIn::Run() {
    const std::vector<std::int16_t>& all = *samples;
    const std::uint32_t start = TickMs();
    std::uint64_t handed = 0;
    while (!stop) {
        std::uint64_t due = static_cast<std::uint64_t>(TickMs() - start) * rate / 1000;
        while (handed < due && !stop) {
            std::size_t n = std::min<std::uint64_t>({due - handed, PIECE, all.size() - position});
            queue.Push(std::span<const std::int16_t>(all.data() + position, n));
            position = (position + n) % all.size();
            handed += n;
        }
        SleepMs(PERIOD_MS);
    }
}

}  // namespace platform
