#include "gfx/Blit.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "gfx/Draw.h"
#include "gfx/Pixel.h"
#include "platform/Resources.h"

namespace gfx {

namespace {

// Writes one source pixel onto one destination pixel in the given mode.
template <BlitMode mode>
inline void WritePixel(std::uint16_t& d, std::uint16_t s, int alpha, std::uint16_t key) {
    switch (mode) {
        case BlitMode::Copy:
            d = s;
            break;
        case BlitMode::Blend:
            d = Mix(s, d, static_cast<std::uint32_t>(alpha));
            break;
        case BlitMode::ColourKey:
            if (s != key) d = s;
            break;
        case BlitMode::ColourKeyBlend:
            if (s != key) d = Mix(s, d, static_cast<std::uint32_t>(alpha));
            break;
        case BlitMode::Screen:
            d = ScreenBlend(d, s, alpha);
            break;
        case BlitMode::ColourKeyScreen:
            if (s != key) d = ScreenBlend(d, s, alpha);
            break;
        case BlitMode::TintMask:
            if (s != 0) d = MoveToward(d, key, FullWeight(BlendTable[31 - alpha][s & 31]));
            break;
        case BlitMode::TintMaskOnBackground:
            if (s == 0) {
                d = TextBackground;
            } else {
                d = Mix(TextBackground, key,
                        static_cast<std::uint32_t>(FullWeight(BlendTable[s & 31][31 - alpha])));
            }
            break;
    }
}

bool KnownMode(BlitMode mode) {
    switch (mode) {
        case BlitMode::Copy:
        case BlitMode::Blend:
        case BlitMode::ColourKey:
        case BlitMode::ColourKeyBlend:
        case BlitMode::Screen:
        case BlitMode::ColourKeyScreen:
        case BlitMode::TintMask:
        case BlitMode::TintMaskOnBackground:
            return true;
    }
    return false;
}

int AlphaFor(BlitMode mode, int alpha) {
    bool screen = mode == BlitMode::Screen || mode == BlitMode::ColourKeyScreen;
    bool mask = mode == BlitMode::TintMask || mode == BlitMode::TintMaskOnBackground;
    return std::clamp(alpha, 0, screen ? 255 : mask ? 31 : 32);
}

// Calls `f` with the mode as a compile-time constant, so each row loop is specialised.
template <typename F>
void WithMode(BlitMode mode, F&& f) {
    switch (mode) {
        case BlitMode::Copy:
            f(std::integral_constant<BlitMode, BlitMode::Copy>{});
            break;
        case BlitMode::Blend:
            f(std::integral_constant<BlitMode, BlitMode::Blend>{});
            break;
        case BlitMode::ColourKey:
            f(std::integral_constant<BlitMode, BlitMode::ColourKey>{});
            break;
        case BlitMode::ColourKeyBlend:
            f(std::integral_constant<BlitMode, BlitMode::ColourKeyBlend>{});
            break;
        case BlitMode::Screen:
            f(std::integral_constant<BlitMode, BlitMode::Screen>{});
            break;
        case BlitMode::ColourKeyScreen:
            f(std::integral_constant<BlitMode, BlitMode::ColourKeyScreen>{});
            break;
        case BlitMode::TintMask:
            f(std::integral_constant<BlitMode, BlitMode::TintMask>{});
            break;
        case BlitMode::TintMaskOnBackground:
            f(std::integral_constant<BlitMode, BlitMode::TintMaskOnBackground>{});
            break;
    }
}

// Clips one axis of a copy to [0, limit) on the destination and the source.
void ClipAxis(int& d, int& s, int& len, int dstLimit, int srcLimit) {
    if (d < 0) {
        len += d;
        s -= d;
        d = 0;
    }
    if (s < 0) {
        len += s;
        d -= s;
        s = 0;
    }
    len = std::min({len, dstLimit - d, srcLimit - s});
}

// Stretches the source rectangle (sx, sy, sw, sh) onto (dx, dy, dw, dh), nearest pixel.
void StretchRect(Surface& dst, int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy,
                 int sw, int sh, int alpha, std::uint16_t key, BlitMode mode) {
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || !KnownMode(mode)) return;
    // The source rectangle must lie inside the source; then every step below stays in it.
    if (sx < 0 || sy < 0 || sx + sw > src.Width() || sy + sh > src.Height()) return;
    alpha = AlphaFor(mode, alpha);
    std::uint32_t stepX =
        static_cast<std::uint32_t>((static_cast<std::uint64_t>(sw) << 16) / dw);  // 16.16
    std::uint32_t stepY = static_cast<std::uint32_t>((static_cast<std::uint64_t>(sh) << 16) / dh);
    int x0 = std::max(0, -dx);
    int x1 = std::min(dw, dst.Width() - dx);
    int y0 = std::max(0, -dy);
    int y1 = std::min(dh, dst.Height() - dy);
    if (x0 >= x1 || y0 >= y1) return;
    WithMode(mode, [&](auto m) {
        for (int j = y0; j < y1; ++j) {
            const std::uint16_t* s =
                src.Row(sy + static_cast<int>((static_cast<std::uint64_t>(j) * stepY) >> 16)) + sx;
            std::uint16_t* d = dst.Row(dy + j) + dx;
            std::uint32_t col = static_cast<std::uint32_t>(x0) * stepX;
            for (int i = x0; i < x1; ++i, col += stepX)
                WritePixel<m()>(d[i], s[col >> 16], alpha, key);
        }
    });
}

}  // namespace

void blit(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy, int alpha,
          std::uint16_t key, BlitMode mode) {
    if (!KnownMode(mode)) return;
    ClipAxis(dx, sx, w, dst.Width(), src.Width());
    ClipAxis(dy, sy, h, dst.Height(), src.Height());
    if (w <= 0 || h <= 0) return;
    alpha = AlphaFor(mode, alpha);
    if (mode == BlitMode::Copy && w == dst.Width() && w == src.Width() && dst.pitch == src.pitch &&
        dx == 0 && sx == 0) {
        std::memmove(dst.Row(dy), src.Row(sy), static_cast<std::size_t>(dst.pitch) * h);
        return;
    }
    WithMode(mode, [&](auto m) {
        for (int y = 0; y < h; ++y) {
            std::uint16_t* d = dst.Row(dy + y) + dx;
            const std::uint16_t* s = src.Row(sy + y) + sx;
            if constexpr (m() == BlitMode::Copy) {
                std::memmove(d, s, static_cast<std::size_t>(w) * 2);
            } else {
                for (int i = 0; i < w; ++i)
                    WritePixel<m()>(d[i], s[i], alpha, key);
            }
        }
    });
}

void copyRect(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy) {
    blit(dst, dx, dy, w, h, src, sx, sy, 0, 0, BlitMode::Copy);
}

void blitScaled(Surface& dst, const Surface& src, int dx, int dy, int dw, int dh, int alpha,
                std::uint16_t key, BlitMode mode) {
    if (mode == BlitMode::TintMaskOnBackground) return;
    StretchRect(dst, dx, dy, dw, dh, src, 0, 0, src.Width(), src.Height(), alpha, key, mode);
}

void blitRotated(Surface& dst, int cx, int cy, const Surface& src, int px, int py, double angle,
                 double scale, std::uint16_t key, int alpha) {
    if (!(scale > 0) || !std::isfinite(angle) || !std::isfinite(scale)) return;
    // The rotation is taken from (angle + 270) so that the quarter turns come out exact.
    double turned = std::fmod(angle + 270.0, 360.0);
    if (turned < 0) turned += 360.0;
    double radians = turned * 0.017453293;
    double cosA = -std::sin(radians);  // cos(angle)
    double sinA = std::cos(radians);   // sin(angle)
    // Destination box: the source corners around the pivot, turned and shrunk by scale.
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    for (int corner = 0; corner < 4; ++corner) {
        double u = ((corner & 1) ? src.Width() : 0) - px;
        double v = ((corner & 2) ? src.Height() : 0) - py;
        double x = (u * cosA - v * sinA) / scale;
        double y = (u * sinA + v * cosA) / scale;
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    int left = std::clamp(static_cast<int>(cx + minX), 0, dst.Width() - 1);
    int right = std::clamp(static_cast<int>(cx + maxX), 0, dst.Width() - 1);
    int top = std::clamp(static_cast<int>(cy + minY), 0, dst.Height() - 1);
    int bottom = std::clamp(static_cast<int>(cy + maxY), 0, dst.Height() - 1);
    if (right <= left || bottom <= top) return;
    auto c = static_cast<std::int64_t>(cosA * scale * 65536.0);  // 16.16
    auto s = static_cast<std::int64_t>(sinA * scale * 65536.0);
    alpha = std::clamp(alpha, 0, 32);
    for (int y = top; y <= bottom; ++y) {
        std::int64_t col = (static_cast<std::int64_t>(px) << 16) + c * (left - cx) + s * (y - cy);
        std::int64_t row = (static_cast<std::int64_t>(py) << 16) + c * (y - cy) - s * (left - cx);
        std::uint16_t* d = dst.Row(y);
        for (int x = left; x <= right; ++x, col += c, row -= s) {
            int sc = static_cast<int>(col >> 16);
            int sr = static_cast<int>(row >> 16);
            if (sc < 0 || sr < 0 || sc >= src.Width() || sr >= src.Height()) continue;
            std::uint16_t p = src.Row(sr)[sc];
            if (p == key) continue;
            d[x] = alpha == 0 ? p : Mix(p, d[x], static_cast<std::uint32_t>(alpha));
        }
    }
}

SurfacePtr makeFramedImage(const Surface& frame, int width, int height, int states) {
    int cell = frame.Width();
    if (width <= 0 || height <= 0 || states <= 0 || cell < 3 || frame.Height() < cell * states)
        return nullptr;
    SurfacePtr out = createSurface(static_cast<std::uint32_t>(width),
                                   static_cast<std::uint32_t>(height * states));
    if (!out) return nullptr;
    clear(*out, COLOUR_KEY);
    int piece = cell / 3;
    int midW = width - 2 * piece;
    int midH = height - 2 * piece;
    for (int i = 0; i < states; ++i) {
        int top = i * height;
        int cellTop = i * cell;
        std::uint16_t inside = frame.Row(cellTop + piece + piece / 2)[piece + piece / 2];
        if (midW > 0 && midH > 0)
            fillRect(*out, piece, top + piece, width - piece - 1, top + height - piece - 1, inside);
        auto corner = [&](int ox, int oy, int sx, int sy) {
            blit(*out, ox, top + oy, piece, piece, frame, sx, cellTop + sy, 0, COLOUR_KEY,
                 BlitMode::ColourKey);
        };
        corner(0, 0, 0, 0);
        corner(width - piece, 0, cell - piece, 0);
        corner(0, height - piece, 0, cell - piece);
        corner(width - piece, height - piece, cell - piece, cell - piece);
        auto edge = [&](int ox, int oy, int ow, int oh, int sx, int sy) {
            StretchRect(*out, ox, top + oy, ow, oh, frame, sx, cellTop + sy, piece, piece, 0,
                        COLOUR_KEY, BlitMode::ColourKey);
        };
        edge(0, piece, piece, midH, 0, piece);                          // left
        edge(width - piece, piece, piece, midH, cell - piece, piece);   // right
        edge(piece, 0, midW, piece, piece, 0);                          // top
        edge(piece, height - piece, midW, piece, piece, cell - piece);  // bottom
    }
    return out;
}

SurfacePtr makeFramedImage(std::uint32_t bitmapId, int width, int height, int states) {
    SurfacePtr frame = loadImageResource(bitmapId, platform::RESOURCE_BITMAP);
    return frame ? makeFramedImage(*frame, width, height, states) : nullptr;
}

}  // namespace gfx
