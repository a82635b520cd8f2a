// The editor panels' descriptors, row by row, against tables written out here by hand.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sound/Sampler.h"

namespace sound {
namespace {

struct Row {
    int id, page, kind, x, y;
    float minimum, maximum, value;
    int attribute1, attribute2;
    const char* label;
};

// Kinds: 0 hidden, 1 slider, 3 box, 4 title. Titles carry (5, 0) and no range.
const std::vector<Row> POLY_SYNTH_PANEL = {
    {100, 0, 4, 10, 10, 0, 0, 0, 5, 0, "VCO"},
    {101, 0, 4, 10, 75, 0, 0, 0, 5, 0, "OSC1"},
    {102, 0, 4, 10, 180, 0, 0, 0, 5, 0, "OSC2"},
    {1, 0, 3, 77, 90, 0, 1, 0, 3, 2, "None"},
    {5, 0, 3, 112, 90, 0, 1, 0, 1, 2, "Tri"},
    {2, 0, 3, 147, 90, 0, 1, 1, 1, 2, "Sine"},
    {3, 0, 3, 182, 90, 0, 1, 0, 1, 2, "Square"},
    {4, 0, 3, 217, 90, 0, 1, 0, 1, 2, "Saw"},
    {7, 0, 1, 32, 130, -11, 11, 0, 130, 0, "Semitone"},
    {8, 0, 1, 90, 130, -1, 1, 0, 512, 0, "Detune"},
    {6, 0, 1, 148, 130, -3, 3, 0, 128, 0, "Octave"},
    {17, 0, 1, 206, 130, 0, 64, 32, 128, 0, "Level"},
    {9, 0, 3, 77, 197, 0, 1, 0, 3, 2, "None"},
    {13, 0, 3, 112, 197, 0, 1, 0, 1, 2, "Tri"},
    {10, 0, 3, 147, 197, 0, 1, 1, 1, 2, "Sine"},
    {11, 0, 3, 182, 197, 0, 1, 0, 1, 2, "Square"},
    {12, 0, 3, 217, 197, 0, 1, 0, 1, 2, "Saw"},
    {15, 0, 1, 32, 237, -11, 11, 0, 130, 0, "Semitone"},
    {16, 0, 1, 90, 237, -1, 1, 0, 512, 0, "Detune"},
    {14, 0, 1, 148, 237, -3, 3, 0, 128, 0, "Octave"},
    {18, 0, 1, 206, 237, 0, 64, 32, 128, 0, "Level"},
    {19, 0, 1, 206, 35, 0, 64, 32, 128, 0, "Noise Level"},
    {20, 0, 3, 32, 35, 0, 1, 1, 6, 0, "Mono"},
    {0, 1, 4, 10, 10, 0, 0, 0, 5, 0, "ADSR"},
    {0, 1, 4, 10, 120, 0, 0, 0, 5, 0, "VCF"},
    {21, 1, 1, 32, 60, 0, 1, 0.5f, 0, 0, "Attack"},
    {22, 1, 1, 90, 60, 0, 1, 0.5f, 0, 0, "Decay"},
    {23, 1, 1, 148, 60, 0, 1, 0.5f, 0, 0, "Sustain"},
    {24, 1, 1, 206, 60, 0, 3, 1.5f, 0, 0, "Release"},
    {25, 100, 3, 215, 20, 0, 1, 0, 4, 0, "Enable"},
    {26, 1, 1, 32, 230, 0, 1, 0.5f, 0, 0, "Attack"},
    {27, 1, 1, 90, 230, 0, 1, 0.5f, 0, 0, "Decay"},
    {28, 1, 1, 148, 230, 0, 1, 0.5f, 0, 0, "Sustain"},
    {29, 1, 1, 206, 230, 0, 3, 1.5f, 0, 0, "Release"},
    {32, 1, 3, 215, 140, 0, 1, 0, 4, 0, "Enable"},
    {31, 1, 1, 90, 160, 0, 255, 0, 64, 0, "Resonance"},
    {30, 1, 1, 148, 160, 128, 32768, 0, 192, 0, "Cutoff"},
    {0, 2, 4, 10, 10, 0, 0, 0, 5, 0, "LFO"},
    {33, 2, 1, 32, 50, 0, 12, 8, 0, 0, "Speed"},
    {34, 2, 1, 90, 50, 0, 64, 32, 0, 0, "Attack"},
    {36, 2, 1, 32, 124, 0, 64, 32, 64, 0, "Vibrato"},
    {35, 2, 1, 90, 124, 0, 64, 32, 64, 0, "Tremolo"},
    {37, 2, 1, 148, 124, 0, 64, 32, 64, 0, "WahWah"},
    {38, 2, 3, 215, 24, 0, 1, 0, 4, 0, "Enable"},
    {39, 2, 3, 32, 180, 0, 1, 1, 3, 2, "Sine"},
    {40, 2, 3, 72, 180, 0, 1, 0, 1, 2, "Square"},
    {41, 2, 3, 112, 180, 0, 1, 0, 1, 2, "Tri"},
    {42, 2, 3, 152, 180, 0, 1, 0, 1, 2, "Rand"},
    {103, 3, 4, 10, 10, 0, 0, 0, 5, 0, "FM Modulation"},
    {104, 3, 4, 10, 134, 0, 0, 0, 5, 0, "Keyboard"},
    {70, 3, 3, 215, 24, 0, 1, 0, 4, 2, "Enable"},
    {72, 3, 1, 32, 70, -11, 11, 0, 130, 0, "Semitone"},
    {73, 3, 1, 90, 70, -1, 1, 0, 512, 0, "Detune"},
    {71, 3, 1, 148, 70, -3, 3, 0, 128, 0, "Octave"},
    {80, 3, 1, 206, 70, 0, 64, 32, 128, 0, "Level"},
    {81, 3, 1, 32, 174, 0, 255, 0, 192, 0, "Portamento"},
    {82, 3, 1, 96, 174, 1, 12, 2, 128, 0, "Bend"},
    {43, 100, 0, 0, 0, 0, 64, 0, 66, 0, "Aftertouch"},
    {44, 100, 0, 0, 0, -32, 32, 0, 64, 0, "Pitchbend"},
};

// The sampler's panel: the synthesiser's with its waveform groups, OSC2 and noise moved to
// page 6, OSC1's tuning lower, three titles renamed, and nine boxes added.
std::vector<Row> SamplerPanel() {
    std::vector<Row> rows = POLY_SYNTH_PANEL;
    for (Row& r : rows) {
        if (r.page == 0 &&
            ((r.id >= 1 && r.id <= 5) || (r.id >= 9 && r.id <= 16) || r.id == 18 || r.id == 19))
            r.page = 6;
        if (r.id == 6 || r.id == 7 || r.id == 8 || r.id == 17) r.y = 110;
        if (r.id == 100) r.label = "Sample";
        if (r.id == 101) r.label = "Tuning";
        if (r.id == 102) r.label = "Loop Points", r.y = 160;
    }
    const std::vector<Row> added = {
        {62, 0, 3, 90, 34, 0, 1, 0, 32, 5, "Normalize"},
        {61, 0, 3, 140, 34, 0, 1, 0, 32, 5, "Auto Tune"},
        {54, 0, 3, 188, 34, 0, 1, 0, 32, 6, "Play"},
        {51, 0, 3, 220, 34, 0, 1, 0, 32, 11, "Load"},
        {52, 0, 3, 32, 184, 0, 1, 0, 4, 0, "Loop"},
        {55, 0, 3, 106, 184, 0, 1, 1, 35, 4, "Start"},
        {56, 0, 3, 138, 184, 0, 1, 0, 33, 4, "End"},
        {57, 0, 3, 188, 184, 0, 1, 0, 34, 9, "Prev"},
        {58, 0, 3, 220, 184, 0, 1, 0, 32, 8, "Next"},
    };
    rows.insert(rows.end(), added.begin(), added.end());
    return rows;
}

void ExpectRows(std::span<const Control> got, const std::vector<Row>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        const Control& c = got[i];
        const Row& r = want[i];
        SCOPED_TRACE("row " + std::to_string(i) + " \"" + r.label + "\"");
        EXPECT_EQ(c.id, r.id);
        EXPECT_EQ(c.page, r.page);
        EXPECT_EQ(c.kind, r.kind);
        EXPECT_EQ(c.x, r.x);
        EXPECT_EQ(c.y, r.y);
        EXPECT_EQ(c.minimum, r.minimum);
        EXPECT_EQ(c.maximum, r.maximum);
        EXPECT_EQ(c.value, r.value);
        EXPECT_EQ(c.attribute1, r.attribute1);
        EXPECT_EQ(c.attribute2, r.attribute2);
        EXPECT_EQ(c.label, r.label);
    }
}

TEST(PanelTableTest, PolySynthHasItsFiftyNineControls) {
    PolySynth synth;
    EXPECT_EQ(POLY_SYNTH_PANEL.size(), 59u);
    ExpectRows(synth.GetControls(), POLY_SYNTH_PANEL);
}

TEST(PanelTableTest, SamplerHasItsSixtyEightControls) {
    Sampler sampler;
    const std::vector<Row> rows = SamplerPanel();
    EXPECT_EQ(rows.size(), 68u);
    ExpectRows(sampler.GetControls(), rows);
}

}  // namespace
}  // namespace sound
