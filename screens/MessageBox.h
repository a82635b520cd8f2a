#pragma once
// The program's own modal message box, and what a modal screen needs to run.

#include <string_view>

#include "gfx/display/Display.h"
#include "platform/Window.h"
#include "screens/ChordView.h"

namespace screens {

struct ModalContext {
    gfx::Display& display;
    platform::Window& window;
    Fonts fonts;
};

// A box with a title bar and marked-up text over the darkened screen until "Done" is
// pressed: 1; 0 when the program is quitting meanwhile (the quit is posted again).
int ShowMessage(const ModalContext& context, std::string_view title, std::string_view text);

}  // namespace screens
