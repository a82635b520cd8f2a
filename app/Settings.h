#pragma once
// What the program remembers between runs, per user, in a small INI file: the window's
// scale and place, and how the screens were left. Headless runs and subcommands neither
// read nor write it, so they always start from the program's defaults.

#include <optional>
#include <string>

#include "theory/Spelling.h"

namespace app {

struct Settings {
    int scale = 2;
    std::optional<int> windowX, windowY;  // unknown until a window has been placed
    int mode = 0;
    int root = 0;
    int chordType = 0;
    int tuning = 0;
    bool leftHanded = false;
    bool splitChords = false;
    int scaleType = 0;
    int key = 0;
    int triggerLevel = 30;
    bool detectChords = true;
    bool noiseReduction = false;
    int capo = 0;
    theory::Spelling spelling = theory::Spelling::Sharps;  // written as its word
    int a4 = 440;                                          // Hz, the detector's reference
    bool a4Sound = false;                                  // the strings follow a4 too
    // The file's [tunings] section as the user wrote it, written back unchanged.
    std::string tunings;

    bool operator==(const Settings&) const = default;
};

// The settings file's words: `s` without blanks at either end, and a whole number as written
// (nullopt for anything else).
std::string Trimmed(const std::string& s);
std::optional<int> WholeNumber(const std::string& text);

// "$XDG_CONFIG_HOME/fretlore/settings.ini", or under "~/.config" when that is unset or
// relative; empty when neither it nor HOME is known.
std::string SettingsPath();

std::string FormatSettings(const Settings& settings);
// The settings a file holds, or nullopt with one line in `error` for a file that is not
// ours, is damaged, or holds a value out of range: such a file is taken whole or not at all.
std::optional<Settings> ParseSettings(const std::string& text, std::string& error);

// What a settings file holds: its settings, if they could be taken, and its [tunings]
// section, which is kept even when the rest is refused.
struct SettingsFile {
    std::optional<Settings> settings;
    std::string tunings;
    int tuningsLine = 0;  // the file line of the section's header
    // False for a file that is there but could not be read whole: it may hold the user's
    // tunings, so it is left alone rather than replaced.
    bool replaceable = true;
};

// Nullopt, quietly, when there is no file yet; nullopt with one line on stderr for a file
// that cannot be read or taken.
std::optional<Settings> LoadSettings(const std::string& path);
SettingsFile ReadSettingsFile(const std::string& path);
// Makes the folder and replaces the file whole; one line on stderr when it cannot.
bool SaveSettings(const std::string& path, const Settings& settings);

}  // namespace app
