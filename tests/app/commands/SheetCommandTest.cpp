#include "app/commands/SheetCommand.h"

#include <gtest/gtest.h>

#include "CommandRun.h"
#include "app/SequenceFile.h"
#include "app/commands/ChordsCommand.h"
#include "tests/app/RunCommand.h"
#include "theory/ChordSearch.h"

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using commandtest::Lines;
using commandtest::Result;

// A fresh folder for one test's files, removed after it.
class SheetFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("fretlore-sheet-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string At(const std::string& name) const { return (dir / name).string(); }

    fs::path dir;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The <title> texts of the box groups, in file order.
std::vector<std::string> BoxTitles(const std::string& svg) {
    std::vector<std::string> titles;
    std::regex box(R"re(<g class="chord-box" id="box-(\d+)"><title>([^<]*)</title>)re");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), box); it != std::sregex_iterator();
         ++it)
        titles.push_back((*it)[1].str() + " " + (*it)[2].str());
    return titles;
}

// Three steps as the sequencer stores them: the frets of the chosen item, a length, a flag.
std::string WriteThreeSteps(const std::string& path) {
    theory::Sequence sequence;
    struct Step {
        int root, type, inversion, length, split;
    };
    const Step steps[] = {{7, 0, 0, 4, 0}, {4, 1, 1, 8, 0}, {0, 0, 2, 2, 1}};
    for (const Step& s : steps) {
        theory::SequenceStep& step = sequence.steps[sequence.count++];
        step.root = static_cast<std::uint8_t>(s.root);
        step.chordType = static_cast<std::uint8_t>(s.type);
        step.inversion = static_cast<std::uint8_t>(s.inversion);
        step.length = static_cast<std::uint8_t>(s.length);
        step.split = static_cast<std::uint8_t>(s.split);
        theory::VoicingList list;
        theory::FindVoicings(s.root, s.type, theory::CapoTuning(0, 0), s.split != 0, list);
        for (int k = 0; k < theory::STRING_COUNT; ++k)
            step.frets[k] = list.items[s.inversion].frets[k];
    }
    return app::SaveSequenceFile(path, sequence);
}

TEST_F(SheetFiles, ChordsDrawsItsShapesIntoEveryFormat) {
    // C Major with split chords has 15 shapes: two pages of twelve.
    Result run = commandtest::Run(RunChordsCommand, {"C", "Major", "--split", "--pdf", At("c.pdf"),
                                                     "--svg", At("c.svg"), "--png", At("c.png")});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(Lines(run.out),
              (std::vector<std::string>{"wrote " + At("c.pdf"), "wrote " + At("c.svg"),
                                        "wrote " + At("c.png")}));
    auto info = apptest::RunCommand("pdfinfo '" + At("c.pdf") + "' 2>&1");
    EXPECT_EQ(info.exitCode, 0) << info.output;
    EXPECT_NE(info.output.find("Pages:           2\n"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("A4"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("Title:           C Major — Standard tuning, split chords\n"),
              std::string::npos)
        << info.output;
    auto pages =
        apptest::RunCommand("pdftoppm -r 20 -png '" + At("c.pdf") + "' '" + At("p") + "' 2>&1");
    EXPECT_EQ(pages.exitCode, 0) << pages.output;
    EXPECT_TRUE(fs::exists(At("p-2.png")));
    EXPECT_FALSE(fs::exists(At("p-3.png")));

    auto xml = apptest::RunCommand("xmllint --noout '" + At("c.svg") + "' 2>&1");
    EXPECT_EQ(xml.exitCode, 0) << xml.output;
    std::vector<std::string> titles = BoxTitles(ReadFile(At("c.svg")));
    ASSERT_EQ(titles.size(), 15u);
    EXPECT_EQ(titles[0], "1 C Major — 01 C/E (fret 1)");
    EXPECT_EQ(titles[14], "15 C Major — 15 C (fret 10)");

    // PNG: the signature, then IHDR's width and height, big-endian: 1191 x (72 + 5 rows
    // of 180 + 36) points at two pixels a point.
    std::string png = ReadFile(At("c.png"));
    ASSERT_GE(png.size(), 24u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(png.substr(12, 12), std::string("IHDR\0\0\x04\xa7\0\0\x07\xe0", 12));
}

TEST_F(SheetFiles, ChordsDrawingTakesTheCapoAndRefusesJson) {
    Result capo = commandtest::Run(RunChordsCommand,
                                   {"D", "Major", "--capo", "2", "--left", "--svg", At("d.svg")});
    ASSERT_EQ(capo.code, 0) << capo.err;
    std::string svg = ReadFile(At("d.svg"));
    EXPECT_NE(svg.find("<title>D Major — Standard tuning, capo 2</title>"), std::string::npos);
    EXPECT_EQ(BoxTitles(svg).at(0), "1 D Major — 01 D (fret 1)");

    Result both =
        commandtest::Run(RunChordsCommand, {"C", "Major", "--json", "--pdf", At("x.pdf")});
    EXPECT_EQ(both.code, 2);
    EXPECT_EQ(Lines(both.err).size(), 1u);
    EXPECT_FALSE(fs::exists(At("x.pdf")));
}

TEST_F(SheetFiles, SheetDrawsTheStepsInOrderWithTheirLengths) {
    ASSERT_EQ(WriteThreeSteps(At("song.seq")), "");
    Result run = commandtest::Run(RunSheetCommand,
                                  {At("song.seq"), "--pdf", At("s.pdf"), "--svg", At("s.svg")});
    ASSERT_EQ(run.code, 0) << run.err;
    std::string svg = ReadFile(At("s.svg"));
    EXPECT_NE(svg.find("<title>song.seq — Standard tuning</title>"), std::string::npos);
    EXPECT_EQ(BoxTitles(svg), (std::vector<std::string>{"1 G Major — 01 G (fret 1) — 1 bar",
                                                        "2 E Minor — 02 E (fret 1) — 2 bars",
                                                        "3 C Major — 03 C/G (fret 1) — 1/2 bar"}));
    // The PDF's text, in reading order: the title, then each box's name over its length.
    auto text = apptest::RunCommand("pdftotext '" + At("s.pdf") + "' - 2>&1");
    ASSERT_EQ(text.exitCode, 0) << text.output;
    std::vector<std::string> wanted = {"song.seq — Standard tuning",
                                       "G Major — 01 G (fret 1)",
                                       "1 bar",
                                       "E Minor — 02 E (fret 1)",
                                       "2 bars",
                                       "C Major — 03 C/G (fret 1)",
                                       "1/2 bar"};
    std::size_t at = 0;
    for (const std::string& w : wanted) {
        std::size_t found = text.output.find(w + "\n", at);
        ASSERT_NE(found, std::string::npos) << w << " after " << at << " in\n" << text.output;
        at = found + w.size();
    }

    // With a capo the steps still sound as written; their shapes are found behind the capo.
    Result capo =
        commandtest::Run(RunSheetCommand, {At("song.seq"), "--capo", "2", "--svg", At("c.svg")});
    ASSERT_EQ(capo.code, 0) << capo.err;
    std::string capoSvg = ReadFile(At("c.svg"));
    EXPECT_NE(capoSvg.find("<title>song.seq — Standard tuning, capo 2</title>"), std::string::npos);
    EXPECT_EQ(BoxTitles(capoSvg).at(0), "1 G Major — 01 G (fret 1) — 1 bar");
}

TEST_F(SheetFiles, BadInputLeavesNoFileBehind) {
    ASSERT_EQ(WriteThreeSteps(At("song.seq")), "");
    std::ofstream(At("damaged.seq")) << "not a sequence";
    ASSERT_EQ(app::SaveSequenceFile(At("empty.seq"), theory::Sequence{}), "");
    std::ofstream(At("kept.pdf")) << "old";
    const std::vector<std::vector<std::string>> cases = {
        {At("damaged.seq"), "--pdf", At("out.pdf")},
        {At("missing.seq"), "--pdf", At("out.pdf"), "--png", At("out.png")},
        {At("damaged.seq"), "--pdf", At("kept.pdf")},
        {At("empty.seq"), "--pdf", At("out.pdf")},
        {At("song.seq"), "--pdf", At("out.pdf"), "--svg", At("./song.seq")},
        {At("song.seq"), "--pdf", At("out.pdf"), "--svg", At("no/such/folder/out.svg")},
        {At("song.seq"), "--pdf", At("out.pdf"), "--capo", "12"},
        {At("song.seq"), "--pdf", At("out.pdf"), "--tuning", "Banjo"},
        {At("song.seq")},
        {"--pdf", At("out.pdf")},
        {At("song.seq"), At("song.seq"), "--pdf", At("out.pdf")},
        {At("song.seq"), "--pdf"},
    };
    for (const auto& args : cases) {
        Result run = commandtest::Run(RunSheetCommand, args);
        EXPECT_EQ(run.code, 2) << args[0];
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
        EXPECT_TRUE(run.err.starts_with("fretlore sheet: ")) << run.err;
    }
    EXPECT_EQ(ReadFile(At("kept.pdf")), "old");
    theory::Sequence kept;
    EXPECT_EQ(app::LoadSequenceFile(At("song.seq"), kept).outcome, app::SequenceLoad::LOADED);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"damaged.seq", "empty.seq", "kept.pdf", "song.seq"}));
}

}  // namespace
