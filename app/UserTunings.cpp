#include "app/UserTunings.h"

#include <sstream>

#include "app/Settings.h"
#include "platform/Files.h"
#include "platform/SafeFile.h"
#include "theory/Names.h"

namespace app {

namespace {

bool IsHeader(const std::string& trimmed) {
    return trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']';
}

// Why a line cannot be a tuning, or "" when it can; fills `row`.
std::string ReadLine(const std::string& line, const std::vector<theory::TuningRow>& earlier,
                     theory::TuningRow& row) {
    auto eq = line.find('=');
    if (eq == std::string::npos) return "no '='";
    row.name = Trimmed(line.substr(0, eq));
    if (row.name.empty()) return "no name";
    if (theory::ParseTuning(row.name)) return "the name of a built-in tuning";
    for (const theory::TuningRow& other : earlier)
        if (theory::SameIgnoringCase(other.name, row.name))
            return "the name is taken by an earlier line";
    std::string error;
    auto pitches = theory::ParseStringPitches(Trimmed(line.substr(eq + 1)), true, error);
    if (!pitches) return error;
    row.pitches = *pitches;
    row.strings = theory::ClassesOf(*pitches);
    return {};
}

}  // namespace

SplitSettingsText SplitTuningsSection(const std::string& text) {
    SplitSettingsText split;
    bool inside = false;
    int lineNo = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string line = text.substr(at, end - at);
        std::string trimmed = Trimmed(line.back() == '\n' ? line.substr(0, line.size() - 1) : line);
        ++lineNo;
        if (IsHeader(trimmed)) {
            // A second [tunings] section joins the first: nothing is dropped.
            // Any case: a section the rest of the file cannot take must not be lost on saving.
            inside = theory::SameIgnoringCase(trimmed, TUNINGS_HEADER);
            if (inside && split.firstLine == 0) split.firstLine = lineNo;
        }
        (inside ? split.tunings : split.rest) += line;
        at = end;
    }
    return split;
}

std::vector<theory::TuningRow> ParseTuningsSection(const std::string& section, int firstLine,
                                                   std::vector<std::string>& complaints) {
    std::vector<theory::TuningRow> rows;
    std::istringstream lines(section);
    std::string line;
    std::getline(lines, line);  // the header
    for (int lineNo = firstLine + 1; std::getline(lines, line); ++lineNo) {
        std::string text = Trimmed(line);
        if (text.empty() || text[0] == '#' || text[0] == ';' || IsHeader(text)) continue;
        theory::TuningRow row;
        std::string why = ReadLine(text, rows, row);
        if (why.empty() && rows.size() == theory::MAX_CUSTOM_TUNINGS)
            why =
                "no room for more than " + std::to_string(theory::MAX_CUSTOM_TUNINGS) + " tunings";
        if (!why.empty()) {
            complaints.push_back("line " + std::to_string(lineNo) + " skipped (" + why +
                                 "): " + text);
            continue;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

int InstallUserTunings(const SplitSettingsText& split, const std::string& who,
                       const std::string& path, std::ostream& err) {
    std::vector<std::string> complaints;
    std::vector<theory::TuningRow> rows =
        ParseTuningsSection(split.tunings, split.firstLine, complaints);
    for (const std::string& complaint : complaints)
        err << who << ": " << path << ": " << complaint << '\n';
    theory::SetCustomTunings(rows);
    return static_cast<int>(rows.size());
}

int LoadUserTunings(const std::string& path, const std::string& who, std::ostream& err) {
    if (path.empty() || !platform::FileExists(path) || platform::IsFolder(path)) return 0;
    std::string error;
    auto bytes = platform::ReadWholeFile(path, error);
    if (!bytes) return 0;
    return InstallUserTunings(SplitTuningsSection(std::string(bytes->begin(), bytes->end())), who,
                              path, err);
}

std::optional<int> ResolveCommandTuning(const std::string& text, const std::string& who,
                                        std::ostream& err, std::string& error) {
    if (auto builtIn = theory::ParseTuning(text)) return builtIn;
    // Read afresh: the file's tunings, and nothing an earlier call added.
    theory::SetCustomTunings({});
    LoadUserTunings(SettingsPath(), who, err);
    if (auto custom = theory::FindCustomTuning(Trimmed(text))) return custom;
    if (auto index = WholeNumber(text); index && *index >= 0 && *index < theory::TuningCount())
        return index;
    // Notes without octaves name only the built-ins, as ParseTuning reads them.
    auto pitches = theory::ParseStringPitches(text, true, error);
    if (!pitches) {
        error = "not a tuning's name or index, and not six notes with octaves (" + error + ")";
        return std::nullopt;
    }
    if (auto same = theory::FindBuiltInTuning(*pitches)) return same;
    auto added = theory::AddCustomTuning({Trimmed(text), theory::ClassesOf(*pitches), *pitches});
    if (!added) error = "no room for one more tuning";
    return added;
}

}  // namespace app
