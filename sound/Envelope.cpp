#include "sound/Envelope.h"

#include <cmath>

namespace sound {

std::int32_t EnvelopeStep(double level, std::uint32_t sampleRate, double seconds) {
    double step = level / (static_cast<double>(sampleRate) * seconds);
    if (!(step < ENVELOPE_FULL)) return ENVELOPE_FULL;  // also NaN
    if (step < 1.0) return level > 0 ? 1 : 0;           // a very long time still ends
    return static_cast<std::int32_t>(step);
}

void Envelope::Trigger() {
    target = ENVELOPE_FULL;
    current = 0;
    active = true;
}

void Envelope::Release() {
    target = 0;
    active = current != 0;
}

void Envelope::SetTarget(std::int32_t level) {
    target = level;
    active = current != level;
}

void Envelope::SetValue(std::int32_t level) {
    current = target = level;
    active = false;
}

std::int32_t Envelope::Tick() {
    if (active) {
        if (target > current) {
            current += step;
            if (current >= target) {
                current = target;
                active = false;
            }
        } else {
            current -= step;
            if (current <= target) {
                current = target;
                active = false;
            }
        }
    }
    return current >> 9;
}

void Envelope::RenderRamp(std::span<std::int32_t> out) {
    for (std::int32_t& value : out)
        value = Tick();
}

void Envelope::SetTime(double seconds) {
    step = seconds > 0 ? EnvelopeStep(ENVELOPE_FULL, sampleRate, seconds) : ENVELOPE_FULL;
}

namespace {
double AtLeastOneMs(double seconds) {
    return seconds < 0.001 || std::isnan(seconds) ? 0.001 : seconds;
}
}  // namespace

void Adsr::SetAttack(double seconds) {
    attackStep = EnvelopeStep(ENVELOPE_FULL, sampleRate, AtLeastOneMs(seconds));
}

void Adsr::SetDecay(double seconds) {
    decayStep = EnvelopeStep(ENVELOPE_FULL, sampleRate, AtLeastOneMs(seconds));
}

void Adsr::SetSustain(double fraction) {
    if (!(fraction > 0)) fraction = 0;  // also NaN
    if (fraction > 1) fraction = 1;
    sustainLevel = static_cast<std::int32_t>(fraction * ENVELOPE_FULL);
}

void Adsr::SetRelease(double seconds) {
    seconds = AtLeastOneMs(seconds);
    // A sustain level of 0 gives step 0: silence at once on release.
    double step = sustainLevel / (static_cast<double>(sampleRate) * seconds);
    releaseStep = step >= ENVELOPE_FULL ? ENVELOPE_FULL : static_cast<std::int32_t>(step);
}

void Adsr::SetAll(double attack, double decay, double sustain, double release) {
    SetAttack(attack);
    SetDecay(decay);
    SetSustain(sustain);
    SetRelease(release);
}

void Adsr::Trigger() {
    level = 0;
    target = ENVELOPE_FULL;
    step = attackStep;
    held = true;
    state = ATTACK;
}

void Adsr::Release() {
    state = RELEASE;
    held = false;
}

void Adsr::QuickRelease() {
    SetRelease(0.01);
    state = RELEASE;
}

}  // namespace sound
