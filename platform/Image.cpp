#include "platform/Image.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <memory>

namespace platform {

namespace {
struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceFree>;
}  // namespace

std::optional<DecodedImage> DecodeImage(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return std::nullopt;
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (!rw) return std::nullopt;
    SurfacePtr loaded(IMG_Load_RW(rw, 1));
    if (!loaded) return std::nullopt;
    SurfacePtr rgb(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGB888, 0));
    if (!rgb || SDL_LockSurface(rgb.get()) != 0) return std::nullopt;
    DecodedImage image;
    image.width = rgb->w;
    image.height = rgb->h;
    image.rgb.resize(static_cast<std::size_t>(rgb->w) * rgb->h);
    for (int y = 0; y < rgb->h; ++y) {
        auto* row =
            reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(rgb->pixels) +
                                                   static_cast<std::ptrdiff_t>(y) * rgb->pitch);
        for (int x = 0; x < rgb->w; ++x)
            image.rgb[static_cast<std::size_t>(y) * rgb->w + x] = row[x] & 0xFFFFFF;
    }
    SDL_UnlockSurface(rgb.get());
    return image;
}

bool SavePng(const std::string& path, const std::uint16_t* pixels, int width, int height,
             int pitchBytes, std::string& error) {
    SurfacePtr surface(SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint16_t*>(pixels), width, height, 16, pitchBytes, SDL_PIXELFORMAT_RGB565));
    if (!surface) {
        error = SDL_GetError();
        return false;
    }
    // Written beside the target and renamed, so a failed save leaves no half-written file.
    std::string temp = path + ".tmp";
    if (IMG_SavePNG(surface.get(), temp.c_str()) != 0) {
        error = IMG_GetError();
        std::remove(temp.c_str());
        return false;
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot rename " + temp + " to " + path;
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace platform
