#pragma once
// Test signals at the capture rate: sines, plucked strings and noise, as 16-bit buffers.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <span>
#include <vector>

namespace detect::test {

// A sine at `dbfs` (0 = full scale) from phase 0, `count` samples at 8000 Hz.
inline std::vector<std::int16_t> Sine(double hz, double dbfs, std::size_t count,
                                      double rate = 8000.0) {
    std::vector<std::int16_t> out(count);
    double amplitude = 32767.0 * std::pow(10.0, dbfs / 20.0);
    for (std::size_t i = 0; i < count; ++i)
        out[i] = static_cast<std::int16_t>(
            std::lround(amplitude * std::sin(2.0 * std::numbers::pi * hz * i / rate)));
    return out;
}

// Adds white noise `snrDb` below the signal's own RMS, saturating at 16 bits.
inline void AddNoise(std::vector<std::int16_t>& samples, double snrDb, std::uint32_t seed = 7) {
    double energy = 0.0;
    for (std::int16_t s : samples)
        energy += static_cast<double>(s) * s;
    double rms = std::sqrt(energy / static_cast<double>(samples.size()));
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, rms * std::pow(10.0, -snrDb / 20.0));
    for (std::int16_t& s : samples) {
        double v = std::clamp(s + noise(random), -32768.0, 32767.0);
        s = static_cast<std::int16_t>(std::lround(v));
    }
}

}  // namespace detect::test

#include <array>

#include "sound/PluckedString.h"

namespace detect::test {

// Frets of the six strings, low E first; -1 leaves a string unplayed.
using Shape = std::array<int, 6>;

// 22050 Hz to 8000 Hz through a windowed-sinc low-pass at 3600 Hz, as a recording would be
// resampled for the detector.
inline std::vector<double> To8k(const std::vector<double>& in) {
    constexpr double RATIO = 22050.0 / 8000.0;
    constexpr int HALF_TAPS = 24;
    constexpr double CUTOFF = 3600.0 / 22050.0;  // cycles per input sample
    std::vector<double> out(static_cast<std::size_t>(static_cast<double>(in.size()) / RATIO));
    for (std::size_t m = 0; m < out.size(); ++m) {
        double centre = static_cast<double>(m) * RATIO;
        auto first = static_cast<long>(std::floor(centre)) - HALF_TAPS + 1;
        double sum = 0.0;
        for (long n = first; n < first + 2 * HALF_TAPS; ++n) {
            if (n < 0 || n >= static_cast<long>(in.size())) continue;
            double t = static_cast<double>(n) - centre;
            double sinc = t == 0.0 ? 1.0
                                   : std::sin(2.0 * std::numbers::pi * CUTOFF * t) /
                                         (std::numbers::pi * CUTOFF * t) / 2.0;
            double window = 0.5 + 0.5 * std::cos(std::numbers::pi * t / HALF_TAPS);
            sum += in[static_cast<std::size_t>(n)] * 2.0 * CUTOFF * sinc * window;
        }
        out[m] = sum;
    }
    return out;
}

// The strings of `shape` plucked low to high `gapMs` apart by the program's own string
// model, resampled to 8000 Hz, the mix scaled to peak at `dbfs`.
inline std::vector<std::int16_t> Strum(const Shape& shape, double seconds, double dbfs = -6.0,
                                       double gapMs = 20.0) {
    std::vector<double> mix(static_cast<std::size_t>(seconds * 22050.0), 0.0);
    std::size_t offset = 0;
    for (int string = 0; string < 6; ++string) {
        if (shape[static_cast<std::size_t>(string)] < 0) continue;
        sound::PluckSettings settings = sound::GuitarStringSettings(string);
        settings.frequency *= std::pow(2.0, shape[static_cast<std::size_t>(string)] / 12.0);
        settings.seconds = seconds;
        std::vector<std::int16_t> note = sound::RenderPluckedString(settings);
        for (std::size_t i = 0; i + offset < mix.size() && i < note.size(); ++i)
            mix[i + offset] += note[i];
        offset += static_cast<std::size_t>(gapMs * 22.05);
    }
    std::vector<double> low = To8k(mix);
    double peak = 1.0;
    for (double v : low)
        peak = std::max(peak, std::fabs(v));
    double scale = 32767.0 * std::pow(10.0, dbfs / 20.0) / peak;
    std::vector<std::int16_t> out(low.size());
    for (std::size_t i = 0; i < low.size(); ++i)
        out[i] = static_cast<std::int16_t>(std::lround(low[i] * scale));
    return out;
}

}  // namespace detect::test
