#pragma once
// What the chord subcommands share: their option words, the tuning and capo they are played
// with, and the small text helpers of their output.

#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "theory/CurrentTuning.h"

namespace commands {

struct Flag {
    std::string_view word;  // "--split"
    bool* value;
};

struct Valued {
    std::string_view word;     // "--tuning"
    std::string_view metavar;  // "NAME|INDEX", shown in the list of options
    std::optional<std::string>* value;
};

// A command's options. "--help" and "-h" are always known.
struct OptionTable {
    std::vector<Flag> flags;
    std::vector<Valued> valued;
    bool* help = nullptr;
};

// Reads "--flag", "--word VALUE" and "--word=VALUE"; every other word is positional (chord
// types such as "-5" start with a single '-'). "" or the mistake, one line without the
// command's name.
std::string ParseOptions(std::span<const std::string> args, const OptionTable& table,
                         std::vector<std::string>& positional);

// A whole number from `low` to `high`, as an option's value is written; else nullopt.
std::optional<int> NumberIn(std::string_view text, int low, int high);

// "0 Standard, 1 Dropped D, ...", the user's own tunings last.
std::string TuningChoices();
// The name of tuning row `tuning`, built-in or the user's; "" for no row.
std::string TuningName(int tuning);

// The tuning and capo the chord is played with.
struct Instrument {
    int tuning = 0;  // row of `Tunings`
    int capo = 0;    // 0..MAX_CAPO
    // The strings as they sound with the capo on; frets count from the capo.
    theory::StringTuning Strings() const { return theory::CapoTuning(tuning, capo); }
};

// From the words of --tuning and --capo (absent: "Standard", no capo). "" or the mistake.
// A tuning may also be one of the user's own, read from the settings file (a bad line there
// is told on `err`, headed by `who`), or six notes with octaves.
std::string ResolveInstrument(const std::optional<std::string>& tuningText,
                              const std::optional<std::string>& capoText, Instrument& instrument,
                              const std::string& who, std::ostream& err);

// Note names are stored with "##" for the markup renderer; plain text wants one '#'.
std::string PlainText(std::string_view marked);

void AppendJsonString(std::string& json, std::string_view text);

// Flushes `out`: 0, or 1 after saying the output could not be written.
int FinishOutput(std::string_view command, std::ostream& out, std::ostream& err);

}  // namespace commands
