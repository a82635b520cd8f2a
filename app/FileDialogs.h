#pragma once
// The program's own open, save and text entry dialogs. Each runs its own desktop and
// message loop over the darkened screen and puts the screen back when it ends.

#include <string>
#include <string_view>

#include "gfx/display/Display.h"
#include "platform/Window.h"
#include "screens/ChordView.h"

namespace ui {
class ImageStrip;
}

namespace app {

// What a dialog answers.
constexpr int DIALOG_QUIT = 0;  // the program is quitting (the quit is posted again)
constexpr int DIALOG_OK = 1;
constexpr int DIALOG_CANCEL = 2;

struct DialogContext {
    gfx::Display& display;
    platform::Window& window;
    screens::Fonts fonts;                         // medium for most texts, small for lists
    const ui::ImageStrip* buttonFaces = nullptr;  // 50 x 20, three states
    const ui::ImageStrip* scrollFaces = nullptr;  // the scroll bars' arrows, 2 x 2
    // Holds the running dialog's title while it runs; the one before comes back after.
    std::string* shownTitle = nullptr;
};

// Browses for a file of extension `ext` (".seq"), with Delete. `path`: in, the previous
// choice or "" for the Sequences folder; out on Ok, the chosen file's full path.
int OpenFileDialog(const DialogContext& context, std::string& path, std::string_view title,
                   std::string_view ext);
// The same with a name field (typed, or entered on the keypad through Edit); on Ok `path`
// is the folder's path joined to the name, with the extension.
int SaveFileDialog(const DialogContext& context, std::string& path, std::string_view title,
                   std::string_view ext);
// A text field with an on-screen keypad; on Ok `text` is the field's text, given the
// extension when `ext` is not empty.
int TextEntryDialog(const DialogContext& context, std::string& text, std::string_view title,
                    std::string_view ext);

}  // namespace app
