#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vexo {

// How one benchmark of a run ended. Every benchmark that was chosen but gave no score keeps
// its reason, so that what the run reports afterwards says why.
enum class PhaseOutcome : std::uint8_t {
    NotSelected,       // not chosen (or its group was not): it did not run
    Measured,          // it produced a score
    NothingCounted,    // it ran, but counted nothing
    NoDisplay,         // there was no display (or no OpenGL) to draw on
    TextureUnreadable, // its texture could not be read or prepared
    InvalidSetting,    // a Direct3D option is outside its choices
    WindowClosed,      // the user closed its window
    Escape,            // the user pressed Escape
    SurfaceLost,       // its window stayed hidden or its graphics were lost
    Unavailable,       // this build has no tunnel
};

// Why a benchmark with this outcome has no score, in a few words ("stopped with Escape");
// empty for Measured and NotSelected.
std::string_view phaseOutcomeReason(PhaseOutcome outcome);

// How a run ended as a whole.
enum class RunOutcome : std::uint8_t {
    NotRun,          // no run has ended yet
    Saved,           // named and written to its file
    NotSaved,        // named, but the file could not be (or cannot in this build be) written
    NoName,          // no name could be asked for (the input was closed); nothing was written
    NothingMeasured, // no chosen benchmark produced a score: no name asked, nothing written
};

// Progress and outcome of the current (or last) benchmark run. Kept after a run until the
// next one resets it: the score card and the file writer read it from here.
struct RunState {
    std::int16_t CurrentPhase = 0;
    std::int16_t PhaseCount = 0;
    // During throttling the try number (0-25); afterwards the try at which the system was
    // found stable (3-25), or 26 when the tries ran out.
    std::int16_t ThrottleTries = 0;
    std::string BenchmarkName;

    // Per benchmark, in the order of the score set's fields.
    std::array<PhaseOutcome, 8> outcomes{};
    RunOutcome outcome = RunOutcome::NotRun;
    // The file the run was written to (Saved) or was to be written to (NotSaved).
    std::string resultFile;
};

inline constexpr std::int16_t kThrottleTimedOut = 26;

inline std::string_view phaseOutcomeReason(PhaseOutcome outcome) {
    switch (outcome) {
    case PhaseOutcome::NotSelected:
    case PhaseOutcome::Measured:
        return {};
    case PhaseOutcome::NothingCounted:
        return "nothing was counted";
    case PhaseOutcome::NoDisplay:
        return "no display to draw on";
    case PhaseOutcome::TextureUnreadable:
        return "its texture could not be prepared";
    case PhaseOutcome::InvalidSetting:
        return "a Direct3D setting is not valid";
    case PhaseOutcome::WindowClosed:
        return "its window was closed";
    case PhaseOutcome::Escape:
        return "stopped with Escape";
    case PhaseOutcome::SurfaceLost:
        return "its window was hidden or its graphics were lost";
    case PhaseOutcome::Unavailable:
        return "no OpenGL tunnel in this build";
    }
    return {};
}

} // namespace vexo
