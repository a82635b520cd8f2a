#include "Canvas.h"

#include <SDL.h>
#include <SDL_image.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace resgen {

namespace {

float Clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}

float RoundRectDistance(float px, float py, float l, float t, float r, float b, float radius) {
    float cx = (l + r) / 2, cy = (t + b) / 2;
    float hx = (r - l) / 2 - radius, hy = (b - t) / 2 - radius;
    float qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

struct FreeType {
    FT_Library library = nullptr;
    FreeType() {
        if (FT_Init_FreeType(&library) != 0) throw std::runtime_error("FreeType does not start");
    }
    ~FreeType() { FT_Done_FreeType(library); }
};

FT_Face OpenFace(const std::string& path, float pixelSize) {
    static FreeType freeType;
    FT_Face face = nullptr;
    if (FT_New_Face(freeType.library, path.c_str(), 0, &face) != 0)
        throw std::runtime_error("cannot open font " + path);
    FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(pixelSize * 64), 72, 72);
    return face;
}

}  // namespace

Canvas::Canvas(int width, int height, Colour fill)
    : width(width), height(height), pixels(static_cast<std::size_t>(width) * height, fill) {}

void Canvas::Blend(int x, int y, const Colour& c, float coverage) {
    if (x < 0 || y < 0 || x >= width || y >= height || coverage <= 0) return;
    Colour& p = At(x, y);
    p = p.Mix(c, Clamp01(coverage));
}

void Canvas::Fill(const Colour& c) {
    std::fill(pixels.begin(), pixels.end(), c);
}

void Canvas::VerticalGradient(int top, int bottom, const Colour& a, const Colour& b) {
    for (int y = std::max(top, 0); y < std::min(bottom, height); ++y) {
        Colour c = a.Mix(b, bottom - top > 1 ? float(y - top) / float(bottom - top - 1) : 0.0f);
        for (int x = 0; x < width; ++x)
            At(x, y) = c;
    }
}

template <typename Distance>
void Canvas::Shape(float left, float top, float right, float bottom, const Colour& c, float opacity,
                   Distance d) {
    int x0 = std::max(0, int(std::floor(left)) - 1),
        x1 = std::min(width - 1, int(std::ceil(right)) + 1);
    int y0 = std::max(0, int(std::floor(top)) - 1),
        y1 = std::min(height - 1, int(std::ceil(bottom)) + 1);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            Blend(x, y, c, Clamp01(0.5f - d(x + 0.5f, y + 0.5f)) * opacity);
}

void Canvas::FillRoundRect(float l, float t, float r, float b, float radius, const Colour& c,
                           float opacity) {
    Shape(l, t, r, b, c, opacity,
          [&](float px, float py) { return RoundRectDistance(px, py, l, t, r, b, radius); });
}

void Canvas::StrokeRoundRect(float l, float t, float r, float b, float radius, float w,
                             const Colour& c, float opacity) {
    Shape(l - w, t - w, r + w, b + w, c, opacity, [&](float px, float py) {
        return std::fabs(RoundRectDistance(px, py, l, t, r, b, radius)) - w / 2;
    });
}

void Canvas::FillCircle(float cx, float cy, float radius, const Colour& c, float opacity) {
    Shape(cx - radius, cy - radius, cx + radius, cy + radius, c, opacity,
          [&](float px, float py) { return std::hypot(px - cx, py - cy) - radius; });
}

void Canvas::StrokeCircle(float cx, float cy, float radius, float w, const Colour& c,
                          float opacity) {
    Shape(cx - radius - w, cy - radius - w, cx + radius + w, cy + radius + w, c, opacity,
          [&](float px, float py) {
              return std::fabs(std::hypot(px - cx, py - cy) - radius) - w / 2;
          });
}

void Canvas::Line(float x0, float y0, float x1, float y1, float w, const Colour& c, float opacity) {
    float dx = x1 - x0, dy = y1 - y0;
    float length2 = std::max(dx * dx + dy * dy, 1e-6f);
    Shape(std::min(x0, x1) - w, std::min(y0, y1) - w, std::max(x0, x1) + w, std::max(y0, y1) + w, c,
          opacity, [&](float px, float py) {
              float t = std::clamp(((px - x0) * dx + (py - y0) * dy) / length2, 0.0f, 1.0f);
              return std::hypot(px - (x0 + t * dx), py - (y0 + t * dy)) - w / 2;
          });
}

float Canvas::Text(const std::string& fontPath, float pixelSize, float x, float y,
                   const std::string& text, const Colour& c, float opacity) {
    FT_Face face = OpenFace(fontPath, pixelSize);
    float pen = x;
    for (unsigned char ch : text) {
        if (FT_Load_Char(face, ch, FT_LOAD_RENDER) != 0) continue;
        FT_GlyphSlot g = face->glyph;
        int ox = int(std::lround(pen)) + g->bitmap_left;
        int oy = int(std::lround(y)) - g->bitmap_top;
        for (unsigned row = 0; row < g->bitmap.rows; ++row)
            for (unsigned col = 0; col < g->bitmap.width; ++col)
                Blend(ox + int(col), oy + int(row), c,
                      g->bitmap.buffer[row * g->bitmap.pitch + col] / 255.0f * opacity);
        pen += g->advance.x / 64.0f;
    }
    FT_Done_Face(face);
    return pen - x;
}

float Canvas::TextWidth(const std::string& fontPath, float pixelSize, const std::string& text) {
    FT_Face face = OpenFace(fontPath, pixelSize);
    float width = 0;
    for (unsigned char ch : text)
        if (FT_Load_Char(face, ch, FT_LOAD_DEFAULT) == 0) width += face->glyph->advance.x / 64.0f;
    FT_Done_Face(face);
    return width;
}

std::vector<std::uint32_t> Canvas::ToRGB() const {
    std::vector<std::uint32_t> out(pixels.size());
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        auto channel = [](float v) {
            return static_cast<std::uint32_t>(std::lround(Clamp01(v) * 255.0f));
        };
        out[i] = (channel(pixels[i].r) << 16) | (channel(pixels[i].g) << 8) | channel(pixels[i].b);
    }
    return out;
}

namespace {
SDL_Surface* ToSurface(const Canvas& canvas, std::vector<std::uint32_t>& rgb) {
    rgb = canvas.ToRGB();
    return SDL_CreateRGBSurfaceWithFormatFrom(rgb.data(), canvas.Width(), canvas.Height(), 32,
                                              canvas.Width() * 4, SDL_PIXELFORMAT_RGB888);
}
}  // namespace

bool SaveBmp(const Canvas& canvas, const std::string& path) {
    std::vector<std::uint32_t> rgb;
    SDL_Surface* s = ToSurface(canvas, rgb);
    if (!s) return false;
    SDL_Surface* s24 = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_BGR24, 0);
    bool ok = s24 && SDL_SaveBMP(s24, path.c_str()) == 0;
    SDL_FreeSurface(s24);
    SDL_FreeSurface(s);
    return ok;
}

bool SaveJpeg(const Canvas& canvas, const std::string& path, int quality) {
    std::vector<std::uint32_t> rgb;
    SDL_Surface* s = ToSurface(canvas, rgb);
    if (!s) return false;
    bool ok = IMG_SaveJPG(s, path.c_str(), quality) == 0;
    SDL_FreeSurface(s);
    return ok;
}

}  // namespace resgen
