#include "sound/PluckedString.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "sound/MixerLock.h"
#include "sound/Oscillator.h"
#include "sound/Wavetables.h"

namespace sound {

namespace {

// A two-pole resonator, as a body mode of the guitar.
struct Resonator {
    Resonator(double hz, double q, double rate) {
        double w = 2 * std::numbers::pi * hz / rate;
        double r = std::exp(-w / (2 * q));
        a1 = 2 * r * std::cos(w);
        a2 = -r * r;
        gain = (1 - r * r) / 2;
    }
    double Process(double x) {
        double y = gain * (x - x2) + a1 * y1 + a2 * y2;
        x2 = x1, x1 = x, y2 = y1, y1 = y;
        return y;
    }
    double a1, a2, gain, x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

class Noise {
  public:
    explicit Noise(std::uint32_t seed) : state(seed * 2654435761u + 1) {}
    double Next() {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        return static_cast<double>(state) / 2147483648.0 - 1.0;
    }

  private:
    std::uint32_t state;
};

}  // namespace

std::vector<std::int16_t> RenderPluckedString(const PluckSettings& s) {
    const double rate = s.sampleRate;
    const double w0 = 2 * std::numbers::pi * s.frequency / rate;
    // The loop filter (1 − S) + S z^-1 delays the fundamental by its phase delay; a
    // first-order all-pass supplies the fraction of a sample the delay line cannot.
    const double S = s.damping;
    const double filterDelay = std::atan2(S * std::sin(w0), (1 - S) + S * std::cos(w0)) / w0;
    const double filterGain = std::hypot((1 - S) + S * std::cos(w0), S * std::sin(w0));
    const double loop = rate / s.frequency - filterDelay;
    const auto length = static_cast<std::size_t>(std::floor(loop - 0.1));
    const double fraction = loop - static_cast<double>(length);
    const double c = (1 - fraction) / (1 + fraction);
    // Loop gain per period so that the fundamental falls 60 dB in decaySeconds.
    const double rho =
        std::min(0.99999, std::pow(10.0, -3.0 / (s.decaySeconds * s.frequency)) / filterGain);

    // Excitation: one period of noise, low-passed by the pick and combed by its position.
    Noise noise(s.seed);
    std::vector<double> excitation(length);
    double smooth = 0;
    const double p = 1 - s.pickBrightness;
    for (double& x : excitation)
        x = smooth = (1 - p) * noise.Next() + p * smooth;
    const auto pick = static_cast<std::size_t>(std::round(s.pickPosition * length));
    std::vector<double> line(length);
    double mean = 0;
    for (std::size_t i = 0; i < length; ++i) {
        line[i] = excitation[i] - (i >= pick ? excitation[i - pick] : 0.0);
        mean += line[i];
    }
    mean /= static_cast<double>(length);
    for (double& x : line)
        x -= mean;

    std::array<Resonator, 3> body = {Resonator(98, 12, rate), Resonator(204, 15, rate),
                                     Resonator(390, 10, rate)};
    const auto frames = static_cast<std::size_t>(s.seconds * rate);
    std::vector<double> out(frames);
    double previous = 0, apIn = 0, apOut = 0;
    std::size_t at = 0;
    for (std::size_t n = 0; n < frames; ++n) {
        double x = line[at];
        double h = (1 - S) * x + S * previous;
        previous = x;
        double a = c * h + apIn - c * apOut;
        apIn = h, apOut = a;
        line[at] = rho * a;
        at = at + 1 == length ? 0 : at + 1;
        double resonance = 0;
        for (Resonator& r : body)
            resonance += r.Process(x);
        out[n] = x + s.bodyMix * 4 * resonance;
    }
    // The last tenth fades out so that the one-shot ends without a click.
    const std::size_t fade = frames / 10;
    for (std::size_t i = 0; i < fade; ++i) {
        out[frames - 1 - i] *= static_cast<double>(i) / static_cast<double>(fade);
    }
    double peak = 0;
    for (double v : out)
        peak = std::max(peak, std::abs(v));
    const double scale = peak > 0 ? s.peak / peak : 0;
    std::vector<std::int16_t> result(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        result[i] = static_cast<std::int16_t>(std::lround(out[i] * scale));
    }
    return result;
}

PluckSettings GuitarStringSettings(int string) {
    string = std::clamp(string, 0, 5);
    PluckSettings s;
    s.frequency = 440.0 * std::pow(2.0, (STANDARD_OPEN_NOTES[string] - 69) / 12.0);
    // Thick strings ring longer and darker; thin ones are brighter and shorter.
    static constexpr std::array<double, 6> decay = {7.0, 6.0, 5.0, 4.5, 4.0, 3.5};
    static constexpr std::array<double, 6> damping = {0.5, 0.45, 0.4, 0.35, 0.3, 0.25};
    s.decaySeconds = decay[string];
    s.damping = damping[string];
    s.seconds = string < 3 ? 3.5 : 3.0;
    s.seed = static_cast<std::uint32_t>(string + 1);
    return s;
}

void ConfigureGuitarString(Sampler& sampler, int string) {
    PluckSettings settings = GuitarStringSettings(string);
    Sample recording;
    recording.Assign16(RenderPluckedString(settings), settings.sampleRate);
    recording.SetRootFrequency(440);
    recording.SetLoop(Sample::ONE_SHOT, 0, 0);
    auto guard = HoldMixerLock();
    ApplyStartupSettings(sampler);
    sampler.SetLevels(64, 0, 0, 0);
    // Several voices, so that a doubled octave or a quick re-pluck does not cut the string.
    sampler.SetPolyphony(1);
    sampler.SetAmpEnvelope(0, 0.1, 1.0, settings.seconds, true);
    sampler.SetSample(std::move(recording));
}

}  // namespace sound
