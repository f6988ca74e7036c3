#include "RunCommand.h"

#include "benchfile/BenchmarkFile.h"
#include "cli/TerminalDialogs.h"
#include "common/AppState.h"
#include "common/Direct3DOptions.h"
#include "common/Text.h"
#include "engine/Benchmark.h"
#include "engine/RunTexts.h"
#include "sysinfo/SystemInfo.h"
#include "wizard/ScoreCard.h"

#include <array>
#include <chrono>
#include <ctime>
#include <iostream>

namespace vexo {

namespace {

constexpr const char* kClearLine = "\r\033[K";

// The run page on a terminal: each line is printed when it changes. On an interactive
// terminal a progress line is kept below them, redrawn at the run's yields (never inside a
// measurement, which does not yield).
class TerminalRunPage final : public RunPageView, public MessagePump {
public:
    TerminalRunPage(std::ostream& out, bool interactive, const RunState& run)
        : m_out(out)
        , m_interactive(interactive)
        , m_run(run) {}

    void setFrameText(int index, const std::string& text) override {
        std::string& shown = m_lines.at(index - StatusLine);
        if (shown == text)
            return;
        shown = text;
        clearProgress();
        m_out << text << '\n' << std::flush;
        if (index == ProgressLine)
            m_phaseStart = Clock::now();
        m_activity.clear();
        drawProgress();
    }

    void setBenchImage(int, int) override {}

    void measurementStarting(int seconds) override {
        if (!m_interactive)
            return;
        const std::time_t until = std::time(nullptr) + seconds + 1;
        std::tm local{};
        localtime_r(&until, &local);
        char clock[16];
        std::strftime(clock, sizeof clock, "%H:%M:%S", &local);
        m_activity = "measuring for " + std::to_string(seconds) + " s, until about " + clock +
                     " (the display pauses meanwhile)";
        drawProgress();
    }

    void yield() override {
        if (!m_interactive)
            return;
        // Yields come as often as once per character of a block being built: redraw a few
        // times a second at most.
        const auto now = Clock::now();
        if (now - m_lastDraw >= std::chrono::milliseconds(200))
            drawProgress();
    }

    void finish() { clearProgress(); }

private:
    using Clock = std::chrono::steady_clock;

    void clearProgress() {
        if (m_interactive && m_progressShown)
            m_out << kClearLine << std::flush;
        m_progressShown = false;
    }

    void drawProgress() {
        if (!m_interactive || m_run.PhaseCount == 0)
            return;
        m_lastDraw = Clock::now();
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::seconds>(m_lastDraw - m_phaseStart).count();
        const int phase = std::min<int>(m_run.CurrentPhase, m_run.PhaseCount);
        m_out << kClearLine << "[phase " << phase << " of " << m_run.PhaseCount << ", " << elapsed
              << " s] " << m_activity << std::flush;
        m_progressShown = true;
    }

    std::ostream& m_out;
    bool m_interactive;
    const RunState& m_run;
    std::array<std::string, 4> m_lines;
    std::string m_activity;
    Clock::time_point m_phaseStart = Clock::now();
    Clock::time_point m_lastDraw{};
    bool m_progressShown = false;
};

// The choices of a Direct3D option: its captions (or the colour depth's bits, or the texture
// quality in small letters), or the index itself.
std::vector<std::string> choicesOf(const std::string& option) {
    std::vector<std::string> choices;
    if (option == "--resolution")
        choices.assign(kResolutionCaptions.begin(), kResolutionCaptions.end());
    else if (option == "--depth")
        choices = {"16", "24", "32"};
    else
        choices = {"low", "medium", "high"};
    return choices;
}

std::optional<std::int16_t> direct3DOptionIndex(const std::string& option,
                                                const std::string& value) {
    const std::vector<std::string> choices = choicesOf(option);
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (value == choices[i] || value == std::to_string(i) ||
            (option == "--texture" && compareText(value, choices[i]) == 0))
            return static_cast<std::int16_t>(i);
    }
    return std::nullopt;
}

std::string direct3DOptionChoices(const std::string& option) {
    std::string text;
    for (const std::string& choice : choicesOf(option))
        text += (text.empty() ? "" : ", ") + choice;
    return text + " (or their number from 0)";
}

bool takeValue(const std::vector<std::string>& args, std::size_t& i, const std::string& option,
               std::string& value, std::ostream& err) {
    const std::string& arg = args[i];
    if (arg.size() > option.size() && arg.compare(0, option.size() + 1, option + "=") == 0) {
        value = arg.substr(option.size() + 1);
        return true;
    }
    if (i + 1 >= args.size()) {
        err << "vexogauge-cli run: " << option << " needs a value\n";
        return false;
    }
    value = args[++i];
    return true;
}

} // namespace

std::optional<RunOptions> parseRunOptions(const std::vector<std::string>& args, std::ostream& err) {
    RunOptions options;
    Selections& s = options.selections;
    bool anyChosen = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto choose = [&](Flag& group, Flag& benchmark) {
            group = True;
            benchmark = True;
            anyChosen = true;
        };
        if (arg == "--cpu") {
            choose(s.HardwareSelected, s.CPUSelected);
        } else if (arg == "--fpu") {
            choose(s.HardwareSelected, s.FPUSelected);
        } else if (arg == "--spreadsheet") {
            choose(s.SoftwareSelected, s.SpreadsheetSelected);
        } else if (arg == "--business") {
            choose(s.SoftwareSelected, s.BusinessSelected);
        } else if (arg == "--imaging") {
            choose(s.SoftwareSelected, s.ImagingSelected);
        } else if (arg == "--all") {
            choose(s.HardwareSelected, s.CPUSelected);
            choose(s.HardwareSelected, s.FPUSelected);
            choose(s.HardwareSelected, s.Direct3DSelected);
            choose(s.SoftwareSelected, s.SpreadsheetSelected);
            choose(s.SoftwareSelected, s.BusinessSelected);
            choose(s.SoftwareSelected, s.ImagingSelected);
        } else if (arg == "--name" || arg.rfind("--name=", 0) == 0) {
            std::string name;
            if (!takeValue(args, i, "--name", name, err))
                return std::nullopt;
            if (const auto problem = benchmarkNameProblem(name)) {
                err << "vexogauge-cli run: the name \"" << name << "\" is refused: " << *problem
                    << '\n';
                return std::nullopt;
            }
            options.name = std::move(name);
        } else if (arg == "--d3d") {
            choose(s.HardwareSelected, s.Direct3DSelected);
        } else if (arg == "--resolution" || arg.rfind("--resolution=", 0) == 0 ||
                   arg == "--depth" || arg.rfind("--depth=", 0) == 0 || arg == "--texture" ||
                   arg.rfind("--texture=", 0) == 0) {
            const std::string option = arg.substr(0, arg.find('='));
            std::string value;
            if (!takeValue(args, i, option, value, err))
                return std::nullopt;
            const auto index = direct3DOptionIndex(option, value);
            if (!index) {
                err << "vexogauge-cli run: " << option << " " << value << " is not one of "
                    << direct3DOptionChoices(option) << '\n';
                return std::nullopt;
            }
            (option == "--resolution" ? s.ScreenResolution
             : option == "--depth"    ? s.ScreenColorDepth
                                      : s.TextureQuality) = *index;
        } else if (arg == "--out" || arg.rfind("--out=", 0) == 0) {
            std::string path;
            if (!takeValue(args, i, "--out", path, err))
                return std::nullopt;
            options.out = std::move(path);
        } else {
            err << "vexogauge-cli run: unknown option " << arg << '\n';
            return std::nullopt;
        }
    }
    if (!anyChosen) {
        err << "vexogauge-cli run: choose at least one benchmark "
               "(--cpu, --fpu, --spreadsheet, --business, --imaging or --all)\n";
        return std::nullopt;
    }
    return options;
}

int runBenchmarks(const RunOptions& options, const Folders& folders, RunEnvironment environment,
                  RunTerminal terminal) {
    AppState state;
    state.selections = options.selections;
    state.folders = folders;

    TerminalRunPage page(terminal.out, terminal.interactive, state.run);
    TerminalDialogs dialogs(terminal.in, terminal.out, terminal.err);
    if (options.name)
        dialogs.answerInAdvance(*options.name);
    dialogs.beforeOutput([&page] { page.finish(); });

    SystemInfo info(environment.system, dialogs);
    benchfile::EngineWriter writer(state, info, environment.tasks, {});
    BenchmarkDatabase database;
    benchfile::DatabaseImporter importer(database, dialogs);
    std::unique_ptr<TunnelStage> tunnel =
        environment.tunnel ? environment.tunnel(state, environment.clock, page, dialogs) : nullptr;
    Benchmark benchmark(state, RunServices{environment.clock, page, dialogs, page},
                        RunHandOffs{tunnel.get(), &writer, &importer, options.out.value_or("")});

    benchmark.Reset_Scores();
    benchmark.Count_Phases();
    benchmark.Throttle_System();
    const RunOutcome outcome = benchmark.Run_Benchmarks();
    page.finish();

    if (outcome == RunOutcome::NoName) {
        terminal.err << "vexogauge-cli run: standard input ended before an acceptable name was "
                        "given; the run was not saved\n";
        return 1;
    }
    terminal.out << '\n'
                 << "Benchmark: " << state.run.BenchmarkName << '\n'
                 << throttlingSentence(state.run.ThrottleTries) << '\n'
                 << crToNewline(scoreLines(state.scores));
    if (tunnel != nullptr && !tunnel->frameTimeSummary().empty())
        terminal.out << tunnel->frameTimeSummary() << '\n';
    terminal.out << std::flush;
    if (outcome == RunOutcome::NotSaved) {
        terminal.err << "vexogauge-cli run: the run was not saved: " << writer.lastError() << '\n';
        return 1;
    }
    if (const std::size_t substituted = writer.substitutedCharacters(); substituted > 0) {
        terminal.err << "vexogauge-cli run: " << substituted
                     << " character(s) of the name or the task titles cannot be held by a "
                        "benchmark file and were stored as \"?\"\n";
    }
    if (outcome == RunOutcome::Saved &&
        importer.lastResult().outcome != benchfile::ImportResult::Outcome::Loaded) {
        terminal.err << "vexogauge-cli run: the saved file " << importer.lastPath()
                     << " could not be read back: " << importer.lastResult().detail << '\n';
        return 1;
    }
    return 0;
}

} // namespace vexo
