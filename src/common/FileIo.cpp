#include "FileIo.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <optional>
#include <poll.h>
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
            // A descriptor the program was given may be set not to block: wait until it takes
            // more.
            pollfd ready{fd, POLLOUT, 0};
            if ((errno == EAGAIN || errno == EWOULDBLOCK) && ::poll(&ready, 1, -1) >= 0)
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

// The replacement keeps the owner and group of the file it replaces where the program may give
// them: root saving over a user's file must not take it from its owner. (A change of owner
// clears the set-user-ID bits, so the mode is set after it.)
void keepOwner(int fd, const struct stat& old) {
    if (::geteuid() == 0) {
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Not every file system has owners (a FAT stick); the save goes on.
        }
    } else if (old.st_gid != ::getegid() && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
        // A group the user is not in cannot be given; the file gets the user's own.
    }
}

// Why the file the person protected may not be replaced, or nothing. The mode is the person's
// word: even root, who may write anything, leaves a file that nobody may write.
std::optional<std::string> writeProtected(const std::string& target, const struct stat& info) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%03o", static_cast<unsigned>(info.st_mode & 0777));
    const std::string protectedFile = std::string("it is read-only (mode ") + mode +
                                      "), and a save does not replace a file you may not write";
    if (::geteuid() == 0)
        return (info.st_mode & 0222) == 0 ? std::optional(protectedFile) : std::nullopt;
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0)
        return std::nullopt;
    return errno == EACCES ? protectedFile : reason(errno);
}

// Why no new file can be made beside the target, or nothing.
std::optional<std::string> folderUnwritable(const std::string& target) {
    const std::string folder = folderOf(target);
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0)
        return std::nullopt;
    return "no new file can be made in the folder " + folder + " (" + reason(errno) + ")";
}

bool isDescriptorFolder(const std::string& folder) {
    const auto real = [](const char* path) {
        char resolved[PATH_MAX];
        return ::realpath(path, resolved) ? std::string(resolved) : std::string();
    };
    const std::string at = real(folder.c_str());
    return !at.empty() && (at == real("/proc/self/fd") || at == real("/proc/thread-self/fd"));
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
        keepOwner(fd.get(), *old);
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

int namedDescriptor(const std::string& path) {
    std::string step = path;
    for (int links = 0; links < 40 && !step.empty(); ++links) {
        const std::size_t slash = step.find_last_of('/');
        const std::string name = slash == std::string::npos ? step : step.substr(slash + 1);
        int number = -1;
        const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), number);
        if (!name.empty() && error == std::errc() && end == name.data() + name.size() &&
            number >= 0 && isDescriptorFolder(folderOf(step)))
            return number;
        // Only links are followed: /dev/stdout leads to /proc/self/fd/1.
        struct stat info {};
        if (::lstat(step.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return -1;
        std::string next(PATH_MAX, '\0');
        const ssize_t length = ::readlink(step.c_str(), next.data(), next.size());
        if (length <= 0)
            return -1;
        next.resize(static_cast<std::size_t>(length));
        if (next.front() != '/' && slash != std::string::npos)
            next = step.substr(0, slash + 1) + next;
        step = std::move(next);
    }
    return -1;
}

SaveTarget::SaveTarget(std::string path)
    : m_path(std::move(path)) {
    look();
}

void SaveTarget::look() {
    m_kind = Kind::Refused;
    m_existing.reset();
    m_check = Status::success();
    if (m_path.empty()) {
        m_check = Status::failure("Cannot save: no file name was given");
        return;
    }
    if (const int fd = namedDescriptor(m_path); fd >= 0) {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY) {
            m_check = cannotSave(m_path, "it names descriptor " + std::to_string(fd) +
                                             (flags < 0 ? ", which is not open"
                                                        : ", which is not open for writing"));
            return;
        }
        m_kind = Kind::Descriptor;
        m_fd = fd;
        return;
    }
    m_target = linkTarget(m_path);
    if (m_target.empty()) {
        m_check = cannotSave(m_path, "its symbolic links form a loop");
        return;
    }
    struct stat info {};
    if (::lstat(m_target.c_str(), &info) != 0) {
        if (errno != ENOENT) {
            m_check = cannotSave(m_path, reason(errno));
        } else if (const auto why = folderUnwritable(m_target)) {
            m_check = cannotSave(m_path, *why);
        } else {
            m_kind = Kind::File;
        }
        return;
    }
    if (S_ISREG(info.st_mode)) {
        if (auto why = writeProtected(m_target, info); why || (why = folderUnwritable(m_target))) {
            m_check = cannotSave(m_path, *why);
            return;
        }
        m_kind = Kind::File;
        m_existing = info;
    } else if (S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode)) {
        // Opened without blocking, so that a pipe nobody reads is refused instead of waited
        // on; it is held open until the save, so that its reader keeps waiting for it.
        FileDescriptor fd(::open(m_target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (!fd.valid()) {
            m_check = cannotSave(m_path, errno == ENXIO
                                             ? std::string("it is a named pipe that nothing reads")
                                             : reason(errno));
            return;
        }
        struct stat opened {};
        if (::fstat(fd.get(), &opened) != 0 ||
            !(S_ISFIFO(opened.st_mode) || S_ISCHR(opened.st_mode))) {
            m_check = cannotSave(m_path, "it changed while it was being saved");
            return;
        }
        const int flags = ::fcntl(fd.get(), F_GETFL);
        if (flags >= 0)
            ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
        m_held = std::move(fd);
        m_kind = Kind::Opened;
    } else if (S_ISDIR(info.st_mode)) {
        m_check = cannotSave(m_path, "it is a folder");
    } else {
        m_check =
            cannotSave(m_path, "it is not a regular file, and only a regular file is replaced");
    }
}

Status SaveTarget::save(std::string_view bytes) {
    if (m_kind == Kind::File)
        look();
    if (!m_check)
        return m_check;
    switch (m_kind) {
    case Kind::Refused:
        break;
    case Kind::Descriptor:
        if (!writeAll(m_fd, bytes))
            return cannotSave(m_path, reason(errno));
        return Status::success();
    case Kind::Opened: {
        if (!m_held.valid())
            return cannotSave(m_path, "it was written once already");
        const bool written = writeAll(m_held.get(), bytes);
        const int error = errno;
        if (!m_held.close() || !written)
            return cannotSave(m_path, reason(written ? errno : error));
        return Status::success();
    }
    case Kind::File:
        return replaceAtomically(m_path, m_target, bytes, m_existing ? &*m_existing : nullptr);
    }
    return m_check;
}

Status saveFile(const std::string& path, std::string_view bytes) {
    SaveTarget target(path);
    return target.save(bytes);
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
