// Every item the main screen's lists can hold is shown whole, in the closed field and in
// the open list with its scroll bar, in the widget font as built into the program.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GameHarness.h"
#include "gfx/Font.h"
#include "theory/ChordSearch.h"
#include "theory/Spelling.h"
#include "theory/TheoryTables.h"
#include "theory/Voicing.h"

namespace {

using apptest::GameRun;

struct Widest {
    std::string text;
    int width = -1;
};

template <typename Items>
Widest WidestOf(const gfx::Font& font, const Items& items) {
    Widest w;
    for (std::string_view item : items) {
        int width = gfx::textWidth(font, item);
        if (width > w.width) w = {std::string(item), width};
    }
    return w;
}

constexpr std::array<theory::Spelling, 3> SPELLINGS{theory::Spelling::Sharps,
                                                    theory::Spelling::Flats, theory::Spelling::Key};

// Every Inversion text of every root, chord type and tuning, with split chords on and off,
// under every spelling.
Widest WidestInversion(const gfx::Font& font) {
    Widest w;
    theory::VoicingList voicings;
    std::vector<std::string> items;
    for (const theory::TuningDef& tuning : theory::Tunings) {
        theory::StringTuning strings{};
        for (int s = 0; s < theory::STRING_COUNT; ++s)
            strings[s] = static_cast<std::uint8_t>(tuning.strings[s]);
        for (int root = 0; root < theory::PITCH_CLASS_COUNT; ++root)
            for (int type = 0; type < static_cast<int>(theory::ChordTypes.size()); ++type)
                for (bool split : {false, true}) {
                    theory::FindVoicings(root, type, strings, split, voicings);
                    for (theory::Spelling spelling : SPELLINGS) {
                        theory::FillInversionList(
                            voicings, root, items,
                            theory::SpelledNames(spelling, theory::ChordKey(root, type)));
                        Widest here = WidestOf(font, items);
                        if (here.width > w.width) w = here;
                    }
                }
    }
    return w;
}

// Whether fitText leaves `text` whole in `room` pixels, as the widgets draw it.
bool Whole(const gfx::Font& font, const std::string& text, int room) {
    std::string copy = text;
    return gfx::fitText(font, copy, room) == static_cast<int>(copy.size()) && copy == text;
}

// Puts the widest item into the combo box with more items than it shows, so that the open
// list has its scroll bar, and checks both places the text is drawn.
void ExpectShownWhole(ui::UICombo& combo, const Widest& widest, const char* name) {
    const gfx::Font& font = *combo.list.font;
    combo.list.RemoveAll();
    for (std::uint32_t i = 0; i <= combo.visibleRows; ++i)
        combo.list.AddItem(widest.text);
    combo.list.Select(0);
    int closedRoom = combo.TextRoom(0);
    combo.Open();
    ASSERT_TRUE(combo.list.scroll.Visible()) << name;
    int openRoom = combo.list.TextRoom(0);
    combo.Close();
    EXPECT_GT(openRoom, 0) << name;
    EXPECT_GT(closedRoom, 0) << name;
    EXPECT_TRUE(Whole(font, widest.text, closedRoom))
        << name << ": \"" << widest.text << "\" is " << widest.width << " px, the field has "
        << closedRoom;
    EXPECT_TRUE(Whole(font, widest.text, openRoom))
        << name << ": \"" << widest.text << "\" is " << widest.width << " px, the open list has "
        << openRoom;
}

TEST(ListTextFit, TheWidestItemOfEveryMainListFitsItsFieldAndItsOpenList) {
    GameRun run;
    ASSERT_TRUE(run.Run(std::string(apptest::DISMISS_TITLE) + "frames 1\n"));
    app::MyGame& game = run.game;
    const gfx::Font& font = *game.inversionList.list.font;
    ASSERT_GT(font.advance['W'], 0);

    std::vector<std::string_view> chords, tunings, scales;
    for (const auto& c : theory::ChordTypes)
        chords.push_back(c.shortName);
    for (const auto& t : theory::Tunings)
        tunings.push_back(t.name);
    for (const auto& s : theory::ScaleTypes)
        scales.push_back(s.name);

    ExpectShownWhole(game.inversionList, WidestInversion(font), "Inversion");
    ExpectShownWhole(game.tuningList, WidestOf(font, tunings), "Tuning");
    ExpectShownWhole(game.chordList, WidestOf(font, chords), "Chord");
    ExpectShownWhole(game.scaleList, WidestOf(font, scales), "Scale");
    std::vector<std::string> keys;
    std::vector<std::string_view> roots;
    for (theory::Spelling spelling : SPELLINGS) {
        for (int p = 0; p < theory::PITCH_CLASS_COUNT; ++p) {
            keys.push_back(theory::KeyListName(p, spelling));
            roots.push_back(theory::LoneNoteName(p, spelling));
        }
    }
    ExpectShownWhole(game.keyList, WidestOf(font, keys), "Key");
    ExpectShownWhole(game.rootList, WidestOf(font, roots), "Root");
}

}  // namespace

// In the Chord Sequencer the chord box sits at the right (x 130, strings 15 apart) and its
// fret label starts 10 pixels past it: every label, "01" to "12", ends on the screen.
TEST(ListTextFit, TheSequencerChordBoxLabelEndsOnTheScreen) {
    GameRun run;
    ASSERT_TRUE(run.Run(std::string(apptest::DISMISS_TITLE) + "frames 1\n"));
    const gfx::Font& font = *run.game.inversionList.list.font;
    const int labelLeft = 130 + 6 * 15 + 10;
    for (int fret = 1; fret <= theory::WINDOW_COUNT; ++fret) {
        std::string label = fret < 10 ? "0" : "";
        label += std::to_string(fret);
        EXPECT_LE(labelLeft + gfx::textWidth(font, label), 240) << label;
    }
}
