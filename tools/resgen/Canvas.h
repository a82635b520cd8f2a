#pragma once
// A small floating-point RGB canvas with anti-aliased shapes, for drawing the program's
// artwork at build time.

#include <cstdint>
#include <string>
#include <vector>

namespace resgen {

struct Colour {
    float r = 0, g = 0, b = 0;
    static Colour Hex(std::uint32_t rgb) {
        return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f};
    }
    Colour Mix(const Colour& o, float t) const {
        return {r + (o.r - r) * t, g + (o.g - g) * t, b + (o.b - b) * t};
    }
    Colour Scaled(float k) const { return {r * k, g * k, b * k}; }
};

class Canvas {
  public:
    Canvas(int width, int height, Colour fill = {});

    int Width() const { return width; }
    int Height() const { return height; }
    Colour& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    const Colour& At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }

    // Blends `c` into a pixel with coverage 0..1 (outside the canvas: ignored).
    void Blend(int x, int y, const Colour& c, float coverage);
    void Fill(const Colour& c);
    void VerticalGradient(int top, int bottom, const Colour& a, const Colour& b);
    // Shapes in pixel-centre coordinates (the pixel (x, y) covers x..x+1); edges are
    // smoothed over one pixel.
    void FillRoundRect(float left, float top, float right, float bottom, float radius,
                       const Colour& c, float opacity = 1.0f);
    void StrokeRoundRect(float left, float top, float right, float bottom, float radius,
                         float width, const Colour& c, float opacity = 1.0f);
    void FillCircle(float cx, float cy, float radius, const Colour& c, float opacity = 1.0f);
    void StrokeCircle(float cx, float cy, float radius, float width, const Colour& c,
                      float opacity = 1.0f);
    void Line(float x0, float y0, float x1, float y1, float width, const Colour& c,
              float opacity = 1.0f);
    // Text from a TrueType face, with its baseline's left end at (x, y); returns the advance.
    float Text(const std::string& fontPath, float pixelSize, float x, float y,
               const std::string& text, const Colour& c, float opacity = 1.0f);
    static float TextWidth(const std::string& fontPath, float pixelSize, const std::string& text);

    // 0x00RRGGBB, rows top to bottom.
    std::vector<std::uint32_t> ToRGB() const;

  private:
    template <typename Distance>
    void Shape(float left, float top, float right, float bottom, const Colour& c, float opacity,
               Distance d);

    int width;
    int height;
    std::vector<Colour> pixels;
};

// Writes the canvas as a 24-bit BMP or a JPEG; false on failure.
bool SaveBmp(const Canvas& canvas, const std::string& path);
bool SaveJpeg(const Canvas& canvas, const std::string& path, int quality);

}  // namespace resgen
