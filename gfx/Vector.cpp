#include "gfx/Vector.h"

#include <agg_conv_dash.h>
#include <agg_conv_stroke.h>
#include <agg_ellipse.h>
#include <agg_path_storage.h>
#include <agg_pixfmt_rgb_packed.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_rendering_buffer.h>
#include <agg_rounded_rect.h>
#include <agg_scanline_u.h>

namespace gfx {

namespace {

struct Target {
    std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};
Target target;

agg::rgba8 ToAgg(std::uint32_t c) {
    return agg::rgba8(c & 255, (c >> 8) & 255, (c >> 16) & 255, (c >> 24) & 255);
}

// Rasterizes one path into the attached buffer; the renderer, rasterizer and scanline
// live for this call only.
template <typename Path>
void Render(Path& path, std::uint32_t colour) {
    if (!target.pixels || (colour >> 24) == 0) return;
    agg::rendering_buffer buffer(target.pixels, static_cast<unsigned>(target.width),
                                 static_cast<unsigned>(target.height), target.stride);
    agg::pixfmt_rgb565 format(buffer);
    agg::renderer_base<agg::pixfmt_rgb565> base(format);
    base.clip_box(0, 0, target.width - 1, target.height - 1);
    agg::renderer_scanline_aa_solid<agg::renderer_base<agg::pixfmt_rgb565>> solid(base);
    solid.color(ToAgg(colour));
    agg::rasterizer_scanline_aa<> rasterizer;
    agg::scanline_u8 scanline;
    rasterizer.add_path(path);
    agg::render_scanlines(rasterizer, scanline, solid);
}

template <typename Shape>
void FillOrStroke(Shape& shape, double lineWidth, std::uint32_t colour) {
    if (lineWidth == 0) {
        Render(shape, colour);
        return;
    }
    agg::conv_stroke<Shape> stroke(shape);
    stroke.width(lineWidth);
    Render(stroke, colour);
}

}  // namespace

void attachSurface(std::uint16_t* pixels, int width, int height, int strideBytes) {
    if (!pixels || width <= 0 || height <= 0) {
        target = Target{};
        return;
    }
    target = Target{reinterpret_cast<std::uint8_t*>(pixels), width, height, strideBytes};
}

void attachSurface(Surface& surface) {
    attachSurface(surface.pixels, surface.Width(), surface.Height(),
                  static_cast<int>(surface.pitch));
}

void drawEllipse(double cx, double cy, double rx, double ry, double lineWidth, int steps,
                 std::uint32_t colour) {
    agg::ellipse ellipse(cx, cy, rx, ry, static_cast<unsigned>(steps > 0 ? steps : 0));
    FillOrStroke(ellipse, lineWidth, colour);
}

void drawRoundedRect(double x1, double y1, double x2, double y2, double r, double lineWidth,
                     std::uint32_t colour) {
    agg::rounded_rect shape(x1, y1, x2, y2, r);
    shape.normalize_radius();
    FillOrStroke(shape, lineWidth, colour);
}

void drawRoundedRectRadii(double x1, double y1, double x2, double y2, double rx1, double ry1,
                          double rx2, double ry2, double lineWidth, std::uint32_t colour) {
    agg::rounded_rect shape(x1, y1, x2, y2, 0);
    shape.radius(rx1, ry1, rx2, ry2);
    shape.normalize_radius();
    FillOrStroke(shape, lineWidth, colour);
}

void drawLine(double x1, double y1, double x2, double y2, double width, double dash,
              std::uint32_t colour) {
    agg::path_storage path;
    path.move_to(x1 + 0.5, y1 + 0.5);
    path.line_to(x2 + 0.5, y2 + 0.5);
    if (dash > 0) {
        agg::conv_dash<agg::path_storage> dashes(path);
        dashes.add_dash(dash, dash);
        agg::conv_stroke<agg::conv_dash<agg::path_storage>> stroke(dashes);
        stroke.width(width);
        Render(stroke, colour);
        return;
    }
    agg::conv_stroke<agg::path_storage> stroke(path);
    stroke.width(width);
    Render(stroke, colour);
}

void fillPolygon(std::span<const PointD> points, std::uint32_t colour) {
    if (points.size() < 3) return;
    agg::path_storage path;
    path.move_to(points[0].x, points[0].y);
    for (std::size_t i = 1; i < points.size(); ++i)
        path.line_to(points[i].x, points[i].y);
    Render(path, colour);
}

}  // namespace gfx
