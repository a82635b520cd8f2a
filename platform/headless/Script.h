#pragma once
// The headless input script: one command per line, '#' starts a comment.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform::headless {

struct ScriptCommand {
    enum class Kind { Tap, Down, Move, Up, Wheel, Key, Type, Wait, Frames, Shot, State, Quit };
    Kind kind = Kind::Quit;
    int line = 0;  // 0: added from the command line (--frames, --shot)
    int x = 0;
    int y = 0;
    std::uint32_t key = 0;  // virtual-key code; 0 for a character with no key of its own
    char character = 0;     // what the key types, or 0 (with Ctrl, or a key that types nothing)
    bool shift = false;
    bool ctrl = false;
    std::uint32_t count = 0;  // milliseconds for wait, frames for frames
    int notches = 0;          // wheel turns, positive away from the user
    std::string path;
    std::string text;  // for type: printable ASCII only
};

// The longest text one `type` command takes: each character is several messages.
constexpr std::size_t MAX_TYPED_CHARACTERS = 100;

// The key press that types `c` on the keyboard (Shift held for a capital); nullopt for a
// character outside printable ASCII.
std::optional<ScriptCommand> KeyPressFor(char c);

// Parses a whole script; on the first bad line returns nullopt with
// "script line N: ..." in `error`.
std::optional<std::vector<ScriptCommand>> ParseScript(const std::string& text, std::string& error);

// The virtual-key code of a key name: a letter, a digit, or Enter, Left, Right, Up,
// Down, Backspace, Delete, Escape, Space (any case). Other printable characters type
// without a key of their own: 0.
std::optional<std::uint32_t> KeyCodeFromName(const std::string& name);

}  // namespace platform::headless
