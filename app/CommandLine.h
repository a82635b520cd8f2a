#pragma once
// The program's own options (subcommands parse theirs).

#include <optional>
#include <span>
#include <string>

#include "theory/Spelling.h"

namespace app {

struct Options {
    bool help = false;
    bool version = false;
    bool headless = false;
    int scale = 2;
    bool scaleGiven = false;  // else the remembered scale, if any
    std::string scriptPath;
    std::string shotPath;
    std::optional<unsigned> frames;
    std::string micPath;
    std::string audioOutPath;
    std::string inputDevice;                   // SDL's name; empty for the default
    std::string outputDevice;                  // SDL's name; empty for the default
    std::string sequencePath;                  // a sequence to open at start; empty for none
    std::optional<int> capo;                   // else the remembered capo, or none
    std::optional<theory::Spelling> spelling;  // else the remembered one, or sharps
    std::optional<int> a4;                     // Hz; else the remembered one, else 440
    bool a4Sound = false;                      // the strings follow a4 too
};

// Nullopt with a one-line reason in `error` for an unknown option or a bad value.
std::optional<Options> ParseCommandLine(std::span<const std::string> args, std::string& error);

extern const char* const USAGE;
// "Fretlore 1.03": the name and version the title bar shows.
extern const char* const VERSION_TEXT;

}  // namespace app
