#include "app/PreviewProgram.h"

#include "gfx/Blit.h"
#include "gfx/Draw.h"
#include "platform/Resources.h"

namespace app {

PreviewProgram::PreviewProgram() {
    title = "Fretlore 1.03";
    framesPerSecond = 20;
    splashImage = 2;
    iconId = 119;
    displayMode = 2;
    orientation = 0;
}

int PreviewProgram::OnCreate() {
    background = gfx::loadImageResource(105, platform::RESOURCE_GIF);
    return 1;
}

int PreviewProgram::Frame() {
    if (!display || !display->Lock()) return 1;
    gfx::Surface& back = *display->BackBuffer();
    if (background) {
        gfx::copyInto(back, *background);
    } else {
        gfx::clear(back, 0);
    }
    display->UnlockAndPresent(0);
    return 1;
}

}  // namespace app
