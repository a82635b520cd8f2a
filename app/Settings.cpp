#include "app/Settings.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

#include "app/UserTunings.h"
#include "platform/Files.h"
#include "platform/SafeFile.h"
#include "theory/CurrentTuning.h"
#include "theory/TheoryTables.h"
#include "theory/TuningTable.h"

namespace app {

namespace {

constexpr const char* HEADER = "[Fretlore]";
constexpr int FORMAT_VERSION = 1;
// Ours are a few hundred bytes; the user's tunings add a line each.
constexpr std::size_t MAX_FILE_BYTES = 65536;

// Every key with the range it may take, and where it goes.
struct Field {
    const char* key;
    int low, high;
    int Settings::*number = nullptr;
    bool Settings::*flag = nullptr;
};

const Field FIELDS[] = {
    {"scale", 1, 8, &Settings::scale},
    {"mode", 0, 5, &Settings::mode},
    {"root", 0, 11, &Settings::root},
    {"chordType", 0, static_cast<int>(theory::ChordTypes.size()) - 1, &Settings::chordType},
    // The user's tunings follow the built-ins; one that is gone falls back when applied.
    {"tuning", 0, theory::MAX_TUNINGS - 1, &Settings::tuning},
    {"leftHanded", 0, 1, nullptr, &Settings::leftHanded},
    {"splitChords", 0, 1, nullptr, &Settings::splitChords},
    {"scaleType", 0, static_cast<int>(theory::ScaleTypes.size()) - 1, &Settings::scaleType},
    {"key", 0, 11, &Settings::key},
    {"triggerLevel", 0, 96, &Settings::triggerLevel},
    {"detectChords", 0, 1, nullptr, &Settings::detectChords},
    {"noiseReduction", 0, 1, nullptr, &Settings::noiseReduction},
    {"capo", 0, theory::MAX_CAPO, &Settings::capo},
    {"a4", 415, 466, &Settings::a4},
    {"a4Sound", 0, 1, nullptr, &Settings::a4Sound},
};

// The one setting written as a word.
constexpr const char* SPELLING_KEY = "spelling";

// A window may sit partly off a screen, but not a world away.
constexpr int PLACE_LIMIT = 100000;

}  // namespace

std::optional<int> WholeNumber(const std::string& text) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string Trimmed(const std::string& s) {
    auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

std::string SettingsPath() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::string(home) + "/.config";
    } else {
        return "";
    }
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return base + "/fretlore/settings.ini";
}

std::string FormatSettings(const Settings& s) {
    std::ostringstream out;
    out << HEADER << "\nversion=" << FORMAT_VERSION << "\n";
    if (s.windowX && s.windowY)
        out << "windowX=" << *s.windowX << "\nwindowY=" << *s.windowY << "\n";
    for (const Field& f : FIELDS)
        out << f.key << '=' << (f.number ? s.*f.number : (s.*f.flag ? 1 : 0)) << '\n';
    out << SPELLING_KEY << '=' << theory::SpellingName(s.spelling) << '\n';
    out << s.tunings;
    return out.str();
}

std::optional<Settings> ParseSettings(const std::string& text, std::string& error) {
    SplitSettingsText split = SplitTuningsSection(text);
    std::istringstream lines(split.rest);
    std::string line;
    if (!std::getline(lines, line) || Trimmed(line) != HEADER) {
        error = "not a Fretlore settings file";
        return std::nullopt;
    }
    std::map<std::string, int> values;
    std::optional<std::string> spelling;
    for (int lineNo = 2; std::getline(lines, line); ++lineNo) {
        line = Trimmed(line);
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        auto eq = line.find('=');
        std::string key = eq == std::string::npos ? line : Trimmed(line.substr(0, eq));
        if (key == SPELLING_KEY && eq != std::string::npos && !spelling) {
            spelling = Trimmed(line.substr(eq + 1));
            continue;
        }
        auto value =
            eq == std::string::npos ? std::nullopt : WholeNumber(Trimmed(line.substr(eq + 1)));
        if (!value || !values.emplace(key, *value).second) {
            error = "line " + std::to_string(lineNo) + " is damaged: " + line;
            return std::nullopt;
        }
    }
    if (auto version = values.find("version"); version == values.end()) {
        error = "it has no version";
        return std::nullopt;
    } else if (version->second != FORMAT_VERSION) {
        error = "written by another version (" + std::to_string(version->second) + ")";
        return std::nullopt;
    }
    values.erase("version");
    Settings s;
    if (spelling) {
        auto parsed = theory::ParseSpelling(*spelling);
        if (!parsed) {
            error = "spelling is not sharps, flats or key: " + *spelling;
            return std::nullopt;
        }
        s.spelling = *parsed;
    }
    for (const Field& f : FIELDS) {
        auto it = values.find(f.key);
        if (it == values.end()) continue;  // a key added later keeps its default
        if (it->second < f.low || it->second > f.high) {
            error = std::string(f.key) + " is out of range: " + std::to_string(it->second);
            return std::nullopt;
        }
        if (f.number) {
            s.*f.number = it->second;
        } else {
            s.*f.flag = it->second != 0;
        }
        values.erase(it);
    }
    auto x = values.find("windowX"), y = values.find("windowY");
    if ((x == values.end()) != (y == values.end())) {
        error = "the window's place is half missing";
        return std::nullopt;
    }
    if (x != values.end()) {
        if (std::abs(x->second) > PLACE_LIMIT || std::abs(y->second) > PLACE_LIMIT) {
            error = "the window's place is out of range";
            return std::nullopt;
        }
        s.windowX = x->second;
        s.windowY = y->second;
        values.erase("windowX");
        values.erase("windowY");
    }
    if (!values.empty()) {
        error = "unknown setting " + values.begin()->first;
        return std::nullopt;
    }
    s.tunings = std::move(split.tunings);
    return s;
}

std::optional<Settings> LoadSettings(const std::string& path) {
    return ReadSettingsFile(path).settings;
}

SettingsFile ReadSettingsFile(const std::string& path) {
    SettingsFile file;
    if (path.empty() || !platform::FileExists(path)) {
        if (!path.empty() && platform::IsFolder(path))
            std::fprintf(stderr, "fretlore: ignoring the settings %s: it is a folder\n",
                         path.c_str());
        return file;
    }
    std::string error;
    auto bytes = platform::ReadWholeFile(path, error);
    if (bytes && bytes->size() > MAX_FILE_BYTES) error = "it is too large to be ours";
    if (bytes && error.empty()) {
        std::string text(bytes->begin(), bytes->end());
        SplitSettingsText split = SplitTuningsSection(text);
        file.tunings = split.tunings;
        file.tuningsLine = split.firstLine;
        // A file of nothing but tunings, written by hand, is no damaged file.
        if (!split.tunings.empty() && split.rest.find_first_not_of(" \t\r\n") == std::string::npos)
            return file;
        file.settings = ParseSettings(text, error);
        if (file.settings) return file;
        std::fprintf(stderr, "fretlore: ignoring the settings %s: %s; they will be written anew\n",
                     path.c_str(), error.c_str());
        return file;
    }
    file.replaceable = false;
    std::fprintf(stderr, "fretlore: ignoring the settings %s: %s; the file is left as it is\n",
                 path.c_str(), error.c_str());
    return file;
}

bool SaveSettings(const std::string& path, const Settings& settings) {
    if (path.empty()) return false;
    auto slash = path.rfind('/');
    std::string error;
    if (slash != std::string::npos && slash > 0 && !platform::CreateFolders(path.substr(0, slash)))
        error = "cannot make the folder " + path.substr(0, slash);
    if (error.empty()) {
        std::string text = FormatSettings(settings);
        error = platform::WriteFileSafely(
            path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    }
    if (error.empty()) return true;
    std::fprintf(stderr, "fretlore: the settings were not saved: %s\n", error.c_str());
    return false;
}

}  // namespace app
