#pragma once
// RGB565 pixel arithmetic shared by the blitters and the drawing operations.

#include <array>
#include <cstdint>

namespace gfx {

// BlendTable[a][b] = ceil(a x b / 31) for 5-bit a and b.
using BlendTableType = std::array<std::array<std::uint8_t, 32>, 32>;
extern BlendTableType BlendTable;
void buildBlendTable();

// The background painted behind text by the '|RRGGBB' markup, read by TintMaskOnBackground.
extern std::uint16_t TextBackground;

// A colour widened so that red and blue sit in the low half and green in the high half,
// each with spare bits above it for a weighted sum.
constexpr std::uint32_t Widen(std::uint16_t c) {
    return (c | (static_cast<std::uint32_t>(c) << 16)) & 0x07E0F81Fu;
}
constexpr std::uint16_t Narrow(std::uint32_t v) {
    v &= 0x07E0F81Fu;
    return static_cast<std::uint16_t>(v | (v >> 16));
}

// (a x (32 - w) + b x w) / 32 per channel; w in 0..32.
constexpr std::uint16_t Mix(std::uint16_t a, std::uint16_t b, std::uint32_t w) {
    return Narrow((Widen(a) * (32 - w) + Widen(b) * w) >> 5);
}

// d + ((c - d) x w) / 32 per channel with signed differences; w in 0..32.
constexpr std::uint16_t MoveToward(std::uint16_t d, std::uint16_t c, int w) {
    int dr = d >> 11, dg = (d >> 5) & 63, db = d & 31;
    int cr = c >> 11, cg = (c >> 5) & 63, cb = c & 31;
    dr += (cr - dr) * w / 32;
    dg += (cg - dg) * w / 32;
    db += (cb - db) * w / 32;
    return static_cast<std::uint16_t>((dr << 11) | (dg << 5) | db);
}

// The weights of the mask modes run 0..31; full coverage must give the ink exactly.
constexpr int FullWeight(int w) {
    return w >= 31 ? 32 : w;
}

std::uint16_t ScreenBlend(std::uint16_t d, std::uint16_t s, int alpha);

}  // namespace gfx
