#include "common/FileIo.h"

#include "support/TempFolder.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexo {
namespace {

using test::TempFolder;

TEST(SaveFile, AnyNameTheFolderTakesCanBeSaved) {
    TempFolder folder;
    const std::string longest = folder.path(std::string(250, 'n') + ".vgf"); // 254 bytes
    ASSERT_TRUE(saveFile(longest, "first"));
    const Status again = saveFile(longest, "second");
    ASSERT_TRUE(again) << again.message();
    EXPECT_TRUE(TempFolder::read(longest) == "second" && folder.entries() == 1u);

    const Status refused = saveFile(folder.path(std::string(256, 'n')), "x");
    EXPECT_TRUE(!refused && refused.message().find("File name too long") != std::string::npos);
    EXPECT_EQ(refused.message().find("folder"), std::string::npos) << refused.message();
}

// The mode the person set is their word: a file they may not write is not replaced. Root may
// write anything, so for root it is a file nobody may write; and root keeps a user's file theirs.
TEST(SaveFile, LeavesAReadOnlyFileAndKeepsTheOwnerOfAFileItReplaces) {
    TempFolder folder;
    const std::string kept = folder.path("kept.vgf");
    TempFolder::write(kept, "five runs");
    ::chmod(kept.c_str(), 0444);
    EXPECT_EQ(saveFile(kept, "one run").message(),
              "Cannot save " + kept +
                  ": it is read-only (mode 444), and a save does not replace a file you may not "
                  "write");
    EXPECT_EQ(TempFolder::read(kept), "five runs");
    if (::geteuid() != 0)
        GTEST_SKIP() << "not root: a file of another user cannot be made to save over";
    const std::string theirs = folder.path("theirs.vgf");
    TempFolder::write(theirs, "theirs");
    ASSERT_EQ(::chown(theirs.c_str(), 65534, 65534), 0);
    ASSERT_TRUE(saveFile(theirs, "saved by root"));
    struct stat info {};
    ASSERT_EQ(::stat(theirs.c_str(), &info), 0);
    EXPECT_EQ(std::to_string(info.st_uid) + ":" + std::to_string(info.st_gid), "65534:65534");
}

TEST(SaveFile, AFailedSaveReportsWhyAndLeavesTheEarlierFileIntact) {
    TempFolder folder;
    const std::string path = folder.path("last benchmark.vgf");
    ASSERT_TRUE(saveFile(path, "the first run"));
    const std::string before = TempFolder::read(path);
    // Files larger than 64 bytes cannot be written now.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{64, saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    const Status saved64 = saveFile(path, std::string(100, 'x'));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(saved64);
    EXPECT_EQ(saved64.message(), "Cannot save " + path + ": File too large");
    // The earlier file intact, and no half-written file left behind.
    EXPECT_TRUE(TempFolder::read(path) == before && folder.entries() == 1u);
    EXPECT_NE(saveFile(folder.path("no such folder/x.vgf"), "x")
                  .message()
                  .find("no new file can be made in the folder"),
              std::string::npos);
}

// Through a link, a dangling link and in place: the target is written, links stay links, and
// modes are kept (a new file gets an ordinary document's mode).
TEST(SaveFile, ASaveThroughALinkWritesItsTargetAndKeepsItsPermissions) {
    TempFolder folder;
    const auto at = [&](const char* name) { return folder.path(name); };
    const auto mode = [&](const char* name, bool follow = true) {
        struct stat info {};
        EXPECT_EQ((follow ? ::stat : ::lstat)(at(name).c_str(), &info), 0) << name;
        return follow ? info.st_mode & 07777 : info.st_mode & S_IFMT;
    };
    TempFolder::write(at("real.vgf"), "old contents");
    ASSERT_EQ(::chmod(at("real.vgf").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("real.vgf", at("link.vgf").c_str()), 0); // relative to the link's folder
    ASSERT_EQ(::symlink(at("made later.vgf").c_str(), at("later.vgf").c_str()), 0);
    for (const char* name : {"link.vgf", "later.vgf"})
        ASSERT_TRUE(saveFile(at(name), "new contents"));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_TRUE(mode("link.vgf", false) == S_IFLNK && mode("later.vgf", false) == S_IFLNK);
    EXPECT_TRUE(mode("real.vgf") == 0600u && mode("made later.vgf") == (0666u & ~mask));
    EXPECT_EQ(TempFolder::read(at("real.vgf")), "new contents");
    ASSERT_EQ(::chmod(at("real.vgf").c_str(), 0640), 0);
    ASSERT_TRUE(saveFile(at("real.vgf"), "in place"));
    // Two links, two files, no temporary left.
    EXPECT_TRUE(mode("real.vgf") == 0640u && folder.entries() == 4u);
}

TEST(ReadRegularFile, RefusesWhatIsNotASaneRegularFileAtOnce) {
    TempFolder folder;
    const std::string fifo = folder.path("pipe"), big = folder.path("big");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    TempFolder::write(big, std::string(3 << 20, 'x'));
    std::string bytes;
    EXPECT_EQ(readRegularFile(fifo, bytes, 1 << 20).message(), "is not a regular file");
    EXPECT_EQ(readRegularFile(big, bytes, 1 << 20).message(), "is too large: more than 1 MB");
    ASSERT_TRUE(readRegularFile(big, bytes, 4 << 20));
    EXPECT_EQ(bytes.size(), std::size_t{3} << 20);
}

} // namespace
} // namespace vexo
