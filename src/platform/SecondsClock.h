#pragma once

#include <cstdint>
#include <ctime>

namespace vexo {

// The seconds field of the local wall-clock time, read from time(), which the C library answers
// without a system call. The local UTC offset is set once per run rather than looked up on
// every reading; the seconds field depends on it only in zones whose offset is not a whole
// number of minutes. Final and inline, so that a timing loop holding it as its own type reads
// it without a call.
class WallClockSeconds final {
public:
    std::int16_t readSeconds() { return fieldOf(std::time(nullptr)); }

    // The seconds field and the wall-clock time in nanoseconds from one reading, for a loop
    // that also times its iterations (the tunnel's frames) without a second clock call.
    std::int16_t readTimedSeconds(std::int64_t& nanoseconds) {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        nanoseconds = static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
        return fieldOf(now.tv_sec);
    }

    void setUtcOffset(long seconds) {
        m_offset = seconds;
        m_lastRaw = -1;
    }

private:
    std::int16_t fieldOf(std::time_t now) {
        // The division is only needed when the second has changed, about once a second.
        if (now != m_lastRaw) {
            m_lastRaw = now;
            const long long field = (static_cast<long long>(now) + m_offset) % 60;
            m_lastField = static_cast<std::int16_t>(field < 0 ? field + 60 : field);
        }
        return m_lastField;
    }

    long m_offset = 0;
    std::time_t m_lastRaw = -1;
    std::int16_t m_lastField = 0;
};

// The one time base of throttling, the measurement windows and the tunnel loop: the seconds
// field (0-59) of the local wall-clock time. Every call reads the clock afresh; callers compare
// successive readings to find the moment the field changes.
class SecondsClock {
public:
    virtual ~SecondsClock() = default;

    virtual std::int16_t readSeconds() = 0;

    // A reading that also gives a time in nanoseconds (only differences between two of them
    // mean anything). A clock without a finer time base gives 0.
    virtual std::int16_t readTimedSeconds(std::int64_t& nanoseconds) {
        nanoseconds = 0;
        return readSeconds();
    }

    // Called once at the start of a run: an implementation may refresh slow-changing inputs
    // of the reading here (such as the local time-zone offset) instead of on every reading.
    virtual void beginRun() {}

    // The wall clock behind the readings, when they are exactly its readings: the timing loops
    // then read it directly. Scripted clocks have none and are read through readSeconds().
    virtual WallClockSeconds* wallClock() { return nullptr; }
};

} // namespace vexo
