// Where the program reads its files and keeps the user's sequences, built or installed.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <map>
#include <set>
#include <string>

#include "platform/Files.h"

namespace platform {
namespace {

struct Machine {
    std::map<std::string, std::string> env;
    std::set<std::string> folders;

    Folders Resolve(const std::string& exe) const {
        return ResolveFolders(
            exe,
            [this](const char* name) -> const char* {
                auto it = env.find(name);
                return it == env.end() ? nullptr : it->second.c_str();
            },
            [this](const std::string& path) { return folders.count(path) > 0; });
    }
};

TEST(Folders, ABuiltCopyKeepsEverythingBesideItself) {
    Machine m{{{"HOME", "/home/ann"}}, {"/src/build/release/share/fretlore"}};
    Folders f = m.Resolve("/src/build/release/app");
    EXPECT_EQ(f.program, "/src/build/release/app");
    EXPECT_EQ(f.sequences, "/src/build/release/app/Sequences");
    // A "bin" folder without the shared files beside it is no installation either.
    f = Machine{{{"HOME", "/home/ann"}}, {}}.Resolve("/opt/x/bin");
    EXPECT_EQ(f.program, "/opt/x/bin");
    EXPECT_EQ(f.sequences, "/opt/x/bin/Sequences");
}

TEST(Folders, AnInstalledCopyReadsSharedFilesAndKeepsSequencesInTheUsersDataFolder) {
    Machine m{{{"HOME", "/home/ann/"}}, {"/usr/share/fretlore"}};
    Folders f = m.Resolve("/usr/bin");
    EXPECT_EQ(f.program, "/usr/share/fretlore");
    EXPECT_EQ(f.sequences, "/home/ann/.local/share/fretlore/Sequences");
    m.env["XDG_DATA_HOME"] = "/data/ann/";
    EXPECT_EQ(m.Resolve("/usr/bin/").sequences, "/data/ann/fretlore/Sequences");
    // A relative XDG_DATA_HOME is to be ignored.
    m.env["XDG_DATA_HOME"] = "data";
    EXPECT_EQ(m.Resolve("/usr/bin").sequences, "/home/ann/.local/share/fretlore/Sequences");
}

TEST(Folders, FretloreHomeOverridesBoth) {
    Machine m{{{"HOME", "/home/ann"}, {"FRETLORE_HOME", "/opt/fl//"}}, {"/usr/share/fretlore"}};
    Folders f = m.Resolve("/usr/bin");
    EXPECT_EQ(f.program, "/opt/fl");
    EXPECT_EQ(f.sequences, "/opt/fl/Sequences");
    m.env["FRETLORE_HOME"] = "/";
    EXPECT_EQ(m.Resolve("/usr/bin").sequences, "/Sequences");
}

TEST(Folders, CreateFoldersMakesTheMissingParents) {
    std::string base = ::testing::TempDir() + "folders-" + std::to_string(getpid());
    std::string deep = base + "/a/b/c/";
    ASSERT_TRUE(CreateFolders(deep));
    EXPECT_TRUE(IsFolder(base + "/a/b/c"));
    EXPECT_TRUE(CreateFolders(deep));  // already there
    // A file in the way is refused.
    FILE* f = std::fopen((base + "/file").c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_FALSE(CreateFolders(base + "/file/sub"));
    EXPECT_FALSE(CreateFolders(""));
    std::remove((base + "/file").c_str());
    for (const char* p : {"/a/b/c", "/a/b", "/a", ""})
        rmdir((base + p).c_str());
}

}  // namespace
}  // namespace platform
