#pragma once

#include "common/AppState.h"
#include "common/Status.h"
#include "engine/Benchmark.h"
#include "engine/HandOff.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vexo {

// What one run did, for whoever presents it (the score card, the terminal's lines and JSON).
struct RunReport {
    // As ThrottleTries: the try at which the system was found stable, or 26 (timed out).
    std::int16_t throttleTries = 0;
    // The loss of time slices each try showed against the one before, from try 1 on.
    std::vector<std::int16_t> throttleLosses;

    // One pass over the chosen phases: per benchmark, in the order of the score set's fields,
    // its score and how it ended.
    struct Repetition {
        ScoreSet scores;
        std::array<PhaseOutcome, 8> outcomes{};
    };
    std::vector<Repetition> repetitions;

    RunOutcome outcome = RunOutcome::NotRun;
    std::string name;
    // Where the run was saved (Saved), or was to be (NotSaved), and why it was not.
    std::string file;
    Status saved = Status::success();
    // Characters of the saved file that it could not hold and were stored as '?'.
    std::size_t substituted = 0;

    // The scores of each repetition, in order.
    std::vector<ScoreSet> scores() const;
    // Whether any chosen benchmark produced a score in any repetition.
    bool measured() const;
};

// What comes after the measurements. A missing stage is skipped and the run page says so.
struct RunHandOffs {
    TunnelStage* tunnel = nullptr;
    BenchmarkSaver* saver = nullptr;
    BenchmarkImporter importer;
    // Where the run is saved; empty for "last benchmark.vgf" in the results folder.
    std::string resultFile;
};

// A benchmark run from start to end, the same for the desktop and the terminal: the throttling
// once, the chosen phases as often as asked, the name, the save and the hand-off to the result
// browser. The caller disables its window for the run; the run's state (scores, phase numbers,
// outcomes) is kept in the program's state as it goes, the last repetition's at the end.
class RunSession {
public:
    RunSession(AppState& state, RunServices services, RunHandOffs handOffs);

    // Reset_Scores, Count_Phases, Throttle_System and Run_Benchmarks. A repeated run numbers
    // each repetition's phases as the first, and saves one record per repetition, each named
    // "NAME (run K of N)".
    [[nodiscard]] RunReport run(int repetitions = 1);

    const Benchmark& benchmark() const { return m_benchmark; }

private:
    // The repetitions of the chosen phases, then, when anything was measured, the name, the
    // save and the hand-off.
    void Run_Benchmarks(int repetitions, RunReport& report);
    // Asks until the name is acceptable; false when no answer can come.
    bool askName();
    RunOutcome saveAndHandOff(RunReport& report);
    void setStatus(const char* text);

    AppState& m_state;
    RunServices m_services;
    RunHandOffs m_handOffs;
    Benchmark m_benchmark;
};

} // namespace vexo
