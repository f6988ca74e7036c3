#include "RunCommand.h"

#include "benchfile/BenchmarkFile.h"
#include "cli/CommandLine.h"
#include "cli/Json.h"
#include "cli/TerminalDialogs.h"
#include "common/AppState.h"
#include "common/FileIo.h"
#include "common/Text.h"
#include "engine/EngineWriter.h"
#include "engine/Phases.h"
#include "engine/RunSession.h"
#include "engine/RunTexts.h"
#include "results/Comparison.h"
#include "results/ScoreCard.h"
#include "sysinfo/SystemInfo.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <unistd.h>

namespace vexo {

namespace {

constexpr const char* kClearLine = "\r\033[K";

// Set once the run's file has been written: an interrupt then no longer loses it.
volatile std::sig_atomic_t g_saved = 0;

extern "C" void onInterrupt(int) {
    // Only async-signal-safe calls: the line the progress was on is ended first.
    static constexpr char notSaved[] = "\nvexogauge-cli run: interrupted; nothing was saved\n";
    static constexpr char saved[] =
        "\nvexogauge-cli run: interrupted after the run had been saved\n";
    if (g_saved != 0)
        (void)!::write(STDERR_FILENO, saved, sizeof saved - 1);
    else
        (void)!::write(STDERR_FILENO, notSaved, sizeof notSaved - 1);
    ::_exit(130);
}

// Holds Ctrl+C back while a file is written, so that it is never left half-written.
class InterruptHold {
public:
    InterruptHold() {
        sigset_t interrupt;
        sigemptyset(&interrupt);
        sigaddset(&interrupt, SIGINT);
        sigprocmask(SIG_BLOCK, &interrupt, &m_previous);
    }
    ~InterruptHold() { sigprocmask(SIG_SETMASK, &m_previous, nullptr); }
    InterruptHold(const InterruptHold&) = delete;
    InterruptHold& operator=(const InterruptHold&) = delete;

private:
    sigset_t m_previous{};
};

// Saves the run to the target looked at before it (a pipe or a device was opened then and is
// held), with Ctrl+C held back; keeps the bytes written.
Status saveRun(SaveTarget& target, std::string_view bytes, std::string& written) {
    const InterruptHold hold;
    written = bytes;
    Status saved = target.save(written);
    if (saved)
        g_saved = 1;
    return saved;
}

// Reads the saved run back as the result browser would: from its file, or, where it was
// written through a pipe, a device or standard output, from the bytes written there.
class ReadBack final {
public:
    ReadBack(const SaveTarget& target, const std::string& written)
        : m_target(target)
        , m_written(written) {}
    void Import_Saved_Benchmark(const std::string& path) {
        m_result = m_target.writesThrough() ? benchfile::importBytes(m_written, path, m_database)
                                            : benchfile::Import_Saved_Benchmark(path, m_database);
    }
    const benchfile::ImportResult& lastResult() const { return m_result; }
    const BenchmarkDatabase& database() const { return m_database; }

private:
    const SaveTarget& m_target;
    const std::string& m_written;
    BenchmarkDatabase m_database;
    benchfile::ImportResult m_result;
};

// The run page on a terminal: its status, progress and estimate lines, each printed when it
// changes; the phases are numbered across every repetition of a repeated run. The page's
// descriptions are written for the wizard's window ("Click the next button ...") and are left
// out. On an interactive terminal a progress line is kept below them, redrawn at the run's
// yields (never inside a measurement, which does not yield).
class TerminalRunPage final : public RunPageView, public MessagePump {
public:
    TerminalRunPage(std::ostream& out, bool interactive, const RunState& run, int repetitions)
        : m_out(out)
        , m_interactive(interactive)
        , m_run(run)
        , m_repetitions(repetitions) {}

    void setLine(Line line, const std::string& raw) override {
        if (line == DescriptionLine)
            return;
        const std::string text = line == ProgressLine
                                     ? texts::ProgressPrefix + std::to_string(phase()) +
                                           texts::ProgressOf + std::to_string(phaseCount())
                                     : raw;
        std::string& shown = m_lines.at(static_cast<std::size_t>(line));
        if (shown == text)
            return;
        shown = text;
        clearProgress();
        m_out << text << '\n' << std::flush;
        if (line == ProgressLine)
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

    // A repetition of the phases begins: said on its own line, with the time left, and kept in
    // the progress line.
    void repetitionStarting(int k, int n) override {
        const auto now = Clock::now();
        if (k == 1)
            m_repetitionsStart = now;
        // Until one repetition has been timed: about 35 s a phase.
        const std::chrono::seconds perRun =
            k == 1 ? std::chrono::seconds(35 * std::max(1, m_run.PhaseCount - 1))
                   : std::chrono::duration_cast<std::chrono::seconds>(now - m_repetitionsStart) /
                         (k - 1);
        const long long minutes = (perRun.count() * (n - k + 1) + 59) / 60;
        m_repetition = "run " + std::to_string(k) + " of " + std::to_string(n) + ", ";
        m_repetitionsBefore = k - 1;
        clearProgress();
        m_out << "Repetition " << k << " of " << n << " (about " << minutes << " min left)\n"
              << std::flush;
        drawProgress();
    }

private:
    using Clock = std::chrono::steady_clock;

    // The phase the run is in, counted over every repetition: the throttling once, then the
    // chosen phases of each repetition.
    int phase() const {
        const int current = std::min<int>(m_run.CurrentPhase, m_run.PhaseCount);
        return current <= 1 ? current : m_repetitionsBefore * (m_run.PhaseCount - 1) + current;
    }
    int phaseCount() const { return 1 + m_repetitions * (m_run.PhaseCount - 1); }

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
        m_out << kClearLine << "[" << m_repetition << "phase " << phase() << " of " << phaseCount()
              << ", " << elapsed << " s] " << m_activity << std::flush;
        m_progressShown = true;
    }

    std::ostream& m_out;
    bool m_interactive;
    const RunState& m_run;
    std::array<std::string, kLineCount> m_lines;
    std::string m_activity;
    std::string m_repetition;
    int m_repetitionsBefore = 0;
    int m_repetitions;
    Clock::time_point m_phaseStart = Clock::now();
    Clock::time_point m_repetitionsStart{};
    Clock::time_point m_lastDraw{};
    bool m_progressShown = false;
};

// The choices of a Direct3D option as its table gives them (the resolution's captions, the
// colour depth's bits, the texture quality in small letters).
std::vector<std::string> choicesOf(const std::string& option) {
    for (const OptionSpec& spec : findCommand("run")->options) {
        if (spec.name == option)
            return {spec.choices.begin(), spec.choices.end()};
    }
    return {};
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

// The measured values of one score over repeated runs: a run that scored 0 did not measure it.
std::vector<double> measuredValues(const std::vector<ScoreSet>& runs, std::size_t score) {
    std::vector<double> values;
    for (const ScoreSet& scores : runs) {
        if (const std::int64_t value = scores.*kScoreFields[score].member; value != 0)
            values.push_back(static_cast<double>(value));
    }
    return values;
}

// Each chosen score of repeated runs as the terminal's table gives it: how many runs measured
// it, their median, lowest and highest value, spread and the interval of the median (null
// below three runs), each null when no run measured it.
json::Json repeatedJson(const std::vector<ScoreSet>& runs, const Selections& selections) {
    json::Json scores = json::Json::array();
    for (std::size_t i = 0; i < kScoreFields.size(); ++i) {
        if (!phaseChosen(selections, i))
            continue;
        std::vector<double> values = measuredValues(runs, i);
        const auto interval = comparison::medianInterval(values);
        const comparison::Summary s = comparison::summarize(std::move(values));
        const auto measured = [&s](double value) {
            return s.count > 0 ? json::Json(value) : json::Json(nullptr);
        };
        scores.push_back({{"score", std::string(kScoreFields[i].name)},
                          {"count", s.count},
                          {"median", measured(s.median)},
                          {"lowest", measured(s.lowest)},
                          {"highest", measured(s.highest)},
                          {"spread", measured(s.spread())},
                          {"interval", interval ? json::Json{{"low", interval->low},
                                                             {"high", interval->high},
                                                             {"confidence", interval->confidence}}
                                                : json::Json(nullptr)}});
    }
    return {{"runs", runs.size()}, {"scores", std::move(scores)}};
}

// The finished run as JSON, where it was asked for: whether it was saved, where, the records
// as read back from the file, each chosen benchmark that gave no score with why, and for
// repeated runs each score's statistics.
void writeRunJson(const RunTerminal& terminal, const RunState& run, const std::string* file,
                  const BenchmarkDatabase& readBack, json::Json repeated = nullptr) {
    if (terminal.json == nullptr)
        return;
    json::Json document = json::document("run");
    document["saved"] = file != nullptr;
    document["file"] = file ? json::Json(*file) : json::Json(nullptr);
    json::Json records = json::Json::array();
    if (file) {
        for (const BenchmarkRecord& record : readBack.records())
            records.push_back(json::record(record));
    }
    document["records"] = std::move(records);
    json::Json missing = json::Json::array();
    for (std::size_t i = 0; i < run.outcomes.size(); ++i) {
        if (const std::string_view reason = phaseOutcomeReason(run.outcomes[i]); !reason.empty())
            missing.push_back(
                {{"score", std::string(kScoreFields[i].name)}, {"reason", std::string(reason)}});
    }
    document["missing"] = std::move(missing);
    if (!repeated.is_null())
        document["repeated"] = std::move(repeated);
    *terminal.json << json::text(document) << std::flush;
}

// Says where the run was saved, once the file was read back whole.
void sayWhereSaved(const RunTerminal& terminal, const std::string& path) {
    terminal.out << "Saved to " << terminalText(path) << " and read back whole.\n";
    if (terminal.savedPath != nullptr)
        *terminal.savedPath << path << '\n' << std::flush;
}

// Presents a finished run: the score card (of the medians, with each score's statistics, for a
// repeated run), where it was saved, what went wrong on standard error, and the JSON document
// where it was asked for. Returns the exit status.
int presentRun(const RunReport& report, const AppState& state, const ReadBack& readBack,
               const RunTerminal& terminal, const std::string& frameTimes) {
    const std::vector<ScoreSet> runs = report.scores();
    const bool repeated = runs.size() > 1;
    json::Json statistics = repeated ? repeatedJson(runs, state.selections) : json::Json(nullptr);
    const std::string missing = crToNewline(missingScoreLines(state.run));
    std::ostream& err = terminal.err;
    if (report.outcome == RunOutcome::NothingMeasured) {
        err << "vexogauge-cli run: nothing was measured; no file was written\n" << missing;
        writeRunJson(terminal, state.run, nullptr, readBack.database(), std::move(statistics));
        return 1;
    }
    const char* which = repeated ? "the runs were" : "the run was";
    if (report.outcome == RunOutcome::NoName) {
        err << "vexogauge-cli run: standard input ended before an acceptable name was given; "
            << which << " not saved\n";
        return 1;
    }
    std::ostream& out = terminal.out;
    out << '\n' << "Benchmark: " << terminalText(report.name);
    if (repeated)
        out << ", " << runs.size() << " runs";
    out << '\n' << throttlingSentence(report.throttleTries) << '\n';
    if (repeated)
        out << '\n'
            << repetitionTable(runs, state.selections) << '\n'
            << "Score card of the medians:\n"
            << crToNewline(scoreLines(medianScores(runs)));
    else
        out << crToNewline(scoreLines(runs.front()));
    out << missing;
    if (!frameTimes.empty())
        out << frameTimes << '\n';
    out << std::flush;
    if (report.outcome == RunOutcome::NotSaved) {
        err << "vexogauge-cli run: " << which
            << " not saved: " << terminalText(report.saved.message()) << '\n';
        return 1;
    }
    if (report.substituted > 0) {
        err << "vexogauge-cli run: " << report.substituted
            << " character(s) of the name or the task titles cannot be held by a benchmark file "
               "and were stored as \"?\"\n";
    }
    const benchfile::ImportResult& imported = readBack.lastResult();
    if (!imported.loaded() || imported.recordsAdded != runs.size()) {
        err << "vexogauge-cli run: the saved file " << terminalText(report.file)
            << " could not be read back: " << terminalText(imported.detail) << '\n';
        return 1;
    }
    sayWhereSaved(terminal, report.file);
    writeRunJson(terminal, state.run, &report.file, readBack.database(), std::move(statistics));
    if (!missing.empty()) {
        err << "vexogauge-cli run: a chosen benchmark produced no score\n";
        return 1;
    }
    return 0;
}

} // namespace

std::string repetitionTable(const std::vector<ScoreSet>& runs, const Selections& selections) {
    char line[192];
    std::snprintf(line, sizeof line, "%-16s %12s %12s %12s %8s  %s\n", "Score", "Median", "Lowest",
                  "Highest", "Spread", "Interval of the median");
    std::string table = line;
    for (std::size_t i = 0; i < kScoreFields.size(); ++i) {
        if (!phaseChosen(selections, i))
            continue;
        std::vector<double> values = measuredValues(runs, i);
        if (values.empty()) {
            std::snprintf(line, sizeof line, "%-16s %12s\n", std::string(scoreLabel(i)).c_str(),
                          "not run");
            table += line;
            continue;
        }
        const std::string interval = comparison::medianIntervalText(values);
        const comparison::Summary summary = comparison::summarize(std::move(values));
        std::snprintf(line, sizeof line, "%-16s %12.0f %12.0f %12.0f %7.1f%%  %s\n",
                      std::string(scoreLabel(i)).c_str(), summary.median, summary.lowest,
                      summary.highest, 100 * summary.spread(), interval.c_str());
        table += line;
    }
    return table;
}

ScoreSet medianScores(const std::vector<ScoreSet>& runs) {
    ScoreSet medians;
    for (const ScoreField& field : kScoreFields) {
        std::vector<double> values;
        for (const ScoreSet& scores : runs)
            values.push_back(static_cast<double>(scores.*field.member));
        medians.*field.member = static_cast<std::int64_t>(
            std::llround(comparison::summarize(std::move(values)).median));
    }
    return medians;
}

// The options that choose benchmarks, each with the score whose phase it chooses (with the
// phases that share its flags); --all chooses every phase.
struct BenchmarkOption {
    std::string_view name;
    std::int64_t ScoreSet::*score;
};
constexpr BenchmarkOption kBenchmarkOptions[] = {
    {"--cpu", &ScoreSet::BMCPUh},
    {"--fpu", &ScoreSet::BMFPUh},
    {"--d3d", &ScoreSet::BMDR3D},
    {"--spreadsheet", &ScoreSet::BMSSA},
    {"--business", &ScoreSet::BMBSA},
    {"--imaging", &ScoreSet::BMISA},
    {"--all", nullptr},
};

std::optional<RunOptions> parseRunOptions(const std::vector<std::string>& args, std::ostream& err) {
    RunOptions options;
    Selections& s = options.selections;
    bool anyChosen = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // Chooses the phase of a score, or every phase, with their groups.
        auto choose = [&](std::int64_t ScoreSet::*score) {
            for (const Phase& phase : kPhases) {
                if (score == nullptr || phase.score == score)
                    s.*phase.groupFlag = s.*phase.flag = True;
            }
            anyChosen = true;
        };
        const auto benchmark =
            std::ranges::find(kBenchmarkOptions, std::string_view(arg), &BenchmarkOption::name);
        if (arg == "--json") {
            options.json = true;
        } else if (benchmark != std::end(kBenchmarkOptions)) {
            choose(benchmark->score);
        } else if (arg == "--name" || arg.rfind("--name=", 0) == 0) {
            std::string name;
            if (!takeValue(args, i, "--name", name, err))
                return std::nullopt;
            if (const auto problem = benchmarkNameProblem(name)) {
                err << "vexogauge-cli run: the name \"" << terminalText(name)
                    << "\" is refused: " << *problem << '\n';
                return std::nullopt;
            }
            options.name = std::move(name);
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
        } else if (arg == "--repeat" || arg.rfind("--repeat=", 0) == 0) {
            std::string value;
            if (!takeValue(args, i, "--repeat", value, err))
                return std::nullopt;
            int count = 0;
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), count);
            if (error != std::errc() || end != value.data() + value.size() || count < 2 ||
                count > kMaxRepeat) {
                err << "vexogauge-cli run: --repeat " << value << " is not a number from 2 to "
                    << kMaxRepeat << '\n';
                return std::nullopt;
            }
            options.repeat = count;
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
               "(--cpu, --fpu, --d3d, --spreadsheet, --business, --imaging or --all)\n";
        return std::nullopt;
    }
    return options;
}

void catchInterrupt() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

namespace {

// The name from an input that is not a terminal, read before the run: the first line that
// follows the naming rules (the others are refused with their reason).
std::optional<std::string> nameFromInput(std::istream& in, std::ostream& err) {
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto problem = benchmarkNameProblem(line);
        if (!problem)
            return line;
        err << "vexogauge-cli run: the name \"" << terminalText(line)
            << "\" is refused: " << *problem << '\n';
    }
    return std::nullopt;
}

} // namespace

int runBenchmarks(const RunOptions& options, const Folders& folders, RunEnvironment environment,
                  RunTerminal terminal) {
    AppState state;
    state.selections = options.selections;
    state.folders = folders;
    const Selections& s = state.selections;
    const std::string savePath = options.out.value_or(
        (folders.ResultsFolder.empty() ? folders.AppFolder : folders.ResultsFolder) +
        texts::LastBenchmarkFile);

    // What would make the run's end fail is found before the minutes of measuring.
    if (isSet(s.HardwareSelected) && isSet(s.Direct3DSelected) && !environment.tunnel) {
        terminal.err << "vexogauge-cli run: the Direct3D benchmark (--d3d) cannot run: "
                     << environment.noTunnel << "; nothing was run\n";
        return 1;
    }
    // A pipe or a device is opened now and held, so that its reader waits for the run.
    SaveTarget target(savePath);
    if (!target.check()) {
        terminal.err << "vexogauge-cli run: " << terminalText(target.check().message())
                     << "; nothing was run\n";
        return 1;
    }
    std::optional<std::string> name = options.name;
    if (!name && !terminal.inputIsTerminal) {
        name = nameFromInput(terminal.in, terminal.err);
        if (!name) {
            terminal.err << "vexogauge-cli run: no name for the run (standard input is not a "
                            "terminal and gave no acceptable name): give one with --name; "
                            "nothing was run\n";
            return 2;
        }
    }

    TerminalRunPage page(terminal.out, terminal.interactive, state.run, options.repeat);
    TerminalDialogs dialogs(terminal.in, terminal.out, terminal.err);
    if (name)
        dialogs.answerInAdvance(*name);
    dialogs.beforeOutput([&page] { page.finish(); });
    TerminalProblems problems(terminal.err, "vexogauge-cli run: ");
    problems.beforeOutput([&page] { page.finish(); });

    SystemInfo info(environment.system, problems);
    std::string written;
    // The file goes to the target looked at before the run.
    EngineWriter writer(info, environment.tasks,
                        [&target, &written](const std::string&, std::string_view bytes) {
                            return saveRun(target, bytes, written);
                        });
    ReadBack readBack(target, written);
    std::unique_ptr<TunnelStage> tunnel =
        environment.tunnel ? environment.tunnel(state, environment.clock) : nullptr;
    RunSession session(
        state, RunServices{environment.clock, page, dialogs, page, problems},
        RunHandOffs{tunnel.get(), &writer,
                    [&readBack](const std::string& path) { readBack.Import_Saved_Benchmark(path); },
                    savePath});
    const RunReport report = session.run(options.repeat);
    page.finish();
    return presentRun(report, state, readBack, terminal,
                      tunnel != nullptr ? tunnel->frameTimeSummary() : std::string());
}

} // namespace vexo
