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
    if (rest.size() == 1 && !command.ctrl) {
        // As on a keyboard: a letter key types a capital only with Shift.
        auto c = static_cast<unsigned char>(rest[0]);
        command.character = static_cast<char>(command.shift ? std::toupper(c) : std::tolower(c));
    } else if (*code == ' ' && !command.ctrl) {
        command.character = ' ';
    }
    return true;
}

bool IsPrintable(char c) {
    return c >= 0x20 && c <= 0x7E;
}

}  // namespace

std::optional<std::uint32_t> KeyCodeFromName(const std::string& name) {
    if (name.size() == 1) {
        auto c = static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(name[0])));
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
        if (c == ' ') return ' ';
        if (IsPrintable(static_cast<char>(c))) return 0u;
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

std::optional<ScriptCommand> KeyPressFor(char c) {
    if (!IsPrintable(c)) return std::nullopt;
    ScriptCommand press;
    press.kind = ScriptCommand::Kind::Key;
    press.key = *KeyCodeFromName(std::string(1, c));
    press.shift = std::isupper(static_cast<unsigned char>(c)) != 0;
    press.character = c;
    return press;
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
        } else if (verb == "type") {
            // The rest of the line after one space, as it stands.
            c.kind = ScriptCommand::Kind::Type;
            std::size_t start = raw.find_first_not_of(" \t");
            c.text = raw.substr(start + w[0].size());
            if (!c.text.empty() && (c.text[0] == ' ' || c.text[0] == '\t')) c.text.erase(0, 1);
            while (!c.text.empty() && (c.text.back() == '\r' || c.text.back() == '\n'))
                c.text.pop_back();
            if (c.text.empty()) return fail("type needs some text");
            if (c.text.size() > MAX_TYPED_CHARACTERS)
                return fail("type takes at most " + std::to_string(MAX_TYPED_CHARACTERS) +
                            " characters");
            for (char ch : c.text) {
                if (!KeyPressFor(ch)) return fail("type takes printable ASCII characters only");
            }
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
