#include "CommandLine.h"

#include "common/Direct3DOptions.h"

#include <algorithm>

namespace vexo {

namespace {

std::vector<std::string_view> resolutions() {
    return {kResolutionCaptions.begin(), kResolutionCaptions.end()};
}

} // namespace

const std::vector<CommandSpec>& commands() {
    static const std::vector<CommandSpec> all{
        {"run",
         {{"--cpu"},
          {"--fpu"},
          {"--spreadsheet"},
          {"--business"},
          {"--imaging"},
          {"--all"},
          {"--d3d"},
          {"--name", OptionValue::Text},
          {"--resolution", OptionValue::Choice, resolutions()},
          {"--depth", OptionValue::Choice, {"16", "24", "32"}},
          {"--texture", OptionValue::Choice, {"low", "medium", "high"}},
          {"--out", OptionValue::File},
          {"--repeat", OptionValue::Text},
          {"--json"}},
         false,
         R"help(Usage: vexogauge-cli run BENCHMARK... [OPTIONS]
Throttles until the system is stable, runs the chosen benchmarks, asks for a name, saves the run
and prints the score card. A chosen benchmark that gives no score is named with the reason, and
the exit status is 1.

Benchmarks (at least one):
  --cpu                CPU Cache/FSB and CPU RAM/Chipset
  --fpu                FPU single precision and FPU integer
  --spreadsheet        spreadsheet emulation
  --business           business application emulation
  --imaging            imaging application emulation
  --d3d                the OpenGL tunnel (needs a display)
  --all                every benchmark

Options:
  --name NAME          name of the run (at least 7 characters); asked for after the run when
                       absent, or read before it from a standard input that is not a terminal
  --resolution WxH     tunnel screen: 640x480, 800x600, 1024x768, 1280x1024 or 1600x1200
  --depth BITS         tunnel colour depth: 16, 24 or 32
  --texture QUALITY    tunnel texture: low, medium or high
  --out FILE           write the run to FILE instead of "last benchmark.vgf" in the results
                       folder
  --repeat N           throttle once, then run the benchmarks N times (2 to 20), saved as N
                       records "NAME (run K of N)"; prints each score's median, lowest and
                       highest value, spread, (max - min) / median, and the median's
                       rank-based interval with its confidence
  --json               print the finished run as JSON on standard output (with --repeat,
                       with each score's median, spread and interval)

The progress and the score card go to standard output when it is a terminal; otherwise (or
with --json) to standard error, and standard output gets the saved file's path alone.

Exit status: 0 when every chosen benchmark gave a score and the run was saved, 1 otherwise,
2 for a command line that was not understood, 130 when Ctrl+C ended the run (nothing saved).
)help"},
        {"sysinfo",
         {{"--json"}},
         false,
         R"help(Usage: vexogauge-cli sysinfo [--json]
Prints the description of this machine that a benchmark run stores (--json: typed, by the
schema {schema}).
)help"},
        {"tasks",
         {{"--all"}},
         false,
         R"help(Usage: vexogauge-cli tasks [--all]
Lists the application tasks (visible titled windows, top first) with their handles, as a run
records them; --all lists the system processes instead: every titled window, hidden ones too.
Control characters in titles are shown visibly.
)help"},
        {"dump",
         {{"--json"}},
         true,
         R"help(Usage: vexogauge-cli dump [--json] FILE...
Imports the benchmark files in order into one database, as the result browser's Import does,
and prints each file's outcome and every record (--json: as one JSON document).
Exit status: 0 when every file was read whole, 1 otherwise.
)help"},
        {"check",
         {},
         true,
         R"help(Usage: vexogauge-cli check FILE...
Says for each file whether it is valid and complete, valid but incomplete (a record lacks a
key), damaged (cut short or altered: what could be read and what may be lost) or unreadable.
Exit status: 0 when every file is valid and complete, 1 otherwise.
)help"},
        {"merge",
         {{"--force"}},
         true,
         R"help(Usage: vexogauge-cli merge [--force] OUT FILE...
Imports the files into one database and saves it to OUT, as the result browser's Save does:
every task and every value a record holds, and no value it lacks. Nothing is written unless
every file was read whole. An existing OUT that is not among the files is replaced only with
--force (a terminal is asked); a read-only OUT is never replaced. OUT may be a pipe, a device
or /dev/stdout (written through, from where the shell left it); a folder or a loop of links is
refused.
)help"},
        {"export",
         {{"--csv"}, {"--json"}},
         true,
         R"help(Usage: vexogauge-cli export --csv|--json FILE...
One row per record with every score, system value and task, named as in every output. The CSV
has the same columns for every file (the tasks share the last cell, a line each); a value a
record lacks, and a benchmark that did not run, is an empty cell. A cell a spreadsheet would
read as a formula (starting with =, +, -, @, a tab or a carriage return) starts with an
apostrophe, so that it stays text; the spreadsheet shows the apostrophe as part of the cell.
The JSON follows the schema {schema}.
)help"},
        {"compare",
         {{"--json"}},
         true,
         R"help(Usage: vexogauge-cli compare [--json] FILE...
Groups the files' records by name (repeated runs "NAME (run K of N)" as one) and prints per
score each group's median, lowest and highest value and spread, and its ratio to the first
group, the baseline.
)help"},
        {"report",
         {{"-o", OptionValue::File},
          {"--output", OptionValue::File},
          {"--baseline", OptionValue::Text}},
         true,
         R"help(Usage: vexogauge-cli report -o OUT [--baseline N] FILE...
Writes one HTML page (no script, nothing fetched) with a bar chart per score and each record's
system and tasks; --baseline N draws every bar as a percentage of record N (the "#" of dump).
)help"},
    };
    return all;
}

const CommandSpec* findCommand(std::string_view name) {
    const std::vector<CommandSpec>& all = commands();
    const auto found =
        std::find_if(all.begin(), all.end(), [&](const CommandSpec& c) { return c.name == name; });
    return found == all.end() ? nullptr : &*found;
}

ArrangedArguments arrangeArguments(const std::vector<std::string>& args,
                                   const CommandSpec& command) {
    const std::vector<OptionSpec>& options = command.options;
    ArrangedArguments result;
    std::vector<std::string>& operands = result.operands;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            // "-" alone is an operand too (by custom, standard input or output).
            operands.push_back(optionsEnded && arg.size() > 1 && arg[0] == '-' ? "./" + arg : arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            result.help = true;
            continue;
        }
        if (arg == "--version") {
            result.version = true;
            continue;
        }
        const std::string_view name = std::string_view(arg).substr(0, arg.find('='));
        const auto spec = std::find_if(options.begin(), options.end(),
                                       [&](const OptionSpec& o) { return o.name == name; });
        if (spec == options.end()) {
            result.error = "unknown option '" + std::string(name) + "'";
            return result;
        }
        const bool inlineValue = name.size() < arg.size();
        if (!spec->takesValue() && inlineValue) {
            result.error = "option '" + std::string(name) + "' takes no value";
            return result;
        }
        // A flag given twice means what it means once.
        if (!spec->takesValue() &&
            std::find(result.options.begin(), result.options.end(), arg) != result.options.end())
            continue;
        result.options.push_back(arg);
        if (spec->takesValue() && !inlineValue) {
            if (i + 1 >= args.size()) {
                result.error = "option '" + std::string(name) + "' needs a value";
                return result;
            }
            result.options.push_back(args[++i]);
        }
    }
    if (!command.takesOperands && !operands.empty())
        result.error = "unexpected argument '" + operands.front() + "'";
    return result;
}

std::vector<std::string> ArrangedArguments::ordered() const {
    std::vector<std::string> all = options;
    all.insert(all.end(), operands.begin(), operands.end());
    return all;
}

} // namespace vexo
