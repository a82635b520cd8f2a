#include "detect/SpectrumAnalyser.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <numbers>

namespace detect {

namespace {

// FFTW's planner keeps global state: every plan is made and destroyed under this lock.
std::mutex plannerLock;

constexpr double SAMPLE_SCALE = 1.0 / 32767.0;
constexpr double POWER_OFFSET = 32.0;  // dB taken from 10 log10(P) to place a bin on the scale

bool IsPowerOfTwo(std::int32_t n) {
    return n >= 4 && (n & (n - 1)) == 0;
}

}  // namespace

// The transform's own buffers come from fftw_malloc so that FFTW may use its aligned code.
struct SpectrumAnalyser::Plan {
    double* in = nullptr;
    fftw_complex* out = nullptr;
    fftw_plan plan = nullptr;

    explicit Plan(std::int32_t n) {
        std::lock_guard lock(plannerLock);
        in = fftw_alloc_real(static_cast<std::size_t>(n));
        out = fftw_alloc_complex(static_cast<std::size_t>(n / 2 + 1));
        // ESTIMATE: planning costs nothing measurable and gives the same plan on every run;
        // MEASURE would time candidate plans at start-up and overwrite the buffers.
        if (in && out) plan = fftw_plan_dft_r2c_1d(n, in, out, FFTW_ESTIMATE);
    }
    ~Plan() {
        std::lock_guard lock(plannerLock);
        if (plan) fftw_destroy_plan(plan);
        fftw_free(out);
        fftw_free(in);
    }
    Plan(const Plan&) = delete;
    Plan& operator=(const Plan&) = delete;
};

SpectrumAnalyser::SpectrumAnalyser() {
    Configure(44100, 2048);
}

SpectrumAnalyser::~SpectrumAnalyser() = default;

bool SpectrumAnalyser::Configure(std::int32_t rate, std::int32_t n) {
    if (rate < 1 || !IsPowerOfTwo(n)) return false;
    auto newPlan = std::make_unique<Plan>(n);
    if (!newPlan->plan) return false;
    plan = std::move(newPlan);
    sampleRate = rate;
    size = n;
    binCount = n / 2;
    binWidth = static_cast<double>(rate) / n;
    spectrum.assign(static_cast<std::size_t>(binCount), SPECTRUM_FLOOR);
    noiseFloor.assign(static_cast<std::size_t>(n), 0.0);
    power.assign(static_cast<std::size_t>(n), 0.0);
    window.assign(static_cast<std::size_t>(n), 0.0);
    // Built from the first half and mirrored, so w[N-1] = w[0] = 0 and w[N/2] = w[N/2-1].
    for (std::int32_t i = 0; i < n / 2; ++i) {
        double w = 0.5 * (1.0 - std::cos(2.0 * std::numbers::pi * i / n)) * SAMPLE_SCALE;
        window[static_cast<std::size_t>(i)] = w;
        window[static_cast<std::size_t>(n - 1 - i)] = w;
    }
    noteTable.resize(NOTE_TABLE_SIZE);
    BuildNoteTable();
    noiseRequest.store(NOISE_NONE);
    return true;
}

bool SpectrumAnalyser::Analyse(std::span<const std::int16_t> samples) {
    if (samples.size() < static_cast<std::size_t>(size)) return false;
    if (requestedPitch.load() != concertPitch) BuildNoteTable();
    Transform(samples);
    int request = noiseRequest.exchange(NOISE_NONE);
    if (request == NOISE_CLEAR) std::fill(noiseFloor.begin(), noiseFloor.end(), 0.0);
    if (request == NOISE_CAPTURE)
        CaptureNoise();
    else
        Smooth();
    return true;
}

// Leaves re^2 + im^2 of each bin in plan->out; bin 0 carries DC and Nyquist side by side,
// as a transform packed into N/2 complex values has them.
void SpectrumAnalyser::Transform(std::span<const std::int16_t> samples) {
    for (std::int32_t i = 0; i < size; ++i)
        plan->in[i] = window[static_cast<std::size_t>(i)] * samples[static_cast<std::size_t>(i)];
    fftw_execute(plan->plan);
    fftw_complex* out = plan->out;
    out[0][1] = out[binCount][0];
}

void SpectrumAnalyser::CaptureNoise() {
    const fftw_complex* out = plan->out;
    for (std::int32_t k = 0; k < binCount; ++k) {
        double p = out[k][0] * out[k][0] + out[k][1] * out[k][1];
        double d = p != 0.0 ? 10.0 * std::log10(p) - POWER_OFFSET : SPECTRUM_FLOOR;
        noiseFloor[static_cast<std::size_t>(k)] =
            std::clamp(d, SPECTRUM_FLOOR, 0.0) - SPECTRUM_FLOOR;
    }
}

void SpectrumAnalyser::Smooth() {
    const fftw_complex* out = plan->out;
    for (std::int32_t k = 0; k < binCount; ++k) {
        auto i = static_cast<std::size_t>(k);
        double p = out[k][0] * out[k][0] + out[k][1] * out[k][1];
        double x =
            p != 0.0 ? 10.0 * std::log10(p) - (noiseFloor[i] + POWER_OFFSET) : SPECTRUM_FLOOR;
        if (decay != 0.0 && x <= spectrum[i] - decay) x = spectrum[i] - decay;
        spectrum[i] = std::clamp(0.25 * x + 0.75 * spectrum[i], SPECTRUM_FLOOR, 0.0);
        power[i] = p;
    }
}

void SpectrumAnalyser::BuildNoteTable() {
    concertPitch = requestedPitch.load();
    for (int k = 0; k < NOTE_TABLE_SIZE; ++k)
        noteTable[static_cast<std::size_t>(k)] = NoteFrequency(k, concertPitch);
}

bool SpectrumAnalyser::SetConcertPitch(int a4) {
    if (a4 < LOWEST_A4 || a4 > HIGHEST_A4) return false;
    requestedPitch.store(a4);
    return true;
}

void SpectrumAnalyser::RequestNoiseCapture() {
    noiseRequest.store(NOISE_CAPTURE);
}

void SpectrumAnalyser::ClearNoiseFloor() {
    noiseRequest.store(NOISE_CLEAR);
}

double SpectrumAnalyser::BinLevel(std::int32_t bin) const {
    if (bin < 0 || bin >= binCount) return 0.0;
    return 96.0 - std::fabs(std::trunc(spectrum[static_cast<std::size_t>(bin)]));
}

double SpectrumAnalyser::LevelAtFrequency(double frequency) const {
    double bin = std::trunc(frequency / binWidth);
    if (!(bin >= 0.0 && bin < binCount)) return 0.0;
    return BinLevel(static_cast<std::int32_t>(bin));
}

double SpectrumAnalyser::NoteFrequency(int n) {
    return NoteFrequency(n, STANDARD_A4);
}

double SpectrumAnalyser::NoteFrequency(int n, int a4) {
    return MiddleC(a4) * std::pow(2.0, (n - 24) / 12.0);
}

double SpectrumAnalyser::NoteTableFrequency(int n) const {
    if (n < 0 || n >= NOTE_TABLE_SIZE) return 0.0;
    return noteTable[static_cast<std::size_t>(n)];
}

}  // namespace detect
