#include "app/sheet/ChordSheet.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using sheet::Sheet;
using sheet::SheetBox;
using sheet::SheetFormat;
using theory::Voicing;

// C Major's first shape: x 3 2 0 1 0.
const Voicing OPEN_C{0, 0, {-1, 3, 2, 0, 1, 0}};
// A Major barred at fret 5: 5 7 7 6 5 5, its window's label fret 4.
const Voicing BARRE_A{9, 4, {5, 7, 7, 6, 5, 5}};

Sheet OneBox(const Voicing& voicing, bool left) {
    Sheet s;
    s.title = "test";
    s.stringNames = {"E", "A", "D", "G", "B", "E"};
    s.leftHanded = left;
    s.boxes.push_back({"C Major — 01 C (fret 1)", "", voicing});
    return s;
}

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};

struct Reader {
    const std::vector<std::uint8_t>& bytes;
    std::size_t at = 0;
};

cairo_status_t ReadBytes(void* closure, unsigned char* data, unsigned int length) {
    auto* r = static_cast<Reader*>(closure);
    if (r->at + length > r->bytes.size()) return CAIRO_STATUS_READ_ERROR;
    std::copy_n(r->bytes.begin() + static_cast<std::ptrdiff_t>(r->at), length, data);
    r->at += length;
    return CAIRO_STATUS_SUCCESS;
}

// The PNG decoded; pixels are probed as grey levels, 0 black .. 255 white.
class Picture {
  public:
    explicit Picture(const Sheet& s) {
        std::vector<std::uint8_t> bytes;
        EXPECT_EQ(sheet::DrawSheet(s, SheetFormat::PNG, bytes), "");
        Reader reader{bytes};
        surface.reset(cairo_image_surface_create_from_png_stream(ReadBytes, &reader));
        EXPECT_EQ(cairo_surface_status(surface.get()), CAIRO_STATUS_SUCCESS);
    }
    int Width() const { return cairo_image_surface_get_width(surface.get()); }
    int Height() const { return cairo_image_surface_get_height(surface.get()); }
    // At a point of the layout (in points), scaled to the image's pixels.
    int Grey(double x, double y) const {
        int px = static_cast<int>(x * sheet::PNG_SCALE),
            py = static_cast<int>(y * sheet::PNG_SCALE);
        const unsigned char* row = cairo_image_surface_get_data(surface.get()) +
                                   py * cairo_image_surface_get_stride(surface.get());
        std::uint32_t pixel = reinterpret_cast<const std::uint32_t*>(row)[px];
        return static_cast<int>(((pixel >> 16 & 0xFF) + (pixel >> 8 & 0xFF) + (pixel & 0xFF)) / 3);
    }
    bool Dark(double x, double y) const { return Grey(x, y) < 64; }
    bool Light(double x, double y) const { return Grey(x, y) > 192; }
    // Whether any pixel of the rectangle (in points) is dark.
    bool AnyDark(double x0, double y0, double x1, double y1) const {
        for (double y = y0; y < y1; y += 0.5)
            for (double x = x0; x < x1; x += 0.5)
                if (Dark(x, y)) return true;
        return false;
    }

  private:
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface;
};

// Cell 0 lies at (36, 72); its box's top-left corner 37 and 44 further, strings 20 apart
// from x 73 to 173, frets 24 apart from y 116 down to 212.
TEST(ChordSheet, PngBoxFrameDotsAndMarksSitWhereTheLayoutPutsThem) {
    Picture p(OneBox(OPEN_C, false));
    EXPECT_EQ(p.Width(), 1191);                  // A4's 595.276 points, two pixels each
    EXPECT_EQ(p.Height(), (72 + 180 + 36) * 2);  // one row of boxes
    // The frame: the outer strings and the last fret wire, with white just outside.
    EXPECT_TRUE(p.Dark(73, 190));
    EXPECT_TRUE(p.Light(71, 190));
    EXPECT_TRUE(p.Dark(173, 190));
    EXPECT_TRUE(p.Light(175, 190));
    EXPECT_TRUE(p.Dark(83, 212));
    EXPECT_TRUE(p.Light(83, 214));
    // The nut: a thick bar from 4 points above the box's top.
    EXPECT_TRUE(p.Dark(83, 112.5));
    EXPECT_TRUE(p.Light(83, 110.5));
    // String 1 at fret 3: a dot of radius 7 in row 3 (centre y 176), beside its string line.
    EXPECT_TRUE(p.Dark(96, 176));
    EXPECT_TRUE(p.Dark(99, 176));
    EXPECT_TRUE(p.Light(101, 176));
    EXPECT_TRUE(p.Dark(95.5, 170.5));
    EXPECT_TRUE(p.Light(95.5, 168.5));
    EXPECT_TRUE(p.Dark(95.5, 181));
    EXPECT_TRUE(p.Light(95.5, 183.5));
    // Nothing in row 2 on string 1, a dot there on string 2 (x 113, fret 2).
    EXPECT_TRUE(p.Light(96, 152));
    EXPECT_TRUE(p.Dark(116, 152));
    // Over the box (y 105): x on string 0, o on string 3 (white inside its ring).
    EXPECT_TRUE(p.Dark(73, 105));
    EXPECT_TRUE(p.Light(133, 105));
    EXPECT_TRUE(p.Dark(136.5, 105));
    EXPECT_TRUE(p.Light(113, 105));  // string 2 is fretted: no mark
    // No starting fret number at the nut; nothing in the next cell.
    EXPECT_FALSE(p.AnyDark(50, 120, 62, 134));
    EXPECT_FALSE(p.AnyDark(212, 80, 380, 250));
}

TEST(ChordSheet, LeftHandMirrorsTheStrings) {
    Picture p(OneBox(OPEN_C, true));
    // String 1 is now the fifth column (x 153), string 2 the fourth (x 133).
    EXPECT_TRUE(p.Light(96, 176));
    EXPECT_TRUE(p.Dark(156, 176));
    EXPECT_TRUE(p.Dark(136, 152));
    // The x of string 0 moves to the right edge, the o of string 3 to x 113.
    EXPECT_TRUE(p.Light(73, 105));
    EXPECT_TRUE(p.Dark(173, 105));
    EXPECT_TRUE(p.Dark(116.5, 105));
}

TEST(ChordSheet, AShapeAboveTheNutHasItsFretNumberAndNoNut) {
    Picture p(OneBox(BARRE_A, false));
    EXPECT_TRUE(p.Dark(83, 116));
    EXPECT_TRUE(p.Light(83, 113));
    EXPECT_TRUE(p.AnyDark(50, 120, 62, 134));  // "5" beside row 1
    // Fret 5 is row 1 (y 128): the barre runs between its dots from string 0 to string 1.
    EXPECT_TRUE(p.Dark(83, 128));
    // Fret 7 is row 3 (y 176) on strings 1 and 2; fret 6 row 2 on string 3.
    EXPECT_TRUE(p.Dark(96, 176));
    EXPECT_TRUE(p.Dark(116, 176));
    EXPECT_TRUE(p.Dark(136, 152));
    EXPECT_TRUE(p.Light(136, 176));
    // Nothing is marked over the box: every string is fretted.
    EXPECT_FALSE(p.AnyDark(68, 100, 178, 109));
}

TEST(ChordSheet, PagesHoldTwelveBoxes) {
    Sheet s = OneBox(OPEN_C, false);
    EXPECT_EQ(sheet::PageCount(s), 1);
    s.boxes.assign(12, s.boxes[0]);
    EXPECT_EQ(sheet::PageCount(s), 1);
    s.boxes.push_back(s.boxes[0]);
    EXPECT_EQ(sheet::PageCount(s), 2);
    s.boxes.assign(25, s.boxes[0]);
    EXPECT_EQ(sheet::PageCount(s), 3);
    s.boxes.clear();
    EXPECT_EQ(sheet::PageCount(s), 1);

    // The PNG grows a row every three boxes.
    s.boxes.assign(7, OneBox(OPEN_C, false).boxes[0]);
    EXPECT_EQ(Picture(s).Height(), (72 + 3 * 180 + 36) * 2);
}

TEST(ChordSheet, SvgNamesEachBoxInOrderAndEscapesText) {
    Sheet s = OneBox(OPEN_C, false);
    s.title = "a <b> & \"c\"";
    s.boxes.push_back({"second", "1/2 bar", std::nullopt});
    std::vector<std::uint8_t> bytes;
    ASSERT_EQ(sheet::DrawSheet(s, SheetFormat::SVG, bytes), "");
    std::string svg(bytes.begin(), bytes.end());
    EXPECT_NE(svg.find("<title>a &lt;b&gt; &amp; &quot;c&quot;</title>"), std::string::npos);
    std::size_t first = svg.find(R"(<g class="chord-box" id="box-1"><title>C Major — 01 C (fret 1))"
                                 R"(</title><rect x="36.000000" y="72.000000" width="174.000000")");
    std::size_t second = svg.find(R"(<g class="chord-box" id="box-2"><title>second — 1/2 bar)"
                                  R"(</title><rect x="210.000000" y="72.000000")");
    EXPECT_NE(first, std::string::npos);
    EXPECT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
    EXPECT_TRUE(svg.ends_with("</svg>\n") || svg.ends_with("</svg>"));
}

}  // namespace
