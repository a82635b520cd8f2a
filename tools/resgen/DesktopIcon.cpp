#include "DesktopIcon.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "Canvas.h"

namespace resgen {

namespace {

// The design on a 32-unit square: a rounded tile, four strings, four frets and three notes.
constexpr float UNITS = 32.0f;
constexpr std::uint32_t TILE = 0x2A3F57, STRING = 0xD9D4C7, FRET = 0x8FA2B8, ROOT = 0xFFE14D,
                        NOTE = 0xFFFFFF;

struct Stroke {
    float x0, y0, x1, y1;
    std::uint32_t colour;
};
struct Dot {
    float cx, cy;
    std::uint32_t colour;
};
constexpr float TILE_LEFT = 1, TILE_RIGHT = 31, TILE_RADIUS = 7, LINE_WIDTH = 1, DOT_RADIUS = 3.2f;

std::vector<Stroke> Strokes() {
    std::vector<Stroke> strokes;
    for (int i = 0; i < 4; ++i)
        strokes.push_back({8 + 5.3f * i, 5, 8 + 5.3f * i, 27, STRING});
    for (int f = 0; f < 4; ++f)
        strokes.push_back({6, 9 + 6.0f * f, 26, 9 + 6.0f * f, FRET});
    return strokes;
}

constexpr Dot DOTS[] = {{13.3f, 18, ROOT}, {18.6f, 12, NOTE}, {23.9f, 24, NOTE}};

std::string Hex(std::uint32_t rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", rgb & 0xFFFFFF);
    return text;
}

}  // namespace

bool SaveDesktopIconPng(int size, const std::string& path) {
    const float k = static_cast<float>(size) / UNITS;
    Canvas art(size, size, Colour::Hex(TILE));
    Canvas mask(size, size, Colour{});
    // Canvas coordinates address pixel centres; the design's address edges.
    auto at = [k](float u) { return u * k - 0.5f; };
    mask.FillRoundRect(at(TILE_LEFT), at(TILE_LEFT), at(TILE_RIGHT), at(TILE_RIGHT),
                       TILE_RADIUS * k, Colour{1, 1, 1});
    for (const Stroke& s : Strokes())
        art.Line(at(s.x0), at(s.y0), at(s.x1), at(s.y1), LINE_WIDTH * k, Colour::Hex(s.colour));
    for (const Dot& d : DOTS)
        art.FillCircle(at(d.cx), at(d.cy), DOT_RADIUS * k, Colour::Hex(d.colour));

    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, size, size, 32, SDL_PIXELFORMAT_RGBA32);
    if (!s) return false;
    auto channel = [](float v) {
        return static_cast<std::uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f);
    };
    for (int y = 0; y < size; ++y) {
        auto* row = static_cast<std::uint8_t*>(s->pixels) + y * s->pitch;
        for (int x = 0; x < size; ++x) {
            const Colour& c = art.At(x, y);
            std::uint8_t* p = row + 4 * x;
            p[0] = channel(c.r);
            p[1] = channel(c.g);
            p[2] = channel(c.b);
            p[3] = channel(mask.At(x, y).r);
        }
    }
    bool ok = IMG_SavePNG(s, path.c_str()) == 0;
    SDL_FreeSurface(s);
    return ok;
}

std::string DesktopIconSvg() {
    std::ostringstream svg;
    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 "
        << UNITS << ' ' << UNITS << "\">\n"
        << "  <rect x=\"" << TILE_LEFT << "\" y=\"" << TILE_LEFT << "\" width=\""
        << TILE_RIGHT - TILE_LEFT << "\" height=\"" << TILE_RIGHT - TILE_LEFT << "\" rx=\""
        << TILE_RADIUS << "\" fill=\"" << Hex(TILE) << "\" stroke=\"none\"/>\n";
    for (const Stroke& s : Strokes())
        svg << "  <line x1=\"" << s.x0 << "\" y1=\"" << s.y0 << "\" x2=\"" << s.x1 << "\" y2=\""
            << s.y1 << "\" stroke=\"" << Hex(s.colour) << "\" stroke-width=\"" << LINE_WIDTH
            << "\"/>\n";
    for (const Dot& d : DOTS)
        svg << "  <circle cx=\"" << d.cx << "\" cy=\"" << d.cy << "\" r=\"" << DOT_RADIUS
            << "\" fill=\"" << Hex(d.colour) << "\" stroke=\"none\"/>\n";
    svg << "</svg>\n";
    return svg.str();
}

bool SaveDesktopIconSvg(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << DesktopIconSvg();
    return static_cast<bool>(out);
}

}  // namespace resgen
