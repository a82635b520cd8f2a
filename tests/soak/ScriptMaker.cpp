#include "ScriptMaker.h"

#include <array>

namespace soak {

namespace {

// The main screen's buttons and the menus' rows.
constexpr int BUTTON_Y = 307;
constexpr std::array<int, 4> BUTTON_X = {30, 90, 150, 210};  // Help, Strum, More, Menu
constexpr int MENU_X = 120, MENU_FIRST_Y = 92, MENU_ROW = 22;
constexpr int LOAD_SAVE_ROW = 6;
constexpr int DISK_MENU_FIRST_Y = 157;  // the two-item menu sits lower
constexpr std::array<const char*, 16> KEYS = {
    "Enter", "Escape", "Left",    "Right",  "Up", "Down", "Backspace", "Delete",
    "Space", "a",      "shift+c", "ctrl+e", "p",  "r",    "s",         "5"};

}  // namespace

void ScriptMaker::Line(std::string& script, const std::string& line) {
    script += line;
    script += '\n';
    ++made;
}

void ScriptMaker::Step(std::string& script) {
    auto tap = [&](int x, int y) {
        Line(script, "tap " + std::to_string(x) + " " + std::to_string(y));
    };
    auto menuRow = [&](int row) { tap(MENU_X, MENU_FIRST_Y + MENU_ROW * row); };
    int choice = Pick(0, 99);
    if (choice < 35) {
        tap(Pick(0, 239), Pick(0, 319));  // anywhere, lists and dialogs included
    } else if (choice < 45) {
        tap(BUTTON_X[static_cast<std::size_t>(Pick(0, 2))], BUTTON_Y);  // Help, Strum, More
    } else if (choice < 55) {
        // A mode from the menu.
        tap(BUTTON_X[3], BUTTON_Y);
        menuRow(Pick(0, 5));
    } else if (choice < 60) {
        // Load / Save: a dialog opened, poked at, and left.
        tap(BUTTON_X[3], BUTTON_Y);
        menuRow(LOAD_SAVE_ROW);
        tap(MENU_X, DISK_MENU_FIRST_Y + MENU_ROW * Pick(0, 1));  // Load or Save
        for (int i = Pick(0, 4); i > 0; --i)
            tap(Pick(0, 239), Pick(0, 319));
        Line(script, "key Escape");
        Line(script, Pick(0, 1) ? "tap 175 260" : "key Escape");
    } else if (choice < 72) {
        Line(script,
             std::string("key ") + KEYS[static_cast<std::size_t>(Pick(0, KEYS.size() - 1))]);
    } else if (choice < 75) {
        Line(script, "type Soak " + std::to_string(Pick(0, 999)));
    } else if (choice < 80) {
        Line(script, "wheel " + std::to_string(Pick(0, 239)) + " " + std::to_string(Pick(0, 319)) +
                         " " + std::to_string(Pick(-5, 5)));
    } else if (choice < 88) {
        // A drag, as across a scroll bar or the fret board.
        int x = Pick(0, 239), y = Pick(0, 319);
        Line(script, "down " + std::to_string(x) + " " + std::to_string(y));
        for (int i = Pick(1, 5); i > 0; --i)
            Line(script, "move " + std::to_string(x + Pick(-40, 40)) + " " +
                             std::to_string(y + Pick(-40, 40)));
        Line(script, "up " + std::to_string(x) + " " + std::to_string(y));
    } else {
        Line(script, Pick(0, 1) ? "wait " + std::to_string(Pick(0, 400))
                                : "frames " + std::to_string(Pick(1, 3)));
    }
}

std::string ScriptMaker::Make(int commands) {
    std::string script;
    Line(script, "key Enter");
    int stop = made + commands;
    while (made < stop)
        Step(script);
    return script;
}

}  // namespace soak
