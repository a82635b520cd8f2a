#include "gfx/display/sdl/SdlDisplay.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/sdl/SdlBackend.h"

namespace gfx::sdl {

namespace {

// Splits the RGB565 -> 8-bit expansion into two 256-entry tables, one per input byte.
struct ExpandTables {
    std::array<std::uint32_t, 256> high{};
    std::array<std::uint32_t, 256> low{};
    int shifts[3] = {-1, -1, -1};

    void Build(int r, int g, int b) {
        if (shifts[0] == r && shifts[1] == g && shifts[2] == b) return;
        shifts[0] = r, shifts[1] = g, shifts[2] = b;
        for (std::uint32_t v = 0; v < 256; ++v) {
            std::uint32_t red5 = v >> 3, greenHigh = v & 7;
            std::uint32_t red8 = (red5 << 3) | (red5 >> 2);
            std::uint32_t greenPart = (greenHigh << 5) | (greenHigh >> 1);
            high[v] = (red8 << r) | (greenPart << g);
            std::uint32_t blue5 = v & 31, greenLow = v >> 5;
            std::uint32_t blue8 = (blue5 << 3) | (blue5 >> 2);
            low[v] = (blue8 << b) | ((greenLow << 2) << g);
        }
    }
};

ExpandTables& Tables() {
    static ExpandTables tables;
    return tables;
}

class SdlDisplay final : public Display {
  public:
    SdlDisplay(platform::Window& window, const DisplayParams& params,
               platform::sdl::SdlBackend& backend)
        : Display(window, params), backend(backend) {}

  protected:
    bool Available() override { return backend.NativeWindow() != nullptr; }

    bool Present(const Surface& frame, std::uint32_t flags) override {
        SDL_Window* native = backend.NativeWindow();
        SDL_Surface* target = native ? SDL_GetWindowSurface(native) : nullptr;
        if (!target) return false;
        // A still screen costs no copy to the window system: the frame it already shows
        // is kept unless the window lost it (uncovered, resized).
        bool resized = target->w != lastWidth || target->h != lastHeight;
        bool again = resized || (flags & (PRESENT_FIRST | PRESENT_AGAIN)) != 0;
        if (!again && SameAsShown(frame)) return true;
        shown.clear();  // until this present has succeeded
        platform::sdl::Viewport v =
            platform::sdl::ComputeViewport(target->w, target->h, frame.Width(), frame.Height());
        if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return false;
        bool ok = true;
        const SDL_PixelFormat* f = target->format;
        if (f->BytesPerPixel == 4 && f->Rloss == 0 && f->Gloss == 0 && f->Bloss == 0) {
            if (resized) {
                // A new window size: clear the letterbox once.
                for (int y = 0; y < target->h; ++y)
                    std::memset(static_cast<std::uint8_t*>(target->pixels) + y * target->pitch, 0,
                                static_cast<std::size_t>(target->w) * 4);
            }
            scaleFrameTo32(frame, static_cast<std::uint32_t*>(target->pixels), target->pitch,
                           target->w, target->h, v.scale, v.offsetX, v.offsetY, f->Rshift,
                           f->Gshift, f->Bshift);
        } else {
            ok = PresentGeneric(frame, target, v);
        }
        if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
        if (!ok || SDL_UpdateWindowSurface(native) != 0) return false;
        lastWidth = target->w;
        lastHeight = target->h;
        Remember(frame);
        return true;
    }

  private:
    bool SameAsShown(const Surface& frame) const {
        if (shown.size() != static_cast<std::size_t>(frame.Width()) * frame.Height()) return false;
        const std::uint16_t* kept = shown.data();
        for (int y = 0; y < frame.Height(); ++y, kept += frame.Width()) {
            if (std::memcmp(frame.Row(y), kept, static_cast<std::size_t>(frame.Width()) * 2) != 0)
                return false;
        }
        return true;
    }

    void Remember(const Surface& frame) {
        shown.resize(static_cast<std::size_t>(frame.Width()) * frame.Height());
        for (int y = 0; y < frame.Height(); ++y)
            std::memcpy(&shown[static_cast<std::size_t>(y) * frame.Width()], frame.Row(y),
                        static_cast<std::size_t>(frame.Width()) * 2);
    }

    // Any other window format: let SDL convert and stretch.
    static bool PresentGeneric(const Surface& frame, SDL_Surface* target,
                               const platform::sdl::Viewport& v) {
        SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
            frame.pixels, frame.Width(), frame.Height(), 16, static_cast<int>(frame.pitch),
            SDL_PIXELFORMAT_RGB565);
        if (!source) return false;
        SDL_FillRect(target, nullptr, 0);
        SDL_Rect to{v.offsetX, v.offsetY, frame.Width() * v.scale, frame.Height() * v.scale};
        bool ok = SDL_BlitScaled(source, nullptr, target, &to) == 0;
        SDL_FreeSurface(source);
        return ok;
    }

    platform::sdl::SdlBackend& backend;
    int lastWidth = 0;
    int lastHeight = 0;
    std::vector<std::uint16_t> shown;  // the frame the window shows
};

}  // namespace

void scaleFrameTo32(const Surface& frame, std::uint32_t* dst, int dstPitchBytes, int dstWidth,
                    int dstHeight, int scale, int offsetX, int offsetY, int redShift,
                    int greenShift, int blueShift) {
    ExpandTables& t = Tables();
    t.Build(redShift, greenShift, blueShift);
    // Visible part of the scaled frame inside the destination.
    int x0 = std::max(0, -offsetX), x1 = std::min(frame.Width() * scale, dstWidth - offsetX);
    int y0 = std::max(0, -offsetY), y1 = std::min(frame.Height() * scale, dstHeight - offsetY);
    if (x0 >= x1 || y0 >= y1) return;
    auto rowAt = [&](int y) {
        return reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(dst) +
                                                static_cast<std::ptrdiff_t>(y + offsetY) *
                                                    dstPitchBytes) +
               offsetX;
    };
    for (int y = y0; y < y1; ++y) {
        std::uint32_t* out = rowAt(y);
        if (y > y0 && y % scale != 0) {
            std::memcpy(out + x0, rowAt(y - 1) + x0, static_cast<std::size_t>(x1 - x0) * 4);
            continue;
        }
        const std::uint16_t* in = frame.Row(y / scale);
        int x = x0;
        for (; x < x1 && x % scale != 0; ++x)
            out[x] = t.high[in[x / scale] >> 8] | t.low[in[x / scale] & 255];
        // Whole source pixels: convert once, write `scale` times.
        for (int source = x / scale; x + scale <= x1; ++source) {
            std::uint16_t p = in[source];
            std::uint32_t c = t.high[p >> 8] | t.low[p & 255];
            for (int k = 0; k < scale; ++k)
                out[x++] = c;
        }
        for (; x < x1; ++x)
            out[x] = t.high[in[x / scale] >> 8] | t.low[in[x / scale] & 255];
    }
}

DisplayFactory displayFactory() {
    return [](platform::Window& window, DisplayParams& params) -> DisplayPtr {
        auto* backend = dynamic_cast<platform::sdl::SdlBackend*>(&window.GetBackend());
        if (!backend || !backend->NativeWindow()) return nullptr;
        return std::make_unique<SdlDisplay>(window, params, *backend);
    };
}

}  // namespace gfx::sdl
