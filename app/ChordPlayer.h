#pragma once
// The chord player: a thread that strums the selected shape on request (and, later,
// plays sequence steps), looking every 5 ms while there is work and sleeping otherwise.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

#include "platform/Thread.h"
#include "sound/VoiceRoot.h"
#include "theory/CurrentTuning.h"
#include "theory/Voicing.h"

namespace app {

// What a strum plays: the selected shape and the tuning it was found in, published by
// the main thread whenever either changes, so the player never reads a half-made list.
struct StrumShape {
    bool valid = false;
    theory::Voicing voicing;
    theory::StringTuning tuning{};
};

class ChordPlayer {
  public:
    using Instruments = std::array<sound::VoiceRoot*, theory::STRING_COUNT>;

    static constexpr int VELOCITY = 56;
    static constexpr std::uint32_t NOTE_MS = 100;
    static constexpr std::uint32_t ARPEGGIO_GAP_MS = 250;  // after the last arpeggio note
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

    void StartPlayer();
    // Waits up to 5 s for the thread, then leaves it to end on its own.
    void StopPlayer();

    // Sounds the published shape from string 0 upward, one string every 100 ms.
    void Strum();
    // Sounds one string at one fret for 100 ms in the caller's thread.
    void PluckString(int s, int fret);

    // 69 is every string's open note in standard tuning; a retuned string is played the
    // pitch-class difference away, without wrapping.
    static int NoteNumber(int s, int fret, const theory::StringTuning& tuning);

  private:
    void Loop();
    void Sound(int s, int note);

    Instruments instruments{};
    mutable std::mutex shapeMutex;
    StrumShape shape;
    platform::AutoResetEvent wake;
    platform::Thread thread;
};

}  // namespace app
