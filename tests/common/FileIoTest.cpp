#include "common/FileIo.h"

#include "support/TempFolder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
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

    // Somebody reads the pipe: the bytes go through, and it stays a pipe.
    std::string received;
    std::thread reader([&] {
        const int fd = ::open(fifo.c_str(), O_RDONLY);
        char buffer[64];
        for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
            received.append(buffer, static_cast<std::size_t>(got));
        ::close(fd);
    });
    Status through = Status::failure("not tried");
    for (int tries = 0; tries < 500 && !through; ++tries) {
        through = saveFile(fifo, "through the pipe");
        if (!through)
            std::this_thread::sleep_for(std::chrono::milliseconds(2)); // until the reader opens
    }
    reader.join();
    EXPECT_TRUE(through) << through.message();
    EXPECT_EQ(received, "through the pipe");
    EXPECT_EQ(kind(fifo), S_IFIFO);

    // A copy of /dev/null (only root may make one): written through, still a device.
    const std::string null = folder.path("null");
    const bool device = ::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    if (device) {
        EXPECT_TRUE(saveFile(null, "gone"));
        EXPECT_EQ(kind(null), S_IFCHR);
    }
    EXPECT_EQ(folder.entries(), device ? 5u : 4u); // nothing made beside them
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
