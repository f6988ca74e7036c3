#pragma once

#include <optional>
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

// A value, or a message for the person saying why there is none.
template <class T>
class [[nodiscard]] Result {
public:
    Result(T value)
        : m_value(std::move(value)) {}
    static Result failure(std::string message) {
        Result result;
        result.m_message = std::move(message);
        return result;
    }

    explicit operator bool() const { return m_value.has_value(); }
    const T& operator*() const { return *m_value; }
    const T* operator->() const { return &*m_value; }
    // Why there is no value; empty when there is one.
    const std::string& message() const { return m_message; }

private:
    Result() = default;

    std::optional<T> m_value;
    std::string m_message;
};

} // namespace vexo
