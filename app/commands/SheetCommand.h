#pragma once
// `fretlore sheet`: a chord sequence drawn as a printable chord sheet.

#include <iosfwd>
#include <span>
#include <string>

// `args` are the words after "sheet". Returns the exit code: 0 when every file was written
// (or for --help), 1 when the output could not be written, 2 for a bad option, a missing or
// damaged sequence or a file that cannot be written, after one line on `err` and with no
// file left behind.
int RunSheetCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);
