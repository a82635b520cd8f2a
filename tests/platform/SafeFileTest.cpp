#include "platform/SafeFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

namespace platform {
namespace {

namespace fs = std::filesystem;

std::span<const std::uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

mode_t Mode(const fs::path& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    return st.st_mode;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class SafeFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string name = fs::temp_directory_path() / "fretlore-safe-XXXXXX";
        ASSERT_NE(mkdtemp(name.data()), nullptr);
        dir = name;
        chmod(dir.c_str(), 0755);  // a child without privileges must reach it
    }
    void TearDown() override {
        chmod(dir.c_str(), 0755);
        fs::remove_all(dir);
    }

    // Everything in the folder, with type, mode, link target and content, to show that
    // nothing beside the target changed and no temporary file is left.
    std::map<std::string, std::string> Listing(const fs::path& folder) const {
        std::map<std::string, std::string> entries;
        for (const auto& entry : fs::directory_iterator(folder)) {
            struct stat st {};
            lstat(entry.path().c_str(), &st);
            std::string what = std::to_string(st.st_mode) + " " + std::to_string(st.st_rdev);
            if (S_ISLNK(st.st_mode)) what += " -> " + fs::read_symlink(entry.path()).string();
            if (S_ISREG(st.st_mode)) {
                what += ' ';
                what += Read(entry.path());
            }
            entries[entry.path().filename().string()] = what;
        }
        return entries;
    }
    std::map<std::string, std::string> ListingWithout(const std::string& name) const {
        auto entries = Listing(dir);
        entries.erase(name);
        return entries;
    }
    void Put(const std::string& name, const std::string& text, mode_t mode = 0644) const {
        std::ofstream(dir / name, std::ios::binary) << text;
        chmod((dir / name).c_str(), mode);
    }

    fs::path dir;
};

TEST_F(SafeFileTest, NewFilesTakeTheUmaskReplacedFilesKeepTheirMode) {
    mode_t old = umask(022);
    EXPECT_EQ(WriteFileSafely(dir / "a.json", Bytes("first")), "");
    umask(077);
    EXPECT_EQ(WriteFileSafely(dir / "b.json", Bytes("second")), "");
    Put("c.json", "old", 0640);
    Put("d.sh", "old", 0755);
    EXPECT_EQ(WriteFileSafely(dir / "c.json", Bytes("third")), "");
    EXPECT_EQ(WriteFileSafely(dir / "d.sh", Bytes("fourth")), "");
    umask(old);
    EXPECT_EQ(Mode(dir / "a.json"), S_IFREG | 0644);
    EXPECT_EQ(Mode(dir / "b.json"), S_IFREG | 0600);
    EXPECT_EQ(Mode(dir / "c.json"), S_IFREG | 0640);
    EXPECT_EQ(Mode(dir / "d.sh"), S_IFREG | 0755);
    EXPECT_EQ(Read(dir / "c.json"), "third");
    EXPECT_EQ(Read(dir / "d.sh"), "fourth");
    EXPECT_EQ(Listing(dir).size(), 4u);  // no temporary file left
}

TEST_F(SafeFileTest, PlantedLinksBesideTheTargetAreNeverFollowed) {
    fs::create_directory(dir / "elsewhere");
    std::ofstream(dir / "elsewhere" / "victim") << "precious";
    // Every name a temporary file of the target has ever had.
    for (const char* name : {"x.wav.tmp", ".x.wav.tmp", "x.wav.tmp-000000", "x.wav~"})
        fs::create_symlink(dir / "elsewhere" / "victim", dir / name);
    auto before = ListingWithout("x.wav");
    EXPECT_EQ(WriteFileSafely(dir / "x.wav", Bytes("new")), "");
    EXPECT_EQ(Read(dir / "x.wav"), "new");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / "x.wav")));
    EXPECT_EQ(ListingWithout("x.wav"), before);
    EXPECT_EQ(Read(dir / "elsewhere" / "victim"), "precious");
}

TEST_F(SafeFileTest, ALinkedTargetStaysALinkToTheNewContent) {
    fs::create_directory(dir / "real");
    Put("real/data.json", "old", 0640);
    fs::create_symlink("real/data.json", dir / "out.json");  // relative to the link's folder
    fs::create_symlink("out.json", dir / "chain.json");
    fs::create_symlink("real/later.json", dir / "dangling.json");
    auto before = ListingWithout("nothing");
    auto realBefore = Listing(dir / "real");

    EXPECT_EQ(WriteFileSafely((dir / "chain.json").string(), Bytes("new")), "");
    EXPECT_EQ(Listing(dir), before);  // both links as they were
    EXPECT_EQ(Read(dir / "real" / "data.json"), "new");
    EXPECT_EQ(Mode(dir / "real" / "data.json"), S_IFREG | 0640);

    // A link to nothing yet makes the file it names.
    EXPECT_EQ(WriteFileSafely((dir / "dangling.json").string(), Bytes("made")), "");
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.json"));
    EXPECT_EQ(Read(dir / "real" / "later.json"), "made");
    EXPECT_EQ(Listing(dir / "real").size(), realBefore.size() + 1);
}

TEST_F(SafeFileTest, DevicesAreWrittenInPlaceAndTheirFailuresReported) {
    bool root = geteuid() == 0;
    // As root, nodes of our own; otherwise the system's, which are never replaced anyway.
    fs::path null = root ? dir / "null" : fs::path("/dev/null");
    fs::path full = root ? dir / "full" : fs::path("/dev/full");
    if (root) {
        ASSERT_EQ(mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
        ASSERT_EQ(mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)), 0);
    }
    auto before = Listing(dir);
    EXPECT_EQ(WriteFileSafely(null, Bytes("gone")), "");
    std::string error = WriteFileSafely(full, Bytes("no room"));
    EXPECT_TRUE(Contains(error, "cannot write " + full.string() + ": No space left on device"))
        << error;
    EXPECT_EQ(Listing(dir), before);
    EXPECT_TRUE(S_ISCHR(Mode(null)));
    EXPECT_TRUE(S_ISCHR(Mode(full)));
}

TEST_F(SafeFileTest, APipeIsWrittenInPlaceAndOneWithoutReaderFailsAtOnce) {
    fs::path pipe = dir / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
    auto before = Listing(dir);
    std::string error = WriteFileSafely(pipe, Bytes("nobody"));
    EXPECT_EQ(error, "cannot write " + pipe.string() + ": nobody is reading from the pipe");

    int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    SafeFileWriter writer;
    ASSERT_EQ(writer.Open(pipe), "");
    EXPECT_FALSE(writer.Seekable());
    EXPECT_EQ(writer.Write(Bytes("through the pipe")), "");
    EXPECT_NE(writer.WriteAt(0, Bytes("T")), "");  // a pipe cannot be rewound
    std::string got(64, '\0');
    ssize_t n = read(reader, got.data(), got.size());
    close(reader);
    EXPECT_EQ(got.substr(0, n > 0 ? static_cast<std::size_t>(n) : 0), "through the pipe");
    EXPECT_EQ(Listing(dir), before);
    EXPECT_TRUE(S_ISFIFO(Mode(pipe)));
}

// As /dev/stdout does: a link to a pipe by a name that is no path.
TEST_F(SafeFileTest, AnOpenPipeIsReachedThroughItsDescriptorLink) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    std::string link = "/proc/self/fd/" + std::to_string(ends[1]);
    EXPECT_EQ(SafeFileWriter::Check(link), "");
    EXPECT_EQ(WriteFileSafely(link, Bytes("to stdout")), "");
    close(ends[1]);
    std::string got(64, '\0');
    ssize_t n = read(ends[0], got.data(), got.size());
    close(ends[0]);
    EXPECT_EQ(got.substr(0, n > 0 ? static_cast<std::size_t>(n) : 0), "to stdout");
}

TEST_F(SafeFileTest, FoldersAndMissingFoldersAreRefusedWithTheirName) {
    fs::create_directory(dir / "sub");
    auto before = Listing(dir);
    EXPECT_EQ(WriteFileSafely(dir / "sub", Bytes("x")),
              "cannot write " + (dir / "sub").string() + ": it is a folder");
    EXPECT_EQ(WriteFileSafely(dir / "no" / "x.png", Bytes("x")),
              "cannot write " + (dir / "no" / "x.png").string() + ": No such file or directory");
    EXPECT_EQ(WriteFileSafely("", Bytes("x")), "no file name given");
    EXPECT_EQ(SafeFileWriter::Check(dir / "sub"), WriteFileSafely(dir / "sub", Bytes("x")));
    EXPECT_NE(SafeFileWriter::Check(dir / "no" / "x.png"), "");
    EXPECT_EQ(SafeFileWriter::Check(dir / "fine.png"), "");
    EXPECT_EQ(Listing(dir), before);
}

TEST_F(SafeFileTest, AnAbandonedOrFailedWriteLeavesTheOldFile) {
    Put("keep.seq", "old");
    auto before = Listing(dir);
    {
        SafeFileWriter writer;
        ASSERT_EQ(writer.Open(dir / "keep.seq"), "");
        EXPECT_EQ(writer.Write(Bytes("half")), "");
    }
    EXPECT_EQ(Listing(dir), before);
    SafeFileWriter writer;
    ASSERT_EQ(writer.Open(dir / "keep.seq"), "");
    EXPECT_EQ(writer.WriteAt(0, Bytes("patched")), "");
    EXPECT_EQ(writer.WriteAt(0, Bytes("P")), "");
    writer.Discard();
    EXPECT_NE(writer.Commit(), "");  // nothing open: no success
    EXPECT_EQ(Listing(dir), before);
}

// Root passes permission checks, so the write is tried by a child that has given them up.
TEST_F(SafeFileTest, AReadOnlyFolderFailsAndChangesNothing) {
    fs::create_directory(dir / "locked");
    std::ofstream(dir / "locked" / "old.json") << "old";
    chmod((dir / "locked").c_str(), 0555);
    auto before = Listing(dir / "locked");
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    pid_t child = fork();
    if (child == 0) {
        close(report[0]);
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
        std::string text = WriteFileSafely(dir / "locked" / "new.json", Bytes("x")) + "\n" +
                           WriteFileSafely(dir / "locked" / "old.json", Bytes("x"));
        _exit(write(report[1], text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0
                                                                                              : 4);
    }
    close(report[1]);
    std::string text(1024, '\0');
    ssize_t n = read(report[0], text.data(), text.size());
    close(report[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    EXPECT_EQ(text, "cannot write " + (dir / "locked" / "new.json").string() +
                        ": Permission denied\ncannot write " +
                        (dir / "locked" / "old.json").string() + ": Permission denied");
    EXPECT_EQ(Listing(dir / "locked"), before);
}

TEST_F(SafeFileTest, RacingWritersLeaveOneWholeContent) {
    const std::string a(200000, 'a'), b(300000, 'b');
    fs::path target = dir / "race.seq";
    std::atomic<bool> done{false};
    std::atomic<int> failures{0}, torn{0};
    auto writeMany = [&](const std::string& text) {
        for (int i = 0; i < 30; ++i) {
            if (!WriteFileSafely(target, Bytes(text)).empty()) ++failures;
        }
    };
    std::thread reader([&] {
        while (!done) {
            std::string seen = Read(target);
            if (!seen.empty() && seen != a && seen != b) ++torn;
        }
    });
    std::thread first(writeMany, a), second(writeMany, b);
    first.join();
    second.join();
    done = true;
    reader.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(torn, 0);
    std::string final = Read(target);
    EXPECT_TRUE(final == a || final == b);
    EXPECT_EQ(Listing(dir).size(), 1u);
}

}  // namespace
}  // namespace platform
