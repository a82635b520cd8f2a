#include "app/SequenceFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace app {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void Write(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

theory::Sequence TwoSteps() {
    theory::Sequence s;
    s.count = 2;
    s.steps[0] = {0, 0, 0, 4, 0, {}, {-1, 3, 2, 0, 1, 0}};
    s.steps[1] = {9, 1, 3, 16, 1, {}, {5, 7, 7, 5, 5, 5}};
    s.steps[2] = {200, 200, 200, 200, 200, {1, 2, 3}, {-9, 99, 0, 0, 0, 0}};  // left by Delete
    return s;
}

class SequenceFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string name = fs::temp_directory_path() / "fretlore-seq-XXXXXX";
        ASSERT_NE(mkdtemp(name.data()), nullptr);
        dir = name;
    }
    void TearDown() override { fs::remove_all(dir); }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir))
            names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir;
};

TEST_F(SequenceFileTest, SavedFileIsTheWholeImageReadableByAll) {
    mode_t old = umask(022);
    EXPECT_EQ(SaveSequenceFile(dir / "a.seq", theory::Sequence{}), "");
    umask(027);
    EXPECT_EQ(SaveSequenceFile(dir / "b.seq", TwoSteps()), "");
    umask(old);

    EXPECT_EQ(Read(dir / "a.seq"), Bytes(772, 0));
    Bytes b = Read(dir / "b.seq");
    ASSERT_EQ(b.size(), 772u);
    theory::SequenceImage image = theory::EncodeSequence(TwoSteps());
    EXPECT_EQ(b, Bytes(image.begin(), image.end()));
    EXPECT_EQ(b[4 + 32 + 0], 9);    // second step's root
    EXPECT_EQ(b[4 + 64 + 1], 200);  // the unused record is written as it stands
    EXPECT_EQ(fs::status(dir / "a.seq").permissions(), fs::perms(0644));
    EXPECT_EQ(fs::status(dir / "b.seq").permissions(), fs::perms(0640));
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.seq", "b.seq"}));

    theory::Sequence loaded;
    SequenceLoadResult result = LoadSequenceFile(dir / "b.seq", loaded);
    EXPECT_EQ(result.outcome, SequenceLoad::LOADED) << result.reason;
    EXPECT_EQ(loaded, TwoSteps());
}

TEST_F(SequenceFileTest, SavingOverAFolderFailsAndLeavesNothing) {
    fs::create_directory(dir / "x.seq");
    std::string why = SaveSequenceFile(dir / "x.seq", TwoSteps());
    EXPECT_NE(why, "");
    EXPECT_NE(why.find("x.seq"), std::string::npos) << why;
    EXPECT_TRUE(fs::is_directory(dir / "x.seq"));
    EXPECT_TRUE(fs::is_empty(dir / "x.seq"));
    EXPECT_EQ(Names(), std::vector<std::string>{"x.seq"});
}

TEST_F(SequenceFileTest, DamagedFilesAreRefusedWithTheSequenceUnchanged) {
    theory::SequenceImage good = theory::EncodeSequence(TwoSteps());
    auto withCount = [&](std::uint8_t low, std::uint8_t high) {
        Bytes b(good.begin(), good.end());
        b[0] = low;
        b[1] = b[2] = b[3] = high;
        return b;
    };
    struct Case {
        const char* name;
        Bytes bytes;
    };
    std::vector<Case> cases{
        {"empty", {}},
        {"771 bytes", Bytes(good.begin(), good.end() - 1)},
        {"100 bytes", Bytes(good.begin(), good.begin() + 100)},
        {"773 bytes", Bytes(good.begin(), good.end())},
        {"a megabyte", Bytes(1 << 20, 0)},
        {"count -1", withCount(0xFF, 0xFF)},
        {"count 25", withCount(25, 0)},
        {"count 99", withCount(99, 0)},
    };
    cases[3].bytes.push_back(0);
    theory::Sequence before;
    before.count = 1;
    before.steps[0] = {4, 5, 6, 8, 1, {}, {0, 2, 2, 1, 0, 0}};
    for (const Case& c : cases) {
        Write(dir / "bad.seq", c.bytes);
        theory::Sequence seq = before;
        SequenceLoadResult result = LoadSequenceFile(dir / "bad.seq", seq);
        EXPECT_EQ(result.outcome, SequenceLoad::NOT_A_SEQUENCE) << c.name;
        EXPECT_NE(result.reason.find("bad.seq: not a sequence file"), std::string::npos)
            << result.reason;
        EXPECT_EQ(result.reason.find('\n'), std::string::npos) << result.reason;
        EXPECT_EQ(seq, before) << c.name;
    }
}

TEST_F(SequenceFileTest, WhatCannotBeReadIsToldApart) {
    fs::create_directory(dir / "folder.seq");
    ASSERT_EQ(mkfifo((dir / "pipe.seq").c_str(), 0644), 0);
    for (const char* name : {"missing.seq", "folder.seq", "pipe.seq"}) {
        theory::Sequence seq = TwoSteps();
        SequenceLoadResult result = LoadSequenceFile(dir / name, seq);
        EXPECT_EQ(result.outcome, SequenceLoad::CANNOT_OPEN) << name;
        EXPECT_NE(result.reason.find(name), std::string::npos) << result.reason;
        EXPECT_EQ(seq, TwoSteps()) << name;
    }
}

}  // namespace
}  // namespace app
