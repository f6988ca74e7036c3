#include "Benchmark.h"

#include "common/Text.h"
#include "engine/RunTexts.h"

#include <cmath>
#include <limits>

namespace vexo {

namespace {

// Integer part of count / divisor, computed in double precision as the scores always were.
std::int64_t scaledDown(std::int64_t count, double divisor) {
    return static_cast<std::int64_t>(std::floor(static_cast<double>(count) / divisor));
}

std::size_t utf8Length(std::string_view text) {
    std::size_t n = 0;
    for (const unsigned char c : text)
        n += (c & 0xC0) != 0x80;
    return n;
}

} // namespace

std::optional<std::string_view> benchmarkNameProblem(std::string_view name) {
    if (utf8Length(name) < 7)
        return texts::NameTooShort;
    for (const std::string_view sequence : {":;", ">>:", "||"}) {
        if (name.find(sequence) != std::string_view::npos)
            return texts::NameHasSequence;
    }
    if (name.front() == ';')
        return texts::NameLeadingSemicolon;
    return std::nullopt;
}

Benchmark::Benchmark(AppState& state, RunServices services, TunnelStage* tunnel)
    : m_state(state)
    , m_services(services)
    , m_tunnel(tunnel) {}

void Benchmark::Reset_Scores() {
    m_state.scores = ScoreSet{};
    m_state.run.CurrentPhase = 1;
    m_state.run.outcomes.fill(PhaseOutcome::NotSelected);
    m_state.run.outcome = RunOutcome::NotRun;
    m_state.run.resultFile.clear();
    m_services.clock.beginRun();
}

void Benchmark::Count_Phases() {
    // Only the phases that will run are counted: a phase chosen inside an unchosen group does
    // not run, and counting it would leave the progress short of its end.
    int count = 1;
    for (const Phase& phase : kPhases)
        count += phaseChosen(m_state.selections, phase) ? 1 : 0;
    m_state.run.PhaseCount = static_cast<std::int16_t>(count);
}

void Wait_Next_Second(SecondsClock& clock, MessagePump& pump) {
    pump.yield();
    timing::onConcreteClock(clock, [](auto& concrete) { timing::waitNextSecond(concrete); });
}

void Benchmark::Wait_Next_Second() {
    vexo::Wait_Next_Second(m_services.clock, m_services.pump);
}

std::int16_t Benchmark::throttleLoss(std::int64_t previousCount, std::int64_t currentCount) {
    const double change =
        100.0 / static_cast<double>(previousCount) * static_cast<double>(currentCount) - 100.0;
    const double loss = std::abs(std::floor(change));
    constexpr double largest = std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(loss > largest ? largest : loss);
}

void Benchmark::Throttle_System() {
    RunState& run = m_state.run;
    setStatus(texts::ThrottleStatus);
    showProgress();
    setText(RunPageView::EstimateLine, texts::ThrottleEstimate);
    setText(RunPageView::DescriptionLine, texts::ThrottleDescription);

    m_throttleLosses.clear();
    m_throttleLosses.reserve(kThrottleLastTry);
    int stableCount = 0;
    std::int64_t previousCount = 0;
    std::int64_t currentCount = 0;
    for (run.ThrottleTries = 0; run.ThrottleTries <= kThrottleLastTry; ++run.ThrottleTries) {
        Wait_Next_Second();
        currentCount = timing::onConcreteClock(m_services.clock, [](auto& clock) {
            auto nothing = [] {};
            return timing::countSeconds(clock, 1, nothing);
        });

        if (previousCount != 0) {
            const std::int16_t loss = throttleLoss(previousCount, currentCount);
            m_throttleLosses.push_back(loss);
            setStatus("Status: " + std::to_string(loss) +
                      "% percent lost timeslices ( try number: " +
                      std::to_string(run.ThrottleTries) + " / 25 timeout )");
            m_services.pump.yield();
            stableCount = loss == 0 ? stableCount + 1 : 0;
        }
        if (stableCount == 3)
            break;
        previousCount = currentCount;
        currentCount = 0;
    }

    setStatus(run.ThrottleTries == kThrottleTimedOut ? texts::ThrottleTimedOut
                                                     : texts::ThrottleStable);
    ++run.CurrentPhase;
    Wait_Next_Second();
}

void Benchmark::runChosenPhases() {
    m_spfpValue = 0;
    m_state.run.outcomes.fill(PhaseOutcome::NotSelected);
    for (std::size_t i = 0; i < kPhases.size(); ++i) {
        if (phaseChosen(m_state.selections, kPhases[i]))
            runPhase(i);
    }
}

void Benchmark::runPhase(std::size_t index) {
    const Phase& phase = kPhases[index];
    setStatus(phase.status);
    showProgress();
    setText(RunPageView::EstimateLine, phase.estimate);
    setText(RunPageView::DescriptionLine, phase.description);
    m_services.pump.yield();

    Direct3DResult result{PhaseOutcome::Measured, 0, {}};
    std::int64_t& score = m_state.scores.*phase.score;
    if (phase.kernel == Kernel::Tunnel) {
        result = prepareAndRunDirect3D();
        score = result.outcome == PhaseOutcome::Measured ? result.framesPerSecond : 0;
    } else {
        const std::int64_t count = prepareAndMeasure(phase);
        score = phase.divisor == 1 ? count * phase.factor : scaledDown(count, phase.divisor);
    }
    // A benchmark that ran but counted nothing keeps that as its reason.
    m_state.run.outcomes[index] = result.outcome == PhaseOutcome::Measured && score == 0
                                      ? PhaseOutcome::NothingCounted
                                      : result.outcome;

    if (result.outcome != PhaseOutcome::Measured) {
        // Only the tunnel can be skipped. Its group's picture no longer says it is pending,
        // and the line says why.
        m_services.page.setBenchImage(phase.group, RunPageView::GroupNotRunPicture);
        setStatus(texts::Direct3DSkipped + std::string(phaseOutcomeReason(result.outcome)) + ")");
    } else if (endsGroup(index)) {
        m_services.page.setBenchImage(phase.group, RunPageView::GroupDonePicture);
    }
    ++m_state.run.CurrentPhase;
}

std::int64_t Benchmark::prepareAndMeasure(const Phase& phase) {
    const bool business = phase.kernel == Kernel::BusinessCopy;
    kernels::BlockString& block = business ? m_businessBlock : m_blockA;
    kernels::BlockString& copy = business ? m_businessCopy : m_blockB;
    if (phase.blockChars > 0) {
        if (phase.yieldWhileBuilding)
            kernels::buildBlock(block, phase.blockChars, [this] { m_services.pump.yield(); });
        else
            kernels::buildBlock(block, phase.blockChars, [] {});
    }
    if (phase.runningStatus != nullptr) {
        setStatus(phase.runningStatus);
        if (phase.runningEstimate != nullptr)
            setText(RunPageView::EstimateLine, phase.runningEstimate);
        m_services.pump.yield();
    }

    // Each kernel is its own instance of the measurement, so that the body is inlined into
    // the counting loop and nothing but the work is timed.
    std::int64_t count = 0;
    switch (phase.kernel) {
    case Kernel::BlockCopy:
    case Kernel::BusinessCopy:
        count = measure([&block, &copy] { kernels::copyKernel(block, copy); });
        break;
    case Kernel::Spfp: {
        float value = m_spfpValue;
        count = measure([&value] { value = kernels::spfpStep(value); });
        m_spfpValue = value;
        break;
    }
    case Kernel::Count:
        count = measure([] {});
        break;
    case Kernel::Spreadsheet:
        count = measure([] { kernels::spreadsheetKernel(); });
        break;
    case Kernel::Imaging:
        count = measure([] { kernels::imagingKernel(); });
        break;
    case Kernel::Tunnel:
        break;
    }
    block.clear();
    copy.clear();
    return count;
}

void Benchmark::showCompletion(bool measured) {
    // The benchmarks that were chosen but gave no score, each with its reason.
    std::string missing;
    const RunState& run = m_state.run;
    for (std::size_t i = 0; i < run.outcomes.size(); ++i) {
        const std::string_view reason = phaseOutcomeReason(run.outcomes[i]);
        if (reason.empty())
            continue;
        missing += (missing.empty() ? "" : ", ") + std::string(kScoreFields[i].label) + " (" +
                   std::string(reason) + ")";
    }
    const std::string lastPhase = std::to_string(m_state.run.PhaseCount);
    if (!measured)
        setStatus(texts::NothingMeasured + (missing.empty() ? texts::NothingChosen : missing));
    else if (!missing.empty())
        setStatus(texts::CompleteWithout + missing);
    else
        setStatus(texts::CompleteStatus);
    setText(RunPageView::ProgressLine,
            texts::ProgressPrefix + lastPhase + texts::ProgressOf + lastPhase);
    setText(RunPageView::EstimateLine, texts::CompleteEstimate);
    setText(RunPageView::DescriptionLine, texts::CompleteDescription);
}

Direct3DResult Benchmark::prepareAndRunDirect3D() {
    if (m_tunnel == nullptr)
        return {PhaseOutcome::Unavailable, 0, {}};

    const std::int16_t quality = m_state.selections.TextureQuality;
    const char* texture = quality == 2   ? texts::HighTexture
                          : quality == 1 ? texts::MediumTexture
                          : quality == 0 ? texts::LowTexture
                                         : nullptr;
    const std::string graphics = resultsFile(m_state.folders, texts::GraphicsFile);
    const bool loaded = texture != nullptr && m_tunnel->loadTexturePicture(appFile(texture));
    m_services.pump.yield();
    const bool saved = loaded && m_tunnel->saveTexturePicture(graphics);
    m_tunnel->clearTexturePicture();
    m_services.pump.yield();

    Direct3DResult result;
    if (texture == nullptr)
        result = {PhaseOutcome::InvalidSetting, 0,
                  "The texture quality setting (" + std::to_string(quality) + ") is not valid."};
    else if (!loaded)
        result = {PhaseOutcome::TextureUnreadable, 0,
                  "The texture file " + appFile(texture) + " could not be loaded."};
    else if (!saved)
        result = {PhaseOutcome::TextureUnreadable, 0,
                  "The file " + graphics + " could not be written."};
    else
        result = m_tunnel->Benchmark_NOW();
    if (result.outcome != PhaseOutcome::Measured && !result.message.empty())
        m_services.problems.reportProblem(result.message + CR +
                                          "The Direct3D benchmark is skipped.");
    m_tunnel->unload();
    return result;
}

void Benchmark::setText(RunPageView::Line line, const std::string& text) {
    m_services.page.setLine(line, text);
}

void Benchmark::showProgress() {
    setText(RunPageView::ProgressLine,
            texts::ProgressPrefix + std::to_string(m_state.run.CurrentPhase) + texts::ProgressOf +
                std::to_string(m_state.run.PhaseCount));
}

std::string Benchmark::appFile(const char* relative) const {
    return m_state.folders.AppFolder + relative;
}

std::string resultsFile(const Folders& folders, const char* name) {
    return (folders.ResultsFolder.empty() ? folders.AppFolder : folders.ResultsFolder) + name;
}

} // namespace vexo
