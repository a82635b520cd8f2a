#include "gfx/Pixel.h"

namespace gfx {

namespace {

BlendTableType MakeBlendTable() {
    BlendTableType t{};
    for (int a = 0; a < 32; ++a)
        for (int b = 0; b < 32; ++b)
            t[a][b] = static_cast<std::uint8_t>((a * b + 30) / 31);
    return t;
}

int ScreenChannel(int d, int s, int alpha) {
    int t = 31 - BlendTable[31 - s][31 - d];
    int u = (t - d) * alpha + 128;
    return d + ((u + (u >> 8)) >> 8);
}
}  // namespace

// Filled at static initialisation too, so drawing before start-up is never garbage.
BlendTableType BlendTable = MakeBlendTable();
std::uint16_t TextBackground = 0;

void buildBlendTable() {
    BlendTable = MakeBlendTable();
}

std::uint16_t ScreenBlend(std::uint16_t d, std::uint16_t s, int alpha) {
    int r = ScreenChannel(d >> 11, s >> 11, alpha);
    int g = ScreenChannel((d >> 6) & 31, (s >> 6) & 31, alpha);
    int b = ScreenChannel(d & 31, s & 31, alpha);
    return static_cast<std::uint16_t>((r << 11) | (g << 6) | b);
}

}  // namespace gfx
