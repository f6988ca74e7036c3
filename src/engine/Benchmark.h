#pragma once

#include "common/AppState.h"
#include "common/ProblemReport.h"
#include "engine/HandOff.h"
#include "engine/Kernels.h"
#include "engine/Phases.h"
#include "engine/RunPageView.h"
#include "platform/Dialogs.h"
#include "platform/MessagePump.h"
#include "platform/SecondsClock.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexo {

// The platform a run talks to, and where it shows what it does.
struct RunServices {
    SecondsClock& clock;
    MessagePump& pump;
    Dialogs& dialogs; // the naming dialog
    RunPageView& page;
    ProblemReport& problems;
};

namespace timing {

// The timing loops over the clock's own type: given the concrete clock, each reading is a
// direct, inlined call, so that a measurement window counts the work and not the calls.

// Returns at the first reading that differs from the one taken on entry.
template <class Clock>
void waitNextSecond(Clock& clock) {
    const std::int16_t start = clock.readSeconds();
    while (clock.readSeconds() == start) {
    }
}

// What one step of a counting loop did.
enum class Step {
    Counted,    // it was one unit of work
    NotCounted, // it did no countable work (a frame that was not drawn, a wait)
    Stop,       // the loop must end now
};

// The one counting loop of the program: over the given number of clock seconds, each from the
// reading taken at its start to the first reading that differs, calls step() between readings
// and returns how many steps said Counted. A step that says Stop ends the loop at once.
// Nothing but the reading, the comparison and the count happens between steps.
template <class Read, class StepFn>
std::int64_t countSteps(Read&& read, int seconds, StepFn&& step) {
    std::int64_t count = 0;
    for (int pass = 0; pass < seconds; ++pass) {
        const std::int16_t second = read();
        while (read() == second) {
            const Step done = step();
            if (done == Step::Counted)
                ++count;
            else if (done == Step::Stop)
                return count;
        }
    }
    return count;
}

// Runs body() as often as it completes within the given number of clock seconds, each from
// the reading taken at its start to the first reading that differs, and returns how many times.
template <class Clock, class Body>
std::int64_t countSeconds(Clock& clock, int seconds, Body& body) {
    return countSteps([&clock] { return clock.readSeconds(); }, seconds,
                      [&body] {
                          body();
                          return Step::Counted;
                      });
}

// Calls f with the wall clock behind the clock as its own type where there is one (the
// program's clock), otherwise (scripted clocks in tests) with the clock's interface.
template <class F>
decltype(auto) onConcreteClock(SecondsClock& clock, F&& f) {
    if (WallClockSeconds* wall = clock.wallClock())
        return f(*wall);
    return f(clock);
}

} // namespace timing

// Returns at the first seconds reading that differs from the one taken on entry, after
// yielding once. Called right after a change, it waits almost a full second.
void Wait_Next_Second(SecondsClock& clock, MessagePump& pump);

// The message for the first naming rule the name breaks, or nothing when it is acceptable.
// The sequences ">>:", "||" and ":;" separate the fields of a saved record.
std::optional<std::string_view> benchmarkNameProblem(std::string_view name);

// The steps of a benchmark run on the user-interface thread, which a run session calls in
// order: Reset_Scores, Count_Phases, Throttle_System, then the chosen phases (once per
// repetition). All timing is done against second boundaries of the wall clock, and every
// measurement counts how much work the program completes in 31 consecutive clock seconds.
class Benchmark {
public:
    static constexpr int kMeasuredSeconds = 31;
    static constexpr std::int16_t kThrottleLastTry = 25;

    // Without a tunnel stage the Direct3D phase is skipped as unavailable.
    Benchmark(AppState& state, RunServices services, TunnelStage* tunnel = nullptr);

    void Reset_Scores();
    void Count_Phases();
    void Throttle_System();
    // Every chosen phase in the fixed order, leaving its score and outcome in the state.
    void runChosenPhases();
    // The run page's completion texts; measured: whether the run has produced any score.
    void showCompletion(bool measured);

    // Returns at the first seconds reading that differs from the one taken on entry.
    void Wait_Next_Second();

    // Runs body() as often as it completes within 31 clock seconds that start on a second
    // boundary, and returns how many times. Nothing but the clock reading, the comparison and
    // the count happen between bodies: no yield, no display.
    template <class Body>
    std::int64_t measure(Body&& body);

    // The loss of time slices between two one-second samples, in percent.
    static std::int16_t throttleLoss(std::int64_t previousCount, std::int64_t currentCount);
    // The loss of each throttling try from try 1 on, in order.
    const std::vector<std::int16_t>& throttleLosses() const { return m_throttleLosses; }

    // The blocks of the copy phases, for tests: built before measuring, emptied after.
    const kernels::BlockString& blockA() const { return m_blockA; }
    const kernels::BlockString& blockB() const { return m_blockB; }
    const kernels::BlockString& businessBlock() const { return m_businessBlock; }
    const kernels::BlockString& businessCopy() const { return m_businessCopy; }

private:
    void setText(RunPageView::Line line, const std::string& text);
    void setStatus(const std::string& text) { setText(RunPageView::StatusLine, text); }
    void showProgress();
    void runPhase(std::size_t index);
    // The preparation, the measurement and the count of a phase timed by the engine.
    std::int64_t prepareAndMeasure(const Phase& phase);
    // The Direct3D phase's own preparation (the texture) and the tunnel's measurement.
    Direct3DResult prepareAndRunDirect3D();
    std::string appFile(const char* relative) const;

    AppState& m_state;
    RunServices m_services;
    TunnelStage* m_tunnel;
    std::vector<std::int16_t> m_throttleLosses;

    kernels::BlockString m_blockA, m_blockB;
    kernels::BlockString m_businessBlock, m_businessCopy;
    float m_spfpValue = 0;
};

// Where a run writes its files: the results folder, else the application folder.
std::string resultsFile(const Folders& folders, const char* name);

template <class Body>
std::int64_t Benchmark::measure(Body&& body) {
    m_services.page.measurementStarting(kMeasuredSeconds);
    Wait_Next_Second();
    return timing::onConcreteClock(m_services.clock, [&](auto& clock) {
        return timing::countSeconds(clock, kMeasuredSeconds, body);
    });
}

} // namespace vexo
