#pragma once

#include "common/Status.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <utility>

namespace vexo {

// An open file descriptor, closed when its owner goes.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1)
        : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept
        : m_fd(std::exchange(other.m_fd, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    ~FileDescriptor();

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes now; false when the system reports an error (for a file written, the data may be
    // lost).
    [[nodiscard]] bool close();

private:
    int m_fd;
};

// Where a save goes, looked at (and a pipe or device opened) before anything is written, so
// that work that takes long learns at once whether its result can be kept. The one rule for
// every file the program writes:
// - a path that names a descriptor of this program (/dev/stdout, /dev/fd/N, /proc/self/fd/N,
//   or a link to one) is written through that descriptor, from its current position, whatever
//   it leads to: a file the shell opened for appending is appended to, never replaced;
// - a regular file (or a new one) is replaced only once the new one is complete and on disk:
//   it is written beside the target and renamed over it, so a failure or a signal (SIGINT,
//   SIGTERM, SIGHUP) never leaves half a file in its place nor a temporary file behind; a
//   replaced file keeps its permissions, and its owner and group where the program may set
//   them; a file its user may not write (for root: one nobody may write) is refused;
// - a symbolic link is followed: the file it points to is written and the link kept; a loop
//   of links is refused;
// - a named pipe or a character device (a terminal, /dev/null) is written through, as other
//   command-line tools do, never replaced; a pipe nobody reads is refused at once;
// - a folder or any other kind of file is refused.
// A failure's message names the path and the real cause.
class SaveTarget {
public:
    explicit SaveTarget(std::string path);
    SaveTarget(const SaveTarget&) = delete;
    SaveTarget& operator=(const SaveTarget&) = delete;

    // Why a save would fail, as far as can be known before writing; success otherwise.
    const Status& check() const { return m_check; }
    // Writes the bytes (a pipe, device or descriptor once only). A regular file is looked at
    // again first: it may have changed since.
    Status save(std::string_view bytes);
    // Whether the bytes go through a descriptor (a pipe, a device, one this program was given)
    // and so cannot be read back from the path.
    bool writesThrough() const { return m_kind == Kind::Descriptor || m_kind == Kind::Opened; }
    // The descriptor of this program the path names, or -1.
    int descriptor() const { return m_kind == Kind::Descriptor ? m_fd : -1; }
    const std::string& path() const { return m_path; }

private:
    enum class Kind { Refused, Descriptor, Opened, File };
    void look();

    std::string m_path;
    std::string m_target; // where the links lead (Kind::File)
    Kind m_kind = Kind::Refused;
    int m_fd = -1;                         // Descriptor: not ours to close
    FileDescriptor m_held;                 // Opened: the pipe or device
    std::optional<struct stat> m_existing; // File: the regular file replaced, if any
    Status m_check = Status::success();
};

// Saves bytes as the file at path by the rule of SaveTarget.
Status saveFile(const std::string& path, std::string_view bytes);

// The descriptor of this program that path names (/dev/stdout, /dev/fd/N, /proc/self/fd/N,
// or a symbolic link to one), or -1.
int namedDescriptor(const std::string& path);

// Reads a whole regular file of at most maxBytes into bytes. A folder, a pipe, a device or a
// larger file is refused at once, never waited on. The failure's message says why, without the
// path (callers name it).
Status readRegularFile(const std::string& path, std::string& bytes, std::uint64_t maxBytes);

} // namespace vexo
