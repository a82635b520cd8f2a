#pragma once
// The program's icon for the desktop: one design, rasterised at the sizes the icon theme
// wants (with a transparent surround) and written out as SVG for any other size.

#include <string>

namespace resgen {

// An RGBA PNG of size x size pixels; false on failure.
bool SaveDesktopIconPng(int size, const std::string& path);
// The same design as SVG.
std::string DesktopIconSvg();
bool SaveDesktopIconSvg(const std::string& path);

}  // namespace resgen
