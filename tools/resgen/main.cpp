// Makes every resource the program carries and the C++ table that embeds them.
//
//   fretlore_resgen --manifest res/resources.txt --out DIR --font-regular TTF --font-bold TTF
//                   --font-narrow TTF --font-narrow-bold TTF [--preview SHEET.png]
//   fretlore_resgen --vga-8x16 OUT.cpp --console-fonts DIR
//   fretlore_resgen --desktop-icons DIR
//
// The manifest names each resource's type, id and the item that makes it; DIR receives
// the made files and resources.cpp. The second form writes the built-in 8 x 16 glyphs, the
// third the icons of the installed program (fretlore-48.png, fretlore-256.png, fretlore.svg).

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "DesktopIcon.h"
#include "Fonts.h"
#include "Pictures.h"

namespace {

using namespace resgen;

struct Item {
    std::string extension;
    std::function<bool(const std::string& path)> make;
};

std::map<std::string, Item> Items(const Fonts& fonts) {
    auto bmp = [](Canvas (*draw)()) {
        return Item{".bmp", [draw](const std::string& p) { return SaveBmp(draw(), p); }};
    };
    auto font = [fonts](unsigned id) {
        return Item{".font", [fonts, id](const std::string& p) {
                        FontStyle style = SysFontStyle(id);
                        const std::string* paths[] = {&fonts.regular, &fonts.bold, &fonts.narrow,
                                                      &fonts.narrowBold};
                        return SaveSysFont(*paths[static_cast<int>(style.face)], style, p);
                    }};
    };
    return {
        {"font-small", font(1)},
        {"font-large", font(2)},
        {"font-compact", font(3)},
        {"font-medium", font(4)},
        {"title",
         {".jpg", [fonts](const std::string& p) { return SaveJpeg(TitlePicture(fonts), p, 92); }}},
        {"background",
         {".jpg", [](const std::string& p) { return SaveJpeg(BackgroundPicture(), p, 94); }}},
        {"scroll-arrows", bmp(ScrollArrows)},
        {"check-boxes", bmp(CheckBoxes)},
        {"button-frame", bmp(ButtonFrame)},
        {"piano-roll", bmp(PianoRoll)},
        {"trigger-thumb", bmp(TriggerThumb)},
        {"large-piano-roll", bmp(LargePianoRoll)},
        {"icon", bmp(ProgramIcon)},
        {"file-icons", bmp(FileIcons)},
    };
}

struct Entry {
    std::string type;
    unsigned id;
    std::string file;
};

bool WriteTable(const std::vector<Entry>& entries, const std::string& path) {
    std::ostringstream out;
    out << "// Made by fretlore_resgen; do not edit.\n#include \"res/EmbeddedResources.h\"\n\n"
        << "namespace {\n";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::ifstream in(entries[i].file, std::ios::binary);
        std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
        if (bytes.empty()) {
            std::fprintf(stderr, "fretlore_resgen: %s is empty\n", entries[i].file.c_str());
            return false;
        }
        out << "const std::uint8_t data" << i << "[] = {";
        for (std::size_t b = 0; b < bytes.size(); ++b)
            out << (b % 24 ? "" : "\n") << unsigned(bytes[b]) << ',';
        out << "\n};\n";
    }
    out << "const platform::ResourceEntry table[] = {\n";
    for (std::size_t i = 0; i < entries.size(); ++i)
        out << "    {\"" << entries[i].type << "\", " << entries[i].id << ", data" << i << "},\n";
    out << "};\n}  // namespace\n\nnamespace res {\nstd::span<const platform::ResourceEntry> "
           "EmbeddedResources() "
        << "{ return table; }\n}  // namespace res\n";
    std::ofstream file(path, std::ios::binary);
    file << out.str();
    return static_cast<bool>(file);
}

// A contact sheet of every made picture at twice its size, the colour key shown as a
// checker board, for a person to look at.
bool WritePreview(const std::vector<Entry>& entries, const std::string& path) {
    std::vector<SDL_Surface*> images;
    int width = 8, height = 8, rowHeight = 0, x = 8;
    for (const Entry& e : entries) {
        SDL_Surface* loaded = IMG_Load(e.file.c_str());
        if (!loaded) continue;
        images.push_back(SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0));
        SDL_FreeSurface(loaded);
    }
    const int sheetWidth = 1100;
    for (SDL_Surface* s : images) {
        if (x + s->w * 2 > sheetWidth) x = 8, height += rowHeight + 8, rowHeight = 0;
        x += s->w * 2 + 8;
        rowHeight = std::max(rowHeight, s->h * 2);
        width = std::max(width, x);
    }
    height += rowHeight + 8;
    SDL_Surface* sheet =
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888);
    SDL_FillRect(sheet, nullptr, 0x606060);
    x = 8;
    int y = 8;
    rowHeight = 0;
    for (SDL_Surface* s : images) {
        if (x + s->w * 2 > sheetWidth) x = 8, y += rowHeight + 8, rowHeight = 0;
        for (int sy = 0; sy < s->h * 2; ++sy)
            for (int sx = 0; sx < s->w * 2; ++sx) {
                auto* src =
                    static_cast<std::uint32_t*>(s->pixels) + (sy / 2) * (s->pitch / 4) + sx / 2;
                std::uint32_t p = *src & 0xFFFFFF;
                if (p == 0xFF00FF) p = ((sx / 4 + sy / 4) % 2) ? 0xC0C0C0 : 0x909090;
                static_cast<std::uint32_t*>(sheet->pixels)[(y + sy) * (sheet->pitch / 4) + x + sx] =
                    p;
            }
        x += s->w * 2 + 8;
        rowHeight = std::max(rowHeight, s->h * 2);
        SDL_FreeSurface(s);
    }
    bool ok = IMG_SavePNG(sheet, path.c_str()) == 0;
    SDL_FreeSurface(sheet);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    std::map<std::string, std::string> args;
    for (int i = 1; i + 1 < argc; i += 2)
        args[argv[i]] = argv[i + 1];
    if (args.count("--vga-8x16")) {
        try {
            if (SaveVga8x16Source(args["--console-fonts"], args["--vga-8x16"])) return 0;
            std::fprintf(stderr, "fretlore_resgen: cannot write %s\n", args["--vga-8x16"].c_str());
        } catch (const std::exception& ex) {
            std::fprintf(stderr, "fretlore_resgen: %s\n", ex.what());
        }
        return 1;
    }
    if (args.count("--desktop-icons")) {
        const std::string dir = args["--desktop-icons"];
        for (int size : {48, 256}) {
            std::string path = dir + "/fretlore-" + std::to_string(size) + ".png";
            if (!SaveDesktopIconPng(size, path)) {
                std::fprintf(stderr, "fretlore_resgen: cannot write %s\n", path.c_str());
                return 1;
            }
        }
        if (SaveDesktopIconSvg(dir + "/fretlore.svg")) return 0;
        std::fprintf(stderr, "fretlore_resgen: cannot write %s/fretlore.svg\n", dir.c_str());
        return 1;
    }
    const std::string manifest = args["--manifest"], outDir = args["--out"];
    Fonts fonts{args["--font-regular"], args["--font-bold"], args["--font-narrow"],
                args["--font-narrow-bold"]};
    if (manifest.empty() || outDir.empty() || fonts.regular.empty() || fonts.bold.empty() ||
        fonts.narrow.empty() || fonts.narrowBold.empty()) {
        std::fprintf(
            stderr,
            "usage: fretlore_resgen --manifest FILE --out DIR --font-regular TTF --font-bold TTF "
            "--font-narrow TTF --font-narrow-bold TTF\n");
        return 2;
    }
    auto items = Items(fonts);
    std::ifstream in(manifest);
    if (!in) {
        std::fprintf(stderr, "fretlore_resgen: cannot read %s\n", manifest.c_str());
        return 1;
    }
    std::vector<Entry> entries;
    std::string line;
    for (int lineNo = 1; std::getline(in, line); ++lineNo) {
        if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        Entry e;
        std::string item;
        if (!(words >> e.type)) continue;
        if (!(words >> e.id >> item) || !items.count(item)) {
            std::fprintf(stderr, "%s:%d: expected TYPE ID ITEM with a known item\n",
                         manifest.c_str(), lineNo);
            return 1;
        }
        e.file = outDir + "/" + item + items[item].extension;
        try {
            if (!items[item].make(e.file)) {
                std::fprintf(stderr, "fretlore_resgen: cannot write %s: %s\n", e.file.c_str(),
                             SDL_GetError());
                return 1;
            }
        } catch (const std::exception& ex) {
            std::fprintf(stderr, "fretlore_resgen: %s: %s\n", item.c_str(), ex.what());
            return 1;
        }
        entries.push_back(e);
    }
    if (args.count("--preview") && !WritePreview(entries, args["--preview"])) {
        std::fprintf(stderr, "fretlore_resgen: cannot write %s\n", args["--preview"].c_str());
        return 1;
    }
    return WriteTable(entries, outDir + "/resources.cpp") ? 0 : 1;
}
