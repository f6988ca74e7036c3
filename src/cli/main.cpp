#include "FileCommands.h"
#include "RunCommand.h"
#include "SysinfoCommand.h"
#include "TasksCommand.h"
#include "TerminalDialogs.h"
#include "common/AppState.h"
#include "platform/MemorySettingsStore.h"
#include "platform/linux/LinuxPaths.h"
#include "platform/linux/LinuxSecondsClock.h"
#include "platform/linux/LinuxSystemQueries.h"
#include "platform/linux/XcbWindowSystem.h"
#include "sysinfo/SystemInfo.h"
#include "taskman/TaskManager.h"
#include "taskman/TaskTitles.h"

#ifdef VEXO_HAS_TUNNEL
#include "tunnel/ui/QtTunnelStage.h"

#include <QGuiApplication>
#endif

#include <cstdlib>
#include <cstring>
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

constexpr const char* kUsage = R"(Usage: vexogauge-cli COMMAND [OPTIONS]

Commands:
  run      Run benchmarks in this terminal and print the score card.
           --cpu          CPU Cache/FSB and CPU RAM/Chipset
           --fpu          FPU single precision and FPU integer
           --spreadsheet  spreadsheet emulation
           --business     business application emulation
           --imaging      imaging application emulation
           --all          every benchmark
           --name NAME    name of the run (at least 7 characters); asked for when absent
           --d3d          the OpenGL tunnel (needs a display), with
             --resolution 640x480|800x600|1024x768|1280x1024|1600x1200
             --depth 16|24|32 --texture low|medium|high
           --out FILE     write the run to FILE instead of "last benchmark.vgf" in the
                          results folder
  sysinfo  Print the description of this machine that a benchmark run stores.
           --json         the fourteen values by their file keys
  tasks    List the application tasks (visible titled windows, top first) with their handles,
           as a benchmark run records them.
           --all          the system processes instead: every titled window, hidden ones too
  dump [--json] FILE...
           Import the benchmark files in order into one database, as the result
           browser's Import does, and print it (--json: as one JSON object).
  check FILE...
           Say for each file whether it is a valid and complete benchmark file.
  merge OUT FILE...
           Import the files into one database and save it to OUT, as the result
           browser's Save does.
  export --csv|--json FILE...
           One row per record with every score, system value and task.
  help     Show this text.

Every benchmark counts the work done in 31 clock seconds, after the system has been
throttled until it is stable; a run takes from one to several minutes.
)";

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
        std::cout << kUsage;
        return args.empty() ? 2 : 0;
    }
    if (args[0] == "run") {
        const auto options = vexo::parseRunOptions(
            std::vector<std::string>(args.begin() + 1, args.end()), std::cerr);
        if (!options) {
            std::cerr << "Try 'vexogauge-cli help'.\n";
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
        vexo::XcbWindowSystem windows;
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
        if (vexo::isSet(options->selections.Direct3DSelected) && display != nullptr &&
            *display != '\0')
            gui = std::make_unique<QGuiApplication>(argc, argv);
        environment.tunnel = [](vexo::AppState& state, vexo::SecondsClock& c, vexo::MessagePump& p,
                                vexo::Dialogs& d) {
            return std::make_unique<vexo::QtTunnelStage>(state, c, p, d);
        };
#endif
        return vexo::runBenchmarks(*options, folders, environment,
                                   {std::cin, std::cout, std::cerr, isatty(STDOUT_FILENO) == 1});
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "dump")
        return vexo::dumpCommand(rest, std::cout, std::cerr);
    if (args[0] == "check")
        return vexo::checkCommand(rest, std::cout, std::cerr);
    if (args[0] == "merge")
        return vexo::mergeCommand(rest, std::cout, std::cerr);
    if (args[0] == "export")
        return vexo::exportCommand(rest, std::cout, std::cerr);
    if (args[0] == "sysinfo") {
        const bool json = args.size() == 2 && args[1] == "--json";
        if (args.size() > 2 || (args.size() == 2 && !json)) {
            std::cerr << "vexogauge-cli sysinfo: unknown option " << args.back()
                      << "\nTry 'vexogauge-cli help'.\n";
            return 2;
        }
        vexo::LinuxProcessor processor;
        vexo::LinuxMemory memory;
        vexo::LinuxOs os;
        vexo::LinuxGraphics graphics;
        vexo::TerminalDialogs dialogs(std::cin, std::cout, std::cerr);
        vexo::SystemInfo info({processor, memory, os, graphics}, dialogs);
        vexo::printSystemInfo(info, json, std::cout);
        return 0;
    }
    if (args[0] == "tasks") {
        const bool all = args.size() == 2 && args[1] == "--all";
        if (args.size() > 2 || (args.size() == 2 && !all)) {
            std::cerr << "vexogauge-cli tasks: unknown option " << args.back()
                      << "\nTry 'vexogauge-cli help'.\n";
            return 2;
        }
        vexo::XcbWindowSystem windows;
        vexo::MemorySettingsStore settings;
        vexo::TerminalDialogs dialogs(std::cin, std::cout, std::cerr);
        NoPrograms programs;
        NoPump pump;
        vexo::TaskManager taskManager({windows, settings, dialogs, programs, programs, pump},
                                      vexo::appFolder());
        return vexo::printTasks(taskManager, all, std::cout, std::cerr);
    }
    std::cerr << "vexogauge-cli: unknown command " << args[0] << "\nTry 'vexogauge-cli help'.\n";
    return 2;
}
