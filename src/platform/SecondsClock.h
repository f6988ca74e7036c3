#pragma once

#include <cstdint>

namespace vexo {

// The one time base of throttling, the measurement windows and the tunnel loop: the seconds
// field (0-59) of the local wall-clock time. Every call reads the clock afresh; callers compare
// successive readings to find the moment the field changes.
class SecondsClock {
public:
    virtual ~SecondsClock() = default;

    virtual std::int16_t readSeconds() = 0;

    // Called once at the start of a run: an implementation may refresh slow-changing inputs
    // of the reading here (such as the local time-zone offset) instead of on every reading.
    virtual void beginRun() {}
};

} // namespace vexo
