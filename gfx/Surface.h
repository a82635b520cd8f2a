#pragma once
// 16-bit RGB565 images and how they are made.

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "platform/Image.h"

namespace gfx {

constexpr std::uint16_t COLOUR_KEY = 0xF81F;  // magenta: transparent in all artwork

class Surface {
  public:
    // An owned image; pitch is 2 x width rounded up to whole 32-bit words.
    Surface(std::uint32_t width, std::uint32_t height);
    // A view of pixels owned elsewhere (a display's back buffer).
    Surface(std::uint32_t width, std::uint32_t height, std::uint32_t pitch, std::uint16_t* pixels);
    virtual ~Surface() = default;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    std::uint16_t* Row(int y) {
        return reinterpret_cast<std::uint16_t*>(reinterpret_cast<std::uint8_t*>(pixels) +
                                                static_cast<std::ptrdiff_t>(y) * pitch);
    }
    const std::uint16_t* Row(int y) const {
        return reinterpret_cast<const std::uint16_t*>(
            reinterpret_cast<const std::uint8_t*>(pixels) + static_cast<std::ptrdiff_t>(y) * pitch);
    }
    int Width() const { return static_cast<int>(width); }
    int Height() const { return static_cast<int>(height); }

    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t pitch;  // bytes from one row to the next
    std::uint16_t* pixels;
    bool ownsPixels;

  private:
    std::unique_ptr<std::uint16_t[]> storage;
};

using SurfacePtr = std::unique_ptr<Surface>;

// Null when the size is zero, absurd, or memory runs out.
SurfacePtr createSurface(std::uint32_t width, std::uint32_t height);
SurfacePtr surfaceFromImage(const platform::DecodedImage& image);
// Bitmaps are looked up as RESOURCE_BITMAP; any other type falls back to a bitmap of the
// same id when it is missing. Null on any failure.
SurfacePtr loadImageResource(std::uint32_t id, std::string_view type);
SurfacePtr loadImageFromMemory(std::span<const std::uint8_t> bytes);

// Both sizes 0: an exact copy; otherwise a copy stretched to width x height.
SurfacePtr clone(const Surface& source, std::uint32_t width = 0, std::uint32_t height = 0);
SurfacePtr subImage(const Surface& source, int sx, int sy, std::uint32_t width,
                    std::uint32_t height);
// Same size: one block copy; otherwise the source stretched over the whole destination.
void copyInto(Surface& destination, const Surface& source);

constexpr std::uint16_t RGB565(int r, int g, int b) {
    return static_cast<std::uint16_t>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | ((b & 0xF8) >> 3));
}

struct RGB8 {
    int red;
    int green;
    int blue;
};
// 8-bit components with the low bits zero.
constexpr RGB8 unpackRGB(std::uint16_t c) {
    return {(c >> 8) & 0xF8, (c >> 3) & 0xFC, (c & 31) * 8};
}

}  // namespace gfx
