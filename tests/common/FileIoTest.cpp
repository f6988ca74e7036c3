#include "common/FileIo.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>
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
