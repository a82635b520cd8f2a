#pragma once
// Copying images onto images: the clipped blit with its write modes, stretching,
// rotation and the nine-slice button faces.

#include <cstdint>

#include "gfx/Surface.h"

namespace gfx {

enum class BlitMode : int {
    Copy = 0,
    Blend = 1,      // Mix(s, d, alpha): alpha 0 is the source, 32 leaves d
    ColourKey = 2,  // s unless s is the key
    ColourKeyBlend = 3,
    Screen = 4,  // alpha 0..255
    ColourKeyScreen = 6,
    TintMask = 8,  // s is coverage; `key` is the ink
    TintMaskOnBackground = 24,
};

// Clipped against both surfaces; nothing is drawn unless some of the rectangle remains.
void blit(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy, int alpha,
          std::uint16_t key, BlitMode mode);
void copyRect(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy);
// The whole source stretched to dw x dh at (dx, dy), nearest pixel in 16.16 steps.
void blitScaled(Surface& dst, const Surface& src, int dx, int dy, int dw, int dh, int alpha,
                std::uint16_t key, BlitMode mode);
// Source point (px, py) lands on (cx, cy); the image turns clockwise by `angle` degrees;
// `scale` is source pixels per destination pixel.
void blitRotated(Surface& dst, int cx, int cy, const Surface& src, int px, int py, double angle,
                 double scale, std::uint16_t key, int alpha);
// Nine-slice: `states` square cells stacked in `frame`, each built at width x height; the
// result holds the states one under another.
SurfacePtr makeFramedImage(const Surface& frame, int width, int height, int states);
SurfacePtr makeFramedImage(std::uint32_t bitmapId, int width, int height, int states);

}  // namespace gfx
