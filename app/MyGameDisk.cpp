// Sequences on disk: the Disk Mode menu, its dialogs, and a file opened at start-up.

#include <cstdio>

#include "app/MyGame.h"
#include "app/SequenceFile.h"

namespace app {

namespace {

constexpr std::string_view SEQUENCE_EXTENSION = ".seq";
constexpr std::string_view LOAD_TITLE = "Load Sequence";
constexpr std::string_view SAVE_TITLE = "Save Sequence";

// A file's name as a message box shows it: its own '#' would start a colour code.
std::string ShownName(const std::string& path) {
    std::string shown;
    for (char c : path.substr(path.rfind('/') + 1)) {
        shown += c;
        if (c == '#') shown += '#';
    }
    return shown;
}

}  // namespace

DialogContext MyGame::Dialogs() {
    return DialogContext{*display, *hWnd, Fonts(), faces50.get(), arrowFaces.get(), &openDialog};
}

void MyGame::DiskMenu() {
    diskMenu.selectedIndex = 1;
    int result =
        gfx::showMenu(diskMenu, *display, *hWnd, "Disk Mode", "01Load Sequence,02Save Sequence");
    if (result == 1) LoadSequence();
    if (result == 2) SaveSequence();
    screenDirty = 1;
}

void MyGame::LoadSequence() {
    if (player.playing) {
        HandleCommand(ID_SEQUENCER_STOP);
        player.playing = 0;
    }
    std::string path;
    if (OpenFileDialog(Dialogs(), path, LOAD_TITLE, SEQUENCE_EXTENSION) != DIALOG_OK) return;
    if (ReadSequence(path)) ShowMessage(LOAD_TITLE, "Sequence loaded successfully!");
}

void MyGame::SaveSequence() {
    std::string path;
    if (SaveFileDialog(Dialogs(), path, SAVE_TITLE, SEQUENCE_EXTENSION) != DIALOG_OK) return;
    std::string error = SaveSequenceFile(path, sequence);
    if (error.empty()) {
        ShowMessage(SAVE_TITLE, "Sequence saved successfully!");
        return;
    }
    std::fprintf(stderr, "fretlore: %s\n", error.c_str());
    ShowMessage(SAVE_TITLE, "The sequence could not be saved as " + ShownName(path) + ".");
}

bool MyGame::ReadSequence(const std::string& path) {
    SequenceLoadResult read = LoadSequenceFile(path, sequence);
    if (read.outcome == SequenceLoad::LOADED) {
        SequenceReplaced(0);
        return true;
    }
    std::fprintf(stderr, "fretlore: %s\n", read.reason.c_str());
    bool damaged = read.outcome == SequenceLoad::NOT_A_SEQUENCE;
    ShowMessage(LOAD_TITLE,
                ShownName(path) + (damaged ? " is not a sequence file." : " could not be opened."));
    return false;
}

int MyGame::Run() {
    if (!startSequence.empty() && display && hWnd) {
        SetMode(MODE_SEQUENCER);
        Frame();
        ReadSequence(startSequence);
        screenDirty = 1;
    }
    return TProgram::Run();
}

}  // namespace app
