#include "sound/Wavetables.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace sound {

void SmoothTable(std::span<std::int32_t> table, double a, double b) {
    double p1 = 1 - 2.4 / a;
    double p2 = p1 * b;
    double p3 = p1 * b * b;
    double l1 = std::log(p1), lb = std::log(b), l2 = std::log(p2), l3 = std::log(p3);
    double c1 = 1 / ((2 / (lb + l1) - 1 / (2 * lb + l1)) - 1 / l1);
    double c2 = (((l1 - l2) * l3) / ((l3 - l2) * l2) - l1 / l2) * c1;
    double c3 = -((l1 - l2) / (l3 - l2)) * c1;
    double s1 = 0, s2 = 0, s3 = 0;
    for (std::int32_t& value : table) {
        double x = value;
        s1 = s1 * p1 + x;
        s2 = s2 * p2 + x;
        s3 = s3 * p3 + x;
        double y = std::trunc(s3 * c3 + s2 * c2 + s1 * c1);
        value = static_cast<std::int32_t>(std::clamp(y, -32768.0, 32767.0));
    }
}

void BuildWavetable(Waveform type, Sample& out) {
    std::vector<std::int32_t> table(WAVETABLE_LENGTH);
    switch (type) {
        case WAVE_SINE:
            for (std::uint32_t i = 0; i < WAVETABLE_LENGTH; ++i) {
                table[i] = static_cast<std::int32_t>(32767 * std::sin(i * 0.007853975));
            }
            break;
        case WAVE_SQUARE:
            for (std::uint32_t i = 0; i < WAVETABLE_LENGTH; ++i) {
                table[i] = (i <= 200 || i >= 600) ? -32767 : 32767;
            }
            SmoothTable(table, 50.0, 0.99);
            break;
        case WAVE_SAW: {
            double x = 1.0;
            for (std::int32_t& v : table) {
                v = static_cast<std::int32_t>(x * 32767);
                x -= 0.0025;
                if (x < -1.0) x = -1.0;
            }
            SmoothTable(table, 50.0, 0.99);
            break;
        }
        case WAVE_TRI: {
            double x = 0, slope = 0.005;
            for (std::int32_t& v : table) {
                v = static_cast<std::int32_t>(x * 32767);
                x += slope;
                if (x <= -1.0 || x >= 1.0) {
                    x = std::clamp(x, -1.0, 1.0);
                    slope = -slope;
                }
            }
            break;
        }
        case WAVE_NONE:
            break;
    }
    std::vector<std::int16_t> frames(table.begin(), table.end());
    out.Assign16(std::move(frames), WAVETABLE_RATE);
    out.SetRootNote(WAVETABLE_ROOT_NOTE);
    out.SetLoop(Sample::LOOP_ALL, 0, 0);
}

const std::array<Sample, 4>& SharedWavetables() {
    static const std::array<Sample, 4> tables = [] {
        std::array<Sample, 4> t;
        for (int i = 0; i < 4; ++i)
            BuildWavetable(static_cast<Waveform>(i + 1), t[i]);
        return t;
    }();
    return tables;
}

}  // namespace sound
