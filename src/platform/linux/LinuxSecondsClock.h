#pragma once

#include "platform/SecondsClock.h"

#include <ctime>

namespace vexo {

// Seconds field of local time from time(2), which the C library answers from the vDSO without
// a system call. The local UTC offset is taken once per run rather than through localtime()
// on every reading, which would cost a time-zone lookup each time; the seconds field only
// depends on the offset in zones whose offset is not a whole number of minutes.
class LinuxSecondsClock final : public SecondsClock {
public:
    LinuxSecondsClock();

    std::int16_t readSeconds() override {
        const std::time_t now = std::time(nullptr);
        // The division is only needed when the second has changed, about once a second.
        if (now != m_lastRaw) {
            m_lastRaw = now;
            m_lastField = fieldOf(now);
        }
        return m_lastField;
    }

    void beginRun() override;

private:
    std::int16_t fieldOf(std::time_t now) const;

    long m_offset = 0;
    std::time_t m_lastRaw = -1;
    std::int16_t m_lastField = 0;
};

} // namespace vexo
