#pragma once

#include <streambuf>
#include <string_view>
#include <vector>

namespace vexo {

// A stream buffer over a descriptor that remembers the first write that failed. From then on
// it drops what it is given: a file with a gap in the middle is worse than one cut short.
class DescriptorOutput final : public std::streambuf {
public:
    explicit DescriptorOutput(int fd);
    DescriptorOutput(const DescriptorOutput&) = delete;
    DescriptorOutput& operator=(const DescriptorOutput&) = delete;

    // The errno of the first write that failed, or 0.
    int error() const { return m_error; }

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    void writeOut();

    int m_fd;
    int m_error = 0;
    std::vector<char> m_buffer;
};

// The program's standard output and standard error, every write checked: while it lives,
// std::cout and std::cerr write through it (standard error at once, standard output in
// blocks). A standard descriptor the program was started without is opened on /dev/null the
// wrong way round, so that no file the program opens takes its number and every write to it
// fails, as it should.
class StandardOutput {
public:
    StandardOutput();
    ~StandardOutput();
    StandardOutput(const StandardOutput&) = delete;
    StandardOutput& operator=(const StandardOutput&) = delete;

    // Flushes both streams and closes standard output (some file systems report a failed
    // write only then). When anything could not be written, says so in one line on standard
    // error, "PREFIX: cannot write the output: REASON", and returns 1 in place of a status of
    // 0; otherwise returns status.
    int finish(int status, std::string_view prefix);

private:
    DescriptorOutput m_out;
    DescriptorOutput m_err;
    std::streambuf* m_previousOut;
    std::streambuf* m_previousErr;
};

} // namespace vexo
