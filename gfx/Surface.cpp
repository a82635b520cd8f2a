#include "gfx/Surface.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "gfx/Blit.h"
#include "platform/Resources.h"

namespace gfx {

namespace {
constexpr std::uint32_t MAX_SIDE = 16384;
constexpr std::uint32_t PitchFor(std::uint32_t width) {
    return (2 * width + 3) & ~3u;
}
}  // namespace

Surface::Surface(std::uint32_t width, std::uint32_t height)
    : width(width),
      height(height),
      pitch(PitchFor(width)),
      pixels(nullptr),
      ownsPixels(true),
      storage(std::make_unique<std::uint16_t[]>(static_cast<std::size_t>(PitchFor(width) / 2) * height)) {
    pixels = storage.get();
}

Surface::Surface(std::uint32_t width, std::uint32_t height, std::uint32_t pitch,
                 std::uint16_t* pixels)
    : width(width), height(height), pitch(pitch), pixels(pixels), ownsPixels(false) {}

SurfacePtr createSurface(std::uint32_t width, std::uint32_t height) {
    if (width == 0 || height == 0 || width > MAX_SIDE || height > MAX_SIDE) return nullptr;
    try {
        return std::make_unique<Surface>(width, height);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

SurfacePtr surfaceFromImage(const platform::DecodedImage& image) {
    if (image.width <= 0 || image.height <= 0) return nullptr;
    SurfacePtr s = createSurface(static_cast<std::uint32_t>(image.width),
                                 static_cast<std::uint32_t>(image.height));
    if (!s) return nullptr;
    for (int y = 0; y < image.height; ++y) {
        std::uint16_t* row = s->Row(y);
        const std::uint32_t* src = &image.rgb[static_cast<std::size_t>(y) * image.width];
        for (int x = 0; x < image.width; ++x) {
            std::uint32_t p = src[x];
            row[x] = RGB565(static_cast<int>(p >> 16) & 255, static_cast<int>(p >> 8) & 255,
                            static_cast<int>(p) & 255);
        }
    }
    return s;
}

SurfacePtr loadImageFromMemory(std::span<const std::uint8_t> bytes) {
    auto image = platform::DecodeImage(bytes);
    return image ? surfaceFromImage(*image) : nullptr;
}

SurfacePtr loadImageResource(std::uint32_t id, std::string_view type) {
    auto bytes = platform::FindResource(type, id);
    if (!bytes && type != platform::RESOURCE_BITMAP)
        bytes = platform::FindResource(platform::RESOURCE_BITMAP, id);
    return bytes ? loadImageFromMemory(*bytes) : nullptr;
}

SurfacePtr clone(const Surface& source, std::uint32_t width, std::uint32_t height) {
    if (width == 0 && height == 0) {
        SurfacePtr copy = createSurface(source.width, source.height);
        if (copy) copyRect(*copy, 0, 0, source.Width(), source.Height(), source, 0, 0);
        return copy;
    }
    SurfacePtr scaled = createSurface(width, height);
    if (scaled)
        blitScaled(*scaled, source, 0, 0, static_cast<int>(width), static_cast<int>(height), 0, 0,
                   BlitMode::Copy);
    return scaled;
}

SurfacePtr subImage(const Surface& source, int sx, int sy, std::uint32_t width,
                    std::uint32_t height) {
    SurfacePtr part = createSurface(width, height);
    if (part)
        blit(*part, 0, 0, static_cast<int>(width), static_cast<int>(height), source, sx, sy, 0, 0,
             BlitMode::Copy);
    return part;
}

void copyInto(Surface& destination, const Surface& source) {
    if (destination.width == source.width && destination.height == source.height) {
        copyRect(destination, 0, 0, source.Width(), source.Height(), source, 0, 0);
    } else {
        blitScaled(destination, source, 0, 0, destination.Width(), destination.Height(), 0, 0,
                   BlitMode::Copy);
    }
}

}  // namespace gfx
