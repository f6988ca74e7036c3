#include "FileIo.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace vexo {

namespace {

std::string reason(int error) {
    return std::strerror(error);
}

Status cannotSave(const std::string& path, const std::string& why) {
    return Status::failure("Cannot save " + path + ": " + why);
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Where a chain of symbolic links ends, so that saving over a link writes the file it points
// to and keeps the link. Empty when the links form a loop (or a chain too long to follow).
std::string linkTarget(const std::string& path) {
    std::string target = path;
    for (int links = 0; links < 40; ++links) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return target;
        std::string next(PATH_MAX, '\0');
        const ssize_t length = ::readlink(target.c_str(), next.data(), next.size());
        if (length <= 0)
            return target;
        next.resize(static_cast<std::size_t>(length));
        const std::size_t slash = target.find_last_of('/');
        if (next.front() != '/' && slash != std::string::npos)
            next = target.substr(0, slash + 1) + next;
        target = std::move(next);
    }
    return {};
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// The temporary file of the save in progress, removed by the handler of a signal that ends
// the program meanwhile. One save runs at a time: the program has one thread.
char g_temporary[PATH_MAX];
volatile std::sig_atomic_t g_temporaryArmed = 0;
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction g_previous[std::size(kEndingSignals)];
bool g_installed[std::size(kEndingSignals)];

extern "C" void removeTemporaryAndPassOn(int signal) {
    if (g_temporaryArmed)
        ::unlink(g_temporary);
    g_temporaryArmed = 0;
    // The signal goes on to what was there before (ending the program by default); it is
    // blocked while this handler runs, so it arrives once this returns.
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
        if (kEndingSignals[i] == signal && g_installed[i]) {
            ::sigaction(signal, &g_previous[i], nullptr);
            g_installed[i] = false;
        }
    }
    ::raise(signal);
}

// Arms the removal of a temporary file for as long as it lives.
class TemporaryFileGuard {
public:
    explicit TemporaryFileGuard(const std::string& path) {
        if (path.size() >= sizeof g_temporary)
            return;
        std::memcpy(g_temporary, path.c_str(), path.size() + 1);
        g_temporaryArmed = 1;
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
            struct sigaction current {};
            if (::sigaction(kEndingSignals[i], nullptr, &current) != 0 ||
                current.sa_handler == SIG_IGN)
                continue; // an ignored signal cannot interrupt the save
            struct sigaction handler {};
            handler.sa_handler = removeTemporaryAndPassOn;
            sigemptyset(&handler.sa_mask);
            g_installed[i] = ::sigaction(kEndingSignals[i], &handler, &g_previous[i]) == 0;
        }
    }
    // The file is no longer temporary (it was renamed into place): a signal now only ends
    // the program.
    void disarm() { g_temporaryArmed = 0; }
    TemporaryFileGuard(const TemporaryFileGuard&) = delete;
    TemporaryFileGuard& operator=(const TemporaryFileGuard&) = delete;
    ~TemporaryFileGuard() {
        g_temporaryArmed = 0;
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
            if (g_installed[i])
                ::sigaction(kEndingSignals[i], &g_previous[i], nullptr);
            g_installed[i] = false;
        }
    }
};

// Writes into an existing pipe or character device, as a shell's redirection would.
Status writeThrough(const std::string& path, std::string_view bytes) {
    // Without blocking, so that a pipe nobody reads is refused instead of waited on.
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.valid()) {
        return cannotSave(path, errno == ENXIO
                                    ? std::string("it is a named pipe that nothing reads")
                                    : reason(errno));
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !(S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode)))
        return cannotSave(path, "it changed while it was being saved");
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags >= 0)
        ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
    if (!writeAll(fd.get(), bytes))
        return cannotSave(path, reason(errno));
    if (!fd.close())
        return cannotSave(path, reason(errno));
    return Status::success();
}

// Writes a new file beside the target and renames it over the target once it is complete and
// on disk. The temporary name is short, so that any name that fits the folder can be saved.
Status replaceAtomically(const std::string& path, const std::string& target, std::string_view bytes,
                         const struct stat* old) {
    const std::string folder = folderOf(target);
    std::string temporary = folder + "/.vexogauge-XXXXXX";
    FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd.valid())
        return cannotSave(path, "no new file can be made in the folder " + folder + " (" +
                                    reason(errno) + ")");
    TemporaryFileGuard guard(temporary);
    if (old) {
        ::fchmod(fd.get(), old->st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd.get(), 0666 & ~mask);
    }
    bool written = writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    int error = errno;
    if (written && !fd.close()) {
        written = false;
        error = errno;
    }
    if (written && ::rename(temporary.c_str(), target.c_str()) != 0) {
        written = false;
        error = errno;
    } else if (written) {
        guard.disarm();
    }
    if (!written) {
        ::unlink(temporary.c_str());
        return cannotSave(path, reason(error));
    }
    // The rename is on disk only once the folder is.
    FileDescriptor folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.valid())
        ::fsync(folderFd.get());
    return Status::success();
}

} // namespace

FileDescriptor::~FileDescriptor() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool FileDescriptor::close() {
    const int fd = m_fd;
    m_fd = -1;
    return fd < 0 || ::close(fd) == 0;
}

Status saveFile(const std::string& path, std::string_view bytes) {
    if (path.empty())
        return Status::failure("Cannot save: no file name was given");
    const std::string target = linkTarget(path);
    if (target.empty())
        return cannotSave(path, "its symbolic links form a loop");
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0) {
        if (errno != ENOENT)
            return cannotSave(path, reason(errno));
        return replaceAtomically(path, target, bytes, nullptr);
    }
    if (S_ISREG(info.st_mode))
        return replaceAtomically(path, target, bytes, &info);
    if (S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode))
        return writeThrough(target, bytes);
    if (S_ISDIR(info.st_mode))
        return cannotSave(path, "it is a folder");
    return cannotSave(path, "it is not a regular file, and only a regular file is replaced");
}

Status readRegularFile(const std::string& path, std::string& bytes, std::uint64_t maxBytes) {
    // Opened without blocking, so that a FIFO or a device is refused instead of waited on.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid())
        return Status::failure("cannot be opened: " + reason(errno));
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return Status::failure("cannot be read: " + reason(errno));
    if (S_ISDIR(info.st_mode))
        return Status::failure("is a folder, not a file");
    if (!S_ISREG(info.st_mode))
        return Status::failure("is not a regular file");
    const auto tooLarge = [maxBytes] {
        return Status::failure("is too large: more than " + std::to_string(maxBytes >> 20) + " MB");
    };
    if (static_cast<std::uint64_t>(info.st_size) > maxBytes)
        return tooLarge();
    try {
        // Room for the size measured, and no more unless the file has grown since: the bytes
        // may be all the memory a reader has to spare.
        bytes.resize(static_cast<std::size_t>(info.st_size));
        std::size_t done = 0;
        char more[4096];
        for (;;) {
            const bool full = done == bytes.size();
            char* const into = full ? more : bytes.data() + done;
            const std::size_t room = full ? sizeof more : bytes.size() - done;
            const ssize_t got = ::read(fd.get(), into, room);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return Status::failure("cannot be read: " + reason(errno));
            if (got == 0)
                break;
            if (full) {
                if (done + static_cast<std::size_t>(got) > maxBytes)
                    return tooLarge();
                bytes.append(more, static_cast<std::size_t>(got));
            }
            done += static_cast<std::size_t>(got);
        }
        bytes.resize(done);
    } catch (const std::bad_alloc&) {
        return Status::failure("is too large to be read into the memory available");
    }
    return Status::success();
}

} // namespace vexo
