#pragma once
// The program's pictures, drawn from code.

#include <string>

#include "Canvas.h"

namespace resgen {

struct Fonts {
    std::string regular;  // a TrueType sans face
    std::string bold;
    std::string narrow;  // a face drawn for narrow space, for the bitmap fonts
    std::string narrowBold;
};

Canvas TitlePicture(const Fonts& fonts);  // "GIF" 1, 200 x 220
Canvas BackgroundPicture();               // "GIF" 105, 240 x 320
Canvas ScrollArrows();                    // bitmap 103, 2 x 2 cells of 14 x 14
Canvas CheckBoxes();                      // bitmap 104, 2 x 2 cells of 15 x 15
Canvas ButtonFrame();                     // bitmap 106, 3 cells of 12 x 12 stacked
Canvas PianoRoll();                       // bitmap 107, 45 x 273, three octaves downward
Canvas TriggerThumb();                    // bitmap 120, 20 x 11
Canvas LargePianoRoll();                  // bitmap 121, 224 x 64, two octaves rightward
Canvas ProgramIcon();                     // icon 119, 32 x 32
Canvas FileIcons();                       // bitmap 108, 3 cells of 16 x 16: folder, file, sequence

}  // namespace resgen
