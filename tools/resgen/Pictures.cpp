#include "Pictures.h"

#include <cmath>

namespace resgen {

namespace {

const Colour KEY = Colour::Hex(0xFF00FF);
const Colour INK = Colour::Hex(0x1E2A38);
const Colour WHITE = Colour::Hex(0xFFFFFF);

// Shapes over a colour key: drawn twice, once in colour over the backdrop they will
// usually be seen on (for smooth edges there) and once as a coverage mask; pixels the
// shape barely covers become the key.
class KeyedArt {
  public:
    KeyedArt(int w, int h, Colour backdrop) : colour(w, h, backdrop), mask(w, h, Colour{}) {}
    template <typename Draw>
    void Paint(Draw draw, bool coversMask = true) {
        draw(colour, Colour{});
        if (coversMask) draw(mask, WHITE);
    }
    Canvas Finish(float threshold = 0.4f) {
        for (int y = 0; y < colour.Height(); ++y)
            for (int x = 0; x < colour.Width(); ++x)
                if (mask.At(x, y).r < threshold) colour.At(x, y) = KEY;
        return colour;
    }
    Canvas colour;
    Canvas mask;
};

// Colour{} passed as `over` means: use the real colour; anything else paints the mask.
Colour Pick(const Colour& real, const Colour& over) {
    return over.r > 0 ? over : real;
}

}  // namespace

Canvas BackgroundPicture() {
    Canvas c(240, 320);
    c.VerticalGradient(0, 320, Colour::Hex(0xF3F6F9), Colour::Hex(0xD3DCE6));
    // A soft light from the upper left, so the flat gradient reads as a surface.
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x) {
            float d = std::hypot(x - 40.0f, y - 30.0f) / 320.0f;
            c.Blend(x, y, WHITE, 0.35f * std::max(0.0f, 1.0f - d));
        }
    // The button bar.
    c.FillRoundRect(0, 291, 240, 330, 0, Colour::Hex(0xC4D0DD));
    c.VerticalGradient(291, 292, Colour::Hex(0xF8FAFC), Colour::Hex(0xF8FAFC));
    for (int x = 0; x < 240; ++x)
        c.Blend(x, 290, Colour::Hex(0x8C9CAE), 0.8f);
    return c;
}

Canvas TitlePicture(const Fonts& fonts) {
    Canvas c(200, 220);
    c.VerticalGradient(0, 220, Colour::Hex(0x23364D), Colour::Hex(0x0E1722));
    // A fret board seen at an angle, with a chord shape lit up on it.
    const Colour wood = Colour::Hex(0x5A3B26);
    c.FillRoundRect(-20, 96, 230, 162, 0, wood);
    for (int i = 0; i < 6; ++i) {
        float y = 101 + i * 11.0f;
        c.Line(-20, y, 230, y, 0.8f + 0.25f * (5 - i), Colour::Hex(0xD9D4C7));
    }
    for (int f = 0; f < 6; ++f) {
        float x = 14 + f * 38.0f;
        c.Line(x, 96, x, 162, 2.0f, Colour::Hex(0xB9BEC4));
    }
    struct Dot {
        float x, y;
        bool root;
    };
    const Dot dots[] = {{71, 145, true}, {109, 134, false}, {109, 123, false}, {33, 112, false}};
    for (const Dot& d : dots) {
        c.FillCircle(d.x, d.y, 7.5f, Colour::Hex(0x000000), 0.35f);
        c.FillCircle(d.x, d.y - 0.5f, 5.5f, d.root ? Colour::Hex(0xFFE14D) : WHITE);
        c.StrokeCircle(d.x, d.y - 0.5f, 5.5f, 1.0f, Colour::Hex(0x111111));
    }
    const std::string name = "Fretlore";
    float w = Canvas::TextWidth(fonts.bold, 36, name);
    c.Text(fonts.bold, 36, (200 - w) / 2 + 1, 57, name, Colour::Hex(0x000000), 0.5f);
    c.Text(fonts.bold, 36, (200 - w) / 2, 56, name, WHITE);
    const std::string tag = "chords \xB7 scales \xB7 tuner";
    float tw = Canvas::TextWidth(fonts.regular, 11, tag);
    c.Text(fonts.regular, 11, (200 - tw) / 2, 78, tag, Colour::Hex(0xA9BCD0));
    c.Text(fonts.regular, 10, 10, 208, "version 1.03", Colour::Hex(0x7F93A8));
    return c;
}

Canvas ScrollArrows() {
    KeyedArt art(28, 28, Colour::Hex(0xE6ECF2));
    for (int col = 0; col < 2; ++col)
        for (int row = 0; row < 2; ++row) {
            bool pressed = row == 0;
            float x = col * 14.0f, y = row * 14.0f;
            art.Paint([&](Canvas& c, Colour over) {
                c.FillRoundRect(
                    x + 0.5f, y + 0.5f, x + 13.5f, y + 13.5f, 3,
                    Pick(pressed ? Colour::Hex(0xAEBFD2) : Colour::Hex(0xF1F5F9), over));
                c.StrokeRoundRect(x + 0.5f, y + 0.5f, x + 13.5f, y + 13.5f, 3, 1,
                                  Pick(Colour::Hex(0x6F8196), over));
            });
            float cx = x + 7 + (pressed ? 0.5f : 0), cy = y + 7 + (pressed ? 0.5f : 0);
            float dir = col == 0 ? -1.0f : 1.0f;  // column 0 points up
            art.Paint(
                [&](Canvas& c, Colour) {
                    c.Line(cx - 3.5f, cy - dir * 1.8f, cx, cy + dir * 1.8f, 1.6f, INK);
                    c.Line(cx + 3.5f, cy - dir * 1.8f, cx, cy + dir * 1.8f, 1.6f, INK);
                },
                false);
        }
    return art.Finish();
}

Canvas CheckBoxes() {
    KeyedArt art(30, 30, Colour::Hex(0xE9EEF3));
    for (int row = 0; row < 2; ++row) {
        bool on = row == 0;
        float y = row * 15.0f;
        // Column 0: round (radio) marks; column 1: the square check box.
        art.Paint([&](Canvas& c, Colour over) {
            c.FillCircle(7.5f, y + 7.5f, 6.5f, Pick(WHITE, over));
            c.StrokeCircle(7.5f, y + 7.5f, 6.0f, 1.2f, Pick(Colour::Hex(0x55677C), over));
            c.FillRoundRect(15.5f, y + 0.5f, 29.5f, y + 14.5f, 2.5f, Pick(WHITE, over));
            c.StrokeRoundRect(16, y + 1, 29, y + 14, 2.5f, 1.2f, Pick(Colour::Hex(0x55677C), over));
        });
        if (!on) continue;
        art.Paint(
            [&](Canvas& c, Colour) {
                c.FillCircle(7.5f, y + 7.5f, 3.2f, Colour::Hex(0x2D6CDF));
                c.Line(18.8f, y + 7.6f, 21.6f, y + 10.6f, 2.0f, Colour::Hex(0x2D6CDF));
                c.Line(21.6f, y + 10.6f, 26.4f, y + 4.2f, 2.0f, Colour::Hex(0x2D6CDF));
            },
            false);
    }
    return art.Finish();
}

Canvas ButtonFrame() {
    KeyedArt art(12, 36, Colour::Hex(0xCAD5E1));
    struct Look {
        std::uint32_t top, face, bottom, border;
    };
    const Look looks[] = {
        {0xAFC0D3, 0xBDCBDB, 0xCBD7E4, 0x4F6075},  // pressed: lit from below
        {0xFFFFFF, 0xE8EEF4, 0xC9D4E0, 0x62748A},  // normal
        {0xF1F2F4, 0xE3E5E8, 0xD8DBDF, 0xA9B0B9},  // disabled
    };
    for (int i = 0; i < 3; ++i) {
        const Look& l = looks[i];
        float y = i * 12.0f;
        art.Paint([&](Canvas& c, Colour over) {
            c.FillRoundRect(0, y, 12, y + 12, 3.5f, Pick(Colour::Hex(l.face), over));
        });
        art.Paint(
            [&](Canvas& c, Colour) {
                // The top and bottom pieces are stretched sideways only, so their rows carry the
                // bevel.
                for (int x = 1; x < 11; ++x) {
                    c.Blend(x, int(y) + 1, Colour::Hex(l.top), 0.9f);
                    c.Blend(x, int(y) + 2, Colour::Hex(l.top), 0.45f);
                    c.Blend(x, int(y) + 10, Colour::Hex(l.bottom), 0.9f);
                    c.Blend(x, int(y) + 9, Colour::Hex(l.bottom), 0.45f);
                }
                c.StrokeRoundRect(0.5f, y + 0.5f, 11.5f, y + 11.5f, 3.0f, 1.0f,
                                  Colour::Hex(l.border));
            },
            false);
    }
    return art.Finish(0.5f);
}

Canvas PianoRoll() {
    // Keys run downward, 13 pixels a white key; black keys lie along the right-hand side.
    const int width = 45, octave = 91, octaves = 3, blackFrom = 20;
    Canvas c(width, octave * octaves, Colour::Hex(0xFBFBF8));
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < width; ++x)
            c.Blend(x, y, Colour::Hex(0xDCDCD6), x / float(width) * 0.6f);
    for (int k = 1; k < 7 * octaves; ++k)
        c.Line(0, k * 13.0f, width, k * 13.0f, 1.0f, Colour::Hex(0x8E949B));
    const float blackCentre[] = {13, 26, 52, 65, 78};
    for (int o = 0; o < octaves; ++o)
        for (float b : blackCentre) {
            float y = o * octave + b;
            c.FillRoundRect(blackFrom, y - 4.5f, width + 3, y + 4.5f, 1.5f, Colour::Hex(0x1B1D21));
            c.Line(blackFrom + 2, y - 2.5f, width, y - 2.5f, 1.0f, Colour::Hex(0x4A4F57));
        }
    c.Line(0.5f, 0, 0.5f, c.Height(), 1.0f, Colour::Hex(0x6D737A));
    c.Line(width - 0.5f, 0, width - 0.5f, c.Height(), 1.0f, Colour::Hex(0x6D737A));
    return c;
}

Canvas LargePianoRoll() {
    // Keys run rightward, 16 pixels a white key; black keys hang from the top edge.
    const int octave = 112, octaves = 2, blackLength = 40;
    Canvas c(octave * octaves, 64, Colour::Hex(0xFBFBF8));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < c.Width(); ++x)
            c.Blend(x, y, Colour::Hex(0xDCDCD6), (63 - y) / 63.0f * 0.6f);
    for (int k = 1; k < 7 * octaves; ++k)
        c.Line(k * 16.0f, 0, k * 16.0f, 64, 1.0f, Colour::Hex(0x8E949B));
    const float blackCentre[] = {16, 32, 64, 80, 96};
    for (int o = 0; o < octaves; ++o)
        for (float b : blackCentre) {
            float x = o * octave + b;
            c.FillRoundRect(x - 5, -3, x + 5, blackLength, 1.5f, Colour::Hex(0x1B1D21));
            c.Line(x - 3, 0, x - 3, blackLength - 2, 1.0f, Colour::Hex(0x4A4F57));
        }
    c.Line(0, 63.5f, c.Width(), 63.5f, 1.0f, Colour::Hex(0x6D737A));
    c.Line(0, 0.5f, c.Width(), 0.5f, 1.0f, Colour::Hex(0x6D737A));
    return c;
}

Canvas TriggerThumb() {
    KeyedArt art(20, 11, Colour::Hex(0xD5DEE8));
    art.Paint([&](Canvas& c, Colour over) {
        c.FillRoundRect(0, 0, 20, 11, 4.5f, Pick(Colour::Hex(0xBDCEFF), over));
    });
    art.Paint(
        [&](Canvas& c, Colour) {
            for (int x = 2; x < 18; ++x)
                c.Blend(x, 1, WHITE, 0.7f);
            c.StrokeRoundRect(0.5f, 0.5f, 19.5f, 10.5f, 4.0f, 1.0f, Colour::Hex(0x3A5573));
            for (int i = -1; i <= 1; ++i)
                c.Line(6, 5.5f + 2 * i, 14, 5.5f + 2 * i, 0.9f, Colour::Hex(0x3A5573));
        },
        false);
    return art.Finish(0.5f);
}

Canvas ProgramIcon() {
    KeyedArt art(32, 32, Colour::Hex(0x2A3F57));
    art.Paint([&](Canvas& c, Colour over) {
        c.FillRoundRect(1, 1, 31, 31, 7, Pick(Colour::Hex(0x2A3F57), over));
    });
    art.Paint(
        [&](Canvas& c, Colour) {
            for (int i = 0; i < 4; ++i)
                c.Line(8 + 5.3f * i, 5, 8 + 5.3f * i, 27, 1.0f, Colour::Hex(0xD9D4C7));
            for (int f = 0; f < 4; ++f)
                c.Line(6, 9 + 6.0f * f, 26, 9 + 6.0f * f, 1.0f, Colour::Hex(0x8FA2B8));
            c.FillCircle(13.3f, 18, 3.2f, Colour::Hex(0xFFE14D));
            c.FillCircle(18.6f, 12, 3.2f, WHITE);
            c.FillCircle(23.9f, 24, 3.2f, WHITE);
        },
        false);
    return art.Finish(0.5f);
}

namespace {

// A page with its top right corner folded down, in the 16 x 16 cell at `x`.
void Page(KeyedArt& art, float x) {
    art.Paint([&](Canvas& c, Colour over) {
        c.FillRoundRect(x + 3, 1, x + 13, 15, 0.8f, Pick(WHITE, over));
    });
    art.Paint(
        [&](Canvas& c, Colour) {
            c.StrokeRoundRect(x + 3.5f, 1.5f, x + 12.5f, 14.5f, 0.8f, 1.0f, Colour::Hex(0x55677C));
            c.FillRoundRect(x + 9, 1, x + 13, 5, 0, Colour::Hex(0xC9D4E0));
            c.Line(x + 9.5f, 1.5f, x + 9.5f, 5.5f, 1.0f, Colour::Hex(0x55677C));
            c.Line(x + 9.5f, 5.5f, x + 12.5f, 5.5f, 1.0f, Colour::Hex(0x55677C));
        },
        false);
}

}  // namespace

Canvas FileIcons() {
    KeyedArt art(48, 16, Colour::Hex(0xFFFFFF));
    // The folder: a tab behind a body lit from the top.
    art.Paint([&](Canvas& c, Colour over) {
        c.FillRoundRect(1, 2, 8, 6, 1.0f, Pick(Colour::Hex(0xD9A634), over));
        c.FillRoundRect(1, 4, 15, 14, 1.0f, Pick(Colour::Hex(0xF2C14E), over));
    });
    art.Paint(
        [&](Canvas& c, Colour) {
            c.StrokeRoundRect(1.5f, 4.5f, 14.5f, 13.5f, 1.0f, 1.0f, Colour::Hex(0x8A6414));
            c.Line(2.5f, 5.5f, 13.5f, 5.5f, 1.0f, Colour::Hex(0xFBE3A6));
        },
        false);
    // A plain file: a page with lines of text.
    Page(art, 16);
    art.Paint(
        [&](Canvas& c, Colour) {
            for (int i = 0; i < 4; ++i)
                c.Line(21, 7.5f + 2 * i, 27, 7.5f + 2 * i, 0.8f, Colour::Hex(0x8FA2B8));
        },
        false);
    // A sequence: a page with a chord's dots on a small fret grid.
    Page(art, 32);
    art.Paint(
        [&](Canvas& c, Colour) {
            for (int i = 0; i < 3; ++i)
                c.Line(36, 7.5f + 3 * i, 42, 7.5f + 3 * i, 0.7f, Colour::Hex(0x8FA2B8));
            c.FillCircle(38, 9, 1.6f, Colour::Hex(0x2D6CDF));
            c.FillCircle(41, 12, 1.6f, Colour::Hex(0x2D6CDF));
        },
        false);
    return art.Finish();
}

}  // namespace resgen
