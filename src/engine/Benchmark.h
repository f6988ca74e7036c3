#pragma once

#include "common/AppState.h"
#include "engine/HandOff.h"
#include "engine/Kernels.h"
#include "engine/RunPageView.h"
#include "platform/Dialogs.h"
#include "platform/MessagePump.h"
#include "platform/SecondsClock.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexo {

// The platform a run talks to.
struct RunServices {
    SecondsClock& clock;
    MessagePump& pump;
    Dialogs& dialogs;
    RunPageView& page;
};

// What comes after the measurements. A missing stage is skipped and the run page says so.
struct RunHandOffs {
    TunnelStage* tunnel = nullptr;
    BenchmarkSaver* saver = nullptr;
    BenchmarkImporter* importer = nullptr;
    // Where the run is saved; empty for "last benchmark.vgf" in the results folder.
    std::string resultFile;
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

// One benchmark run on the user-interface thread: the caller disables its window, then calls
// Reset_Scores, Count_Phases, Throttle_System and Run_Benchmarks in that order. All timing is
// done against second boundaries of the wall clock, and every measurement counts how much work
// the program completes in 31 consecutive clock seconds.
class Benchmark {
public:
    static constexpr int kMeasuredSeconds = 31;
    static constexpr std::int16_t kThrottleLastTry = 25;

    Benchmark(AppState& state, RunServices services, RunHandOffs handOffs = {});

    void Reset_Scores();
    void Count_Phases();
    void Throttle_System();
    // Runs the phases, then names and saves the run unless no chosen benchmark produced a
    // score. The outcome (also kept in the run state) says which.
    [[nodiscard]] RunOutcome Run_Benchmarks();

    // The two halves of Run_Benchmarks, for a caller that repeats the phases: every selected
    // phase in order, leaving the run page complete and each benchmark's outcome in the run
    // state; then the name, asked until it is acceptable (false when no answer came).
    void runSelectedPhases();
    [[nodiscard]] bool askName();
    // True when at least one chosen benchmark of the last phases produced a score.
    bool anythingMeasured() const;
    // The file a run is saved to: the chosen one, else the last-benchmark file.
    std::string savePath() const;

    // Returns at the first seconds reading that differs from the one taken on entry.
    void Wait_Next_Second();

    // Runs body() as often as it completes within 31 clock seconds that start on a second
    // boundary, and returns how many times. Nothing but the clock reading, the comparison and
    // the count happen between bodies: no yield, no display.
    template <class Body>
    std::int64_t measure(Body&& body);

    // The loss of time slices between two one-second samples, in percent.
    static std::int16_t throttleLoss(std::int64_t previousCount, std::int64_t currentCount);

    const kernels::BlockString& blockA() const { return m_blockA; }
    const kernels::BlockString& blockB() const { return m_blockB; }
    const kernels::BlockString& businessBlock() const { return m_businessBlock; }
    const kernels::BlockString& businessCopy() const { return m_businessCopy; }

private:
    void setText(RunPageView::Line line, const std::string& text);
    void setStatus(const std::string& text) { setText(RunPageView::StatusLine, text); }
    void showProgress();
    void showPhase(const char* status, const char* estimate, const char* description);
    void markGroupDone(int group);
    // Records how the benchmark behind a score ended (Measured turns into NothingCounted for
    // a score of 0).
    void record(std::int64_t ScoreSet::*score, PhaseOutcome outcome);
    PhaseOutcome prepareAndRunDirect3D();
    void showCompletion();
    void nextPhase() { ++m_state.run.CurrentPhase; }
    std::string appFile(const char* relative) const;
    std::string resultsFile(const char* name) const;

    void runCacheFsb();
    void runRamChipset();
    void runSpfp();
    void runInteger();
    void runDirect3D();
    void runSpreadsheet();
    void runBusiness();
    void runImaging();
    RunOutcome saveAndHandOff();
    RunOutcome ended(RunOutcome outcome);

    AppState& m_state;
    RunServices m_services;
    RunHandOffs m_handOffs;

    kernels::BlockString m_blockA, m_blockB;
    kernels::BlockString m_businessBlock, m_businessCopy;
    float m_spfpValue = 0;
};

template <class Body>
std::int64_t Benchmark::measure(Body&& body) {
    m_services.page.measurementStarting(kMeasuredSeconds);
    Wait_Next_Second();
    return timing::onConcreteClock(m_services.clock, [&](auto& clock) {
        return timing::countSeconds(clock, kMeasuredSeconds, body);
    });
}

} // namespace vexo
