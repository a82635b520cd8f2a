#include "app/commands/DevicesCommand.h"

#include <algorithm>
#include <ostream>
#include <string_view>

#include "platform/audio/sdl/SdlWaveIn.h"

namespace {

constexpr std::string_view HELP =
    "usage: fretlore devices\n"
    "\n"
    "Lists the sound output and input devices by the names --output-device and\n"
    "--input-device take. SDL_AUDIODRIVER chooses the sound system, as for the program.\n";

const char* Kind(bool capture) {
    return capture ? "input" : "output";
}

void List(std::ostream& out, bool capture) {
    std::string error;
    auto names = platform::SdlAudioDeviceNames(capture, error);
    out << (capture ? "Input devices:" : "Output devices:");
    if (!names) {
        out << " none (" << error << ")\n";
    } else if (names->empty()) {
        out << " none\n";
    } else {
        out << "\n";
        for (const std::string& name : *names)
            out << "  " << name << "\n";
    }
}

}  // namespace

int RunDevicesCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        out << HELP;
        return out ? 0 : 1;
    }
    if (!args.empty()) {
        err << "fretlore devices: unknown argument '" << args[0]
            << "' (see fretlore devices --help)\n";
        return 2;
    }
    List(out, false);
    List(out, true);
    out.flush();
    return out ? 0 : 1;
}

std::string CheckSoundDevice(bool capture, const std::string& name) {
    std::string error;
    auto names = platform::SdlAudioDeviceNames(capture, error);
    std::string option = capture ? "--input-device" : "--output-device";
    if (!names) return option + " " + name + ": " + error;
    if (std::find(names->begin(), names->end(), name) != names->end()) return {};
    std::string message = std::string("unknown ") + Kind(capture) + " device '" + name + "'";
    if (names->empty()) return message + "; there are no " + Kind(capture) + " devices";
    message += "; the " + std::string(Kind(capture)) + " devices are:";
    for (std::size_t k = 0; k < names->size(); ++k)
        message += (k ? ", '" : " '") + (*names)[k] + "'";
    return message;
}
