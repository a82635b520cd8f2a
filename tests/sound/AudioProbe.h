#pragma once
// Measurements of rendered audio for tests: pitch and level.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <span>
#include <vector>

namespace soundtest {

// Magnitude of the Hann-windowed signal at `hz` (a single DFT bin at any frequency).
template <typename T>
double MagnitudeAt(std::span<const T> signal, double rate, double hz) {
    double re = 0, im = 0;
    const double n = static_cast<double>(signal.size());
    for (std::size_t i = 0; i < signal.size(); ++i) {
        double window = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / n);
        double phase = 2 * std::numbers::pi * hz * i / rate;
        re += signal[i] * window * std::cos(phase);
        im += signal[i] * window * std::sin(phase);
    }
    return std::hypot(re, im);
}

// The frequency of the strongest spectral peak between lo and hi Hz, refined to 0.01 Hz.
template <typename T>
double PeakFrequency(std::span<const T> signal, double rate, double lo, double hi) {
    double best = lo, bestMag = -1;
    for (double hz = lo; hz <= hi; hz += 0.5) {
        double m = MagnitudeAt(signal, rate, hz);
        if (m > bestMag) bestMag = m, best = hz;
    }
    for (double stepHz : {0.1, 0.01}) {
        double centre = best;
        for (double hz = centre - 10 * stepHz; hz <= centre + 10 * stepHz; hz += stepHz) {
            double m = MagnitudeAt(signal, rate, hz);
            if (m > bestMag) bestMag = m, best = hz;
        }
    }
    return best;
}

inline double Cents(double measured, double expected) {
    return 1200.0 * std::log2(measured / expected);
}

template <typename T>
double Rms(std::span<const T> signal) {
    if (signal.empty()) return 0;
    double sum = 0;
    for (T v : signal)
        sum += static_cast<double>(v) * v;
    return std::sqrt(sum / signal.size());
}

template <typename T>
T PeakAbs(std::span<const T> signal) {
    T peak = 0;
    for (T v : signal)
        peak = std::max<T>(peak, v < 0 ? -v : v);
    return peak;
}

}  // namespace soundtest
