#pragma once
// `fretlore detect`: the Chord Detection mode's analyser and detector over a recording, one
// reading per 256 ms buffer.

#include <iosfwd>
#include <span>
#include <string>

// `args` are the words after "detect". Returns 0 when done (or for --help), 1 when the
// output could not be written, 2 for a bad option or a file that cannot be read, after one
// line on `err`.
int RunDetectCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);
