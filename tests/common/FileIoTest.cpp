#include "common/FileIo.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexo {
namespace {

using test::TempFolder;

mode_t kind(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info.st_mode & S_IFMT;
}

// What is not a regular file is never replaced: it is written through, or refused at once.
TEST(SaveFile, NeverReplacesWhatIsNotARegularFile) {
    TempFolder folder;
    const std::string fifo = folder.path("pipe"), sub = folder.path("sub"), a = folder.path("a");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(sub);
    ASSERT_EQ(::symlink("b", a.c_str()), 0);
    ASSERT_EQ(::symlink("a", folder.path("b").c_str()), 0);
    const struct {
        std::string path, why;
        mode_t kind;
    } refused[] = {{fifo, "it is a named pipe that nothing reads", S_IFIFO},
                   {sub, "it is a folder", S_IFDIR},
                   {a, "its symbolic links form a loop", S_IFLNK}};
    for (const auto& row : refused) {
        EXPECT_EQ(saveFile(row.path, "x").message(), "Cannot save " + row.path + ": " + row.why);
        EXPECT_EQ(kind(row.path), row.kind) << row.path;
    }

    // A pipe somebody reads and a device are written through: tests/cli/hostile_files.sh.
    EXPECT_EQ(folder.entries(), 4u); // nothing made beside them
}

TEST(SaveFile, AnyNameTheFolderTakesCanBeSaved) {
    TempFolder folder;
    const std::string longest = folder.path(std::string(250, 'n') + ".vgf"); // 254 bytes
    ASSERT_TRUE(saveFile(longest, "first"));
    const Status again = saveFile(longest, "second");
    ASSERT_TRUE(again) << again.message();
    EXPECT_EQ(TempFolder::read(longest), "second");
    EXPECT_EQ(folder.entries(), 1u);

    const Status refused = saveFile(folder.path(std::string(256, 'n')), "x");
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.message().find("File name too long"), std::string::npos);
    EXPECT_EQ(refused.message().find("folder"), std::string::npos) << refused.message();
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
