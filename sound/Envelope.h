#pragma once
// Fixed-point envelope generators. Levels run on a 24-bit scale (0..0xFFFFFF) and every
// Tick returns the level as 15 bits (level >> 9, 0..32767). Both advance once per sample.

#include <cstddef>
#include <cstdint>
#include <span>

namespace sound {

constexpr std::int32_t ENVELOPE_FULL = 0xFFFFFF;

// Turns a time into a per-sample level step that neither overflows nor stalls.
std::int32_t EnvelopeStep(double level, std::uint32_t sampleRate, double seconds);

// A linear ramp from the current level to a target level.
class Envelope {
  public:
    explicit Envelope(std::uint32_t sampleRate = 44100) : sampleRate(sampleRate) {}

    void Trigger();
    void Release();
    void SetTarget(std::int32_t level);
    void SetValue(std::int32_t level);
    bool IsActive() const { return active; }
    std::int32_t Tick();
    void RenderRamp(std::span<std::int32_t> out);
    // Time to cross the whole range; exactly 0 (or less) crosses it in one sample.
    void SetTime(double seconds);

    std::int32_t Step() const { return step; }
    std::int32_t Current() const { return current; }

  private:
    std::uint32_t sampleRate;
    std::int32_t current = 0;  // 0..0xFFFFFF
    std::int32_t target = 0;   // 0..0xFFFFFF
    std::int32_t step = 65535;
    bool active = false;
};

// Attack, decay, sustain and release of one voice.
class Adsr {
  public:
    enum State : std::uint32_t { ATTACK = 0, DECAY = 1, SUSTAIN = 2, RELEASE = 3, OFF = 4 };

    void SetSampleRate(std::uint32_t rate) { sampleRate = rate == 0 ? 1 : rate; }
    void SetAttack(double seconds);
    void SetDecay(double seconds);
    void SetSustain(double fraction);
    // The time to fall from the sustain level in force now to 0.
    void SetRelease(double seconds);
    void SetAll(double attack, double decay, double sustain, double release);
    void Trigger();
    void Release();
    // Release over 10 ms; keeps that release step until the next SetAll.
    void QuickRelease();
    // Inline: it runs once per sample per voice.
    std::int32_t Tick() {
        switch (state) {
            case ATTACK: {
                std::int32_t old = level;
                level += step;
                // The stage ends one step early rather than overshooting the peak.
                if (old + 2 * static_cast<std::int64_t>(step) >= target) {
                    level = target;
                    state = DECAY;
                    target = sustainLevel;
                    step = decayStep;
                }
                break;
            }
            case DECAY:
                level -= decayStep;
                if (level <= sustainLevel) {
                    level = sustainLevel;
                    state = SUSTAIN;
                    step = 0;
                }
                break;
            case SUSTAIN:
                if (!held) {
                    state = RELEASE;
                    target = 0;
                    step = releaseStep;
                }
                break;
            case RELEASE:
                level -= releaseStep;
                if (level < 1 || releaseStep == 0) {
                    level = 0;
                    state = OFF;
                }
                break;
            case OFF:
                level = 0;
                break;
        }
        return level >> 9;
    }

    // Writes the next out.size() ticks, exactly as that many Tick calls would, a stage at a
    // time. Returns how many ticks came before the envelope turned off, counting the tick
    // that turned it off (out.size() when it did not; 0 when it was off already).
    std::size_t Render(std::span<std::int32_t> out);

    State GetState() const { return state; }
    bool Held() const { return held; }
    std::int32_t Level() const { return level; }
    std::int32_t AttackStep() const { return attackStep; }
    std::int32_t DecayStep() const { return decayStep; }
    std::int32_t SustainLevel() const { return sustainLevel; }
    std::int32_t ReleaseStep() const { return releaseStep; }

  private:
    std::int32_t attackStep = 65535;
    std::int32_t decayStep = 65535;
    std::int32_t sustainLevel = 0x7FFFFF;  // 0..0xFFFFFF
    std::int32_t releaseStep = 0x3FFFF;
    std::int32_t level = 0;  // 0..0xFFFFFF
    std::int32_t target = 0;
    std::int32_t step = 0;
    bool held = false;
    std::uint32_t sampleRate = 44100;
    State state = ATTACK;
};

}  // namespace sound
