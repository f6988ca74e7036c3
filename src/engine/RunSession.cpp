#include "RunSession.h"

#include "common/Text.h"
#include "engine/RunTexts.h"

#include <algorithm>

namespace vexo {

std::vector<ScoreSet> RunReport::scores() const {
    std::vector<ScoreSet> all;
    for (const Repetition& repetition : repetitions)
        all.push_back(repetition.scores);
    return all;
}

bool RunReport::measured() const {
    return std::ranges::any_of(repetitions, [](const Repetition& repetition) {
        return std::ranges::count(repetition.outcomes, PhaseOutcome::Measured) > 0;
    });
}

RunSession::RunSession(AppState& state, RunServices services, RunHandOffs handOffs)
    : m_state(state)
    , m_services(services)
    , m_handOffs(std::move(handOffs))
    , m_benchmark(state, services, m_handOffs.tunnel) {}

RunReport RunSession::run(int repetitions) {
    RunReport report;
    m_benchmark.Reset_Scores();
    m_benchmark.Count_Phases();
    m_benchmark.Throttle_System();
    report.throttleTries = m_state.run.ThrottleTries;
    report.throttleLosses = m_benchmark.throttleLosses();
    Run_Benchmarks(repetitions, report);
    m_state.run.outcome = report.outcome;
    m_state.run.resultFile = report.file;
    return report;
}

void RunSession::Run_Benchmarks(int repetitions, RunReport& report) {
    // Each repetition runs the phases that follow the throttling, numbered as the first did.
    const std::int16_t firstPhase = m_state.run.CurrentPhase;
    for (int k = 1; k <= repetitions; ++k) {
        if (k > 1) {
            m_state.scores = ScoreSet{};
            m_state.run.CurrentPhase = firstPhase;
        }
        if (repetitions > 1)
            m_services.page.repetitionStarting(k, repetitions);
        m_benchmark.runChosenPhases();
        report.repetitions.push_back({m_state.scores, m_state.run.outcomes});
        m_benchmark.showCompletion(report.measured());
    }
    // A run that measured nothing has nothing worth a name, and must not replace a file
    // that holds a real result.
    if (!report.measured()) {
        report.outcome = RunOutcome::NothingMeasured;
        return;
    }
    if (!askName()) {
        setStatus(texts::NotSavedNoName);
        report.outcome = RunOutcome::NoName;
        return;
    }
    report.name = m_state.run.BenchmarkName;
    report.outcome = saveAndHandOff(report);
}

bool RunSession::askName() {
    const std::string prompt = std::string(texts::NamePromptFirst) + CR + texts::NamePromptSecond;
    for (;;) {
        const std::optional<std::string> answer = m_services.dialogs.inputBox(
            prompt, texts::NameTitle, "", texts::NameBoxLeftTwips, texts::NameBoxTopTwips);
        if (!answer)
            return false;
        m_state.run.BenchmarkName = *answer;
        const auto problem = benchmarkNameProblem(*answer);
        if (!problem)
            return true;
        m_services.dialogs.messageBox(std::string(*problem), MsgStyle::Exclamation,
                                      kApplicationTitle);
    }
}

RunOutcome RunSession::saveAndHandOff(RunReport& report) {
    if (m_handOffs.saver == nullptr) {
        setStatus(texts::NotSavedNoWriter);
        return RunOutcome::NotSaved;
    }
    report.file = m_handOffs.resultFile.empty()
                      ? resultsFile(m_state.folders, texts::LastBenchmarkFile)
                      : m_handOffs.resultFile;
    const std::vector<ScoreSet> scores = report.scores();
    report.saved = m_handOffs.saver->Save_Benchmark_File(report.file,
                                                         {report.name, scores, m_state.selections});
    if (!report.saved) {
        m_services.problems.reportProblem(
            "The benchmark could not be saved to the file:" + std::string(1, CR) + report.file);
        setStatus(texts::NotSavedFailed);
        return RunOutcome::NotSaved;
    }
    report.substituted = m_handOffs.saver->substitutedCharacters();
    if (report.substituted > 0)
        setStatus(texts::SavedWithSubstitutes);
    m_services.pump.yield();
    if (m_handOffs.importer)
        m_handOffs.importer(report.file);
    else
        setStatus(texts::SavedNotImported);
    return RunOutcome::Saved;
}

void RunSession::setStatus(const char* text) {
    m_services.page.setLine(RunPageView::StatusLine, text);
}

} // namespace vexo
