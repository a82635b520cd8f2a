#include "Fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace resgen {

namespace {

constexpr char LETTERS_AND_DIGITS[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz 0123456789";

// One rendered glyph: coverage 0..255, `width` columns wide, the line's height tall.
struct Glyph {
    unsigned char code;
    int width;
    std::vector<std::uint8_t> coverage;
};

struct FaceDeleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using FacePtr = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceDeleter>;

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) throw std::runtime_error("FreeType does not start");
        return lib;
    }();
    return library;
}

FacePtr OpenFace(const std::string& path, float pixelSize) {
    FT_Face face = nullptr;
    if (FT_New_Face(Library(), path.c_str(), 0, &face) != 0)
        throw std::runtime_error("cannot open font " + path);
    FacePtr owned(face);
    FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(pixelSize * 64), 72, 72);
    return owned;
}

// Grey rendering with the automatic hinter in its normal mode, which snaps stems to whole
// pixels in both directions (the font's own hints are applied vertically only), so the
// glyphs stay crisp at 1:1.
FT_GlyphSlot Render(FT_Face face, unsigned char code) {
    if (FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_FORCE_AUTOHINT | FT_LOAD_TARGET_NORMAL) !=
        0)
        throw std::runtime_error(std::string("no glyph for '") + char(code) + "'");
    return face->glyph;
}

// The baseline row that centres the ink of every glyph in the line.
int Baseline(FT_Face face, const FontStyle& style) {
    int top = 0, bottom = 0;
    for (unsigned char c : style.characters) {
        FT_GlyphSlot g = Render(face, c);
        if (g->bitmap.rows == 0) continue;
        top = std::max(top, g->bitmap_top);
        bottom = std::max(bottom, static_cast<int>(g->bitmap.rows) - g->bitmap_top);
    }
    if (top + bottom > style.height)
        std::fprintf(stderr,
                     "fretlore_resgen: glyphs of size %.1f are %d pixels tall, line is %d\n",
                     style.pixelSize, top + bottom, style.height);
    return top + (style.height - top - bottom) / 2;
}

// Coverage below which a column at the edge of a glyph is only the fringe of a curve.
constexpr int FRINGE = 32;

// The first and one past the last bitmap column holding more than a fringe of ink.
std::pair<int, int> InkColumns(const FT_Bitmap& bitmap) {
    int first = static_cast<int>(bitmap.width), end = 0;
    for (unsigned row = 0; row < bitmap.rows; ++row)
        for (unsigned col = 0; col < bitmap.width; ++col)
            if (bitmap.buffer[row * bitmap.pitch + col] >= FRINGE) {
                first = std::min(first, static_cast<int>(col));
                end = std::max(end, static_cast<int>(col) + 1);
            }
    return {std::min(first, end), end};
}

Glyph RenderGlyph(FT_Face face, unsigned char code, int height, int baseline) {
    FT_GlyphSlot g = Render(face, code);
    int advance = static_cast<int>((g->advance.x + 32) >> 6);
    // Ink reaching left of the pen or past the advance widens the cell rather than being cut;
    // a faint fringe there is dropped instead, so that glyphs keep their advance (digits of
    // one width) and text stays as narrow as the face was drawn.
    auto [first, end] = InkColumns(g->bitmap);
    int shift = std::max(0, -(g->bitmap_left + first));
    int width = std::max(advance + shift, g->bitmap_left + shift + end);
    Glyph glyph{code, width, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height)};
    for (unsigned row = 0; row < g->bitmap.rows; ++row) {
        int y = baseline - g->bitmap_top + static_cast<int>(row);
        if (y < 0 || y >= height) continue;
        for (unsigned col = 0; col < g->bitmap.width; ++col) {
            int x = g->bitmap_left + shift + static_cast<int>(col);
            if (x < 0 || x >= width) continue;
            glyph.coverage[static_cast<std::size_t>(y) * width + x] =
                g->bitmap.buffer[row * g->bitmap.pitch + col];
        }
    }
    return glyph;
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// An 8-bit bottom-up BMP whose palette entry k is grey level k.
std::vector<std::uint8_t> GreyBmp(const std::vector<std::uint8_t>& pixels, int width, int height) {
    const int stride = (width + 3) & ~3;
    const std::uint32_t headers = 14 + 40 + 256 * 4;
    const std::uint32_t imageSize = static_cast<std::uint32_t>(stride * height);
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, headers + imageSize);
    Put32(out, 0);
    Put32(out, headers);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height));
    Put16(out, 1);  // planes
    Put16(out, 8);  // bits per pixel
    Put32(out, 0);  // uncompressed
    Put32(out, imageSize);
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, 256);
    Put32(out, 0);
    for (int k = 0; k < 256; ++k)
        Put32(out, static_cast<std::uint32_t>(k * 0x010101));
    for (int y = height - 1; y >= 0; --y) {
        auto row = pixels.begin() + static_cast<std::ptrdiff_t>(y) * width;
        out.insert(out.end(), row, row + width);
        out.insert(out.end(), static_cast<std::size_t>(stride - width), 0);
    }
    return out;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace

// A face drawn for narrow space, so that the lists' longest items fit their fields. Each size
// is the one whose strip comes closest to the hand-held's font of that id without outgrowing
// the line; the widget font (4) stays at the largest size whose digits are 5 pixels wide, as
// the sequencer's chord box label has only 10 pixels before the screen edge.
FontStyle SysFontStyle(unsigned id) {
    const std::string common = std::string(LETTERS_AND_DIGITS) + ":.,%()-+#?<>/'![]";
    const std::string small = std::string(LETTERS_AND_DIGITS) + ":.,%()-+#?<>/\\'![]";
    switch (id) {
        case 1:
            return {11, 10.75f, Face::Narrow, small};
        case 2:
            return {18, 17.25f, Face::NarrowBold, common};
        case 3:
            return {13, 13.5f, Face::Narrow, common};
        case 4:
            return {14, 12.0f, Face::Narrow, common};
    }
    throw std::runtime_error("no SYSFONT " + std::to_string(id));
}

std::vector<std::uint8_t> MakeSysFont(const std::string& fontPath, const FontStyle& style) {
    FacePtr face = OpenFace(fontPath, style.pixelSize);
    const int baseline = Baseline(face.get(), style);
    std::vector<Glyph> glyphs;
    int stripWidth = 0;
    for (unsigned char c : style.characters) {
        glyphs.push_back(RenderGlyph(face.get(), c, style.height, baseline));
        stripWidth += glyphs.back().width;
    }
    if (glyphs.size() > 255 || stripWidth > 0xFFFF)
        throw std::runtime_error("font strip too large");
    // Hinted stems come out a shade short of full coverage (a pixel-wide stem is a little
    // narrower than a pixel); stretch the ramp so that the common, stem-level coverage
    // reaches full and draws in the exact ink colour.
    std::vector<std::uint8_t> ink;
    for (const Glyph& g : glyphs)
        for (std::uint8_t v : g.coverage)
            if (v) ink.push_back(v);
    std::sort(ink.begin(), ink.end());
    const int full = ink.empty() ? 255 : std::max<int>(1, ink[ink.size() * 9 / 10]);
    for (Glyph& g : glyphs)
        for (std::uint8_t& v : g.coverage)
            v = static_cast<std::uint8_t>(std::min(255, v * 255 / full));
    std::vector<std::uint8_t> strip(static_cast<std::size_t>(stripWidth) * style.height);
    int x = 0;
    for (const Glyph& g : glyphs) {
        for (int y = 0; y < style.height; ++y)
            std::copy_n(g.coverage.begin() + static_cast<std::ptrdiff_t>(y) * g.width, g.width,
                        strip.begin() + static_cast<std::ptrdiff_t>(y) * stripWidth + x);
        x += g.width;
    }
    std::vector<std::uint8_t> bmp = GreyBmp(strip, stripWidth, style.height);
    std::vector<std::uint8_t> out;
    Put32(out, static_cast<std::uint32_t>(4 + bmp.size()));
    out.insert(out.end(), bmp.begin(), bmp.end());
    out.push_back(static_cast<std::uint8_t>(glyphs.size()));
    out.push_back(static_cast<std::uint8_t>(style.height));
    for (const Glyph& g : glyphs) {
        if (g.width > 255) throw std::runtime_error("glyph too wide");
        out.push_back(g.code);
        out.push_back(static_cast<std::uint8_t>(g.width));
    }
    return out;
}

bool SaveSysFont(const std::string& fontPath, const FontStyle& style, const std::string& path) {
    std::vector<std::uint8_t> bytes = MakeSysFont(fontPath, style);
    return WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

namespace {

// Unicode of each code page 437 character (code 0 stays blank).
std::array<char32_t, 256> Cp437() {
    std::array<char32_t, 256> map{};
    constexpr char32_t LOW[32] = {0,      0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,
                                  0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,
                                  0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,
                                  0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC};
    constexpr char32_t HIGH[128] = {
        0xC7,   0xFC,   0xE9,   0xE2,   0xE4,   0xE0,   0xE5,   0xE7,   0xEA,   0xEB,   0xE8,
        0xEF,   0xEE,   0xEC,   0xC4,   0xC5,   0xC9,   0xE6,   0xC6,   0xF4,   0xF6,   0xF2,
        0xFB,   0xF9,   0xFF,   0xD6,   0xDC,   0xA2,   0xA3,   0xA5,   0x20A7, 0x192,  0xE1,
        0xED,   0xF3,   0xFA,   0xF1,   0xD1,   0xAA,   0xBA,   0xBF,   0x2310, 0xAC,   0xBD,
        0xBC,   0xA1,   0xAB,   0xBB,   0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562,
        0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534,
        0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560,
        0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
        0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x3B1,  0xDF,   0x393,
        0x3C0,  0x3A3,  0x3C3,  0xB5,   0x3C4,  0x3A6,  0x398,  0x3A9,  0x3B4,  0x221E, 0x3C6,
        0x3B5,  0x2229, 0x2261, 0xB1,   0x2265, 0x2264, 0x2320, 0x2321, 0xF7,   0x2248, 0xB0,
        0x2219, 0xB7,   0x221A, 0x207F, 0xB2,   0x25A0, 0xA0};
    for (int i = 0; i < 32; ++i)
        map[i] = LOW[i];
    for (int i = 32; i < 127; ++i)
        map[i] = static_cast<char32_t>(i);
    map[127] = 0x2302;
    for (int i = 0; i < 128; ++i)
        map[128 + i] = HIGH[i];
    return map;
}

// Shapes some fonts give under a neighbouring code point.
char32_t Alternative(char32_t u) {
    switch (u) {
        case 0x25BA:
            return 0x25B6;
        case 0x25C4:
            return 0x25C0;
        case 0x2219:
            return 0x00B7;
    }
    return 0;
}

// An 8-pixel-wide console font: its glyph rows and the first glyph of each code point.
struct ConsoleFont {
    int height = 0;
    std::vector<std::uint8_t> glyphs;
    std::map<char32_t, std::size_t> index;

    const std::uint8_t* Find(char32_t u) const {
        auto it = index.find(u);
        if (it == index.end() && Alternative(u)) it = index.find(Alternative(u));
        return it == index.end() ? nullptr : &glyphs[it->second * static_cast<std::size_t>(height)];
    }
};

std::vector<std::uint8_t> Gunzip(const std::string& path) {
    gzFile file = gzopen(path.c_str(), "rb");
    if (!file) throw std::runtime_error("cannot open " + path);
    std::vector<std::uint8_t> out;
    std::array<std::uint8_t, 16384> buffer;
    int n;
    while ((n = gzread(file, buffer.data(), buffer.size())) > 0)
        out.insert(out.end(), buffer.begin(), buffer.begin() + n);
    gzclose(file);
    if (n < 0) throw std::runtime_error("cannot decompress " + path);
    return out;
}

std::uint32_t Get32(const std::vector<std::uint8_t>& d, std::size_t at) {
    return d[at] | d[at + 1] << 8 | d[at + 2] << 16 | static_cast<std::uint32_t>(d[at + 3]) << 24;
}

// Decodes one UTF-8 sequence of a font's mapping table; 0 for a malformed one.
char32_t NextUtf8(const std::vector<std::uint8_t>& d, std::size_t& at) {
    std::uint8_t b = d[at++];
    int extra = b < 0x80 ? 0 : b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
    if (extra < 0 || at + extra > d.size()) return 0;
    char32_t u = extra == 0 ? b : b & (0x3F >> extra);
    for (int i = 0; i < extra; ++i)
        u = (u << 6) | (d[at++] & 0x3F);
    return u;
}

// Reads a PSF1 or PSF2 font with its Unicode table. Only single code points count: a
// sequence after 0xFFFE (PSF1) or 0xFE (PSF2) names a composed shape, not a character.
std::optional<ConsoleFont> ReadConsoleFont(const std::string& path) {
    std::vector<std::uint8_t> d = Gunzip(path);
    ConsoleFont font;
    std::size_t count = 0, tableAt = 0;
    bool psf2 = d.size() >= 32 && Get32(d, 0) == 0x864AB572;
    if (d.size() >= 4 && d[0] == 0x36 && d[1] == 0x04) {
        if (!(d[2] & 2)) return std::nullopt;  // no Unicode table
        count = d[2] & 1 ? 512 : 256;
        font.height = d[3];
        tableAt = 4 + count * font.height;
    } else if (psf2) {
        if (!(Get32(d, 12) & 1) || Get32(d, 28) != 8) return std::nullopt;
        count = Get32(d, 16);
        font.height = static_cast<int>(Get32(d, 24));
        if (Get32(d, 20) != static_cast<std::uint32_t>(font.height)) return std::nullopt;
        tableAt = Get32(d, 8) + count * font.height;
    } else {
        return std::nullopt;
    }
    if (font.height != 16 || tableAt > d.size()) return std::nullopt;
    font.glyphs.assign(d.begin() + static_cast<std::ptrdiff_t>(tableAt - count * 16),
                       d.begin() + static_cast<std::ptrdiff_t>(tableAt));
    std::size_t glyph = 0, at = tableAt;
    bool sequence = false;
    while (glyph < count && at < d.size()) {
        char32_t u;
        if (psf2) {
            if (d[at] == 0xFF || d[at] == 0xFE) {
                sequence = d[at] == 0xFE;
                glyph += d[at++] == 0xFF;
                continue;
            }
            u = NextUtf8(d, at);
        } else {
            if (at + 1 >= d.size()) break;
            u = d[at] | d[at + 1] << 8;
            at += 2;
            if (u == 0xFFFF || u == 0xFFFE) {
                sequence = u == 0xFFFE;
                glyph += u == 0xFFFF;
                continue;
            }
        }
        if (!sequence && u) font.index.emplace(u, glyph);
    }
    return font;
}

// The console fonts to draw from, the most complete VGA-style one first; the others fill
// its gaps. Bold and non-VGA designs would not match.
std::vector<ConsoleFont> VgaFonts(const std::string& dir) {
    const std::vector<std::string> preferred = {"FullGreek-VGA16.psf.gz", "Uni2-VGA16.psf.gz",
                                                "Uni1-VGA16.psf.gz", "Lat15-VGA16.psf.gz"};
    std::vector<std::string> names = preferred;
    std::vector<std::string> others;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::string name = entry.path().filename().string();
        if (name.ends_with("-VGA16.psf.gz") && name.find("Terminus") == std::string::npos &&
            std::find(preferred.begin(), preferred.end(), name) == preferred.end())
            others.push_back(name);
    }
    std::sort(others.begin(), others.end());
    names.insert(names.end(), others.begin(), others.end());
    std::vector<ConsoleFont> fonts;
    for (const std::string& name : names) {
        if (!std::filesystem::exists(dir + "/" + name)) continue;
        if (auto font = ReadConsoleFont(dir + "/" + name)) fonts.push_back(std::move(*font));
    }
    return fonts;
}

}  // namespace

std::vector<std::uint8_t> Vga8x16Glyphs(const std::string& consoleFontDir) {
    std::vector<ConsoleFont> fonts = VgaFonts(consoleFontDir);
    if (fonts.empty()) throw std::runtime_error("no VGA console fonts in " + consoleFontDir);
    const auto cp437 = Cp437();
    std::vector<std::uint8_t> out(256 * 16, 0);
    for (int code = 1; code < 256; ++code) {
        const std::uint8_t* rows = nullptr;
        for (const ConsoleFont& f : fonts)
            if ((rows = f.Find(cp437[code]))) break;
        if (!rows) {
            std::ostringstream message;
            message << "no console font has code " << code << " (U+" << std::hex
                    << static_cast<unsigned>(cp437[code]) << ")";
            throw std::runtime_error(message.str());
        }
        std::copy_n(rows, 16, out.begin() + code * 16);
    }
    return out;
}

bool SaveVga8x16Source(const std::string& consoleFontDir, const std::string& path) {
    std::vector<std::uint8_t> glyphs = Vga8x16Glyphs(consoleFontDir);
    std::ostringstream out;
    out << "// Made by fretlore_resgen from the system's VGA console fonts; do not edit.\n"
        << "#include \"gfx/Font8x16.h\"\n\nnamespace gfx {\n"
        << "const std::array<std::uint8_t, 4096> FONT_8X16 = {";
    for (std::size_t i = 0; i < glyphs.size(); ++i)
        out << (i % 16 ? " " : "\n    ") << static_cast<unsigned>(glyphs[i]) << ',';
    out << "\n};\n}  // namespace gfx\n";
    return WriteFile(path, out.str());
}

}  // namespace resgen
