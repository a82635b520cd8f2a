#include "sound/Envelope.h"

#include <algorithm>
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

namespace {

// Fills out[k] = (level + (k + 1) × step) >> 9: one stage's straight run of ticks. As a
// running sum, so that the vectorised loop adds where it would otherwise multiply; kept
// out of line, as inlined the compiler no longer vectorises it.
[[gnu::noinline]] void Ramp(std::int32_t* out, std::size_t n, std::int32_t level,
                            std::int32_t step) {
    std::int32_t v = level + step;
    for (std::size_t k = 0; k < n; ++k) {
        out[k] = v >> 9;
        v += step;
    }
}

// The number of whole steps that fit strictly below `room` (0 when room <= 0).
std::size_t StepsBelow(std::int64_t room, std::int32_t step) {
    return room <= 0 ? 0 : static_cast<std::size_t>((room + step - 1) / step);
}

}  // namespace

std::size_t Adsr::Render(std::span<std::int32_t> out) {
    const std::size_t n = out.size();
    std::size_t f = 0;
    std::size_t live = state == OFF ? 0 : n;
    while (f < n) {
        std::size_t run = 0;
        switch (state) {
            case ATTACK:
                // Tick k stays in attack while level + k × step + 2 × step < target.
                if (step > 0) {
                    run = StepsBelow(std::int64_t{target} - level - 2 * std::int64_t{step}, step);
                    run = std::min(run, n - f);
                    Ramp(&out[f], run, level, step);
                    level += static_cast<std::int32_t>(run) * step;
                }
                break;
            case DECAY:
                // Tick k stays in decay while level − (k + 1) × decay step > sustain level.
                if (decayStep > 0) {
                    run = StepsBelow(std::int64_t{level} - sustainLevel, decayStep);
                    run = std::min(run == 0 ? 0 : run - 1, n - f);
                    Ramp(&out[f], run, level, -decayStep);
                    level -= static_cast<std::int32_t>(run) * decayStep;
                }
                break;
            case SUSTAIN:
                if (held) {
                    run = n - f;
                    std::fill_n(&out[f], run, level >> 9);
                }
                break;
            case RELEASE:
                // Tick k stays in release while level − (k + 1) × release step >= 1.
                if (releaseStep > 0 && level > 1) {
                    run = std::min(static_cast<std::size_t>((level - 1) / releaseStep), n - f);
                    Ramp(&out[f], run, level, -releaseStep);
                    level -= static_cast<std::int32_t>(run) * releaseStep;
                }
                break;
            case OFF:
                run = n - f;
                level = 0;
                std::fill_n(&out[f], run, 0);
                break;
        }
        f += run;
        if (f == n) break;
        // The tick that ends the stage.
        out[f++] = Tick();
        if (state == OFF && live == n) live = f;
    }
    return live;
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
