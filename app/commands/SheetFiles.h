#pragma once
// Chord sheets drawn into files, for the subcommands that print them.

#include <array>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "app/commands/CommandOptions.h"
#include "app/sheet/ChordSheet.h"
#include "theory/Spelling.h"

namespace commands {

// The files to draw into; any of them may be absent.
struct SheetPaths {
    std::optional<std::string> pdf, svg, png;

    bool Any() const { return pdf || svg || png; }
};

// Adds --pdf, --svg and --png FILE to a command's options.
void AddSheetOptions(OptionTable& table, SheetPaths& paths);

// The strings' notes as they sound, plain, string 0 first.
std::array<std::string, theory::STRING_COUNT> StringNames(
    const Instrument& instrument, const theory::NoteNameTable& spelled = theory::NoteNames);

// ", capo K" with a capo, else "".
std::string CapoNote(const Instrument& instrument);

// Draws every file in memory and tries every target before writing the first, then writes
// each whole or not at all (beside it, then renamed). Prints "wrote FILE" for each. Returns
// 0, or 2 after one line on `err` (nothing written when drawing or a check failed).
int WriteSheetFiles(std::string_view command, const sheet::Sheet& sheet, const SheetPaths& paths,
                    std::ostream& out, std::ostream& err);

}  // namespace commands
