#pragma once
// `fretlore chords`: the voicing finder's list as text chord boxes or JSON Lines.

#include <iosfwd>
#include <span>
#include <string>

// `args` are the words after "chords". Returns the exit code: 0 when done (or for --help),
// 1 when the output could not be written, 2 for a wrong root, type, tuning or option, after
// one line on `err` that names the valid choices.
int RunChordsCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);
