#pragma once

#include <cstdint>
#include <string>

namespace vexo {

// Progress and outcome of the current (or last) benchmark run. Kept after a run until the
// next one resets it: the score card and the file writer read it from here.
struct RunState {
    std::int16_t CurrentPhase = 0;
    std::int16_t PhaseCount = 0;
    // During throttling the try number (0-25); afterwards the try at which the system was
    // found stable (3-25), or 26 when the tries ran out.
    std::int16_t ThrottleTries = 0;
    std::string BenchmarkName;
};

inline constexpr std::int16_t kThrottleTimedOut = 26;

} // namespace vexo
