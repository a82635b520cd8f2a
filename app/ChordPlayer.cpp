#include "app/ChordPlayer.h"

#include <algorithm>
#include <span>
#include <utility>

#include "platform/Clock.h"
#include "theory/ChordSearch.h"
#include "theory/TheoryTables.h"

namespace app {

ChordPlayer::~ChordPlayer() {
    StopPlayer();
}

void ChordPlayer::Publish(const StrumShape& newShape) {
    std::lock_guard lock(shapeMutex);
    shape = newShape;
}

StrumShape ChordPlayer::Shape() const {
    std::lock_guard lock(shapeMutex);
    return shape;
}

void ChordPlayer::SetSequence(const theory::Sequence& steps) {
    std::lock_guard lock(shapeMutex);
    sequence = steps;
}

theory::Sequence ChordPlayer::Steps() const {
    std::lock_guard lock(shapeMutex);
    return sequence;
}

void ChordPlayer::Announce(const PlayingStep& now) {
    std::lock_guard lock(shapeMutex);
    playingStep = now;
}

std::optional<PlayingStep> ChordPlayer::TakePlayingStep() {
    std::lock_guard lock(shapeMutex);
    return std::exchange(playingStep, std::nullopt);
}

void ChordPlayer::StartPlayer() {
    if (thread.Running()) return;
    running = 1;
    quitting = false;
    thread = platform::Thread([this] { Loop(); }, platform::ThreadPriority::Highest);
}

void ChordPlayer::RequestStrum() {
    strumRequest = 1;
    wake.Set();
}

void ChordPlayer::Play() {
    TakePlayingStep();  // word of an earlier run is stale now
    step = 0;
    playing = 1;
    wake.Set();
}

void ChordPlayer::StopPlayer() {
    running = 0;
    quitting = true;
    wake.Set();
    thread.Join(5000);
}

void ChordPlayer::Loop() {
    while (running) {
        if (platform::UsingSystemClock()) {
            // Waking every 5 ms for nothing cost an idle program a good part of its time.
            wake.Wait(playing ? POLL_MS : IDLE_POLL_MS);
        } else {
            platform::SleepMs(POLL_MS);  // a test clock moves only when someone sleeps on it
        }
        if (strumRequest) Strum();
        if (playing && running) PlaySequenceStep();
    }
}

int ChordPlayer::NoteNumber(int s, int fret, const theory::StringTuning& tuning) {
    return 69 + fret - theory::StandardTuning[s] + tuning[s];
}

void StrumShape::TakeTuning(const theory::TuningState& now) {
    tuning = now.strings;
    capo = now.capo;
    octaves = ChordPlayer::Octaves(now.index);
}

int StrumShape::NoteOf(int s) const {
    return ChordPlayer::NoteNumber(s, AbsoluteFret(s), tuning) + octaves[s];
}

theory::StringPitches ChordPlayer::Octaves(int index) {
    theory::TuningRow row = theory::TuningRowAt(index).value_or(theory::TuningRow{});
    std::array<theory::PitchClass, theory::STRING_COUNT> classes{};
    std::copy(row.strings.begin(), row.strings.end(), classes.begin());
    theory::StringPitches byClass = theory::PitchesFromClasses(classes), octaves{};
    for (int s = 0; s < theory::STRING_COUNT; ++s)
        octaves[s] = static_cast<std::int8_t>(row.pitches[s] - byClass[s]);
    return octaves;
}

void ChordPlayer::Sound(int s, int note, std::uint32_t holdMs) {
    sound::VoiceRoot* instrument = instruments[s];
    if (!instrument) return;
    bool octave = doubleOctave != 0;
    instrument->NoteOn(note, VELOCITY);
    if (octave) instrument->NoteOn(note + 12, VELOCITY);
    platform::SleepMs(holdMs);
    instrument->NoteOff(note);
    if (octave) instrument->NoteOff(note + 12);
}

void ChordPlayer::Strum() {
    playing = 0;
    strumRequest = 0;
    while (platform::TickMs() - lastNoteTime < ARPEGGIO_GAP_MS)
        platform::SleepMs(1);
    StrumShape now = Shape();
    if (!now.valid) return;
    for (int s = 0; s < theory::STRING_COUNT; ++s) {
        int fret = now.voicing.frets[s];
        if (fret != theory::NOT_PLAYED) Sound(s, now.NoteOf(s), NOTE_MS);
    }
}

void ChordPlayer::PluckString(int s, int fret) {
    if (s < 0 || s >= theory::STRING_COUNT) return;
    playing = 0;
    theory::TuningState now = theory::CurrentTuning();
    Sound(s, NoteNumber(s, fret, now.strings) + Octaves(now.index)[s], NOTE_MS);
}

StrumShape ChordPlayer::StepShape(const theory::SequenceStep& step) {
    StrumShape found;
    theory::TuningState now = theory::CurrentTuning();
    found.TakeTuning(now);
    theory::VoicingList list;
    theory::FindVoicings(step.root, step.chordType, now.Capoed(), step.split != 0, list);
    if (list.count == 0) return found;
    found.valid = true;
    found.voicing = list.items[std::min<int>(step.inversion, list.count - 1)];
    return found;
}

void ChordPlayer::PlaySequenceStep() {
    theory::Sequence now = Steps();
    int k = step;
    if (k < 0 || k >= now.count) k = 0;
    int length = BAR;
    StrumShape chord;
    if (now.count > 0) {
        const theory::SequenceStep& s = now.steps[k];
        chord = StepShape(s);
        length = s.length;
        Announce({s.root, s.chordType, s.split != 0, s.inversion, k});
    } else {
        chord = Shape();
    }
    Arpeggio(length, chord);
    // A Play pressed meanwhile has put `step` back to 0; that wins.
    int expected = k;
    step.compare_exchange_strong(expected, k + 1 < now.count ? k + 1 : 0);
}

PickingOrder ChordPlayer::Picking(int pattern, int n) {
    // Offsets from the top string, n - 3 .. n - 1, as negative numbers; S0 and S1 as 0, 1.
    static constexpr int LOW = 0, SECOND = 1, A = -3, B = -2, C = -1;
    static constexpr std::array<int, 8> PATTERN_0{LOW, A, B, A, C, A, B, A};
    static constexpr std::array<int, 6> PATTERN_1{LOW, A, B, C, B, A};
    static constexpr std::array<int, 12> PATTERN_2{LOW, A, B, C, B, A, SECOND, A, B, C, B, A};
    std::span<const int> picks = pattern == 0   ? std::span<const int>(PATTERN_0)
                                 : pattern == 2 ? std::span<const int>(PATTERN_2)
                                                : std::span<const int>(PATTERN_1);
    PickingOrder order;
    if (n <= 0) return order;
    for (int at : picks) {
        int index = at < 0 ? n + at : at;
        order.strings[order.size++] = static_cast<std::int8_t>(std::clamp(index, 0, n - 1));
    }
    return order;
}

void ChordPlayer::Arpeggio(int length, const StrumShape& chord) {
    if (!chord.valid) return;
    std::array<int, theory::STRING_COUNT> played{};
    int n = 0;
    for (int s = 0; s < theory::STRING_COUNT; ++s)
        if (chord.voicing.frets[s] != theory::NOT_PLAYED) played[n++] = s;
    PickingOrder order = Picking(style, n);
    int notes = order.size * length / BAR;
    for (int k = 0; k < notes; ++k) {
        while (platform::TickMs() - lastNoteTime < ARPEGGIO_GAP_MS)
            platform::SleepMs(1);
        lastNoteTime = platform::TickMs();
        int s = played[order.strings[k % order.size]];
        Sound(s, chord.NoteOf(s), ARPEGGIO_NOTE_MS);
        // A strum waiting its turn ends the arpeggio too, so that it sounds at once.
        if (!playing || quitting || strumRequest) return;
    }
}

}  // namespace app
