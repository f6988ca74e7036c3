#include "InstallationFiles.h"

#include "common/FileIo.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace vexo::installation {

namespace {

std::string kindOf(mode_t mode) {
    if (S_ISFIFO(mode))
        return "a pipe";
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISCHR(mode))
        return "a character device";
    if (S_ISBLK(mode))
        return "a block device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "not a file";
}

std::string tooLong(std::size_t bytes, std::size_t maxBytes) {
    return "is " + std::to_string(bytes) + " bytes long, more than the " +
           std::to_string(maxBytes) + " allowed for it";
}

std::string openProblem(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return "is missing";
    case ELOOP:
        return "is a symbolic link that leads back to itself";
    default:
        return std::string("cannot be read: ") + std::strerror(error);
    }
}

} // namespace

FileContent readFile(const std::string& path, std::size_t maxBytes) {
    FileContent content;
    // Without O_NONBLOCK, opening a FIFO waits for a writer, for ever; a regular file reads the
    // same with it.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!file.valid()) {
        content.problem = openProblem(errno);
        return content;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        content.problem = openProblem(errno);
        return content;
    }
    if (!S_ISREG(info.st_mode)) {
        content.problem = "is not a regular file but " + kindOf(info.st_mode);
        return content;
    }
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        content.problem = tooLong(static_cast<std::size_t>(info.st_size), maxBytes);
        return content;
    }
    // One byte more than the file holds, so that a file still growing is seen to be longer.
    std::string bytes(static_cast<std::size_t>(info.st_size) + 1, '\0');
    std::size_t total = 0;
    for (;;) {
        if (total == bytes.size()) {
            if (total > maxBytes) {
                content.problem = tooLong(total, maxBytes);
                return content;
            }
            bytes.resize(std::min(bytes.size() * 2, maxBytes + 1));
        }
        const ssize_t got = ::read(file.get(), bytes.data() + total, bytes.size() - total);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            content.problem = openProblem(errno);
            return content;
        }
        if (got == 0)
            break;
        total += static_cast<std::size_t>(got);
    }
    bytes.resize(total);
    content.bytes = std::move(bytes);
    return content;
}

Picture readPicture(const std::string& path) {
    Picture picture;
    FileContent file = readFile(path, MaxPictureBytes);
    if (!file) {
        picture.problem = std::move(file.problem);
        return picture;
    }
    QByteArray bytes =
        QByteArray::fromRawData(file.bytes.data(), static_cast<qsizetype>(file.bytes.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size(); // what the header states; nothing is decoded yet
    if (size.isValid() &&
        static_cast<std::int64_t>(size.width()) * size.height() > MaxPicturePixels) {
        picture.problem = "is a picture of " + std::to_string(size.width()) + " x " +
                          std::to_string(size.height()) + " pixels, more than the " +
                          std::to_string(MaxPicturePixels) + " allowed for one";
        return picture;
    }
    // The decoder's limit is the process's; the user-interface thread is the only one that
    // decodes pictures, so it is narrowed for this picture and put back.
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(DecoderLimitMegabytes);
    const bool decoded = reader.read(&picture.image);
    QImageReader::setAllocationLimit(limit);
    if (!decoded) {
        picture.image = QImage();
        picture.problem =
            "is not a picture this program can read (" + reader.errorString().toStdString() + ")";
    }
    return picture;
}

std::string repairAdvice(const std::string& path) {
    const std::string installed = "/share/vexogauge/";
    const std::size_t share = path.rfind(installed);
    if (share != std::string::npos)
        return "Reinstall the vexogauge package (or unpack it again) to repair the folder " +
               path.substr(0, share + installed.size()) + ".";
    // A build tree: its build draws the pictures and copies the help documents into the
    // program's folder, some of them into its data/ and icons/ folders.
    std::string folder = path.substr(0, path.find_last_of('/') + 1);
    for (const std::string inner : {"/data/", "/icons/"}) {
        if (folder.size() > inner.size() &&
            folder.compare(folder.size() - inner.size(), inner.size(), inner) == 0)
            folder.resize(folder.size() - inner.size() + 1);
    }
    return "Build the program again (cmake --build on its build folder) to repair the "
           "installation files in " +
           folder + ".";
}

namespace {

struct Problems {
    std::vector<std::pair<std::string, std::string>> pending;
    std::set<std::string> named;
};

Problems& problems() {
    static Problems list;
    return list;
}

} // namespace

void noteProblem(const std::string& path, const std::string& problem) {
    Problems& list = problems();
    if (list.named.insert(path).second)
        list.pending.emplace_back(path, problem);
}

std::optional<std::string> takeProblemsMessage() {
    Problems& list = problems();
    if (list.pending.empty())
        return std::nullopt;
    // A message box that stays within the screen: the first few files by name, then a count.
    constexpr std::size_t kNamed = 6;
    std::string text = list.pending.size() == 1
                           ? "An installation file of VexoGAUGE 2002 is missing or damaged; "
                             "the program goes on without it."
                           : "Installation files of VexoGAUGE 2002 are missing or damaged; the "
                             "program goes on without them.";
    text += '\r';
    for (std::size_t i = 0; i < list.pending.size() && i < kNamed; ++i)
        text += '\r' + list.pending[i].first + ' ' + list.pending[i].second + '.';
    if (list.pending.size() > kNamed)
        text += "\r... and " + std::to_string(list.pending.size() - kNamed) + " more.";
    text += "\r\r" + repairAdvice(list.pending.front().first);
    list.pending.clear();
    return text;
}

} // namespace vexo::installation
