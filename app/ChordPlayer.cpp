#include "app/ChordPlayer.h"

#include "platform/Clock.h"
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

void ChordPlayer::StartPlayer() {
    if (thread.Running()) return;
    running = 1;
    thread = platform::Thread([this] { Loop(); }, platform::ThreadPriority::Highest);
}

void ChordPlayer::RequestStrum() {
    strumRequest = 1;
    wake.Set();
}

void ChordPlayer::StopPlayer() {
    running = 0;
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
    }
}

int ChordPlayer::NoteNumber(int s, int fret, const theory::StringTuning& tuning) {
    return 69 + fret - theory::StandardTuning[s] + tuning[s];
}

void ChordPlayer::Sound(int s, int note) {
    sound::VoiceRoot* instrument = instruments[s];
    if (!instrument) return;
    bool octave = doubleOctave != 0;
    instrument->NoteOn(note, VELOCITY);
    if (octave) instrument->NoteOn(note + 12, VELOCITY);
    platform::SleepMs(NOTE_MS);
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
        if (fret != theory::NOT_PLAYED) Sound(s, NoteNumber(s, fret, now.tuning));
    }
}

void ChordPlayer::PluckString(int s, int fret) {
    if (s < 0 || s >= theory::STRING_COUNT) return;
    playing = 0;
    Sound(s, NoteNumber(s, fret, theory::CurrentTuning().strings));
}

}  // namespace app
