#pragma once
// One page of help for each mode, shown in the message box.

#include <string_view>

#include "screens/MessageBox.h"

namespace screens {

struct HelpPage {
    std::string_view title;
    std::string_view text;
};

// The page of `mode`; an unknown mode has an empty title and text.
HelpPage HelpFor(int mode);
int ShowHelp(const ModalContext& context, int mode);

}  // namespace screens
