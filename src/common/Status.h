#pragma once

#include <string>
#include <utility>

namespace vexo {

// The outcome of an operation that can fail: true on success, otherwise false with a message
// for the person, naming what failed and why.
class [[nodiscard]] Status {
public:
    static Status success() { return Status(true, {}); }
    static Status failure(std::string message) { return Status(false, std::move(message)); }

    explicit operator bool() const { return m_ok; }
    const std::string& message() const { return m_message; }

private:
    Status(bool ok, std::string message)
        : m_ok(ok)
        , m_message(std::move(message)) {}

    bool m_ok;
    std::string m_message;
};

} // namespace vexo
