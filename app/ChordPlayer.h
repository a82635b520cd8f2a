#pragma once
// The chord player: a thread that strums the selected shape on request and plays the
// sequence as picked arpeggios, looking every 5 ms while there is work and sleeping otherwise.
// It never touches widgets: it works from copies the main thread hands it and leaves word of
// the step it plays in a mailbox that the main thread empties.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

#include "platform/Thread.h"
#include "sound/VoiceRoot.h"
#include "theory/CurrentTuning.h"
#include "theory/Sequence.h"
#include "theory/Voicing.h"

namespace app {

// What a strum plays: the selected shape and the tuning it was found in, published by
// the main thread whenever either changes, so the player never reads a half-made list.
struct StrumShape {
    bool valid = false;
    theory::Voicing voicing;        // frets counted from the capo
    theory::StringTuning tuning{};  // the strings without the capo
    int capo = 0;
    // Semitones each string sounds away from the pitch-class rule: whole octaves, and only
    // for a user's tuning written in another octave.
    theory::StringPitches octaves{};

    // What string s plays: its shape fret behind the capo, counted from the nut.
    int AbsoluteFret(int s) const { return capo + voicing.frets[s]; }
    // The strings, capo and octaves of the tuning as it stands in `now`.
    void TakeTuning(const theory::TuningState& now);
    // The note number string s sounds in this shape.
    int NoteOf(int s) const;
};

// The sequence step the player has just begun, for the screen to show.
struct PlayingStep {
    int root = 0;
    int chordType = 0;
    bool split = false;
    int inversion = 0;
    int row = 0;  // the step's index in the sequence

    bool operator==(const PlayingStep&) const = default;
};

// Positions in the list of a shape's played strings, lowest string first, in the order
// one pass of a picking pattern sounds them.
struct PickingOrder {
    std::array<std::int8_t, 12> strings{};
    int size = 0;
};

class ChordPlayer {
  public:
    using Instruments = std::array<sound::VoiceRoot*, theory::STRING_COUNT>;

    static constexpr int VELOCITY = 56;
    static constexpr std::uint32_t NOTE_MS = 100;          // a strummed string
    static constexpr std::uint32_t ARPEGGIO_NOTE_MS = 50;  // a picked string
    static constexpr std::uint32_t ARPEGGIO_GAP_MS = 250;  // from one arpeggio note to the next
    static constexpr int BAR = 4;                          // quarter bars
    static constexpr std::uint32_t POLL_MS = 5;
    // With nothing playing the thread sleeps until RequestStrum wakes it; a request set
    // without a wake-up is still seen within this time.
    static constexpr std::uint32_t IDLE_POLL_MS = 100;

    ChordPlayer() = default;
    ~ChordPlayer();
    ChordPlayer(const ChordPlayer&) = delete;
    ChordPlayer& operator=(const ChordPlayer&) = delete;

    // Whole words shared with the player thread.
    std::atomic<std::uint32_t> playing{0};       // a sequence is playing or auditioned
    std::atomic<std::uint32_t> strumRequest{0};  // set by the main thread, taken by the player
    std::atomic<std::uint32_t> doubleOctave{0};  // every note also an octave higher
    std::atomic<std::int32_t> style{1};          // picking pattern 0..2
    std::atomic<std::int32_t> step{0};           // current sequence step
    std::atomic<std::uint32_t> lastNoteTime{0};  // millisecond tick of the last arpeggio note
    std::atomic<std::uint32_t> running{0};

    // The string instruments, string 0 first (null: that string is silent). Set before
    // the thread starts.
    void SetInstruments(const Instruments& strings) { instruments = strings; }
    void Publish(const StrumShape& shape);
    StrumShape Shape() const;

    // Sets strumRequest and wakes the thread, which strums at once.
    void RequestStrum();
    // Plays the sequence from step 0: sets `step` and `playing` and wakes the thread.
    void Play();

    // The steps to play from now on, copied.
    void SetSequence(const theory::Sequence& steps);
    theory::Sequence Steps() const;
    // The step begun last, once: nullopt when no step began since the last call.
    std::optional<PlayingStep> TakePlayingStep();

    void StartPlayer();
    // Waits up to 5 s for the thread, then leaves it to end on its own.
    void StopPlayer();

    // Sounds the published shape from string 0 upward, one string every 100 ms.
    void Strum();
    // Sounds one string at one fret (counted from the nut) for 100 ms in the caller's thread.
    void PluckString(int s, int fret);
    // One round of playback: step `step` as an arpeggio of its length (with no steps, the
    // published shape for one bar), then `step` moves on, back to 0 after the last step.
    void PlaySequenceStep();
    // Picks `shape` `length` quarter bars long in the pattern `style` names, a note every
    // 250 ms; returns after the current note once `playing` is cleared or a strum is asked for.
    void Arpeggio(int length, const StrumShape& shape);
    // The shape a step plays: the search run again on the current tuning and capo, item
    // `inversion` (the last one when there are fewer); invalid when the chord has no shape.
    static StrumShape StepShape(const theory::SequenceStep& step);
    // Pattern 0 (8 notes), 1 (6) or 2 (12) over n played strings. Positions below 0 or past
    // the last string, which shapes of fewer than three strings would need, are brought to
    // the nearest string there is; no strings, no notes.
    static PickingOrder Picking(int pattern, int n);

    // 69 is every string's open note in standard tuning; a retuned string is played the
    // pitch-class difference away, without wrapping.
    static int NoteNumber(int s, int fret, const theory::StringTuning& tuning);
    // The octaves by which tuning row `index` departs from the pitch-class rule.
    static theory::StringPitches Octaves(int index);

  private:
    void Loop();
    void Sound(int s, int note, std::uint32_t holdMs);
    void Announce(const PlayingStep& now);

    Instruments instruments{};
    mutable std::mutex shapeMutex;
    StrumShape shape;
    theory::Sequence sequence;
    std::optional<PlayingStep> playingStep;  // the mailbox, under shapeMutex
    std::atomic<bool> quitting{false};       // StopPlayer cuts a long arpeggio short
    platform::AutoResetEvent wake;
    platform::Thread thread;
};

}  // namespace app
