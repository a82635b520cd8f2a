#pragma once
// An instrument that writes down what the chord player asks of it, and when; and a player
// that sounds into six of them on a fake clock.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <mutex>
#include <vector>

#include "app/ChordPlayer.h"
#include "platform/Clock.h"

namespace app {

// An instrument that writes down what it was asked to play, and when.
class Recorder : public sound::VoiceRoot {
  public:
    struct Event {
        bool on;
        int note;
        std::uint32_t time;
    };
    // Called after each note on, outside the lock.
    std::function<void()> onNoteOn;

    void Clear() {
        std::lock_guard lock(mutex);
        events.clear();
    }
    std::vector<Event> Events() {
        std::lock_guard lock(mutex);
        return events;
    }
    int NoteOn(int note, int velocity) override {
        EXPECT_EQ(velocity, ChordPlayer::VELOCITY);
        {
            std::lock_guard lock(mutex);
            events.push_back({true, note, platform::TickMs()});
        }
        if (onNoteOn) onNoteOn();
        return note;
    }
    void NoteOff(int note) override {
        std::lock_guard lock(mutex);
        events.push_back({false, note, platform::TickMs()});
    }
    void AllNotesOff() override {}
    bool SetSampleRate(std::uint32_t) override { return true; }
    bool Render(std::span<std::int32_t>) override { return false; }
    bool Load(std::istream&, std::string&) override { return false; }
    bool Save(std::ostream&) override { return false; }
    bool SetControlValue(std::uint8_t, double) override { return false; }
    void SelectRadio(std::uint8_t, std::uint8_t, std::uint8_t) override {}
    double GetControlValue(std::uint8_t) override { return 0; }
    sound::FileType GetFileType() const override { return {"*.x", "x"}; }
    int OnControlChanged(const sound::ControlChange&) override { return 0; }
    std::span<const sound::Control> GetControls() override { return {}; }

  private:
    std::mutex mutex;
    std::vector<Event> events;
};

struct PlayerFixture : ::testing::Test {
    platform::FakeClock clock{100000};
    platform::ScopedClock useClock{clock};
    std::array<Recorder, 6> strings;
    ChordPlayer player;
    void SetUp() override {
        ChordPlayer::Instruments instruments{};
        for (int s = 0; s < 6; ++s)
            instruments[s] = &strings[s];
        player.SetInstruments(instruments);
    }
    struct Played {
        int string;
        int note;
        std::uint32_t on;
        std::uint32_t off;  // of the same note on the same string
    };
    // Every note played, in the order they began.
    std::vector<Played> Notes() {
        std::vector<Played> all;
        for (int s = 0; s < 6; ++s) {
            auto events = strings[s].Events();
            for (std::size_t i = 0; i < events.size(); ++i) {
                if (!events[i].on) continue;
                Played p{s, events[i].note, events[i].time, 0};
                for (std::size_t j = i + 1; j < events.size(); ++j) {
                    if (!events[j].on && events[j].note == p.note) {
                        p.off = events[j].time;
                        break;
                    }
                }
                all.push_back(p);
            }
        }
        std::stable_sort(all.begin(), all.end(),
                         [](const Played& a, const Played& b) { return a.on < b.on; });
        return all;
    }
    static StrumShape Shape(theory::Frets frets,
                            theory::StringTuning tuning = {4, 9, 2, 7, 11, 4}) {
        StrumShape shape;
        shape.valid = true;
        shape.voicing.frets = frets;
        shape.tuning = tuning;
        return shape;
    }
};

}  // namespace app
