#pragma once

#include "common/Flags.h"
#include "common/ScoreSet.h"

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vexo {

class SecondsClock;
class TunnelStage;
struct AppState;
class TaskTitleSource;
struct SystemQueries;
struct Folders;

struct RunOptions {
    Selections selections;
    std::optional<std::string> name;
    std::optional<std::string> out; // the file to write instead of the last-benchmark file
    int repeat = 1;                 // runs of the chosen phases after one throttling
    bool json = false;              // the finished run as JSON on standard output
};

inline constexpr int kMaxRepeat = 20;

// Parses the options of "run". On a mistake returns nothing and writes why to err.
std::optional<RunOptions> parseRunOptions(const std::vector<std::string>& args, std::ostream& err);

struct RunTerminal {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool interactive = false; // out is a terminal: keep a progress line at the bottom
    // in is a terminal: the name is asked after the run. Otherwise it is read before the run,
    // so that a run without one fails at once.
    bool inputIsTerminal = true;
    // Where the finished run goes as JSON (run --json), or nowhere.
    std::ostream* json = nullptr;
    // Where the saved file's path goes alone, one line (a standard output that is not a
    // terminal, without --json), or nowhere.
    std::ostream* savedPath = nullptr;
};

// Makes the Direct3D phase's stage for a run, or nothing where there is none. The stage
// handles its window's events itself.
using TunnelFactory = std::function<std::unique_ptr<TunnelStage>(AppState&, SecondsClock&)>;

// What a run measures with and describes the machine by.
struct RunEnvironment {
    SecondsClock& clock;
    const SystemQueries& system;
    TaskTitleSource& tasks;
    TunnelFactory tunnel = {};
    // Why there is no tunnel (no display, or a build without one) when tunnel is empty.
    std::string noTunnel = "this build has no OpenGL tunnel";
};

// The repeated runs' table: per chosen score its median, lowest and highest value and the
// spread, (highest - lowest) / median, in percent.
std::string repetitionTable(const std::vector<ScoreSet>& runs, const Selections& selections);
// The median of each score (halves rounded to the nearest whole number).
ScoreSet medianScores(const std::vector<ScoreSet>& runs);

// From now on Ctrl+C (SIGINT) ends a run at once with status 130, after ending the terminal's
// line and saying that nothing was saved (or that the run had already been saved). A save is
// never cut off halfway.
void catchInterrupt();

// Runs the chosen benchmarks, prints the run page's lines, saves the run, imports it as the
// result browser would and prints the score card and the throttling result. With a repeat
// count, throttles once, runs the phases that many times, saves the runs as that many records
// of one file and prints each score's median and spread and the score card of the medians.
// What can be checked before the run (the output folder, a name, the tunnel) is, and fails at
// once. Returns the process exit status: 1 also when a chosen benchmark produced no score.
int runBenchmarks(const RunOptions& options, const Folders& folders, RunEnvironment environment,
                  RunTerminal terminal);

} // namespace vexo
