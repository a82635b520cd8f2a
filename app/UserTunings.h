#pragma once
// The user's own tunings: a [tunings] section of the settings file, one "Name = E2 A2 D3 G3 B3
// E4" a line, low string first. The program rewrites the file, so the section is carried
// through as the user wrote it, bad lines and all.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "theory/TuningTable.h"

namespace app {

inline constexpr const char* TUNINGS_HEADER = "[tunings]";

struct SplitSettingsText {
    std::string rest;     // everything outside the section
    std::string tunings;  // the section byte for byte, its header included; "" when absent
    int firstLine = 0;    // the file line of the section's header
};

// Cuts the [tunings] section (its header up to the next section header or the end) out of
// the text of a settings file.
SplitSettingsText SplitTuningsSection(const std::string& text);

// The good lines of a section, at most MAX_CUSTOM_TUNINGS. Each line skipped (not six notes,
// an unknown note, an octave out of range, an empty name or one a built-in tuning or an
// earlier line already answers to, no room left) adds one line to `complaints` naming its
// line number in the file and its text.
std::vector<theory::TuningRow> ParseTuningsSection(const std::string& section, int firstLine,
                                                   std::vector<std::string>& complaints);

// Parses the section, says each complaint on `err` (after `who` and `path`) and makes its
// tunings the table's; returns how many there are.
int InstallUserTunings(const SplitSettingsText& split, const std::string& who,
                       const std::string& path, std::ostream& err);

// For the subcommands: the [tunings] section of the file at `path` only, read without writing;
// a missing or unreadable file gives no tunings and no complaint.
int LoadUserTunings(const std::string& path, const std::string& who, std::ostream& err);

// A subcommand's --tuning: a built-in as theory::ParseTuning reads it; else one of the user's
// tunings by name (the settings file is read only then, and its tunings replace any in the
// table); else six notes with octaves, which give the built-in row that sounds the same or a
// new row named by the text.
// Nullopt with the reason in `error` when it is none of these.
std::optional<int> ResolveCommandTuning(const std::string& text, const std::string& who,
                                        std::ostream& err, std::string& error);

}  // namespace app
