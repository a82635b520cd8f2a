#pragma once
// A synthesiser whose first oscillator plays a recorded Sample. A ".sampler" file is a
// patch followed by one sample record.

#include <filesystem>
#include <string>

#include "sound/PolySynth.h"
#include "sound/Sample.h"

namespace sound {

class Sampler : public PolySynth {
  public:
    static constexpr std::uint8_t PLAY_CONTROL = 54;

    Sampler();

    // "Play" sounds note 69 at velocity 48 for half a second without the second oscillator.
    int OnControlChanged(const ControlChange& change) override;
    // The patch and the sample record are both checked before anything changes.
    bool Load(std::istream& in, std::string& error) override;
    bool Save(std::ostream& out) override;
    FileType GetFileType() const override { return {"*.sampler", "Sampler Patches"}; }

    // Oscillator 0 or 1 plays `sample` (null: nothing); its waveform number stays as it was.
    void UseSample(int oscillator, Sample* sample);
    // Replaces the recording and lets the first oscillator play it.
    void SetSample(Sample replacement);
    const Sample& GetSample() const { return sample; }

  private:
    Sample sample;
};

// The settings every string instrument gets before its patch file is read.
void ApplyStartupSettings(PolySynth& synth);
// The synthesised guitar a string plays when its patch file cannot be read.
void ApplySynthesisedGuitar(PolySynth& synth);

// Opens `path` and reads it into `instrument` holding the mixer lock. Returns "" on
// success, else a one-line reason; a damaged file changes nothing.
std::string LoadPatchFile(VoiceRoot& instrument, const std::filesystem::path& path);
// Writes the patch beside `path` under a temporary name and renames it into place, so
// a failure never leaves a half-written file. Returns "" or a one-line reason.
std::string SavePatchFile(VoiceRoot& instrument, const std::filesystem::path& path);

// The patch file of string s (0 the lowest): "g1.sampler" ... "g6.sampler".
std::string StringPatchName(int string);

// Start-up of one string: the start-up settings, then the patch file; when that cannot
// be read, the synthesised guitar and a message for stderr. Returns true when loaded.
bool SetUpStringInstrument(Sampler& sampler, const std::filesystem::path& path,
                           std::string& message);

}  // namespace sound
