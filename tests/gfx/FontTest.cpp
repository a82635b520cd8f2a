#include "gfx/Font.h"

#include <gtest/gtest.h>

#include <vector>

#include "gfx/Pixel.h"
#include "platform/Resources.h"
#include "res/EmbeddedResources.h"

namespace gfx {
namespace {

constexpr std::uint16_t SENTINEL = 0x1111;
constexpr std::uint16_t WHITE = 0xFFFF;
constexpr std::uint16_t RED = 0xF800;

SurfacePtr Canvas(int w, int h, std::uint16_t fill = SENTINEL) {
    SurfacePtr s = createSurface(static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h));
    clear(*s, fill);
    return s;
}

bool SamePixels(const Surface& a, const Surface& b) {
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (getPixel(a, x, y) != getPixel(b, x, y)) return false;
    return true;
}

int Count(const Surface& s, std::uint16_t colour, int x0 = 0, int x1 = -1) {
    if (x1 < 0) x1 = s.Width();
    int n = 0;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = x0; x < x1; ++x)
            n += getPixel(s, x, y) == colour;
    return n;
}

// A view with nothing readable after its last character, so that a read past the end
// is caught by the address sanitiser.
struct ExactText {
    explicit ExactText(std::string_view s) : bytes(s.begin(), s.end()) {}
    std::string_view View() const { return {bytes.data(), bytes.size()}; }
    std::vector<char> bytes;
};

struct Fonts : ::testing::Test {
    void SetUp() override {
        platform::SetResourceTable(res::EmbeddedResources());
        ASSERT_TRUE(loadFont(small, 1));
        ASSERT_TRUE(loadFont(large, 2));
        ASSERT_TRUE(loadFont(medium, 4));
        TextBackground = 0;
    }
    void TearDown() override { TextBackground = 0; }
    int Sum(const Font& f, std::string_view glyphs) {
        int w = 0;
        for (char c : glyphs)
            w += f.advance[static_cast<unsigned char>(c)];
        return w;
    }
    Font small, large, medium;
};

TEST_F(Fonts, TheFourResourcesLoadWithTheirHeightsAndCharacterSets) {
    const int heights[] = {11, 18, 13, 14};
    const int counts[] = {81, 80, 80, 80};
    for (std::uint32_t id = 1; id <= 4; ++id) {
        Font f;
        ASSERT_TRUE(loadFont(f, id)) << id;
        EXPECT_EQ(f.height, heights[id - 1]);
        EXPECT_EQ(f.glyphCount, counts[id - 1]);
        EXPECT_TRUE(f.IsMask());
        EXPECT_EQ(f.image->Height(), f.height);
        int total = 0;
        for (int c = 0; c < 256; ++c)
            total += f.advance[c];
        EXPECT_EQ(total, f.image->Width());  // the strip holds the glyphs side by side
        for (char c : std::string_view("Az09 #/!'"))
            EXPECT_GT(f.advance[static_cast<unsigned char>(c)], 0) << id << c;
        EXPECT_EQ(f.advance['|'], 0);
        EXPECT_EQ(f.advance['\\'] > 0, id == 1);
    }
    // Glyphs follow one another in the strip in table order.
    EXPECT_EQ(small.xOffset['B'], small.xOffset['A'] + small.advance['A']);
}

TEST_F(Fonts, MissingOrDamagedResourcesFailAndLeaveNoImage) {
    Font f;
    ASSERT_TRUE(loadFont(f, 2));
    EXPECT_FALSE(loadFont(f, 9));
    EXPECT_FALSE(f.Loaded());
    EXPECT_EQ(f.advance['A'], 0);

    auto bytes = *platform::FindResource(platform::RESOURCE_FONT, 1);
    std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    std::size_t tableAt = data[0] | data[1] << 8 | data[2] << 16;
    EXPECT_FALSE(loadFont(f, std::span(data).first(3)));
    EXPECT_FALSE(loadFont(f, std::span(data).first(tableAt + 1)));       // no count and height
    EXPECT_FALSE(loadFont(f, std::span(data).first(tableAt + 2 + 20)));  // table cut short
    std::vector<std::uint8_t> badStrip = data;
    badStrip[4] = 'X';  // not a picture any more
    EXPECT_FALSE(loadFont(f, badStrip));
    EXPECT_FALSE(f.Loaded());
    std::vector<std::uint8_t> pastEnd = data;
    pastEnd[3] = 0x7F;  // the table offset points far past the data
    EXPECT_FALSE(loadFont(f, pastEnd));
    // Drawing with a font that failed to load draws nothing.
    auto s = Canvas(40, 20);
    drawText(f, *s, 0, 0, "abc", 0);
    EXPECT_EQ(Count(*s, SENTINEL), 40 * 20);
    EXPECT_TRUE(loadFont(f, data));
}

TEST_F(Fonts, DoubleHashIsOneSharpGlyphInWidthAndDrawing) {
    EXPECT_EQ(textWidth(large, "C##/A##m"), Sum(large, "C#/A#m"));
    auto marked = Canvas(120, 20, WHITE);
    drawText(large, *marked, 0, 0, "C##/A##m", 0);
    auto glyphs = Canvas(120, 20, WHITE);
    int x = 0;
    for (std::string_view g : {"C", "##", "/", "A", "##", "m"}) {
        drawText(large, *glyphs, x, 0, g, 0);
        x += textWidth(large, g);
    }
    EXPECT_TRUE(SamePixels(*marked, *glyphs));
    EXPECT_EQ(textWidth(large, "C##/A##m", true), Sum(large, "C##/A##m"));  // raw: every glyph
}

TEST_F(Fonts, ColourCodesChangeTheInkAndTakeNoRoom) {
    const std::string_view text = "#FF0000root#000000 note";
    EXPECT_EQ(textWidth(medium, text), textWidth(medium, "root note"));
    auto s = Canvas(100, 14, WHITE);
    drawText(medium, *s, 0, 0, text, 0x001F);
    int rootEnd = textWidth(medium, "root");
    EXPECT_GT(Count(*s, RED, 0, rootEnd), 0);
    EXPECT_EQ(Count(*s, 0x0000, 0, rootEnd), 0);
    EXPECT_GT(Count(*s, 0x0000, rootEnd, 100), 0);
    EXPECT_EQ(Count(*s, RED, rootEnd, 100), 0);
    EXPECT_EQ(Count(*s, 0x001F), 0);  // the caller's colour was replaced at once
    EXPECT_EQ(medium.lastColour, 0x0000);
    // The same text without the codes draws the same shapes.
    auto plain = Canvas(100, 14, WHITE);
    drawText(medium, *plain, 0, 0, "root note", 0);
    for (int y = 0; y < 14; ++y)
        for (int x = rootEnd; x < 100; ++x)
            ASSERT_EQ(getPixel(*s, x, y), getPixel(*plain, x, y));
}

// Every hexadecimal digit, in either case, in ink and background codes: "#ff0000" is how
// the help pages write their colours.
TEST_F(Fonts, ColourCodesReadEveryDigitInEitherCase) {
    const std::string lower = "0123456789abcdef", upper = "0123456789ABCDEF";
    auto s = Canvas(20, 14, WHITE);
    for (int d = 0; d < 16; ++d) {
        const int v = d * 17;  // "dd" read as a byte
        for (const std::string* digits : {&lower, &upper}) {
            const std::string pair(2, (*digits)[static_cast<std::size_t>(d)]);
            drawText(medium, *s, 0, 0, "#" + pair + "0000x", 0);
            EXPECT_EQ(medium.lastColour, RGB565(v, 0, 0)) << pair;
            drawText(medium, *s, 0, 0, "#00" + pair + "00x", 0);
            EXPECT_EQ(medium.lastColour, RGB565(0, v, 0)) << pair;
            drawText(medium, *s, 0, 0, "#0000" + pair + "x", 0);
            EXPECT_EQ(medium.lastColour, RGB565(0, 0, v)) << pair;
            drawText(medium, *s, 0, 0, "|" + pair + pair + pair + "x", 0);
            EXPECT_EQ(TextBackground, RGB565(v, v, v)) << pair;
        }
    }
    EXPECT_EQ(RGB565(0xff, 0, 0), 0xF800);
}

TEST_F(Fonts, BackgroundCodePaintsGapsAndSpacesAndStays) {
    auto s = Canvas(80, 14);
    drawText(medium, *s, 0, 0, "|FFFFFFa b", 0);
    int w = textWidth(medium, "|FFFFFFa b");
    EXPECT_EQ(w, textWidth(medium, "a b"));
    for (int y = 0; y < medium.height; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_NE(getPixel(*s, x, y), SENTINEL) << x << "," << y;
    EXPECT_EQ(Count(*s, SENTINEL, w, 80), (80 - w) * 14);
    EXPECT_EQ(TextBackground, WHITE);  // global, kept after the call
    // Without the code the gaps and the space are left alone.
    auto plain = Canvas(80, 14);
    drawText(medium, *plain, 0, 0, "a b", 0);
    EXPECT_GT(Count(*plain, SENTINEL, 0, w), 0);
}

TEST_F(Fonts, CaretPicksTheInk) {
    auto s = Canvas(60, 14, WHITE);
    drawText(medium, *s, 0, 0, "^oxxA", RED);
    EXPECT_EQ(medium.lastColour, 0x0010);
    EXPECT_GT(Count(*s, 0x0010), 0);
    EXPECT_EQ(textWidth(medium, "^oxxA"), medium.advance['A']);
    drawText(medium, *s, 0, 0, "#00FF00^-xxA", RED);
    EXPECT_EQ(medium.lastColour, RED);
}

TEST_F(Fonts, MarkupCutShortByTheEndNeverReadsPastIt) {
    for (std::string_view cut : {"ab#FF", "ab#", "ab|", "ab|FFFFF", "ab^", "ab^o", "ab#F##"}) {
        ExactText t(cut);
        EXPECT_EQ(textWidth(medium, t.View()), Sum(medium, "ab")) << cut;
        EXPECT_EQ(breakLine(medium, t.View(), 1000), static_cast<int>(cut.size())) << cut;
        auto s = Canvas(60, 14, WHITE);
        drawText(medium, *s, 0, 0, t.View(), RED);
        EXPECT_EQ(medium.lastColour, cut[2] == '^' && cut.size() > 3 ? 0x0010 : RED) << cut;
        EXPECT_EQ(Count(*s, WHITE, Sum(medium, "ab"), 60), (60 - Sum(medium, "ab")) * 14) << cut;
        EXPECT_EQ(drawTextInRect(medium, s.get(), t.View(), Rect{0, 0, 60, 14}, RED), 14) << cut;
        std::string copy(cut);
        EXPECT_EQ(fitText(medium, copy, 1000), static_cast<int>(cut.size())) << cut;
    }
    EXPECT_EQ(TextBackground, 0);  // an incomplete '|' code sets nothing
}

TEST_F(Fonts, CentringIsPerLineAndVertical) {
    auto s = Canvas(100, 40);
    drawText(medium, *s, -1, -1, "AA\rA", 0);
    int y0 = (40 - medium.height) / 2;
    auto probe = Canvas(100, 40);
    drawText(medium, *probe, (100 - Sum(medium, "AA")) >> 1, y0, "AA", 0);
    drawText(medium, *probe, (100 - medium.advance['A']) >> 1, y0 + medium.height, "A", 0);
    EXPECT_TRUE(SamePixels(*s, *probe));
}

TEST_F(Fonts, BreakLineEndsAfterTheLastSpaceOrBackslashThatFits) {
    const std::string_view words = "one two three";
    EXPECT_EQ(breakLine(medium, words, textWidth(medium, "one two thr")), 8);
    EXPECT_EQ(breakLine(medium, words, textWidth(medium, words) + 1), 13);
    EXPECT_EQ(breakLine(small, "path\\to file", textWidth(small, "path\\to")), 5);
    EXPECT_EQ(breakLine(medium, "ab\rcd", 1000), 3);  // the carriage return is counted
    EXPECT_EQ(textWidth(medium, "ab\rcd"), Sum(medium, "ab"));
    // A word longer than the line is cut where it stops fitting.
    EXPECT_EQ(breakLine(medium, "abcdefgh", textWidth(medium, "abc") + 1), 3);
    // Colour codes count as characters of the line but take no room.
    EXPECT_EQ(breakLine(medium, "#FF0000one two", textWidth(medium, "one tw")), 11);
}

TEST_F(Fonts, DrawTextInRectWrapsMeasuresWhatItDrawsAndStopsAtTheBottom) {
    const std::string_view text = "one two three";
    const int room = textWidth(medium, "one two thr");
    auto s = Canvas(100, 60);
    int h = drawTextInRect(medium, s.get(), text, Rect{0, 0, room, 60}, 0);
    EXPECT_EQ(h, 2 * medium.height);
    EXPECT_EQ(drawTextInRect(medium, nullptr, text, Rect{0, 0, room, 60}, 0), h);
    auto probe = Canvas(100, 60);
    drawText(medium, *probe, 0, 0, "one two", 0);
    drawText(medium, *probe, 0, medium.height, "three", 0);
    EXPECT_TRUE(SamePixels(*s, *probe));

    // Five lines in a rectangle with room for two and a half: two are drawn.
    auto cut = Canvas(100, 60);
    Rect r{0, 0, 100, medium.height * 5 / 2};
    EXPECT_EQ(drawTextInRect(medium, cut.get(), "a\rb\rc\rd\re", r, 0), 2 * medium.height);
    EXPECT_EQ(drawTextInRect(medium, nullptr, "a\rb\rc\rd\re", r, 0), 2 * medium.height);
    EXPECT_LT(Count(*cut, SENTINEL), 100 * 60);
    for (int y = 2 * medium.height; y < 60; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(getPixel(*cut, x, y), SENTINEL);
    // A rectangle narrower than one glyph still makes progress, one character a line.
    EXPECT_EQ(drawTextInRect(medium, nullptr, "WWW", Rect{0, 0, 2, 1000}, 0), 3 * medium.height);
}

TEST_F(Fonts, FitTextWritesThreeDotsBeforeTheCut) {
    std::string entry = "Chord Sequencer";
    int room = textWidth(medium, "Chord Seq");
    int cut = fitText(medium, entry, room);
    EXPECT_EQ(cut, 8);  // 'q' is the first that does not fit
    EXPECT_EQ(entry.substr(0, 8), "Chord...");
    std::string fits = "Chord";
    EXPECT_EQ(fitText(medium, fits, 1000), 5);
    EXPECT_EQ(fits, "Chord");
    std::string two = "ABC";
    EXPECT_EQ(fitText(medium, two, medium.advance['A'] + 1), 1);
    EXPECT_EQ(two, "ABC");  // fewer than three before the cut: no dots
    std::string lines = "ab\rcd";
    EXPECT_EQ(fitText(medium, lines, 1000), 2);
}

TEST(Font8x16, DrawsWholeCellsOnlyAndStringsStopAtTheFirstThatDoesNotFit) {
    auto s = Canvas(40, 20);
    EXPECT_FALSE(drawChar8x16(*s, 40 - 7, 0, 'A', WHITE));
    EXPECT_FALSE(drawChar8x16(*s, -1, 0, 'A', WHITE));
    EXPECT_FALSE(drawChar8x16(*s, 0, 5, 'A', WHITE));
    EXPECT_EQ(Count(*s, SENTINEL), 40 * 20);
    EXPECT_TRUE(drawChar8x16(*s, 32, 4, 219, WHITE));  // the full block fills its cell
    EXPECT_EQ(Count(*s, WHITE), 8 * 16);
    EXPECT_EQ(getPixel(*s, 32, 4), WHITE);
    EXPECT_EQ(getPixel(*s, 39, 19), WHITE);

    auto t = Canvas(40, 20);
    drawString8x16(*t, 40 - 23, 0, "\xDB\xDB\xDB", WHITE);  // the third would need 24
    EXPECT_EQ(Count(*t, WHITE), 2 * 8 * 16);
    auto c = Canvas(40, 20);
    drawString8x16(*c, -1, 0, "\xDB\xDB", WHITE);
    EXPECT_EQ(getPixel(*c, 12, 0), WHITE);
    EXPECT_EQ(getPixel(*c, 11, 0), SENTINEL);
    EXPECT_EQ(getPixel(*c, 28, 0), SENTINEL);
    // Code page 437 shapes: 'A' has ink, the space has none, code 0 is blank.
    auto a = Canvas(8, 16);
    drawChar8x16(*a, 0, 0, 'A', WHITE);
    EXPECT_GT(Count(*a, WHITE), 20);
    drawChar8x16(*a, 0, 0, ' ', RED);
    drawChar8x16(*a, 0, 0, 0, RED);
    EXPECT_EQ(Count(*a, RED), 0);
}

TEST(ColourFont, GlyphsAreCopiedSkippingTheKeyAndMarkupIsIgnored) {
    Font f;
    f.image = createSurface(4, 2);
    clear(*f.image, COLOUR_KEY);
    f.image->Row(0)[0] = RED;     // '#': one red pixel
    f.image->Row(1)[3] = 0x07E0;  // 'x': one green pixel
    f.colourKey = COLOUR_KEY;
    f.height = 2;
    f.advance['#'] = 2;
    f.advance['x'] = 2;
    f.xOffset['x'] = 2;
    ASSERT_FALSE(f.IsMask());
    auto s = Canvas(10, 2);
    drawText(f, *s, 0, 0, "#x", 0);
    EXPECT_EQ(getPixel(*s, 0, 0), RED);
    EXPECT_EQ(getPixel(*s, 3, 1), 0x07E0);
    EXPECT_EQ(Count(*s, SENTINEL), 18);
    EXPECT_EQ(textWidth(f, "#x", true), 4);
}

}  // namespace
}  // namespace gfx
