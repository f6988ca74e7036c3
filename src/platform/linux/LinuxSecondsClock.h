#pragma once

#include "platform/SecondsClock.h"

namespace vexo {

// The local wall clock, with the UTC offset of the time zone taken at the start of each run.
class LinuxSecondsClock final : public SecondsClock {
public:
    LinuxSecondsClock();

    std::int16_t readSeconds() override { return m_wall.readSeconds(); }
    std::int16_t readTimedSeconds(std::int64_t& nanoseconds) override {
        return m_wall.readTimedSeconds(nanoseconds);
    }
    void beginRun() override;
    WallClockSeconds* wallClock() override { return &m_wall; }

private:
    WallClockSeconds m_wall;
};

} // namespace vexo
