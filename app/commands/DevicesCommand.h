#pragma once
// `fretlore devices`: the sound output and input devices SDL sees, by name; and the check
// of a device the user names on the command line.

#include <iosfwd>
#include <span>
#include <string>

// `args` are the words after "devices". Returns 0 (also when there are no devices, which
// it says), 1 when the output could not be written, 2 for an unknown option.
int RunDevicesCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// "" when SDL knows an input (`capture`) or output device called `name`; else one line
// saying so, with the names there are.
std::string CheckSoundDevice(bool capture, const std::string& name);
