#include "sound/Sampler.h"

#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/Clock.h"
#include "platform/SafeFile.h"
#include "sound/MixerLock.h"
#include "sound/Wavetables.h"

namespace sound {

namespace {

void MoveToPage(std::vector<Control>& controls, std::uint8_t id, std::uint8_t page) {
    if (Control* c = FindControl(controls, id); c && c->page == 0) c->page = page;
}

}  // namespace

Sampler::Sampler() {
    name = "Sampler";
    for (std::uint8_t id : {1, 2, 3, 4, 5, 9, 10, 11, 12, 13, 14, 15, 16, 18, 19}) {
        MoveToPage(controls, id, 6);
    }
    FindControl(controls, 100)->label = "Sample";
    FindControl(controls, 101)->label = "Tuning";
    Control* loopTitle = FindControl(controls, 102);
    loopTitle->label = "Loop Points";
    loopTitle->y = 160;
    for (std::uint8_t id : {6, 7, 8, 17})
        FindControl(controls, id)->y = 110;
    controls.push_back(Box(62, 0, 90, 34, 0, 32, 5, "Normalize"));
    controls.push_back(Box(61, 0, 140, 34, 0, 32, 5, "Auto Tune"));
    controls.push_back(Box(PLAY_CONTROL, 0, 188, 34, 0, 32, 6, "Play"));
    controls.push_back(Box(51, 0, 220, 34, 0, 32, 11, "Load"));
    controls.push_back(Box(52, 0, 32, 184, 0, 4, 0, "Loop"));
    controls.push_back(Box(55, 0, 106, 184, 1, 35, 4, "Start"));
    controls.push_back(Box(56, 0, 138, 184, 0, 33, 4, "End"));
    controls.push_back(Box(57, 0, 188, 184, 0, 34, 9, "Prev"));
    controls.push_back(Box(58, 0, 220, 184, 0, 32, 8, "Next"));
}

int Sampler::OnControlChanged(const ControlChange& change) {
    if (change.id != PLAY_CONTROL) return PolySynth::OnControlChanged(change);
    int note;
    {
        auto guard = HoldMixerLock();
        const Sample* second = GetTable(1);
        SetTable(1, nullptr);
        note = NoteOn(69, 48);
        SetTable(1, second);
    }
    platform::SleepMs(500);
    NoteOff(note);
    return 1;
}

void Sampler::UseSample(int oscillator, Sample* chosen) {
    if (oscillator < 0 || oscillator > 1) return;
    auto guard = HoldMixerLock();
    // Voices may be reading the data about to change.
    StopAllVoices();
    SelectRadio(oscillator == 0 ? 1 : 9, oscillator == 0 ? 6 : 14, oscillator == 0 ? 1 : 9);
    if (chosen) chosen->ConvertTo16Bit();
    SetTable(oscillator, chosen);
}

void Sampler::SetSample(Sample replacement) {
    auto guard = HoldMixerLock();
    StopAllVoices();
    sample = std::move(replacement);
    UseSample(0, &sample);
    SetControlValue(52, sample.GetLoopMode() != 0 ? 1 : 0);
}

bool Sampler::Load(std::istream& in, std::string& error) {
    Patch patch;
    if (!ReadPatch(in, patch, error)) return false;
    Sample loaded;
    RecordResult record = loaded.ReadRecord(in, error);
    if (record == RecordResult::DAMAGED) return false;
    auto guard = HoldMixerLock();
    StopAllVoices();
    ApplyPatch(patch);
    if (record == RecordResult::LOADED) {
        sample = std::move(loaded);
        UseSample(0, &sample);
    } else {
        sample.Clear();
        UseSample(0, nullptr);
    }
    UseSample(1, nullptr);
    SetControlValue(52, sample.GetLoopMode() != 0 ? 1 : 0);
    return true;
}

bool Sampler::Save(std::ostream& out) {
    auto guard = HoldMixerLock();
    if (!PolySynth::Save(out)) return false;
    return sample.WriteRecord(out);
}

void ApplyStartupSettings(PolySynth& s) {
    auto guard = HoldMixerLock();
    s.SetWaveform(0, WAVE_NONE);
    s.SetWaveform(1, WAVE_NONE);
    s.SetLevels(32, 32, 32, 0);
    s.SetPolyphony(1);
    s.SetAmpEnvelope(0, 0.1, 1.0, 0.7, true);
    s.SetFilterEnvelope(0, 0.1, 0.5, 1.5, false);
    s.SetLfo(LFO_SINE, 5.0, 12, 0, 64, 0, false);
    s.SetCutoff(16000);
    s.SetResonance(0);
}

void ApplySynthesisedGuitar(PolySynth& s) {
    auto guard = HoldMixerLock();
    s.SetWaveform(0, WAVE_SAW);
    s.SetWaveform(1, WAVE_SAW);
    s.SetPitch(0, 0.0);
    s.SetPitch(1, 0.2);
    s.SetLevels(32, 32, 32, 0);
    s.SetPolyphony(1);
    s.SetAmpEnvelope(0, 0.1, 0.5, 1.5, true);
    s.SetFilterEnvelope(0, 0.1, 0.3, 1.4, true);
    s.SetLfo(LFO_SINE, 5.0, 12, 0, 64, 0, false);
    s.SetCutoff(7000);
    s.SetResonance(0);
}

std::string LoadPatchFile(VoiceRoot& instrument, const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "cannot open " + path.string();
    std::string error;
    auto guard = HoldMixerLock();
    if (!instrument.Load(in, error)) return path.string() + " is damaged: " + error;
    return {};
}

std::string SavePatchFile(VoiceRoot& instrument, const std::filesystem::path& path) {
    std::ostringstream out(std::ios::binary);
    if (!instrument.Save(out)) return "cannot write " + path.string();
    std::string bytes = out.str();
    return platform::WriteFileSafely(
        path.string(), {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

bool SetUpStringInstrument(Sampler& sampler, const std::filesystem::path& path,
                           std::string& message) {
    ApplyStartupSettings(sampler);
    std::string error = LoadPatchFile(sampler, path);
    if (error.empty()) {
        message.clear();
        return true;
    }
    ApplySynthesisedGuitar(sampler);
    message = error + "; playing the synthesised guitar instead";
    return false;
}

std::string StringPatchName(int string) {
    // Built a piece at a time: "g" + std::to_string(...) + ... trips a false -Wrestrict in
    // GCC 12's optimised builds.
    std::string name = "g";
    name += std::to_string(string + 1);
    name += ".sampler";
    return name;
}

}  // namespace sound
