#include "CommandLine.h"
#include "FileCommands.h"
#include "Output.h"
#include "RunCommand.h"
#include "SysinfoCommand.h"
#include "TasksCommand.h"
#include "TerminalDialogs.h"
#include "common/AppState.h"
#include "common/FileIo.h"
#include "common/Text.h"
#include "platform/MemorySettingsStore.h"
#include "platform/linux/LinuxPaths.h"
#include "platform/linux/LinuxSecondsClock.h"
#include "platform/linux/LinuxSystemQueries.h"
#include "platform/linux/SessionPlatform.h"
#include "platform/linux/SessionWindowSystem.h"
#include "platform/linux/XcbWindowSystem.h"
#include "report/Report.h"
#include "sysinfo/SystemInfo.h"
#include "taskman/TaskManager.h"
#include "taskman/TaskTitles.h"

#ifdef VEXO_HAS_TUNNEL
#include "tunnel/ui/QtTunnelStage.h"

#include <QGuiApplication>
#endif

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <memory>
#include <unistd.h>

namespace {

// Nothing is asked for or started from the terminal.
class NoPrograms final : public vexo::FileDialogs, public vexo::ProgramStarter {
public:
    std::optional<std::string> openFile(const vexo::FileDialogRequest&) override { return {}; }
    std::optional<std::string> saveFile(const vexo::FileDialogRequest&) override { return {}; }
    bool startProgram(const std::string&) override { return false; }
};

class NoPump final : public vexo::MessagePump {
public:
    void yield() override {}
};

constexpr const char* kUsage = R"usage(Usage: vexogauge-cli COMMAND [OPTIONS] [FILE...]
Runs VexoGAUGE 2002 benchmarks in this terminal and inspects benchmark files.

Commands:
  run BENCHMARK... [OPTIONS]
                       Run benchmarks (--cpu --fpu --spreadsheet --business --imaging --d3d
                       or --all) and print the score card; run --help lists its options.
  sysinfo [--json]     Print the description of this machine that a benchmark run stores
                       (--json: typed, as every command's JSON).
  tasks [--all]        List the application tasks (visible titled windows, top first) with
                       their handles, as a benchmark run records them (--all: the system
                       processes instead, every titled window, hidden ones too).
  dump [--json] FILE...
                       Import the benchmark files in order into one database, as the result
                       browser's Import does, and print it (--json: as one JSON object).
  check FILE...        Say for each file whether it is a valid and complete benchmark file.
  merge [--force] OUT FILE...
                       Import the files into one database and save it to OUT, as the result
                       browser's Save does (--force: even over a file not among them).
  export --csv|--json FILE...
                       One row per record with every score, system value and task.
  compare [--json] FILE...
                       Group the files' records by name (repeated runs "NAME (run K of N)"
                       as one) and print per score each group's median, lowest and highest
                       value and spread, and the ratio of its median to the first group's,
                       the baseline, with a 95 % rank-based interval: "different" only when
                       it excludes 100 %; a group of fewer than 3 runs is not tested.
  report -o OUT [--baseline N] FILE...
                       Write one HTML page (no script, nothing fetched) with a bar chart
                       per score, each record's system and tasks; --baseline N draws every
                       bar as a percentage of record N (the "#" of dump) or its run group.
  help                 Show this text; COMMAND --help shows a command's own.

Options of every command:
  --help, -h           show this text and exit
  --version            show the version and exit
  --                   end of the options: what follows is a file name even if it starts
                       with '-'

Every command's JSON follows one schema, installed as {schema}:
"schema": 2, the command's name, snake-case keys, numbers as numbers, null for a value a record
lacks or a benchmark that did not run. Options may stand before or after the file names. Every
benchmark counts the work done in 31 clock seconds, after the system has been throttled until
it is stable; a run takes from one to several minutes. The exit status is 0 on success, 1 when
a file could not be read or written or a chosen benchmark produced no score, 2 for a command
line that was not understood, and 130 when Ctrl+C ended a run (nothing is saved then).
)usage";

// A help text with the place of the JSON schema, beside the installation files.
std::string helpText(std::string_view text) {
    std::string help(text);
    const std::string schema = vexo::appFolder() + "vexogauge-cli.schema.json";
    constexpr std::string_view kPlace = "{schema}";
    for (std::size_t at = help.find(kPlace); at != std::string::npos;
         at = help.find(kPlace, at + schema.size()))
        help.replace(at, kPlace.size(), schema);
    return help;
}

int runCommand(int argc, char** argv) {
    const std::vector<std::string> all(argv + 1, argv + argc);
    if (all.empty()) {
        std::cerr << helpText(kUsage);
        return 2;
    }
    const std::string& command = all[0];
    if (command == "help" || command == "--help" || command == "-h") {
        std::cout << helpText(kUsage);
        return 0;
    }
    if (command == "--version") {
        std::cout << "vexogauge-cli (VexoGAUGE 2002) " VEXO_VERSION "\n";
        return 0;
    }
    const vexo::CommandSpec* spec = vexo::findCommand(command);
    if (spec == nullptr) {
        std::cerr << "vexogauge-cli: unknown " << (command[0] == '-' ? "option" : "command") << " '"
                  << vexo::terminalText(command) << "'\n"
                  << vexo::kHelpHint;
        return 2;
    }
    const vexo::ArrangedArguments arranged =
        vexo::arrangeArguments(std::vector<std::string>(all.begin() + 1, all.end()), *spec);
    if (arranged.help) {
        std::cout << helpText(spec->help)
                  << "\nEvery command also takes --help, --version and --, which ends "
                     "the options.\n";
        return 0;
    }
    if (arranged.version) {
        std::cout << "vexogauge-cli (VexoGAUGE 2002) " VEXO_VERSION "\n";
        return 0;
    }
    if (!arranged.error.empty()) {
        std::cerr << "vexogauge-cli " << command << ": " << vexo::terminalText(arranged.error)
                  << '\n'
                  << vexo::kHelpHint;
        return 2;
    }
    // Every command reads its options first, then its file names.
    std::vector<std::string> args = arranged.ordered();
    args.insert(args.begin(), command);
    if (args[0] == "run") {
        const auto options = vexo::parseRunOptions(
            std::vector<std::string>(args.begin() + 1, args.end()), std::cerr);
        if (!options) {
            std::cerr << vexo::kHelpHint;
            return 2;
        }
        vexo::Folders folders;
        folders.AppFolder = vexo::appFolder();
        folders.ResultsFolder = vexo::resultsFolder(folders.AppFolder);
        vexo::LinuxSecondsClock clock;
        vexo::LinuxProcessor processor;
        vexo::LinuxMemory memory;
        vexo::LinuxOs os;
        vexo::LinuxGraphics graphics;
        vexo::SessionWindowSystem windows;
        vexo::MemorySettingsStore settings;
        vexo::TerminalDialogs quiet(std::cin, std::cout, std::cerr);
        NoPrograms programs;
        NoPump pump;
        vexo::TaskManager taskManager({windows, settings, quiet, programs, programs, pump},
                                      folders.AppFolder);
        vexo::TaskManagerTitles tasks(taskManager);
        const vexo::SystemQueries system{processor, memory, os, graphics};
        vexo::RunEnvironment environment{clock, system, tasks};
#ifdef VEXO_HAS_TUNNEL
        // The tunnel flies in a window of its own, so a display is needed for that phase.
        std::unique_ptr<QGuiApplication> gui;
        const char* display = std::getenv("DISPLAY");
        if (display == nullptr || *display == '\0') {
            environment.noTunnel = "it needs a display, and there is none (DISPLAY is not set)";
        } else if (vexo::isSet(options->selections.Direct3DSelected)) {
            vexo::SessionPlatformChoice platform;
            gui = std::make_unique<QGuiApplication>(argc, argv);
            environment.tunnel = [](vexo::AppState& state, vexo::SecondsClock& c) {
                return std::make_unique<vexo::QtTunnelStage>(state, c);
            };
        }
#endif
        vexo::catchInterrupt();
        // Standard output holds what a script takes: with --json the document alone, with
        // --out /dev/stdout the run's file, else, when it is not a terminal, the saved file's
        // path. The progress and the score card then go to standard error.
        const bool fileToStdout =
            options->out && vexo::namedDescriptor(*options->out) == STDOUT_FILENO;
        if (options->json && fileToStdout) {
            std::cerr << "vexogauge-cli run: --json and --out " << vexo::terminalText(*options->out)
                      << " would both write to standard output\n"
                      << vexo::kHelpHint;
            return 2;
        }
        const bool textToErr = options->json || fileToStdout || isatty(STDOUT_FILENO) != 1;
        std::ostream& text = textToErr ? std::cerr : std::cout;
        const int textFd = textToErr ? STDERR_FILENO : STDOUT_FILENO;
        return vexo::runBenchmarks(
            *options, folders, environment,
            {std::cin, text, std::cerr, isatty(textFd) == 1, isatty(STDIN_FILENO) == 1,
             options->json ? &std::cout : nullptr,
             textToErr && !options->json && !fileToStdout ? &std::cout : nullptr});
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "dump")
        return vexo::dumpCommand(rest, std::cout, std::cerr);
    if (args[0] == "check")
        return vexo::checkCommand(rest, std::cout, std::cerr);
    if (args[0] == "merge") // a person at a terminal is asked before a file is replaced
        return vexo::mergeCommand(rest, std::cout, std::cerr,
                                  isatty(STDIN_FILENO) && isatty(STDERR_FILENO) ? &std::cin
                                                                                : nullptr);
    if (args[0] == "export")
        return vexo::exportCommand(rest, std::cout, std::cerr);
    if (args[0] == "compare")
        return vexo::compareCommand(rest, std::cout, std::cerr);
    if (args[0] == "report")
        return vexo::reportCommand(rest, std::cout, std::cerr,
                                   vexo::report::madeAtText(std::time(nullptr)));
    if (args[0] == "sysinfo") {
        const bool json = args.size() > 1;
        vexo::LinuxProcessor processor;
        vexo::LinuxMemory memory;
        vexo::LinuxOs os;
        vexo::LinuxGraphics graphics;
        vexo::TerminalProblems problems(std::cerr, "vexogauge-cli sysinfo: ");
        vexo::SystemInfo info({processor, memory, os, graphics}, problems);
        vexo::printSystemInfo(info, json, std::cout);
        return 0;
    }
    if (args[0] == "tasks") {
        const bool every = args.size() > 1;
        vexo::SessionWindowSystem windows;
        vexo::MemorySettingsStore settings;
        vexo::TerminalDialogs dialogs(std::cin, std::cout, std::cerr);
        NoPrograms programs;
        NoPump pump;
        vexo::TaskManager taskManager({windows, settings, dialogs, programs, programs, pump},
                                      vexo::appFolder());
        return vexo::printTasks(taskManager, every, std::cout, std::cerr);
    }
    return 2; // every command of the table is handled above
}

} // namespace

int main(int argc, char** argv) {
    vexo::StandardOutput output;
    const int status = runCommand(argc, argv);
    const std::string command = argc > 1 ? argv[1] : "";
    return output.finish(status, vexo::findCommand(command) ? "vexogauge-cli " + command
                                                            : std::string("vexogauge-cli"));
}
