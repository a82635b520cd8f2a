#include "app/commands/CommandOptions.h"

#include <charconv>
#include <ostream>

#include "app/UserTunings.h"
#include "theory/Names.h"
#include "theory/TuningTable.h"

namespace commands {

namespace {

std::string OptionList(const OptionTable& table) {
    std::string list;
    auto add = [&list](std::string_view text) {
        list += (list.empty() ? "" : ", ") + std::string(text);
    };
    for (const Valued& v : table.valued)
        add(std::string(v.word) + " " + std::string(v.metavar));
    for (const Flag& f : table.flags)
        add(f.word);
    add("--help");
    return list;
}

// The value of a valued option at args[i], advancing i past it; "" or the mistake.
std::string TakeValue(std::span<const std::string> args, std::size_t& i, const Valued& option) {
    const std::string& word = args[i];
    if (word.size() > option.word.size()) {
        *option.value = word.substr(option.word.size() + 1);
        return {};
    }
    if (i + 1 == args.size()) {
        if (option.word == "--tuning")
            return "--tuning needs a name or index (from: " + TuningChoices() + ")";
        return std::string(option.word) + " needs a value (" + std::string(option.word) + " " +
               std::string(option.metavar) + ")";
    }
    *option.value = args[++i];
    return {};
}

}  // namespace

std::string ParseOptions(std::span<const std::string> args, const OptionTable& table,
                         std::vector<std::string>& positional) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (!word.starts_with("--") && word != "-h") {
            positional.push_back(word);
            continue;
        }
        if (word == "--help" || word == "-h") {
            if (table.help) *table.help = true;
            continue;
        }
        bool known = false;
        for (const Flag& flag : table.flags) {
            if (word == flag.word) *flag.value = known = true;
        }
        for (const Valued& option : table.valued) {
            if (known || !word.starts_with(option.word)) continue;
            if (word.size() > option.word.size() && word[option.word.size()] != '=') continue;
            known = true;
            if (std::string error = TakeValue(args, i, option); !error.empty()) return error;
        }
        if (!known) return "unknown option " + word + " (options: " + OptionList(table) + ")";
    }
    return {};
}

std::optional<int> NumberIn(std::string_view text, int low, int high) {
    int number = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || number < low ||
        number > high)
        return std::nullopt;
    return number;
}

std::string TuningName(int tuning) {
    return theory::TuningRowAt(tuning).value_or(theory::TuningRow{}).name;
}

std::string TuningChoices() {
    std::string list;
    for (int u = 0; u < theory::TuningCount(); ++u)
        list += (list.empty() ? "" : ", ") + std::to_string(u) + " " + TuningName(u);
    return list;
}

std::string ResolveInstrument(const std::optional<std::string>& tuningText,
                              const std::optional<std::string>& capoText, Instrument& instrument,
                              const std::string& who, std::ostream& err) {
    if (tuningText) {
        std::string why;
        std::optional<int> tuning = app::ResolveCommandTuning(*tuningText, who, err, why);
        if (!tuning)
            return "unknown tuning '" + *tuningText + "': " + why +
                   " (choose a name, its six notes from the lowest string, or an index from: " +
                   TuningChoices() + ")";
        instrument.tuning = *tuning;
    }
    if (capoText) {
        std::optional<int> capo = NumberIn(*capoText, 0, theory::MAX_CAPO);
        if (!capo)
            return "--capo takes a fret from 0 to " + std::to_string(theory::MAX_CAPO) + ", not '" +
                   *capoText + "'";
        instrument.capo = *capo;
    }
    return {};
}

std::string PlainText(std::string_view marked) {
    std::string plain;
    for (std::size_t i = 0; i < marked.size(); ++i) {
        plain += marked[i];
        if (marked[i] == '#' && i + 1 < marked.size() && marked[i + 1] == '#') ++i;
    }
    return plain;
}

void AppendJsonString(std::string& json, std::string_view text) {
    json += '"';
    for (char c : text) {
        if (c == '"' || c == '\\') json += '\\';
        json += c;
    }
    json += '"';
}

int FinishOutput(std::string_view command, std::ostream& out, std::ostream& err) {
    out.flush();
    if (out) return 0;
    err << "fretlore " << command << ": could not write the output\n";
    return 1;
}

}  // namespace commands
