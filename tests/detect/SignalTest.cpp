// Whole signals through the listener: sines across the guitar's range and level, and
// single strings and strummed chords from the program's own string model, clean and noisy.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "detect/Listener.h"
#include "tests/detect/Signals.h"

namespace detect {
namespace {

std::span<const std::int16_t> Buffer(const std::vector<std::int16_t>& s, std::size_t index) {
    return std::span(s).subspan(index * CAPTURE_SAMPLES, CAPTURE_SAMPLES);
}

// "A4 ", "C##3 ": the name and octave a MIDI note is shown with.
std::string NoteLabel(int midi) {
    static const char* names[] = {"C",   "C##", "D",   "D##", "E",   "F",
                                  "F##", "G",   "G##", "A",   "A##", "B"};
    return std::string(names[midi % 12]) + std::to_string(midi / 12 - 1) + " ";
}

TEST(SignalTest, SinesReadTheirOwnNoteOctaveAndCents) {
    int checked = 0;
    for (double db : {-6.0, -20.0, -40.0, -60.0}) {
        for (int midi = 37; midi <= 95; ++midi) {
            for (double offset : {-20.0, 0.0, 20.0}) {
                double hz = 440.0 * std::pow(2.0, (midi - 69 + offset / 100.0) / 12.0);
                if (hz < 70.0 || hz > 2000.0) continue;
                Listener listener;
                listener.triggerLevel = 0;  // a sine between the table's notes may sit below 30
                auto s = test::Sine(hz, db, CAPTURE_SAMPLES * 8);
                for (std::size_t b = 0; b < 8; ++b) {
                    listener.Process(Buffer(s, b), false);
                    const DetectionResult& r = listener.Result();
                    ASSERT_TRUE(r.detected) << hz << " Hz at " << db << " dBFS, buffer " << b;
                    ASSERT_EQ(r.text.rfind(NoteLabel(midi), 0), 0u)
                        << hz << " Hz at " << db << " dBFS, buffer " << b << ": " << r.text;
                    ASSERT_LE(std::abs(r.cents - offset), 3.0)
                        << hz << " Hz at " << db << " dBFS: " << r.cents;
                    ++checked;
                }
            }
        }
    }
    EXPECT_GT(checked, 4 * 8 * 100);
}

TEST(SignalTest, PluckedSingleStringsReadAsPlayed) {
    for (int string = 0; string < 6; ++string) {
        for (int fret : {0, 3, 7, 12}) {
            test::Shape shape{-1, -1, -1, -1, -1, -1};
            shape[static_cast<std::size_t>(string)] = fret;
            int midi = sound::STANDARD_OPEN_NOTES[static_cast<std::size_t>(string)] + fret;
            for (bool noisy : {false, true}) {
                auto s = test::Strum(shape, 1.3);
                if (noisy) test::AddNoise(s, 20.0);
                Listener listener;
                // From half a second on, once the smoothed spectrum has risen; with noise while
                // the note still stands well above it (the top string's twelfth fret fades first).
                for (std::size_t b = 0; b < (noisy ? 3u : 5u); ++b) {
                    listener.Process(Buffer(s, b), false);
                    if (b < 2) continue;
                    const DetectionResult& r = listener.Result();
                    EXPECT_EQ(r.text.rfind(NoteLabel(midi), 0), 0u)
                        << "string " << string << " fret " << fret << (noisy ? " noisy" : "")
                        << ", buffer " << b << ": " << r.text;
                    EXPECT_LE(std::abs(r.cents), 5) << r.text;
                }
            }
        }
    }
}

struct Strummed {
    const char* text;
    test::Shape shape;
};

// Open shapes, barres and a high triad.
const Strummed CHORDS[] = {
    {"E Major", {0, 2, 2, 1, 0, 0}},     {"E Minor", {0, 2, 2, 0, 0, 0}},
    {"A Major", {-1, 0, 2, 2, 2, 0}},    {"A Minor", {-1, 0, 2, 2, 1, 0}},
    {"C Major", {-1, 3, 2, 0, 1, 0}},    {"G Major", {3, 2, 0, 0, 0, 3}},
    {"D Major", {-1, -1, 0, 2, 3, 2}},   {"D Minor", {-1, -1, 0, 2, 3, 1}},
    {"F Major", {1, 3, 3, 2, 1, 1}},     {"B Minor", {-1, 2, 4, 4, 3, 2}},
    {"C Minor", {-1, 3, 5, 5, 4, 3}},    {"B Major", {7, 9, 9, 8, 7, 7}},
    {"C Major", {-1, 3, 5, 5, 5, 3}},    {"G Minor", {3, 5, 5, 3, 3, 3}},
    {"D Major", {-1, 5, 7, 7, 7, 5}},    {"F## Minor", {2, 4, 4, 2, 2, 2}},
    {"D## Major", {-1, -1, 1, 3, 4, 3}},
};

TEST(SignalTest, StrummedTriadsReadAsPlayedAndNeverAsAnotherChord) {
    for (const Strummed& chord : CHORDS) {
        for (bool noisy : {false, true}) {
            auto s = test::Strum(chord.shape, 1.3);
            if (noisy) test::AddNoise(s, 20.0);
            Listener listener;
            for (std::size_t b = 0; b < 5; ++b) {
                listener.Process(Buffer(s, b), true);
                const DetectionResult& r = listener.Result();
                std::string where = std::string(chord.text) + (noisy ? " noisy" : "") +
                                    ", buffer " + std::to_string(b);
                if (b == 1 || b == 2 || r.detected) {
                    EXPECT_EQ(r.text, chord.text) << where;
                }
            }
        }
    }
}

}  // namespace
}  // namespace detect
