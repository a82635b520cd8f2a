#include "platform/headless/Script.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <sstream>

#include "platform/Messages.h"

namespace platform::headless {

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

template <typename T>
bool ParseNumber(const std::string& word, T& value) {
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    return ec == std::errc() && end == word.data() + word.size();
}

// Parses "[shift+][ctrl+]NAME" into the command.
bool ParseKey(const std::string& spec, ScriptCommand& command) {
    std::string rest = spec;
    for (;;) {
        std::string lower = Lower(rest);
        if (lower.rfind("shift+", 0) == 0 && rest.size() > 6) {
            command.shift = true;
            rest = rest.substr(6);
        } else if (lower.rfind("ctrl+", 0) == 0 && rest.size() > 5) {
            command.ctrl = true;
            rest = rest.substr(5);
        } else {
            break;
        }
    }
    auto code = KeyCodeFromName(rest);
    if (!code) return false;
    command.key = *code;
    return true;
}

}  // namespace

std::optional<std::uint32_t> KeyCodeFromName(const std::string& name) {
    if (name.size() == 1) {
        auto c = static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(name[0])));
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
        return std::nullopt;
    }
    static const std::pair<const char*, std::uint32_t> named[] = {
        {"enter", KEY_RETURN},  {"left", KEY_LEFT},     {"right", KEY_RIGHT},
        {"up", KEY_UP},         {"down", KEY_DOWN},     {"backspace", KEY_BACK},
        {"delete", KEY_DELETE}, {"escape", KEY_ESCAPE}, {"space", ' '},
    };
    std::string lower = Lower(name);
    for (const auto& [n, code] : named) {
        if (lower == n) return code;
    }
    return std::nullopt;
}

std::optional<std::vector<ScriptCommand>> ParseScript(const std::string& text, std::string& error) {
    std::vector<ScriptCommand> commands;
    std::istringstream lines(text);
    std::string raw;
    for (int lineNo = 1; std::getline(lines, raw); ++lineNo) {
        if (auto hash = raw.find('#'); hash != std::string::npos) raw.erase(hash);
        std::istringstream words(raw);
        std::vector<std::string> w;
        for (std::string word; words >> word;)
            w.push_back(word);
        if (w.empty()) continue;
        auto fail = [&](const std::string& why) {
            error = "script line " + std::to_string(lineNo) + ": " + why;
            return std::nullopt;
        };
        ScriptCommand c;
        c.line = lineNo;
        std::string verb = Lower(w[0]);
        auto expectArgs = [&](std::size_t n) { return w.size() == n + 1; };
        if (verb == "tap" || verb == "down" || verb == "move" || verb == "up") {
            c.kind = verb == "tap"    ? ScriptCommand::Kind::Tap
                     : verb == "down" ? ScriptCommand::Kind::Down
                     : verb == "move" ? ScriptCommand::Kind::Move
                                      : ScriptCommand::Kind::Up;
            if (!expectArgs(2)) return fail(verb + " needs X and Y");
            if (!ParseNumber(w[1], c.x) || !ParseNumber(w[2], c.y) || c.x < -32768 || c.x > 32767 ||
                c.y < -32768 || c.y > 32767)
                return fail("bad coordinates '" + w[1] + " " + w[2] + "'");
        } else if (verb == "wheel") {
            // Notches, positive away from the user (up a list), at a point.
            c.kind = ScriptCommand::Kind::Wheel;
            if (!expectArgs(3)) return fail("wheel needs X, Y and the notches");
            if (!ParseNumber(w[1], c.x) || !ParseNumber(w[2], c.y) || c.x < -32768 || c.x > 32767 ||
                c.y < -32768 || c.y > 32767)
                return fail("bad coordinates '" + w[1] + " " + w[2] + "'");
            if (!ParseNumber(w[3], c.notches) || c.notches < -100 || c.notches > 100)
                return fail("bad notches '" + w[3] + "' (from -100 to 100)");
        } else if (verb == "key") {
            c.kind = ScriptCommand::Kind::Key;
            if (!expectArgs(1)) return fail("key needs one key name");
            if (!ParseKey(w[1], c)) return fail("unknown key '" + w[1] + "'");
        } else if (verb == "wait" || verb == "frames") {
            c.kind = verb == "wait" ? ScriptCommand::Kind::Wait : ScriptCommand::Kind::Frames;
            if (!expectArgs(1)) return fail(verb + " needs one number");
            if (!ParseNumber(w[1], c.count) || c.count > 3600000)
                return fail("bad number '" + w[1] + "'");
        } else if (verb == "shot" || verb == "state") {
            c.kind = verb == "shot" ? ScriptCommand::Kind::Shot : ScriptCommand::Kind::State;
            if (!expectArgs(1)) return fail(verb + " needs one file name");
            c.path = w[1];
        } else if (verb == "quit") {
            c.kind = ScriptCommand::Kind::Quit;
            if (!expectArgs(0)) return fail("quit takes no arguments");
        } else {
            return fail("unknown command '" + w[0] + "'");
        }
        commands.push_back(std::move(c));
    }
    return commands;
}

}  // namespace platform::headless
