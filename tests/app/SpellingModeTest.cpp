// Note spellings in the running program: the texts every screen writes change, the notes,
// shapes, list order and stored sequences do not.

#include <gtest/gtest.h>

#include "GameHarness.h"
#include "app/SequenceFile.h"
#include "screens/DetectionScreen.h"
#include "screens/GroupsScreen.h"
#include "screens/GuitarScreen.h"
#include "screens/ScalesScreen.h"
#include "screens/SequencerPanel.h"

namespace {

using apptest::GameRun;
using theory::Spelling;

std::string ItemText(const ui::UICombo& combo, int index) {
    const ui::ListItem* item = combo.list.Item(index);
    return item ? item->text : "(none)";
}

void ShowChord(app::MyGame& game, int root, int type) {
    game.rootList.list.Select(root);
    game.chordList.list.Select(type);
    game.FindVoicings();
}

TEST(SpellingMode, ListsBoxesAndStringsAreWrittenAsTheSpellingSays) {
    GameRun run;
    ASSERT_TRUE(run.Run(apptest::DISMISS_TITLE));
    app::MyGame& game = run.game;
    ShowChord(game, 10, theory::CHORD_MAJOR);  // A#
    game.inversionList.list.Select(1);
    game.sequencerPanel.Add();
    const ui::ListItem* row = game.sequencerPanel.list.Item(0);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->text, "A##|Major|02|1 bar");
    EXPECT_EQ(ItemText(game.rootList, 10), "A##");
    EXPECT_TRUE(ItemText(game.inversionList, 0).starts_with("01 A## (fret"))
        << ItemText(game.inversionList, 0);
    EXPECT_NE(game.StateJson().find("\"spelling\": \"sharps\""), std::string::npos);

    game.SetSpelling(Spelling::Flats);
    const std::array<const char*, 12> flats{"C",  "Db", "D",  "Eb", "E",  "F",
                                            "Gb", "G",  "Ab", "A",  "Bb", "B"};
    for (int p = 0; p < 12; ++p)
        EXPECT_EQ(ItemText(game.rootList, p), flats[p]) << p;
    EXPECT_EQ(ItemText(game.keyList, 1), "Db/Bbm");
    EXPECT_EQ(ItemText(game.keyList, 4), "E/Dbm");
    EXPECT_TRUE(ItemText(game.inversionList, 0).starts_with("01 Bb (fret"));
    // Nothing but the texts moved: the selections stand.
    EXPECT_EQ(game.rootList.list.Selection(), 10);
    EXPECT_EQ(game.inversionList.list.Selection(), 1);
    EXPECT_EQ(game.sequencerPanel.list.Item(0)->text, "Bb|Major|02|1 bar");
    EXPECT_EQ(game.sequencerPanel.SelectedRow(), 0);
    EXPECT_EQ(game.listener.spelling.load(), Spelling::Flats);
    EXPECT_EQ(screens::DescribeChord(game.CurrentView()).description, "Bb Major Chord");
    EXPECT_EQ(screens::DescribeChord(game.CurrentView()).notes, "Bb, D, F");
    EXPECT_NE(game.StateJson().find("\"spelling\": \"flats\""), std::string::npos);

    game.SetSpelling(Spelling::Key);
    EXPECT_EQ(ItemText(game.rootList, 6), "F##");  // F# major, the usual key
    EXPECT_EQ(ItemText(game.rootList, 1), "Db");
    EXPECT_EQ(ItemText(game.keyList, 4), "E/C##m");
    EXPECT_EQ(ItemText(game.keyList, 6), "F##/D##m");
    ShowChord(game, 2, theory::CHORD_MAJOR);
    EXPECT_EQ(screens::DescribeChord(game.CurrentView()).notes, "D, F##, A");
    ShowChord(game, 5, 10);  // F7: its seventh is E flat
    EXPECT_EQ(screens::DescribeChord(game.CurrentView()).notes, "F, A, C, Eb");
    ShowChord(game, 1, theory::CHORD_MINOR);  // C# minor, not D flat minor
    EXPECT_EQ(screens::DescribeChord(game.CurrentView()).notes, "C##, E, G##");
    EXPECT_TRUE(ItemText(game.inversionList, 0).starts_with("01 C## (fret"));
    ShowChord(game, 1, theory::CHORD_MAJOR);
    EXPECT_EQ(screens::DescribeChord(game.CurrentView()).notes, "Db, F, Ab");

    // Open E's G# string: a lone note, named as its major key's tonic.
    app::Settings openE = game.CurrentSettings();
    openE.tuning = 7;
    openE.spelling = Spelling::Key;
    game.ApplySettings(openE);
    EXPECT_EQ(game.stringButtons[3].caption, "Ab");
    game.SetSpelling(Spelling::Sharps);
    EXPECT_EQ(game.stringButtons[3].caption, "G##");
    EXPECT_EQ(ItemText(game.keyList, 1), theory::KeyNames[1]);
}

TEST(SpellingMode, ScaleGroupsSequencerAndDetectionTexts) {
    // Harmonic minor from A#: read in B flat minor, its raised seventh a natural A.
    screens::ScaleView scale;
    scale.chord.root = 10;
    scale.scaleType = 1;
    EXPECT_EQ(screens::DescribeScale(scale).notes, "A##, C, C##, D##, F, F##, A");
    scale.chord.spelling = Spelling::Key;
    EXPECT_EQ(screens::DescribeScale(scale).notes, "Bb, C, Db, Eb, F, Gb, A");
    EXPECT_EQ(screens::DescribeScale(scale).description, "Bb Harmonic Minor Scale");
    scale.scaleType = 0;  // A# major is written B flat major
    EXPECT_EQ(screens::DescribeScale(scale).notes, "Bb, C, D, Eb, F, G, A");

    using screens::KeyChordsText;
    using screens::KeyChordsTitle;
    EXPECT_EQ(KeyChordsTitle(6, Spelling::Key), "Chords (key of F## and D##m)");
    EXPECT_EQ(KeyChordsText(6, Spelling::Key), "F##, G##m, A##m, B, C##, D##m\rE##dim, C##7");
    EXPECT_EQ(KeyChordsTitle(3, Spelling::Key), "Chords (key of Eb and Cm)");
    EXPECT_EQ(KeyChordsText(5, Spelling::Key), "F, Gm, Am, Bb, C, Dm\rEdim, C7");
    EXPECT_EQ(KeyChordsText(1, Spelling::Flats), "Db, Ebm, Fm, Gb, Ab, Bbm\rCdim, Ab7");
    EXPECT_EQ(KeyChordsTitle(4, Spelling::Flats), "Chords (key of E and Dbm)");
    for (int key = 0; key < 12; ++key) {
        EXPECT_EQ(KeyChordsTitle(key, Spelling::Sharps), KeyChordsTitle(key)) << key;
        EXPECT_EQ(KeyChordsText(key, Spelling::Sharps), KeyChordsText(key)) << key;
    }
    // The circle's labels name keys, each by its usual name whatever key is chosen.
    screens::CircleLabels usual = screens::KeyCircleLabels(Spelling::Key);
    const std::array<std::string, theory::CIRCLE_SIZE> majors{"C",   "G",  "D",  "A",  "E",  "B",
                                                              "F##", "Db", "Ab", "Eb", "Bb", "F"};
    const std::array<std::string, theory::CIRCLE_SIZE> minors{
        "Am", "Em", "Bm", "F##m", "C##m", "G##m", "D##m", "Bbm", "Fm", "Cm", "Gm", "Dm"};
    EXPECT_EQ(usual.majors, majors);
    EXPECT_EQ(usual.minors, minors);
    EXPECT_EQ(screens::KeyCircleLabels(Spelling::Flats).minors[3], "Gbm");
    screens::CircleLabels sharps = screens::KeyCircleLabels(Spelling::Sharps);
    for (int k = 0; k < theory::CIRCLE_SIZE; ++k) {
        EXPECT_EQ(sharps.majors[k], theory::CircleMajors[k]) << k;
        EXPECT_EQ(sharps.minors[k], theory::CircleMinors[k]) << k;
    }

    theory::SequenceStep step{};
    step.root = 1;
    step.chordType = theory::CHORD_MINOR;
    step.length = 4;
    EXPECT_EQ(screens::SequenceRowText(step), "C##|Minor|01|1 bar");
    EXPECT_EQ(screens::SequenceRowText(step, Spelling::Key), "C##|Minor|01|1 bar");
    EXPECT_EQ(screens::SequenceRowText(step, Spelling::Flats), "Db|Minor|01|1 bar");
    step.chordType = theory::CHORD_MAJOR;
    EXPECT_EQ(screens::SequenceRowText(step, Spelling::Key), "Db|Major|01|1 bar");

    // A heard E major names its G# so; with nothing heard each note is its own tonic.
    screens::DetectionView detection;
    detection.spelling = Spelling::Key;
    EXPECT_EQ(detection.Names()[8], "Ab");
    detection.result.detected = true;
    detection.result.root = 4;
    detection.result.chordType = theory::CHORD_MAJOR;
    EXPECT_EQ(detection.Names()[8], "G##");
    detection.detectChords = false;
    EXPECT_EQ(detection.Names()[8], "Ab");
}

// Every shape found and every byte stored is the same whatever the spelling.
TEST(SpellingMode, ShapesAndSequenceFilesDoNotDependOnTheSpelling) {
    auto build = [](Spelling spelling, const std::string& path) {
        GameRun run;
        run.game.spelling = spelling;  // as --spelling does, before the screen is built
        EXPECT_TRUE(run.Run(apptest::DISMISS_TITLE));
        std::vector<theory::VoicingList> found;
        for (int root : {1, 3, 6, 8, 10}) {
            for (int type : {0, 1, 10, 29}) {
                ShowChord(run.game, root, type);
                found.push_back(run.game.voicings);
                run.game.inversionList.list.Select(1);
                run.game.sequencerPanel.Add();
            }
        }
        EXPECT_EQ(app::SaveSequenceFile(path, run.game.sequence), "");
        return found;
    };
    const std::string sharpsPath = apptest::TempPath("sharps.seq"),
                      keyPath = apptest::TempPath("key.seq");
    EXPECT_EQ(build(Spelling::Sharps, sharpsPath), build(Spelling::Key, keyPath));
    auto sharps = platform::ReadWholeFile(sharpsPath), key = platform::ReadWholeFile(keyPath);
    ASSERT_TRUE(sharps && key);
    EXPECT_EQ(sharps->size(), 772u);
    EXPECT_EQ(*sharps, *key);
    EXPECT_EQ((*key)[0], 20);  // twenty steps stored
}

}  // namespace
