// The open, save and text entry dialogs driven by taps and keys: their frames and widgets
// probed at their edges, what they answer, and what they do to the files.

#include "DialogFixture.h"
#include "gfx/PopupMenu.h"

namespace {

using apptest::DialogFixture;
using namespace app;
namespace fs = std::filesystem;

constexpr std::uint16_t BLACK = 0x0000, WHITE = 0xFFFF;
constexpr std::uint16_t SELECTED_ROW = 0x3358;

// The open dialog on 240 x 320: (10, 45) to (230, 275). Its entries are 15 pixels apart.
constexpr int OPEN_ROW_Y = 137 + 1 + 7;
const std::string OPEN_OK = "tap 140 258\n";
const std::string OPEN_CANCEL = "tap 195 258\n";
const std::string OPEN_DELETE = "tap 45 258\n";
std::string OpenRow(int r) {
    return "tap 60 " + std::to_string(OPEN_ROW_Y + 15 * r) + "\n";
}
// The save dialog: (10, 47) to (230, 272); entries 18 apart.
const std::string SAVE_OK = "tap 140 255\n";
const std::string SAVE_EDIT = "tap 195 97\n";
// The text entry dialog: (10, 72) to (230, 247); the keypad's keys 20 apart from (21, 127).
const std::string ENTRY_OK = "tap 140 227\n";
const std::string ENTRY_CANCEL = "tap 195 227\n";
std::string Key(int row, int column) {
    return "tap " + std::to_string(21 + 20 * column + 9) + " " +
           std::to_string(127 + 20 * row + 9) + "\n";
}
// The "Delete File" menu's rows.
const std::string MENU_YES = "tap 120 158\n";

struct Dialogs : DialogFixture {
    // The title bar's gradient, w wide.
    gfx::SurfacePtr Bar(int w) const {
        auto s = gfx::createSurface(static_cast<std::uint32_t>(w),
                                    static_cast<std::uint32_t>(medium.height + 1));
        gfx::gradientRect(*s, 0, 0, w, medium.height + 1, 0xF79A, 0xC614, false);
        return s;
    }
    // A 50 x 20 button at (bx, by): the normal face at its edges, the dialog's fill outside.
    void ExpectButton(const std::string& frame, int bx, int by, const gfx::Surface& fill,
                      const gfx::Rect& box) {
        const gfx::Surface& art = *faces->Picture();
        for (auto [px, py] : {std::pair{25, 0}, {0, 10}, {49, 10}, {25, 19}, {2, 2}, {47, 17}}) {
            std::uint16_t want = gfx::getPixel(art, px, 20 + py);
            if (want == gfx::COLOUR_KEY)
                want = gfx::getPixel(fill, bx + px - box.left, by + py - box.top);
            EXPECT_EQ(At(frame, bx + px, by + py), want)
                << bx << "," << by << " +" << px << "," << py;
        }
        EXPECT_EQ(At(frame, bx - 1, by + 10),
                  gfx::getPixel(fill, bx - 1 - box.left, by + 10 - box.top));
        EXPECT_EQ(At(frame, bx + 50, by + 10),
                  gfx::getPixel(fill, bx + 50 - box.left, by + 10 - box.top));
    }
    // The outline of a box drawn from (l, t) to (r, b) inclusive.
    void ExpectOutline(const std::string& frame, int l, int t, int r, int b, std::uint16_t colour) {
        for (auto [x, y] :
             {std::pair{l, t}, {r, t}, {l, b}, {r, b}, {(l + r) / 2, t}, {l, (t + b) / 2}})
            EXPECT_EQ(At(frame, x, y), colour) << x << "," << y;
    }
    // The frame, title bar and title every dialog has.
    void ExpectFrame(const std::string& frame, const gfx::Rect& box, const gfx::Surface& fill) {
        const int l = box.left, t = box.top, r = box.right - 1, b = box.bottom - 1;
        ExpectOutline(frame, l, t, r, b, BLACK);
        const std::uint16_t behind = Darkened();
        for (auto [x, y] :
             {std::pair{l - 1, t}, {r + 1, t}, {l, t - 1}, {l, b + 1}, {0, 0}, {239, 319}})
            EXPECT_EQ(At(frame, x, y), behind) << x << "," << y;
        EXPECT_EQ(At(frame, l + 1, t + 1), gfx::getPixel(fill, 1, 1));
        EXPECT_EQ(At(frame, r - 1, b - 1), gfx::getPixel(fill, r - 1 - l, b - 1 - t));
        // The title bar: 0xF79A on the left to 0xC614 on the right, the medium font + 1 high.
        const int barBottom = t + 7 + medium.height;
        auto bar = Bar(box.right - box.left - 4);
        EXPECT_EQ(At(frame, l + 2, t + 7), gfx::getPixel(*bar, 0, 0));
        EXPECT_EQ(At(frame, l + 2, barBottom), gfx::getPixel(*bar, 0, medium.height));
        EXPECT_EQ(At(frame, r - 2, t + 7), 0xC614);
        EXPECT_NE(gfx::getPixel(*bar, 0, 0), gfx::getPixel(fill, 2, 7));
        EXPECT_EQ(At(frame, l + 1, t + 7), gfx::getPixel(fill, 1, 7));
        EXPECT_EQ(At(frame, r - 1, t + 7), gfx::getPixel(fill, r - 1 - l, 7));
        EXPECT_EQ(At(frame, l + 2, t + 6), gfx::getPixel(fill, 2, 6));
        EXPECT_EQ(At(frame, l + 2, barBottom + 1), gfx::getPixel(fill, 2, barBottom + 1 - t));
        EXPECT_GT(Count(frame, l + 10, t + 8, l + 110, barBottom, BLACK), 20);
    }
};

TEST_F(Dialogs, TheOpenDialogsFrameAndWidgetsSitAtTheirPlaces) {
    Make("a.seq");
    Script("state open\n");
    std::string path;
    EXPECT_EQ(OpenFileDialog(Context(), path, "Load Sequence", ".seq"), DIALOG_QUIT);
    EXPECT_TRUE(window.QuitPending());  // posted again for the program's own loop
    EXPECT_EQ(titles["open"], "Load Sequence");
    EXPECT_EQ(shownTitle, "");

    const gfx::Rect box{10, 45, 230, 275};
    auto fill = Fill(220, 230);
    ExpectFrame("open", box, *fill);
    // The name field, 11 + 4 high in the small font, with its caption above.
    ExpectOutline("open", 20, 85, 220, 100, BLACK);
    EXPECT_EQ(At("open", 21, 86), WHITE);
    EXPECT_EQ(At("open", 219, 99), WHITE);
    EXPECT_EQ(At("open", 221, 92), gfx::getPixel(*fill, 211, 47));
    EXPECT_GT(Count("open", 20, 69, 90, 83, BLACK), 10);  // "File name"
    ExpectButton("open", 115, 248, *fill, box);           // Ok
    ExpectButton("open", 170, 248, *fill, box);           // Cancel
    ExpectButton("open", 20, 248, *fill, box);            // Delete
    // The file list: the path bar and "<<" on its first row, seven entries below.
    ExpectOutline("open", 20, 117, 195, 132, BLACK);
    ExpectOutline("open", 200, 117, 220, 132, BLACK);
    EXPECT_EQ(At("open", 197, 125), gfx::getPixel(*fill, 187, 80));
    ExpectOutline("open", 20, 137, 220, 244, BLACK);
    EXPECT_EQ(At("open", 21, 138), WHITE);
    EXPECT_EQ(At("open", 20, 245), gfx::getPixel(*fill, 10, 200));
    EXPECT_GT(Count("open", 20, 101, 60, 115, BLACK), 10);                        // "Path"
    EXPECT_GT(Count("open", 23, OPEN_ROW_Y - 6, 80, OPEN_ROW_Y + 6, BLACK), 10);  // a.seq
    EXPECT_EQ(Count("open", 21, 86, 220, 100, BLACK), 0);  // nothing named yet
    // Narrower than 240: the name and the size, no date.
    EXPECT_EQ(Count("open", 188, OPEN_ROW_Y - 6, 200, OPEN_ROW_Y + 6, BLACK), 0);
}

// A display 300 pixels wide.
struct WideDialogs : DialogFixture {
    WideDialogs() : DialogFixture(300) {}
};

TEST_F(WideDialogs, TheOpenDialogShowsDatesWhenItIsAtLeast240Wide) {
    Make("a.seq");
    Script("state open\n");
    std::string path;
    EXPECT_EQ(OpenFileDialog(Context(), path, "Load Sequence", ".seq"), DIALOG_QUIT);
    // 280 wide at (10, 45); its list 260 wide: name 110, size 50, then the date's 85.
    for (auto [x, y] : {std::pair{20, 137}, {280, 137}, {20, 244}, {280, 244}})
        EXPECT_EQ(At("open", x, y), BLACK) << x << "," << y;
    EXPECT_GT(Count("open", 20 + 1 + 160 + 40, OPEN_ROW_Y - 6, 20 + 1 + 245, OPEN_ROW_Y + 6, BLACK),
              10);
}

TEST_F(Dialogs, TheSaveDialogStartsOnTheNameWithItsEntrySelected) {
    Make("a.seq");
    Make("b.seq");
    fs::create_directory(Sequences() / "Sub");
    Script("state save\n");
    std::string path = (Sequences() / "b.seq").string();
    EXPECT_EQ(SaveFileDialog(Context(), path, "Save Sequence", ".seq"), DIALOG_QUIT);
    EXPECT_EQ(titles["save"], "Save Sequence");

    const gfx::Rect box{10, 47, 230, 272};
    auto fill = Fill(220, 225);
    ExpectFrame("save", box, *fill);
    // The name field, 14 + 4 high, focused with "b.seq" wholly selected.
    ExpectOutline("save", 20, 87, 165, 105, BLACK);
    EXPECT_EQ(At("save", 22, 89), SELECTED_ROW);
    EXPECT_EQ(At("save", 164, 104), WHITE);
    ExpectButton("save", 170, 87, *fill, box);   // Edit
    ExpectButton("save", 115, 245, *fill, box);  // Ok
    ExpectButton("save", 170, 245, *fill, box);  // Cancel
    ExpectOutline("save", 20, 127, 195, 145, BLACK);
    ExpectOutline("save", 200, 127, 220, 145, BLACK);
    ExpectOutline("save", 20, 147, 220, 239, BLACK);
    EXPECT_EQ(At("save", 20, 240), gfx::getPixel(*fill, 10, 193));
    // Sub, a.seq, b.seq: the third row carries the selection.
    EXPECT_EQ(At("save", 21, 148 + 2 * 18), SELECTED_ROW);
    EXPECT_EQ(At("save", 21, 148 + 3 * 18 - 1), SELECTED_ROW);
    EXPECT_EQ(At("save", 21, 148 + 2 * 18 - 1), WHITE);
    EXPECT_EQ(At("save", 21, 148 + 3 * 18), WHITE);
}

TEST_F(Dialogs, TheKeypadDialogsFrameKeysAndButtons) {
    Script(SAVE_EDIT + "frames 2\nstate entry\n" + ENTRY_CANCEL + "frames 2\nstate back\n");
    std::string path;
    EXPECT_EQ(SaveFileDialog(Context(), path, "Save Sequence", ".seq"), DIALOG_QUIT);
    EXPECT_EQ(titles["entry"], "File Name");
    EXPECT_EQ(titles["back"], "Save Sequence");

    const gfx::Rect box{10, 72, 230, 247};
    auto fill = Fill(220, 175);
    // Over the save dialog, which is darkened again behind it.
    auto saveFill = Fill(220, 225);
    auto darker = gfx::createSurface(1, 1);
    gfx::clear(*darker, gfx::getPixel(*saveFill, 2, 3));
    gfx::fillRect(*darker, 0, 0, 0, 0, 0x0000, 24);
    EXPECT_EQ(At("entry", 12, 50), gfx::getPixel(*darker, 0, 0));
    const int l = box.left, t = box.top, r = box.right - 1, b = box.bottom - 1;
    ExpectOutline("entry", l, t, r, b, BLACK);
    EXPECT_EQ(At("entry", l + 1, t + 1), gfx::getPixel(*fill, 1, 1));
    EXPECT_EQ(At("entry", r - 1, b - 1), gfx::getPixel(*fill, 218, 173));
    EXPECT_EQ(At("entry", l + 2, t + 7), gfx::getPixel(*Bar(216), 0, 0));
    EXPECT_EQ(At("entry", r - 2, t + 7 + medium.height), 0xC614);
    // The field in the medium font; the keys 18 x 18, 20 apart, faced 0xE718.
    ExpectOutline("entry", 20, 102, 220, 120, BLACK);
    ExpectOutline("entry", 21, 127, 39, 145, BLACK);  // q
    EXPECT_EQ(At("entry", 23, 142), 0xE718);
    EXPECT_EQ(At("entry", 40, 136), gfx::getPixel(*fill, 30, 64));
    ExpectOutline("entry", 201, 167, 219, 185, BLACK);  // ?
    ExpectOutline("entry", 21, 187, 59, 205, BLACK);    // Shift
    ExpectOutline("entry", 181, 187, 219, 205, BLACK);  // Del
    EXPECT_EQ(At("entry", 220, 196), gfx::getPixel(*fill, 210, 124));
    ExpectButton("entry", 115, 217, *fill, box);  // Ok
    ExpectButton("entry", 170, 217, *fill, box);  // Cancel
    // Cancelled, the save dialog is whole again where the keypad was.
    EXPECT_EQ(At("back", 15, 95), gfx::getPixel(*saveFill, 5, 48));
}

TEST_F(Dialogs, ADoubleTapOpensAFileWithItsFullPathOrAFolderWithItsFiles) {
    Make("a.seq");
    Make("b.seq");
    Make("notes.txt");
    fs::create_directory(Sequences() / "Sub");
    std::ofstream(Sequences() / "Sub" / "in.seq") << "x";
    // A folder tapped once leaves the name field empty; a file tapped once fills it.
    Script(OpenRow(0) + "state folder\n" + "wait 600\n" + OpenRow(2) + "state file\n" +
           "wait 600\n" + OpenRow(2) + OpenRow(2));
    std::string path;
    EXPECT_EQ(OpenFileDialog(Context(), path, "Load Sequence", ".seq"), DIALOG_OK);
    EXPECT_EQ(path, (Sequences() / "b.seq").string());
    EXPECT_EQ(Count("folder", 21, 86, 220, 100, BLACK), 0);
    EXPECT_GT(Count("file", 21, 86, 220, 100, BLACK), 10);

    Script(OpenRow(0) + OpenRow(0) + "wait 600\n" + OpenRow(0) + OpenRow(0));
    path.clear();
    EXPECT_EQ(OpenFileDialog(Context(), path, "Load Sequence", ".seq"), DIALOG_OK);
    EXPECT_EQ(path, (Sequences() / "Sub" / "in.seq").string());
}

TEST_F(Dialogs, TheOpenDialogAnswersTheArrowsAndEnter) {
    Make("a.seq");
    Make("b.seq");
    std::string long_name(120, 'x');
    Make(long_name + ".seq");
    Script("key Down\nkey Down\nkey Enter\n");
    std::string path;
    EXPECT_EQ(OpenFileDialog(Context(), path, "Load Sequence", ".seq"), DIALOG_OK);
    EXPECT_EQ(path, (Sequences() / "b.seq").string());
    // A name longer than a typed one may be is still given whole.
    Script("key Down\nkey Down\nkey Down\nkey Enter\n");
    EXPECT_EQ(OpenFileDialog(Context(), path, "Load Sequence", ".seq"), DIALOG_OK);
    EXPECT_EQ(path, (Sequences() / (long_name + ".seq")).string());
}

TEST_F(Dialogs, ANameTypedOnTheKeypadAndOkedTwiceIsASequenceInTheSequencesFolder) {
    // h (row 1, column 5), i (row 0, column 7), Shift, then S (row 1, column 1).
    Script(SAVE_EDIT + Key(1, 5) + Key(0, 7) + "tap 40 196\n" + Key(1, 1) + ENTRY_OK + SAVE_OK);
    std::string path;
    EXPECT_EQ(SaveFileDialog(Context(), path, "Save Sequence", ".seq"), DIALOG_OK);
    EXPECT_EQ(path, (Sequences() / "hiS.seq").string());

    // Typed on the keyboard, Enter in the name field is Ok; an extension in capitals is
    // written as given.
    Script("type mine.SEQ\nkey Enter\n");
    path.clear();
    EXPECT_EQ(SaveFileDialog(Context(), path, "Save Sequence", ".seq"), DIALOG_OK);
    EXPECT_EQ(path, (Sequences() / "mine.seq").string());
}

TEST_F(Dialogs, AKeypadNameTooLongForTheSaveFieldLosesLettersBeforeItsExtension) {
    // 32 letters on the keypad's field; the save dialog's field holds 31 characters.
    Script(SAVE_EDIT + "type abcdefghijklmnopqrstuvwxyzabcdef\nkey Enter\nframes 2\nkey Enter\n");
    std::string path;
    EXPECT_EQ(SaveFileDialog(Context(), path, "Save Sequence", ".seq"), DIALOG_OK);
    EXPECT_EQ(path, (Sequences() / "abcdefghijklmnopqrstuvwxyza.seq").string());
}

TEST_F(Dialogs, OkWithoutANameWaitsAndCancelOrEscapeCancel) {
    Script(OPEN_OK + OPEN_CANCEL);
    std::string path = "unchanged";
    EXPECT_EQ(OpenFileDialog(Context(), path, "Load Sequence", ".seq"), DIALOG_CANCEL);
    EXPECT_EQ(path, "unchanged");
    // The screen it opened over is back.
    int w = 0, h = 0;
    auto shown = backend.LastFrame(w, h);
    ASSERT_EQ(shown.size(), static_cast<std::size_t>(W * H));
    EXPECT_EQ(shown[0], SCREEN);
    EXPECT_EQ(shown[160 * W + 120], SCREEN);
    Script(SAVE_EDIT + ENTRY_OK + "key Escape\n" + SAVE_OK + "key Escape\n");
    path.clear();
    EXPECT_EQ(SaveFileDialog(Context(), path, "Save Sequence", ".seq"), DIALOG_CANCEL);
    EXPECT_EQ(path, "");
}

TEST_F(Dialogs, DeleteAsksWithNoHighlightedAndYesRemovesTheFile) {
    Make("a.seq");
    Make("b.seq");
    fs::create_directory(Sequences() / "Sub");
    // A folder selected: Delete does nothing, so Cancel is the dialog's at once.
    Script(OpenRow(0) + OPEN_DELETE + OPEN_CANCEL);
    std::string path;
    EXPECT_EQ(OpenFileDialog(Context(), path, "Load Sequence", ".seq"), DIALOG_CANCEL);
    EXPECT_TRUE(fs::exists(Sequences() / "Sub"));

    Script(OpenRow(1) + OPEN_DELETE + "frames 2\nstate asked\n" + MENU_YES +
           "frames 2\nstate deleted\n" + OPEN_CANCEL);
    EXPECT_EQ(OpenFileDialog(Context(), path, "Load Sequence", ".seq"), DIALOG_CANCEL);
    EXPECT_FALSE(fs::exists(Sequences() / "a.seq"));
    EXPECT_TRUE(fs::exists(Sequences() / "b.seq"));
    // The menu's rows: Yes in the face colour, No in the highlighted one.
    EXPECT_EQ(At("asked", 55, 158), 0xE718);
    EXPECT_EQ(At("asked", 55, 180), 0xC610);
    // Behind it, the dialog as it stood: the file named in the name field.
    EXPECT_GT(Count("asked", 21, 86, 220, 100, BLACK), 10);
    // Listed again: b.seq moved up into a.seq's row, and the name field was emptied.
    EXPECT_GT(Count("deleted", 23, OPEN_ROW_Y + 15 - 6, 80, OPEN_ROW_Y + 15 + 6, BLACK), 10);
    EXPECT_EQ(Count("deleted", 23, OPEN_ROW_Y + 30 - 6, 80, OPEN_ROW_Y + 30 + 6, BLACK), 0);
    EXPECT_EQ(Count("deleted", 21, 86, 220, 100, BLACK), 0);

    // No keeps the file.
    Script(OpenRow(1) + OPEN_DELETE + "tap 120 180\n" + OPEN_CANCEL);
    EXPECT_EQ(OpenFileDialog(Context(), path, "Load Sequence", ".seq"), DIALOG_CANCEL);
    EXPECT_TRUE(fs::exists(Sequences() / "b.seq"));
}

TEST_F(Dialogs, QuittingInsideTheKeypadDialogEndsBothDialogs) {
    Script(SAVE_EDIT + "frames 2\nstate entry\n");
    std::string path = "kept";
    EXPECT_EQ(SaveFileDialog(Context(), path, "Save Sequence", ".seq"), DIALOG_QUIT);
    EXPECT_EQ(titles["entry"], "File Name");
    EXPECT_EQ(path, "kept");
    EXPECT_EQ(shownTitle, "");
    EXPECT_FALSE(window.HasTimer(10));
    platform::Msg msg;
    EXPECT_FALSE(window.Get(msg));  // the quit
}

}  // namespace
