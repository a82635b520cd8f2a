#pragma once
// A 24-voice synthesiser: two pitched oscillators and a frequency modulator per voice,
// noise, a resonant low-pass filter with its envelope, an amplitude envelope, and one
// LFO for vibrato, tremolo and wah-wah. Rendering is 32-bit integer arithmetic.
//
// Threads: Render runs on the sound output thread under the mixer lock; every other
// operation takes the mixer lock itself, so notes may come from any thread.

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "platform/Thread.h"
#include "sound/Envelope.h"
#include "sound/Oscillator.h"
#include "sound/Patch.h"
#include "sound/Voice.h"
#include "sound/VoiceRenderer.h"
#include "sound/VoiceRoot.h"

namespace sound {

class PolySynth : public VoiceRoot {
  public:
    static constexpr int VOICE_COUNT = 24;
    // Render works through longer requests in pieces of this many frames.
    static constexpr std::size_t MAX_CHUNK = VOICE_BLOCK;

    PolySynth();

    int OnControlChanged(const ControlChange& change) override;
    std::span<const Control> GetControls() override { return controls; }
    bool SetSampleRate(std::uint32_t rate) override;
    bool Render(std::span<std::int32_t> out) override;
    int NoteOn(int note, int velocity) override;
    void NoteOff(int note) override;
    void AllNotesOff() override;
    bool Load(std::istream& in, std::string& error) override;
    bool Save(std::ostream& out) override;
    bool SetControlValue(std::uint8_t id, double value) override;
    void SelectRadio(std::uint8_t first, std::uint8_t end, std::uint8_t chosen) override;
    double GetControlValue(std::uint8_t id) override;
    FileType GetFileType() const override { return {"*.poly", "PolySynth Patches"}; }

    // Parameter setters; each mirrors its value into the panel controls.
    void SetWaveform(int oscillator, int waveform);
    void SetPitch(int oscillator, double semitones);
    void SetLevels(std::int32_t osc1, std::int32_t osc2, std::int32_t fm, std::int32_t noise);
    // 0 = mono retrigger; 25 and above are ignored.
    void SetPolyphony(std::uint32_t voices);
    void SetAmpEnvelope(double attack, double decay, double sustain, double release, bool on);
    void SetFilterEnvelope(double attack, double decay, double sustain, double release, bool on);
    void SetLfo(std::int32_t waveform, double speed, std::int32_t attack, std::int32_t vibrato,
                std::int32_t tremolo, std::int32_t wahWah, bool on);
    void SetCutoff(std::int32_t cutoff);
    void SetResonance(std::int32_t resonance);
    void SetPortamento(std::int32_t blocks);
    void SetBendBase(std::int32_t base);
    void SetPitchBend(double value);
    void SetAftertouch(std::int32_t gain);
    // Silences every voice at once (no release), e.g. before the sample under them changes.
    void StopAllVoices();
    // Note 69 sounds at `a4` Hz (440 by default) from the next note on: every note, sample
    // and wavetable alike, moves by a4 / 440. Zero and below are refused.
    bool SetConcertPitch(int a4);
    int GetConcertPitch() const { return concertPitch; }

    const Patch& GetPatch() const { return patch; }
    std::uint32_t GetSampleRate() const { return sampleRate; }
    const Voice& GetVoice(int index) const { return voices[index]; }
    std::uint32_t ActiveVoiceBound() const { return activeVoiceBound; }
    const LfoOscillator& GetLfo() const { return lfo; }
    // The sample oscillator k plays, null when it is off.
    const Sample* GetTable(int oscillator) const { return tables[oscillator]; }

  protected:
    // Sets the sample an oscillator plays without touching its stored waveform number.
    void SetTable(int oscillator, const Sample* table) { tables[oscillator] = table; }
    void ApplyPatch(const Patch& p);
    std::vector<Control> controls;

  private:
    void StartVoice(Voice& voice, int note);
    void RenderChunk(std::span<std::int32_t> out);
    VoiceBlockParams BlockParams(bool lfoActive) const;
    void ApplyPitchControls(int oscillator);

    double NoteFrequency(double note) const;

    std::uint32_t sampleRate = 44100;
    int concertPitch = 440;  // Hz of note 69; under the mixer lock
    Patch patch;
    std::array<const Sample*, 3> tables{};
    LfoOscillator lfo;
    Envelope lfoRamp;
    std::array<Voice, VOICE_COUNT> voices;
    std::uint32_t startCounter = 0;
    int lastNote = 0;
    std::uint32_t activeVoiceBound = 0;
    std::uint32_t noiseState = 22222;
    // Per-block LFO work, allocated here so that Render never allocates.
    std::vector<std::int32_t> rampBuffer, lfoBuffer, vibratoBuffer, wahBuffer, tremoloBuffer;
    std::unique_ptr<VoiceScratch> scratch;
    std::unique_ptr<VoiceGroupScratch> groupScratch;
};

// The panel of 59 controls every synthesiser starts with.
std::vector<Control> BuildPolySynthPanel();

}  // namespace sound
