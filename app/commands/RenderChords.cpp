#include "app/commands/RenderChords.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <memory>
#include <optional>

#include "app/ChordPlayer.h"
#include "app/SequenceFile.h"
#include "app/UserTunings.h"
#include "app/commands/CommandOptions.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "sound/Sampler.h"
#include "theory/ChordSearch.h"
#include "theory/CurrentTuning.h"
#include "theory/Names.h"

namespace rendercmd {

namespace {

constexpr std::uint32_t MAX_TAIL_MS = 10000;
constexpr int MAX_LOOPS = 100;

struct ChordOptions {
    std::optional<std::string> seqPath, outPath, root, type, tuningText;
    int loops = 1;
    int style = 1;  // the player's pattern at start
    bool twelve = false;
    bool split = false;
    int tuning = 0;
    int shape = 1;  // as the Inversion list counts
};

// An offline clock: sleeping on it renders that many milliseconds of the mixer into the file,
// so the player's own waits lay its notes out in the sound.
class RenderClock final : public platform::Clock {
  public:
    static constexpr std::uint32_t START_MS = 1000;

    RenderClock(sound::Mixer& m, platform::WavWriter& w, std::vector<std::int16_t>& b)
        : mixer(m), wav(w), block(b) {}
    std::uint32_t NowMs() override { return now; }
    void SleepMs(std::uint32_t ms) override {
        now += ms;
        std::uint64_t due = std::uint64_t{now - START_MS} * RATE / 1000;
        while (rendered < due) {
            std::size_t n =
                static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), due - rendered));
            std::span<std::int16_t> part(block.data(), n);
            mixer.RenderBlock(part);
            wav.Write(part);
            rendered += n;
        }
    }

  private:
    sound::Mixer& mixer;
    platform::WavWriter& wav;
    std::vector<std::int16_t>& block;
    std::uint32_t now = START_MS;
    std::uint64_t rendered = 0;  // frames
};

std::string ParseNumber(const std::string& word, const std::string& value, int lo, int hi,
                        int& into) {
    std::optional<int> n = commands::NumberIn(value, lo, hi);
    if (!n)
        return word + " must be a whole number from " + std::to_string(lo) + " to " +
               std::to_string(hi) + ", not '" + value + "'";
    into = *n;
    return {};
}

// One option with its values at args[i]; advances i past them. "" or the error.
std::string ParseOne(std::span<const std::string> args, std::size_t& i, ChordOptions& o) {
    const std::string& word = args[i];
    if (word == "--twelve" || word == "--split") {
        (word == "--twelve" ? o.twelve : o.split) = true;
        return {};
    }
    std::size_t values = word == "--strum" ? 2 : 1;
    if (i + values >= args.size())
        return word + " needs " + (values == 2 ? "ROOT TYPE" : "a value");
    const std::string& value = args[i + 1];
    i += values;
    if (word == "--loops") return ParseNumber(word, value, 1, MAX_LOOPS, o.loops);
    if (word == "--style") return ParseNumber(word, value, 0, 2, o.style);
    if (word == "--shape") return ParseNumber(word, value, 1, theory::MAX_VOICINGS, o.shape);
    if (word == "--seq") {
        o.seqPath = value;
    } else if (word == "--out") {
        o.outPath = value;
    } else if (word == "--strum") {
        o.root = value;
        o.type = args[i];
    } else if (word == "--tuning") {
        o.tuningText = value;
    } else {
        return "unknown option '" + word + "'";
    }
    return {};
}

std::string Parse(std::span<const std::string> args, ChordOptions& o) {
    for (std::size_t i = 0; i < args.size(); ++i)
        if (std::string error = ParseOne(args, i, o); !error.empty()) return error;
    if (!o.outPath) return "--out FILE.wav is required";
    if (o.seqPath.has_value() == o.root.has_value())
        return "give either --seq FILE or --strum ROOT TYPE";
    return {};
}

// What to play, checked before anything sounds.
struct Job {
    std::optional<theory::Sequence> sequence;
    app::StrumShape shape;
};

// "" or why the options name nothing playable.
std::string Prepare(const ChordOptions& o, Job& job) {
    if (o.seqPath) {
        theory::Sequence sequence;
        app::SequenceLoadResult loaded = app::LoadSequenceFile(*o.seqPath, sequence);
        if (loaded.outcome != app::SequenceLoad::LOADED) return loaded.reason;
        if (sequence.count == 0) return *o.seqPath + " holds no steps";
        job.sequence = sequence;
        return {};
    }
    std::optional<theory::PitchClass> root = theory::ParseNoteName(*o.root);
    if (!root) return "unknown note name '" + *o.root + "'";
    std::optional<int> type = theory::ParseChordType(*o.type);
    if (!type) return "unknown chord type '" + *o.type + "'";
    theory::TuningState state;
    state.strings = theory::TuningRowAt(o.tuning).value_or(theory::TuningRow{}).strings;
    state.index = o.tuning;
    job.shape.TakeTuning(state);
    theory::VoicingList list;
    theory::FindVoicings(*root, *type, job.shape.tuning, o.split, list);
    if (o.shape > list.count)
        return "the chord has " + std::to_string(list.count) + " shapes, not " +
               std::to_string(o.shape);
    job.shape.valid = true;
    job.shape.voicing = list.items[o.shape - 1];
    return {};
}

// The six strings on mixer channels 0..5, as the program sets them up.
struct Strings {
    sound::Mixer mixer;
    std::array<std::unique_ptr<sound::Sampler>, theory::STRING_COUNT> samplers;
    app::ChordPlayer::Instruments instruments{};

    ~Strings() {
        for (std::uint32_t ch = 0; ch < theory::STRING_COUNT; ++ch)
            mixer.DetachInstrument(ch);
    }
    // "" or why the mixer could not open. Strings without their patch are named on one line.
    std::string Open(std::ostream& err) {
        if (!mixer.Open(RATE, false, theory::STRING_COUNT, nullptr)) return mixer.LastError();
        std::string failures;
        for (int s = 0; s < theory::STRING_COUNT; ++s) {
            samplers[s] = std::make_unique<sound::Sampler>();
            mixer.AttachInstrument(samplers[s].get(), static_cast<std::uint32_t>(s));
            std::string message;
            if (!sound::SetUpStringInstrument(*samplers[s],
                                              ProgramFolder() / sound::StringPatchName(s), message))
                failures += (failures.empty() ? "" : "; ") + message;
            instruments[s] = samplers[s].get();
        }
        if (!failures.empty()) err << "fretlore render: " << failures << "\n";
        return {};
    }
};

// Plays the job on `player`, which sounds into the clock's file.
void Play(const ChordOptions& o, const Job& job, app::ChordPlayer& player, RenderClock& clock) {
    player.doubleOctave = o.twelve ? 1 : 0;
    player.style = o.style;
    player.lastNoteTime = clock.NowMs() - app::ChordPlayer::ARPEGGIO_GAP_MS;
    if (!job.sequence) {
        player.Publish(job.shape);
        player.Strum();
        return;
    }
    player.SetSequence(*job.sequence);
    player.playing = 1;
    for (int k = 0; k < job.sequence->count * o.loops; ++k)
        player.PlaySequenceStep();
}

// Renders into `wav` with the tuning the options name, which is the program-wide one only
// while this runs.
void Render(const ChordOptions& o, const Job& job, Strings& strings, platform::WavWriter& wav) {
    std::vector<std::int16_t> block(strings.mixer.FramesPerBlock());
    RenderClock clock(strings.mixer, wav, block);
    theory::TuningState before = theory::CurrentTuning();
    theory::SetTuning(o.tuning, false);
    {
        platform::ScopedClock useClock(clock);
        app::ChordPlayer player;
        player.SetInstruments(strings.instruments);
        Play(o, job, player, clock);
    }
    theory::SetTuning(before.index, before.leftHanded);
    RenderTail(strings.mixer, wav, block);
}

}  // namespace

std::filesystem::path ProgramFolder() {
    return platform::ProgramFolder();
}

void RenderTail(sound::Mixer& mixer, platform::WavWriter& wav, std::vector<std::int16_t>& block) {
    const std::uint64_t limit = std::uint64_t{RATE} * MAX_TAIL_MS / 1000;
    int silentBlocks = 0;
    for (std::uint64_t done = 0; done < limit && silentBlocks < 4; done += block.size()) {
        mixer.RenderBlock(block);
        bool silent =
            std::all_of(block.begin(), block.end(), [](std::int16_t v) { return v == 0; });
        silentBlocks = silent ? silentBlocks + 1 : 0;
        wav.Write(block);
    }
}

bool IsChordRender(std::span<const std::string> args) {
    return std::any_of(args.begin(), args.end(),
                       [](const std::string& a) { return a == "--seq" || a == "--strum"; });
}

int RunChordRender(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    ChordOptions o;
    if (std::string error = Parse(args, o); !error.empty()) {
        err << "fretlore render: " << error << " (see fretlore render --help)\n";
        return 2;
    }
    if (o.tuningText) {
        std::string why;
        std::optional<int> tuning =
            app::ResolveCommandTuning(*o.tuningText, "fretlore render", err, why);
        if (!tuning) {
            err << "fretlore render: unknown tuning '" << *o.tuningText << "': " << why
                << " (see fretlore render --help)\n";
            return 2;
        }
        o.tuning = *tuning;
    }
    Job job;
    if (std::string error = Prepare(o, job); !error.empty()) {
        err << "fretlore render: " << error << "\n";
        return 2;
    }
    Strings strings;
    platform::WavWriter wav;
    std::string error = strings.Open(err);
    if (error.empty()) error = wav.Open(*o.outPath, RATE, 1);
    if (error.empty()) {
        Render(o, job, strings, wav);
        error = wav.Finish();
    }
    if (!error.empty()) {
        err << "fretlore render: " << error << "\n";
        return 2;
    }
    out << "wrote " << *o.outPath << "\n";
    return 0;
}

}  // namespace rendercmd
