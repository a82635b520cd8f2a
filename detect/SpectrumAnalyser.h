#pragma once
// Turns each captured buffer into a smoothed level spectrum in dB (-96..0 per bin): a Hann
// window, a real transform, power with a fixed offset, an optional noise profile taken
// away, a limited fall per frame and exponential smoothing.

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace detect {

constexpr double SPECTRUM_FLOOR = -96.0;
constexpr double MIDDLE_C = 261.6255653006;
// Entries of the note table: six octaves from the C two octaves below middle C.
constexpr int NOTE_TABLE_SIZE = 72;
// The reference A4 in whole Hz: the default, and the range a band may tune to.
constexpr int STANDARD_A4 = 440;
constexpr int LOWEST_A4 = 415;
constexpr int HIGHEST_A4 = 466;

// Middle C when A4 is `a4` Hz: exactly MIDDLE_C at 440.
constexpr double MiddleC(int a4) {
    return MIDDLE_C * (a4 / static_cast<double>(STANDARD_A4));
}

class SpectrumAnalyser {
  public:
    // Configured for 44100 Hz and 2048 points until Configure says otherwise.
    SpectrumAnalyser();
    ~SpectrumAnalyser();
    SpectrumAnalyser(const SpectrumAnalyser&) = delete;
    SpectrumAnalyser& operator=(const SpectrumAnalyser&) = delete;

    // Plans the transform and allocates every array. Planning is not thread-safe: call it on
    // one thread, before any buffer arrives. A size that is not a power of two from 4 up,
    // or a rate below 1, is refused (false) and leaves the analyser as it was.
    bool Configure(std::int32_t rate, std::int32_t size);
    // Reads exactly Size() samples; a shorter buffer is refused (false). Allocates nothing.
    bool Analyse(std::span<const std::int16_t> samples);

    // Both are safe from any thread; the analysing thread carries them out at the start of
    // its next frame, the later request winning.
    void RequestNoiseCapture();
    void ClearNoiseFloor();
    // Rebuilds the note table for A4 = `a4` Hz (LOWEST_A4..HIGHEST_A4; others are refused)
    // at the start of the next frame. Safe from any thread.
    bool SetConcertPitch(int a4);
    // The A4 the note table was built for; read on the analysing thread.
    int ConcertPitch() const { return concertPitch; }

    // 96 - |trunc(spectrum[bin])|: a whole level 0..96; 0 for a bin out of range.
    double BinLevel(std::int32_t bin) const;
    double LevelAtFrequency(double frequency) const;
    // 261.6255653006 x 2^((n - 24) / 12) for any n; the second form for another A4.
    static double NoteFrequency(int n);
    static double NoteFrequency(int n, int a4);
    // The configured table (0..71); 0 outside it.
    double NoteTableFrequency(int n) const;

    std::span<const double> Spectrum() const { return {spectrum.data(), bins()}; }
    std::span<const double> Power() const { return {power.data(), bins()}; }
    std::span<const double> NoiseFloor() const { return {noiseFloor.data(), bins()}; }
    std::span<const double> Window() const { return {window.data(), window.size()}; }
    double BinWidth() const { return binWidth; }
    std::int32_t SampleRate() const { return sampleRate; }
    std::int32_t Size() const { return size; }
    std::int32_t Bins() const { return binCount; }

    double decay = 10.0;  // dB a bin may fall per frame before smoothing

  private:
    enum NoiseRequest : int { NOISE_NONE, NOISE_CAPTURE, NOISE_CLEAR };
    struct Plan;

    std::size_t bins() const { return static_cast<std::size_t>(binCount); }
    void Transform(std::span<const std::int16_t> samples);
    void CaptureNoise();
    void Smooth();
    void BuildNoteTable();

    std::vector<double> spectrum;    // dB, -96..0
    std::vector<double> window;      // includes the 1/32767 scaling of 16-bit samples
    std::vector<double> noiseFloor;  // dB above -96, 0..96
    std::vector<double> power;       // re^2 + im^2 of the last normal frame
    std::vector<double> noteTable;
    std::unique_ptr<Plan> plan;
    double binWidth = 44100.0 / 2048.0;
    std::int32_t sampleRate = 44100;
    std::int32_t size = 2048;
    std::int32_t binCount = 1024;
    std::atomic<int> noiseRequest{NOISE_NONE};
    std::atomic<int> requestedPitch{STANDARD_A4};
    int concertPitch = STANDARD_A4;
};

}  // namespace detect
