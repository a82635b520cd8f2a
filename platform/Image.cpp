#include "platform/Image.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>
#include <memory>

#include "platform/SafeFile.h"

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

namespace {

// An SDL stream that appends to a byte vector, so the PNG can go to disk in one safe write.
struct MemoryOut {
    std::vector<std::uint8_t> bytes;
    std::size_t at = 0;
};

MemoryOut& Out(SDL_RWops* rw) {
    return *static_cast<MemoryOut*>(rw->hidden.unknown.data1);
}

Sint64 MemorySize(SDL_RWops* rw) {
    return static_cast<Sint64>(Out(rw).bytes.size());
}

Sint64 MemorySeek(SDL_RWops* rw, Sint64 offset, int whence) {
    MemoryOut& out = Out(rw);
    Sint64 base = whence == RW_SEEK_SET   ? 0
                  : whence == RW_SEEK_CUR ? static_cast<Sint64>(out.at)
                                          : static_cast<Sint64>(out.bytes.size());
    if (base + offset < 0) return SDL_SetError("seek before the start");
    out.at = static_cast<std::size_t>(base + offset);
    return base + offset;
}

size_t MemoryRead(SDL_RWops*, void*, size_t, size_t) {
    return 0;
}

size_t MemoryWrite(SDL_RWops* rw, const void* data, size_t size, size_t count) {
    MemoryOut& out = Out(rw);
    std::size_t n = size * count;
    if (out.bytes.size() < out.at + n) out.bytes.resize(out.at + n);
    std::memcpy(out.bytes.data() + out.at, data, n);
    out.at += n;
    return count;
}

int MemoryClose(SDL_RWops*) {
    return 0;
}

struct RwFree {
    void operator()(SDL_RWops* rw) const { SDL_FreeRW(rw); }
};

}  // namespace

bool SavePng(const std::string& path, const std::uint16_t* pixels, int width, int height,
             int pitchBytes, std::string& error) {
    SurfacePtr surface(SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint16_t*>(pixels), width, height, 16, pitchBytes, SDL_PIXELFORMAT_RGB565));
    std::unique_ptr<SDL_RWops, RwFree> rw(SDL_AllocRW());
    if (!surface || !rw) {
        error = "cannot write " + path + ": " + SDL_GetError();
        return false;
    }
    MemoryOut out;
    rw->size = MemorySize;
    rw->seek = MemorySeek;
    rw->read = MemoryRead;
    rw->write = MemoryWrite;
    rw->close = MemoryClose;
    rw->type = SDL_RWOPS_UNKNOWN;
    rw->hidden.unknown.data1 = &out;
    if (IMG_SavePNG_RW(surface.get(), rw.get(), 0) != 0) {
        error = "cannot write " + path + ": " + IMG_GetError();
        return false;
    }
    error = WriteFileSafely(path, out.bytes);
    return error.empty();
}

}  // namespace platform
