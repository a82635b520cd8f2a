// fretlore_gallery [OUT.png [ZOOM]]: the widget gallery, optionally enlarged ZOOM times. The left
// panel is the main screen's widgets over its background picture with the Chord list open; the
// middle panel shows each widget kind in its states; the right one the text fields and the keypad.

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "gfx/Blit.h"
#include "gfx/Draw.h"
#include "gfx/Font.h"
#include "gfx/display/headless/HeadlessDisplay.h"
#include "platform/Image.h"
#include "platform/Resources.h"
#include "platform/headless/HeadlessBackend.h"
#include "res/EmbeddedResources.h"
#include "ui/ImageStrip.h"
#include "ui/TDesktop.h"
#include "ui/UIButton.h"
#include "ui/UICombo.h"
#include "ui/UIEdit.h"
#include "ui/UIKeypad.h"
#include "ui/UIListBox.h"
#include "ui/UIScrollBar.h"

namespace {

using namespace ui;

constexpr int WIDTH = 820;
constexpr int HEIGHT = 330;
constexpr int PANEL_X = 250;
constexpr int EDIT_PANEL_X = 585;

struct Strips {
    std::unique_ptr<ImageStrip> arrows = ImageStrip::FromBitmap(103, 2, 2);
    std::unique_ptr<ImageStrip> checks = ImageStrip::FromBitmap(104, 2, 2);
    std::unique_ptr<ImageStrip> thumb = ImageStrip::FromBitmap(120, 1, 1);
    std::unique_ptr<ImageStrip> faces50 = ImageStrip::FramedFaces(106, 50, 20);
    std::unique_ptr<ImageStrip> faces30 = ImageStrip::FramedFaces(106, 30, 20);
    std::unique_ptr<ImageStrip> faces95 = ImageStrip::FramedFaces(106, 95, 20);
    bool Complete() const { return arrows && checks && thumb && faces50 && faces30 && faces95; }
};

// Every widget lives here, in drawing order.
struct Gallery {
    std::vector<std::unique_ptr<TObject>> widgets;

    template <typename W>
    W& Add(TDesktop& desktop) {
        auto w = std::make_unique<W>();
        W& ref = *w;
        desktop.AddChild(w.get());
        widgets.push_back(std::move(w));
        return ref;
    }

    UICombo& Combo(TDesktop& d, const gfx::Font& font, const Strips& s, int x, int y, int w,
                   int rows, std::uint16_t id, const char* label,
                   std::initializer_list<const char*> items) {
        UICombo& c = Add<UICombo>(d);
        c.Setup(x, y, w, rows, 64, &font, s.arrows.get());
        c.SetCaption(id, label, CAPTION_ABOVE_LEFT);
        c.SetFlags(FLAG_VISIBLE | FLAG_CAPTION | FLAG_NOTIFY);
        c.SetColours(0x0000, 0xFFFF, 0x84FB, 0x84FB);
        for (const char* item : items)
            c.list.AddItem(item);
        c.list.Select(0);
        return c;
    }

    UIButton& Button(TDesktop& d, const ImageStrip* faces, int x, int y, int w, int h,
                     const char* caption, std::uint32_t state = 0) {
        UIButton& b = Add<UIButton>(d);
        b.SetRect(x, y, w, h);
        b.SetCaption(1, caption, caption[0] ? CAPTION_INSIDE : 0);
        b.SetFlags(FLAG_VISIBLE | FLAG_CAPTION | FLAG_NOTIFY);
        b.SetFaces(faces, 0);
        b.SetButtonState(state);
        return b;
    }

    UIButton& CheckBox(TDesktop& d, const Strips& s, int x, int y, const char* caption,
                       bool checked) {
        UIButton& b = Button(d, s.checks.get(), x, y, 15, 15, caption,
                             BUTTON_TOGGLE | (checked ? BUTTON_CHECKED : 0));
        b.SetFaces(s.checks.get(), 1);
        b.captionStyle = CAPTION_RIGHT;
        return b;
    }
};

// The main screen's widgets in Guitar Chords mode, plus the Trigger bar of the detection
// mode, with the Chord list open.
void BuildMainScreen(Gallery& g, TDesktop& d, const gfx::Font& font, const Strips& s) {
    g.Combo(d, font, s, 5, 20, 40, 12, 100, "Root",
            {"C", "C##", "D", "D##", "E", "F", "F##", "G", "G##", "A", "A##", "B"});
    UICombo& chord =
        g.Combo(d, font, s, 50, 20, 65, 8, 101, "Chord",
                {"Maj", "min", "7", "maj7", "m7", "sus2", "sus4", "dim", "aug", "6", "m6", "9"});
    g.Combo(d, font, s, 5, 55, 110, 8, 103, "Tuning", {"Standard", "Drop D", "Open G"});
    g.Combo(d, font, s, 5, 90, 110, 8, 104, "Inversion", {"1", "2", "3"});
    g.CheckBox(d, s, 5, 115, "Left Handed", false);
    g.CheckBox(d, s, 5, 135, "Allow Split Chords", true);
    g.Button(d, s.faces95.get(), 135, 5, 95, 20, "Detect Notes");
    g.Button(d, s.faces95.get(), 135, 30, 95, 20, "NR: Off");
    UIScrollBar& trigger = g.Add<UIScrollBar>(d);
    trigger.SetRect(200, 53, 20, 103);
    trigger.SetCaption(121, "Trigger", CAPTION_BELOW);
    trigger.SetFlags(FLAG_VISIBLE | FLAG_CAPTION | FLAG_NOTIFY);
    trigger.SetThumbFaces(s.thumb.get());
    trigger.SetBarStyle(BAR_GRIP | BAR_TICKS_BEFORE | BAR_TICKS_AFTER);
    trigger.gripColour = 0x3AAE;
    trigger.dragColour = 0xADFD;
    trigger.SetRange(0, 96, 0);
    trigger.SetPosition(96 - 30);
    const char* strings[] = {"E", "A", "D", "G", "B", "E"};
    for (int k = 0; k < 6; ++k)
        g.Button(d, s.faces30.get(), 18 + 35 * k, 272, 30, 20, strings[k]);
    const char* bottom[] = {"Help", "Strum", "More", "Menu"};
    for (int k = 0; k < 4; ++k)
        g.Button(d, s.faces50.get(), 5 + 60 * k, 297, 50, 20, bottom[k]);
    chord.list.Select(3);
    chord.Open();
}

void Label(gfx::Surface& s, const gfx::Font& small, int x, int y, const char* text) {
    gfx::drawText(small, s, x, y, text, 0x0000);
}

// Each widget kind in its states, on a plain panel.
void BuildStates(Gallery& g, TDesktop& d, const gfx::Font& font, const Strips& s) {
    int x = PANEL_X + 10;
    UIButton& pressed = g.Button(d, s.faces50.get(), x + 60, 18, 50, 20, "Down");
    pressed.SetState(BUTTON_INSIDE | BUTTON_HELD);
    g.Button(d, s.faces50.get(), x, 18, 50, 20, "Up");
    UIButton& off = g.Button(d, s.faces50.get(), x + 120, 18, 50, 20, "Off");
    off.SetFlags(FLAG_VISIBLE | FLAG_CAPTION | FLAG_DISABLED);

    g.Button(d, nullptr, x, 58, 50, 20, "Raised", BUTTON_BEVEL);
    g.Button(d, nullptr, x + 60, 58, 50, 20, "Sunk", BUTTON_BEVEL | BUTTON_CHECKED);
    g.Button(d, nullptr, x + 120, 58, 50, 20, "Flat", BUTTON_BEVEL | BUTTON_FLAT);
    g.Button(d, nullptr, x + 180, 58, 50, 20, "Flat dn",
             BUTTON_BEVEL | BUTTON_FLAT | BUTTON_CHECKED);
    g.Button(d, nullptr, x + 240, 58, 50, 20, "Bare",
             BUTTON_BEVEL | BUTTON_FLAT | BUTTON_FRAMELESS);

    g.CheckBox(d, s, x, 96, "Off", false);
    g.CheckBox(d, s, x + 60, 96, "On", true);
    for (int k = 0; k < 3; ++k) {
        UIButton& r = g.Button(d, nullptr, x + 120 + 40 * k, 92, 36, 20,
                               k == 0   ? "A"
                               : k == 1 ? "B"
                                        : "C",
                               BUTTON_BEVEL | BUTTON_RADIO | (k == 0 ? BUTTON_GROUP_FIRST : 0));
        r.id = static_cast<std::uint16_t>(200 + k);
    }
    static_cast<UIButton*>(g.widgets.back().get())->SelectInGroup(201);

    g.Combo(d, font, s, x, 138, 90, 6, 1, "Closed", {"Standard", "Drop D"});
    UICombo& empty = g.Combo(d, font, s, x + 100, 138, 60, 6, 2, "Empty", {});
    empty.list.Select(-1);
    g.Combo(d, font, s, x + 170, 138, 120, 6, 3, "Cut", {"A very long tuning name indeed"});

    UIListBox& list = g.Add<UIListBox>(d);
    list.SetCapacity(20);
    list.SetStyle(LIST_CHECKS);
    list.SetCheckFaces(s.checks.get(), 1);
    list.SetFont(&font);
    std::uint16_t widths[] = {80, 50};
    std::uint16_t aligns[] = {ALIGN_LEFT, ALIGN_RIGHT};
    list.SetColumns(2, widths, aligns);
    list.SetRect(x, 180, 160, list.HeightFor(6));
    list.SetScrollFaces(s.arrows.get());
    const char* rows[] = {"Folder|-",
                          "Alpha.seq|772",
                          "Beta.seq|772",
                          "Gamma.seq|772",
                          "A name much longer than its column|12345678",
                          "Zeta.seq|772",
                          "Eta.seq|772",
                          "Theta.seq|772"};
    for (int i = 0; i < 8; ++i)
        list.AddItem(rows[i], 0, i == 0 ? ITEM_FOLDER : 0);
    list.SetItemFlags(2, ITEM_CHECKED);
    list.Layout();
    list.Select(1);

    UIScrollBar& plain = g.Add<UIScrollBar>(d);
    plain.SetRect(x + 175, 180, 14, 112);
    plain.SetBarStyle(BAR_GRIP);
    plain.SetRange(0, 100, 25);
    plain.SetPosition(30);
    UIScrollBar& dragging = g.Add<UIScrollBar>(d);
    dragging.SetRect(x + 195, 180, 14, 112);
    dragging.SetBarStyle(BAR_GRIP | BAR_DRAGGING);
    dragging.SetRange(0, 100, 25);
    dragging.SetPosition(60);
    UIScrollBar& arrowed = g.Add<UIScrollBar>(d);
    arrowed.SetRect(x + 215, 180, 14, 112);
    arrowed.SetArrowFaces(s.arrows.get());
    arrowed.SetRange(0, 10, 10);  // nothing to scroll
    UIScrollBar& across = g.Add<UIScrollBar>(d);
    across.SetBarStyle(BAR_HORIZONTAL | BAR_GRIP | BAR_VALUE_CAPTION);
    across.SetRect(x + 235, 180, 70, 14);
    across.SetFlags(FLAG_VISIBLE | FLAG_CAPTION);
    across.captionStyle = CAPTION_BELOW;
    across.SetRange(0, 50, 10);
    across.SetPosition(25);
}

// Text fields (focused with a selection, unfocused, read-only) and the keypad, Shift down.
void BuildTextEntry(Gallery& g, TDesktop& d, const gfx::Font& font) {
    const int x = EDIT_PANEL_X + 5;
    const char* texts[] = {"Open G riff", "My Sequence", "Read only"};
    UIEdit* first = nullptr;
    for (int k = 0; k < 3; ++k) {
        UIEdit& e = g.Add<UIEdit>(d);
        e.SetFont(&font);
        e.SetRect(x, 18 + 36 * k, 150, 20);
        e.SetText(texts[k]);
        if (k == 0) first = &e;
        if (k == 2) e.editState = EDIT_READONLY;
    }
    first->SelectAll(6);
    first->caret = 6;
    SetFocus(first);
    UIKeypad& pad = g.Add<UIKeypad>(d);
    pad.shift = 1;
    pad.Build();
    pad.x = x;
    pad.y = 130;
}

void DrawLabels(gfx::Surface& s, const gfx::Font& small) {
    int x = PANEL_X + 10;
    Label(s, small, x, 4, "Face buttons: normal, pressed, disabled");
    Label(s, small, x, 44, "Bevels: raised, sunk, flat, flat pressed, frameless");
    Label(s, small, x, 80, "Check boxes; radio group (B selected)");
    Label(s, small, x, 166 + 2, "");
    Label(s, small, x, 296, "List: check marks, columns, cut text");
    Label(s, small, x + 175, 296, "Bars: idle, dragged, no range,");
    Label(s, small, x + 175, 308, "horizontal with value");
    x = EDIT_PANEL_X + 5;
    Label(s, small, x, 4, "Text field: focused, 6 selected");
    Label(s, small, x, 40, "Unfocused");
    Label(s, small, x, 76, "Read-only");
    Label(s, small, x, 116, "Keypad, Shift down");
}

}  // namespace

int main(int argc, char** argv) {
    std::string out = argc > 1 ? argv[1] : GALLERY_DEFAULT_PATH;
    int zoom = argc > 2 ? std::atoi(argv[2]) : 1;
    if (zoom < 1 || zoom > 8) {
        std::fprintf(stderr, "fretlore_gallery: ZOOM must be 1 to 8\n");
        return 2;
    }
    platform::SetResourceTable(res::EmbeddedResources());
    platform::headless::HeadlessBackend backend(WIDTH, HEIGHT);
    platform::Window window(backend, "Gallery", platform::DefaultWindowProc);
    gfx::DisplayParams params{0, 0, 0, 2};
    gfx::DisplayPtr display =
        window.Create() ? gfx::createDisplay(gfx::headless::displayFactory(), window, params)
                        : nullptr;
    gfx::Font font, small;
    Strips strips;
    if (!display || !gfx::loadFont(font, 4) || !gfx::loadFont(small, 1) || !strips.Complete()) {
        std::fprintf(stderr, "fretlore_gallery: the display, fonts or pictures are missing\n");
        return 1;
    }
    auto background = gfx::createSurface(WIDTH, HEIGHT);
    gfx::clear(*background, 0xDEFB);
    if (auto picture = gfx::loadImageResource(105, platform::RESOURCE_GIF))
        gfx::copyRect(*background, 0, 0, picture->Width(), picture->Height(), *picture, 0, 0);
    gfx::fillRect(*background, 240, 0, PANEL_X - 1, HEIGHT - 1, 0x4208);
    gfx::fillRect(*background, EDIT_PANEL_X - 10, 0, EDIT_PANEL_X - 1, HEIGHT - 1, 0x4208);
    DrawLabels(*background, small);

    TDesktop desktop;
    desktop.Attach(display.get(), &window);
    desktop.SetFont(&font);
    Gallery gallery;
    BuildStates(gallery, desktop, font, strips);
    BuildMainScreen(gallery, desktop, font, strips);
    BuildTextEntry(gallery, desktop, font);
    if (!desktop.Redraw(background.get())) {
        std::fprintf(stderr, "fretlore_gallery: the display could not be drawn\n");
        return 1;
    }
    gfx::Surface* drawn = desktop.BackBuffer();
    gfx::SurfacePtr zoomed = gfx::createSurface(WIDTH * zoom, HEIGHT * zoom);
    if (!drawn || !zoomed) {
        std::fprintf(stderr, "fretlore_gallery: out of memory\n");
        return 1;
    }
    gfx::blitScaled(*zoomed, *drawn, 0, 0, WIDTH * zoom, HEIGHT * zoom, 0, 0, gfx::BlitMode::Copy);
    std::string error;
    if (!platform::SavePng(out, zoomed->pixels, zoomed->Width(), zoomed->Height(),
                           static_cast<int>(zoomed->pitch), error)) {
        std::fprintf(stderr, "fretlore_gallery: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", out.c_str());
    desktop.Detach();
    return 0;
}
