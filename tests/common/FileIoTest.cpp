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

std::size_t entries(const TempFolder& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.folder()))
        ++count;
    return count;
}

bool isFifo(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
}

// What is not a regular file is never replaced: it is written through, or refused at once.
TEST(SaveFile, NeverReplacesWhatIsNotARegularFile) {
    TempFolder folder;
    const std::string fifo = folder.path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    // Nobody reads the pipe: refused at once, not waited on.
    const Status unread = saveFile(fifo, "bytes");
    EXPECT_FALSE(unread);
    EXPECT_EQ(unread.message(), "Cannot save " + fifo + ": it is a named pipe that nothing reads");
    EXPECT_TRUE(isFifo(fifo));

    // Somebody reads it: the bytes go through, and it stays a pipe.
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
    EXPECT_TRUE(isFifo(fifo));

    // A copy of /dev/null (only root may make one): written through, still a device.
    const std::string null = folder.path("null");
    const bool device = ::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    if (device) {
        EXPECT_TRUE(saveFile(null, "gone"));
        struct stat info {};
        ASSERT_EQ(::lstat(null.c_str(), &info), 0);
        EXPECT_TRUE(S_ISCHR(info.st_mode));
    }

    const std::string sub = folder.path("sub");
    std::filesystem::create_directory(sub);
    EXPECT_EQ(saveFile(sub, "x").message(), "Cannot save " + sub + ": it is a folder");

    const std::string a = folder.path("a"), b = folder.path("b");
    ASSERT_EQ(::symlink("b", a.c_str()), 0);
    ASSERT_EQ(::symlink("a", b.c_str()), 0);
    EXPECT_EQ(saveFile(a, "x").message(), "Cannot save " + a + ": its symbolic links form a loop");
    struct stat info {};
    ASSERT_EQ(::lstat(a.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(entries(folder), device ? 5u : 4u); // nothing made beside them
}

TEST(SaveFile, AnyNameTheFolderTakesCanBeSaved) {
    TempFolder folder;
    const std::string longest = folder.path(std::string(250, 'n') + ".vgf"); // 254 bytes
    ASSERT_TRUE(saveFile(longest, "first"));
    const Status again = saveFile(longest, "second");
    ASSERT_TRUE(again) << again.message();
    EXPECT_EQ(TempFolder::read(longest), "second");
    EXPECT_EQ(entries(folder), 1u);

    const std::string tooLong = folder.path(std::string(256, 'n'));
    const Status refused = saveFile(tooLong, "x");
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.message().find("File name too long"), std::string::npos);
    EXPECT_EQ(refused.message().find("folder"), std::string::npos) << refused.message();
}

TEST(ReadRegularFile, RefusesWhatIsNotASaneRegularFileAtOnce) {
    TempFolder folder;
    const std::string fifo = folder.path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string big = folder.path("big");
    TempFolder::write(big, std::string(3 << 20, 'x'));
    std::string bytes;
    EXPECT_EQ(readRegularFile(fifo, bytes, 1 << 20).message(), "is not a regular file");
    EXPECT_EQ(readRegularFile(big, bytes, 1 << 20).message(), "is too large: more than 1 MB");
    ASSERT_TRUE(readRegularFile(big, bytes, 4 << 20));
    EXPECT_EQ(bytes.size(), std::size_t{3} << 20);
}

} // namespace
} // namespace vexo
