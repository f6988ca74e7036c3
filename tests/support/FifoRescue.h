#pragma once

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace vexo::test {

// Opens a FIFO's writing end once a test is three seconds late, so that a reader waiting for a
// writer in open() comes back and the test fails on its time instead of hanging.
class FifoRescue {
public:
    explicit FifoRescue(std::string path)
        : m_thread([this, path = std::move(path)] {
            for (int i = 0; i < 300 && !m_done; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            while (!m_done) {
                const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0)
                    ::close(fd);
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }) {}
    ~FifoRescue() {
        m_done = true;
        m_thread.join();
    }
    FifoRescue(const FifoRescue&) = delete;
    FifoRescue& operator=(const FifoRescue&) = delete;

private:
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

} // namespace vexo::test
