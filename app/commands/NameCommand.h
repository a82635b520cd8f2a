#pragma once
// `fretlore name`: which chords' shape lists hold a given shape, or whose notes it plays.

#include <iosfwd>
#include <span>
#include <string>

// `args` are the words after "name". Returns the exit code: 0 when done (or for --help),
// 1 when the output could not be written, 2 for a bad shape, tuning, capo or option, after
// one line on `err`.
int RunNameCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);
