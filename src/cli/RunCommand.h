#pragma once

#include "common/Flags.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace vexo {

class SecondsClock;

struct RunOptions {
    Selections selections;
    std::optional<std::string> name;
};

// Parses the options of "run". On a mistake returns nothing and writes why to err.
std::optional<RunOptions> parseRunOptions(const std::vector<std::string>& args, std::ostream& err);

struct RunTerminal {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool interactive = false; // out is a terminal: keep a progress line at the bottom
};

// Runs the chosen benchmarks with the given clock and prints the run page's lines, the score
// card and the throttling result. Returns the process exit status.
int runBenchmarks(const RunOptions& options, const std::string& appFolder, SecondsClock& clock,
                  RunTerminal terminal);

} // namespace vexo
