#include "ui/UIFileList.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "UiFixture.h"
#include "platform/Locale.h"
#include "ui/ImageStrip.h"

namespace ui {
namespace {

using namespace platform;
namespace fs = std::filesystem;

TEST(FileSizeText, BytesThenKilobytesThenMegabytesThenGigabytesRoundedDown) {
    struct Case {
        std::uint64_t bytes;
        const char* text;
    };
    const Case cases[] = {
        {0, "0"},
        {500, "500"},
        {1023, "1023"},
        {1024, "1K"},
        {1536, "1K"},
        {1000 * 1024, "1000K"},         // k = 1000 is not above 1000
        {1001 * 1024, "1Mb"},           // k = 1001
        {2500000, "2Mb"},               // k = 2441
        {1000000ULL * 1024, "1000Mb"},  // k = 1000000 is not above 1000000
        {1000001ULL * 1024, "1Gb"},     // k = 1000001
        {5000000000000ULL, "4882Gb"},   // k = 4882812500
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileSizeText(c.bytes), c.text) << c.bytes;
}

TEST(FileDateText, DayFirstOnlyForDayMonthYearLocales) {
    CalendarDate date{2021, 3, 4};
    EXPECT_EQ(FileDateText(date, DATE_DAY_MONTH_YEAR), "04/03/21");
    EXPECT_EQ(FileDateText(date, DATE_MONTH_DAY_YEAR), "03/04/21");
    EXPECT_EQ(FileDateText(date, DATE_YEAR_MONTH_DAY), "03/04/21");
    EXPECT_EQ(FileDateText(CalendarDate{2000, 12, 31}, DATE_DAY_MONTH_YEAR), "31/12/00");
    EXPECT_EQ(FileDateText(CalendarDate{1999, 1, 9}, DATE_MONTH_DAY_YEAR), "01/09/99");
}

TEST(DateOrder, ReadFromTheFieldsOfTheLocalesDateFormat) {
    struct Case {
        const char* format;
        int order;
    };
    const Case cases[] = {
        {"%m/%d/%y", DATE_MONTH_DAY_YEAR},  // the C locale, en_US
        {"%d/%m/%y", DATE_DAY_MONTH_YEAR},  // en_GB
        {"%d.%m.%Y", DATE_DAY_MONTH_YEAR},  // de_DE
        {"%-d/%-m/%y", DATE_DAY_MONTH_YEAR},
        {"%e %B %Y", DATE_DAY_MONTH_YEAR},
        {"%b %d, %Y", DATE_MONTH_DAY_YEAR},
        {"%Y-%m-%d", DATE_YEAR_MONTH_DAY},  // sv_SE
        {"%Y\xE5\xB9\xB4%m\xE6\x9C\x88%d\xE6\x97\xA5", DATE_YEAR_MONTH_DAY},
        {"%D", DATE_MONTH_DAY_YEAR},
        {"%F", DATE_YEAR_MONTH_DAY},
        {"%Ey/%Om/%Od", DATE_YEAR_MONTH_DAY},
        {"", DATE_MONTH_DAY_YEAR},
        {"%d", DATE_MONTH_DAY_YEAR},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DateOrderOf(c.format), c.order) << c.format;
    // The tests run in the C locale, month first.
    EXPECT_EQ(LocaleDateOrder(), DATE_MONTH_DAY_YEAR);
}

// A file list at (10, 60), 220 wide, eight rows, over a folder made for the test.
struct Files : testing::UiFixture {
    static constexpr int X = 10, Y = 60;
    UIFileList list;
    fs::path folder;
    std::unique_ptr<ImageStrip> arrows = ImageStrip::FromBitmap(103, 2, 2);

    void SetUp() override {
        UiFixture::SetUp();
        folder = fs::path(::testing::TempDir()) / ("files-" + std::to_string(getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder / "afolder");
        fs::create_directories(folder / "Zfolder" / "inner");
        fs::create_directories(folder / ".hidden");
        Make("b.seq", 1536);
        Make("a.seq", 500);
        Make("C.SEQ", 2500000);
        Make("notes.txt", 10);
        Make(".secret.seq", 10);
        Make("x#1.seq", 772);
        Make("x|y.seq", 772);
        Make("afolder/in.seq", 772);
        list.id = 3;
        list.SetFont(&font);
        list.SetScrollFaces(arrows.get());
        list.SetCapacity(512);
        list.SetPattern("*.seq");
        list.SetMode(FILES_FOLDERS | FILES_MATCHING | FILES_PATH_BAR);
        list.SetPath(folder.string() + "/");
        list.SetRect(X, Y, 220, list.HeightFor(8));
        desktop.AddChild(&list);
        list.Setup();
    }
    void TearDown() override {
        fs::remove_all(folder);
        UiFixture::TearDown();
    }
    // A file of `bytes` bytes (sparse), last changed on 4 March 2021 at noon, local time.
    void Make(const std::string& name, std::uint64_t bytes) {
        fs::path p = folder / name;
        { std::ofstream(p, std::ios::binary); }
        fs::resize_file(p, bytes);
        std::tm noon{};
        noon.tm_year = 121;
        noon.tm_mon = 2;
        noon.tm_mday = 4;
        noon.tm_hour = 12;
        noon.tm_isdst = -1;
        timespec times[2] = {{std::mktime(&noon), 0}, {std::mktime(&noon), 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, p.c_str(), times, 0), 0);
    }
    std::vector<std::string> Items() const {
        std::vector<std::string> out;
        for (int i = 0; i < list.files.Count(); ++i)
            out.push_back(list.files.Item(i)->text);
        return out;
    }
    // Absolute y in the middle of visible row r of the entries.
    int RowY(int r) const { return Y + PATH_BAR_ROW + 1 + r * list.files.rowHeight + 8; }
};

TEST_F(Files, ListsFoldersFirstThenMatchingFilesByNameWithSizesAndDates) {
    const std::vector<std::string> expected = {
        "afolder|[dir]",     "Zfolder|[dir]",      "a.seq|500|03/04/21",
        "b.seq|1K|03/04/21", "C.SEQ|2Mb|03/04/21", "x##1.seq|772|03/04/21",
    };
    // Hidden entries, other patterns and names that would split into columns stay out.
    EXPECT_EQ(Items(), expected);
    EXPECT_EQ(list.files.ItemFlags(0), ITEM_FOLDER);
    EXPECT_EQ(list.files.ItemFlags(2), 0u);
    EXPECT_EQ(list.files.Selection(), -1);
    EXPECT_EQ(list.Selected(UIFileList::FILE_PATH), std::nullopt);
    list.files.Select(5);
    EXPECT_EQ(list.Selected(UIFileList::FILE_NAME), "x#1.seq");
    EXPECT_EQ(list.Selected(UIFileList::FILE_PATH), folder.string() + "/x#1.seq");
    list.SelectName("b.seq");
    EXPECT_EQ(list.files.Selection(), 3);
    list.SelectName("nothing.seq");
    EXPECT_EQ(list.files.Selection(), -1);
}

TEST_F(Files, MembersSitInThePathBarRowAndTheListBelowIt) {
    EXPECT_EQ(list.pathBar.x, 0);
    EXPECT_EQ(list.pathBar.width, 220 - 25);
    EXPECT_EQ(list.pathBar.height, font.height + 4);
    EXPECT_EQ(list.upButton.x, 200);
    EXPECT_EQ(list.upButton.width, 20);
    EXPECT_EQ(list.upButton.height, font.height + 4);
    EXPECT_EQ(list.upButton.caption, "<<");
    EXPECT_EQ(list.files.y, 20);
    EXPECT_EQ(list.files.height, 8 * (font.height + 4) + 2);
    EXPECT_EQ(list.files.rows, 8);
    EXPECT_EQ(list.height, 20 + 8 * (font.height + 4) + 2);
    EXPECT_EQ(list.pathBar.list.Count(), list.pathBar.list.Selection() + 1);
}

TEST_F(Files, CapacityEndsTheListing) {
    list.SetCapacity(3);
    list.Refresh();
    EXPECT_EQ(list.files.Count(), 3);
    list.SetCapacity(1);
    list.SetMode(FILES_MATCHING);
    list.Refresh();
    ASSERT_EQ(list.files.Count(), 1);
    EXPECT_NE(list.files.ItemFlags(0), ITEM_FOLDER);
}

TEST_F(Files, AFolderThatCannotBeListedShowsNothing) {
    list.SetPath((folder / "missing").string());
    list.Refresh();
    EXPECT_EQ(list.files.Count(), 0);
    list.SetPath((folder / "a.seq").string());  // a file, no folder
    list.Refresh();
    EXPECT_EQ(list.files.Count(), 0);
}

TEST_F(Files, ThePathBarNamesEachFolderUpFromTheRoot) {
    list.SetPath("/usr/share");
    list.Refresh();
    const UIListBox& bar = list.pathBar.list;
    ASSERT_EQ(bar.Count(), 3);
    EXPECT_EQ(bar.Item(0)->text, "/");
    EXPECT_EQ(bar.Item(1)->text, "/usr");
    EXPECT_EQ(bar.Item(2)->text, "/share");
    EXPECT_EQ(bar.ItemData(2), 2u);
    EXPECT_EQ(bar.Selection(), 2);
    list.SetPath("/");
    list.Refresh();
    EXPECT_EQ(list.path, "");
    ASSERT_EQ(bar.Count(), 1);
    EXPECT_EQ(bar.Item(0)->text, "/");
}

TEST_F(Files, ChoosingTheFirstPathBarItemGoesToTheRootAndUpThereDoesNothing) {
    list.SetPath("/usr/share");
    list.Refresh();
    const int fieldY = Y + (font.height + 4) / 2;
    Tap(X + 50, fieldY);  // opens the bar's list
    ASSERT_TRUE(list.pathBar.IsOpen());
    Tap(X + 50, Y + font.height + 4 + 1 + (font.height + 4) / 2);  // its first row
    EXPECT_FALSE(list.pathBar.IsOpen());
    EXPECT_EQ(list.path, "");
    EXPECT_NE(list.files.Find("usr"), -1);
    list.files.Select(list.files.Find("usr"));
    EXPECT_EQ(list.Selected(UIFileList::FILE_PATH), "/usr");

    const int count = list.files.Count();
    Tap(X + 210, fieldY);  // "<<" at the root
    EXPECT_EQ(list.path, "");
    EXPECT_EQ(list.files.Count(), count);
    EXPECT_TRUE(Commands().empty());
}

TEST_F(Files, TheUpButtonClimbsOneFolder) {
    list.SetPath((folder / "Zfolder" / "inner").string());
    list.Refresh();
    Tap(X + 210, Y + 8);
    EXPECT_EQ(list.path, (folder / "Zfolder").string());
    EXPECT_EQ(list.files.Find("inner"), 0);
    list.SetPath("/usr");
    Tap(X + 210, Y + 8);
    EXPECT_EQ(list.path, "");
}

TEST_F(Files, TapsSelectAndPostAndADoubleTapOpensAFolderOrPostsAFile) {
    Tap(X + 30, RowY(2));  // a.seq
    auto posted = Commands();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].wParam, MakeCommand(3, LIST_SELECTED));
    EXPECT_EQ(posted[0].lParam, reinterpret_cast<LParam>(&list));
    clock.Advance(100);
    Tap(X + 30, RowY(2));
    posted = Commands();
    ASSERT_FALSE(posted.empty());
    EXPECT_EQ(posted.back().wParam, MakeCommand(3, LIST_ACTIVATED));

    clock.Advance(1000);
    Tap(X + 30, RowY(0));  // afolder
    clock.Advance(100);
    Tap(X + 30, RowY(0));
    EXPECT_EQ(list.path, (folder / "afolder").string());
    EXPECT_EQ(Items(), std::vector<std::string>{"in.seq|772|03/04/21"});
    for (const Msg& m : Commands())
        EXPECT_NE(CommandCode(m.wParam), LIST_ACTIVATED);
}

TEST_F(Files, IconsByKindOrPlainFromTheGeneratedStrip) {
    list.SetMode(FILES_FOLDERS | FILES_MATCHING | FILES_PATH_BAR | FILES_ICONS);
    list.Setup();
    EXPECT_EQ(list.files.rowHeight, 17);
    EXPECT_EQ(list.files.ItemData(0), static_cast<std::uint32_t>(ICON_FOLDER));
    EXPECT_EQ(list.files.ItemData(2), static_cast<std::uint32_t>(ICON_SEQUENCE));
    EXPECT_EQ(IconFor("notes.txt", false), ICON_FILE);
    EXPECT_EQ(IconFor("LOUD.SEQ", false), ICON_SEQUENCE);
    EXPECT_EQ(IconFor("a.seq", true), ICON_FOLDER);
    list.plainIcons = 1;
    list.Refresh();
    EXPECT_EQ(list.files.ItemData(0), static_cast<std::uint32_t>(ICON_FOLDER));
    EXPECT_EQ(list.files.ItemData(2), static_cast<std::uint32_t>(ICON_FILE));

    // Each row's 16 x 16 cell, corner to corner, is the strip's cell with the key left out.
    auto strip = ImageStrip::FromBitmap(108, 3, 1);
    ASSERT_TRUE(strip);
    ASSERT_EQ(strip->CellWidth(), 16);
    ASSERT_EQ(strip->CellHeight(), 16);
    gfx::Surface& s = Screen();
    gfx::clear(s, 0x1234);
    desktop.Draw(s);
    const gfx::Surface& art = *strip->Picture();
    for (int row : {0, 2}) {
        int cell = row == 0 ? ICON_FOLDER : ICON_FILE;
        int left = X + 1, top = Y + PATH_BAR_ROW + 1 + row * 17;
        int inked = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                std::uint16_t want = gfx::getPixel(art, cell * 16 + x, y);
                if (want == gfx::COLOUR_KEY) continue;
                ++inked;
                ASSERT_EQ(gfx::getPixel(s, left + x, top + y), want)
                    << row << ": " << x << "," << y;
            }
        EXPECT_GT(inked, 60) << row;
    }
}

}  // namespace
}  // namespace ui
