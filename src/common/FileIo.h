#pragma once

#include "common/Status.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vexo {

// An open file descriptor, closed when its owner goes.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1)
        : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes now; false when the system reports an error (for a file written, the data may be
    // lost).
    [[nodiscard]] bool close();

private:
    int m_fd;
};

// Saves bytes as the file at path, the one rule for every file the program writes:
// - a regular file (or a new one) is replaced only once the new one is complete and on disk:
//   it is written beside the target and renamed over it, so a failure or a signal (SIGINT,
//   SIGTERM, SIGHUP) never leaves half a file in its place nor a temporary file behind; a
//   replaced file keeps its permissions;
// - a symbolic link is followed: the file it points to is written and the link kept; a loop
//   of links is refused;
// - a named pipe or a character device (a terminal, /dev/null) is written through, as other
//   command-line tools do, never replaced; a pipe nobody reads is refused at once;
// - a folder or any other kind of file is refused.
// The failure's message names the path and the real cause.
Status saveFile(const std::string& path, std::string_view bytes);

// Reads a whole regular file of at most maxBytes into bytes. A folder, a pipe, a device or a
// larger file is refused at once, never waited on. The failure's message says why, without the
// path (callers name it).
Status readRegularFile(const std::string& path, std::string& bytes, std::uint64_t maxBytes);

} // namespace vexo
