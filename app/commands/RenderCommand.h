#pragma once
// `fretlore render`: plays one note through the real instruments and mixer, offline,
// into a WAV file at 22050 Hz.

#include <ostream>
#include <span>
#include <string>

// `args` are the words after "render". Returns 0, or 2 after one line on `err`.
int RunRenderCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);
