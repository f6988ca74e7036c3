#include "Output.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace vexo {

namespace {

constexpr std::size_t kBlock = 64 * 1024;

void openMissingStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int opened = ::open("/dev/null", (fd == 0 ? O_WRONLY : O_RDONLY) | O_NOCTTY);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
}

} // namespace

DescriptorOutput::DescriptorOutput(int fd)
    : m_fd(fd)
    , m_buffer(kBlock) {
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
}

void DescriptorOutput::writeOut() {
    const char* data = pbase();
    std::size_t left = static_cast<std::size_t>(pptr() - pbase());
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    while (m_error == 0 && left > 0) {
        const ssize_t written = ::write(m_fd, data, left);
        if (written >= 0) {
            data += written;
            left -= static_cast<std::size_t>(written);
            continue;
        }
        pollfd ready{m_fd, POLLOUT, 0};
        if (errno == EINTR ||
            ((errno == EAGAIN || errno == EWOULDBLOCK) && ::poll(&ready, 1, -1) >= 0))
            continue; // a descriptor set not to block takes more once it is ready
        m_error = errno;
    }
}

DescriptorOutput::int_type DescriptorOutput::overflow(int_type c) {
    writeOut();
    if (!traits_type::eq_int_type(c, traits_type::eof()))
        sputc(traits_type::to_char_type(c));
    return m_error == 0 ? traits_type::not_eof(c) : traits_type::eof();
}

int DescriptorOutput::sync() {
    writeOut();
    return m_error == 0 ? 0 : -1;
}

StandardOutput::StandardOutput()
    : m_out((openMissingStandardDescriptors(), STDOUT_FILENO))
    , m_err(STDERR_FILENO)
    , m_previousOut(std::cout.rdbuf(&m_out))
    , m_previousErr(std::cerr.rdbuf(&m_err)) {}

StandardOutput::~StandardOutput() {
    std::cout.rdbuf(m_previousOut);
    std::cerr.rdbuf(m_previousErr);
}

int StandardOutput::finish(int status, std::string_view prefix) {
    m_out.pubsync();
    int error = m_out.error();
    // Closed, so that a file system that reports a failed write only at the close is heard;
    // later writes, if any, fail.
    if (::close(STDOUT_FILENO) != 0 && error == 0 && errno != EBADF)
        error = errno;
    if (error == 0) {
        m_err.pubsync();
        error = m_err.error();
    } else {
        std::cerr << prefix << ": cannot write the output: " << std::strerror(error) << '\n'
                  << std::flush;
    }
    return error != 0 && status == 0 ? 1 : status;
}

} // namespace vexo
