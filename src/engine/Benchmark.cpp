#include "Benchmark.h"

#include "common/Text.h"
#include "engine/RunTexts.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vexo {

namespace {

// Groups of the run page's pictures.
enum Group { CpuGroup = 0, FpuGroup, Direct3DGroup, SpreadsheetGroup, BusinessGroup, ImagingGroup };

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

Benchmark::Benchmark(AppState& state, RunServices services, RunHandOffs handOffs)
    : m_state(state)
    , m_services(services)
    , m_handOffs(handOffs) {}

void Benchmark::Reset_Scores() {
    m_state.scores = ScoreSet{};
    m_state.run.CurrentPhase = 1;
    m_state.run.outcomes.fill(PhaseOutcome::NotSelected);
    m_state.run.outcome = RunOutcome::NotRun;
    m_state.run.resultFile.clear();
    m_services.clock.beginRun();
}

void Benchmark::Count_Phases() {
    const Selections& s = m_state.selections;
    // Only the phases that will run are counted: a phase chosen inside an unchosen group does
    // not run, and counting it would leave the progress short of its end.
    const bool hardware = isSet(s.HardwareSelected);
    const bool software = isSet(s.SoftwareSelected);
    int count = 1;
    count += hardware && isSet(s.CPUSelected) ? 2 : 0;
    count += hardware && isSet(s.FPUSelected) ? 2 : 0;
    count += hardware && isSet(s.Direct3DSelected) ? 1 : 0;
    for (const Flag flag : {s.SpreadsheetSelected, s.BusinessSelected, s.ImagingSelected})
        count += software && isSet(flag) ? 1 : 0;
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
    nextPhase();
    Wait_Next_Second();
}

RunOutcome Benchmark::Run_Benchmarks() {
    runSelectedPhases();
    // A run that measured nothing has nothing worth a name, and must not replace a file
    // that holds a real result.
    if (!anythingMeasured())
        return ended(RunOutcome::NothingMeasured);
    if (!askName()) {
        setStatus(texts::NotSavedNoName);
        return ended(RunOutcome::NoName);
    }
    return ended(saveAndHandOff());
}

RunOutcome Benchmark::ended(RunOutcome outcome) {
    m_state.run.outcome = outcome;
    return outcome;
}

bool Benchmark::anythingMeasured() const {
    const auto& outcomes = m_state.run.outcomes;
    return std::find(outcomes.begin(), outcomes.end(), PhaseOutcome::Measured) != outcomes.end();
}

void Benchmark::record(std::int64_t ScoreSet::*score, PhaseOutcome outcome) {
    for (std::size_t i = 0; i < kScoreFields.size(); ++i) {
        if (kScoreFields[i].member == score)
            m_state.run.outcomes[i] =
                outcome == PhaseOutcome::Measured && m_state.scores.*score == 0
                    ? PhaseOutcome::NothingCounted
                    : outcome;
    }
}

void Benchmark::runSelectedPhases() {
    m_spfpValue = 0;
    m_state.run.outcomes.fill(PhaseOutcome::NotSelected);
    const Selections& s = m_state.selections;
    if (isSet(s.HardwareSelected)) {
        if (isSet(s.CPUSelected)) {
            runCacheFsb();
            runRamChipset();
        }
        if (isSet(s.FPUSelected)) {
            runSpfp();
            runInteger();
        }
        if (isSet(s.Direct3DSelected))
            runDirect3D();
    }
    if (isSet(s.SoftwareSelected)) {
        if (isSet(s.SpreadsheetSelected))
            runSpreadsheet();
        if (isSet(s.BusinessSelected))
            runBusiness();
        if (isSet(s.ImagingSelected))
            runImaging();
    }

    showCompletion();
}

void Benchmark::showCompletion() {
    // The benchmarks that were chosen but gave no score, each with its reason.
    std::string missing;
    const RunState& run = m_state.run;
    for (std::size_t i = 0; i < run.outcomes.size(); ++i) {
        const std::string_view reason = phaseOutcomeReason(run.outcomes[i]);
        if (reason.empty())
            continue;
        missing += (missing.empty() ? "" : ", ") + std::string(kScoreLabels[i]) + " (" +
                   std::string(reason) + ")";
    }
    const std::string lastPhase = std::to_string(m_state.run.PhaseCount);
    if (!anythingMeasured())
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

void Benchmark::runCacheFsb() {
    showPhase(texts::CacheStatus, texts::CacheEstimate, texts::CacheDescription);
    kernels::buildBlock(m_blockA, kernels::kCacheBlockChars, [this] { m_services.pump.yield(); });
    setStatus(texts::CacheRunning);
    m_services.pump.yield();
    m_state.scores.BMCPUh = measure([this] { kernels::copyKernel(m_blockA, m_blockB); });
    record(&ScoreSet::BMCPUh, PhaseOutcome::Measured);
    m_blockA.clear();
    m_blockB.clear();
    nextPhase();
}

void Benchmark::runRamChipset() {
    showPhase(texts::RamStatus, texts::RamEstimate, texts::RamDescription);
    kernels::buildBlock(m_blockA, kernels::kRamBlockChars, [this] { m_services.pump.yield(); });
    setStatus(texts::RamRunning);
    setText(RunPageView::EstimateLine, texts::RamRunningEstimate);
    m_services.pump.yield();
    const std::int64_t count = measure([this] { kernels::copyKernel(m_blockA, m_blockB); });
    m_blockA.clear();
    m_blockB.clear();
    // Scored in copies of the small block: this block is four times larger.
    m_state.scores.BMCPUl = count * 4;
    record(&ScoreSet::BMCPUl, PhaseOutcome::Measured);
    markGroupDone(CpuGroup);
    nextPhase();
}

void Benchmark::runSpfp() {
    showPhase(texts::SpfpStatus, texts::About30Seconds, texts::SpfpDescription);
    float value = m_spfpValue;
    const std::int64_t count = measure([&value] { value = kernels::spfpStep(value); });
    m_spfpValue = value;
    nextPhase();
    m_state.scores.BMFPUh = scaledDown(count, 10);
    record(&ScoreSet::BMFPUh, PhaseOutcome::Measured);
}

void Benchmark::runInteger() {
    showPhase(texts::IntegerStatus, texts::About30Seconds, texts::IntegerDescription);
    const std::int64_t count = measure([] {});
    nextPhase();
    markGroupDone(FpuGroup);
    m_state.scores.BMFPUl = scaledDown(count, 10);
    record(&ScoreSet::BMFPUl, PhaseOutcome::Measured);
}

void Benchmark::runDirect3D() {
    showPhase(texts::Direct3DStatus, texts::Direct3DEstimate, texts::Direct3DDescription);
    const PhaseOutcome outcome = prepareAndRunDirect3D();
    record(&ScoreSet::BMDR3D, outcome);
    if (outcome == PhaseOutcome::Measured) {
        markGroupDone(Direct3DGroup);
    } else {
        // The group's picture no longer says it is pending, and the line says why.
        m_services.page.setBenchImage(Direct3DGroup, RunPageView::GroupNotRunPicture);
        setStatus(texts::Direct3DSkipped + std::string(phaseOutcomeReason(outcome)) + ")");
    }
    nextPhase();
}

PhaseOutcome Benchmark::prepareAndRunDirect3D() {
    TunnelStage* tunnel = m_handOffs.tunnel;
    if (tunnel == nullptr)
        return PhaseOutcome::Unavailable;

    const std::int16_t quality = m_state.selections.TextureQuality;
    const char* texture = quality == 2   ? texts::HighTexture
                          : quality == 1 ? texts::MediumTexture
                          : quality == 0 ? texts::LowTexture
                                         : nullptr;
    const bool loaded = texture != nullptr && tunnel->loadTexturePicture(appFile(texture));
    m_services.pump.yield();
    const bool saved = loaded && tunnel->saveTexturePicture(resultsFile(texts::GraphicsFile));
    tunnel->clearTexturePicture();
    m_services.pump.yield();

    if (!saved) {
        const std::string what =
            texture == nullptr
                ? "The texture quality setting (" + std::to_string(quality) + ") is not valid."
            : !loaded ? "The texture file " + appFile(texture) + " could not be loaded."
                      : "The file " + resultsFile(texts::GraphicsFile) + " could not be written.";
        m_services.dialogs.messageBox(what + CR + "The Direct3D benchmark is skipped.",
                                      MsgStyle::Exclamation, kApplicationTitle);
        tunnel->unload();
        return texture == nullptr ? PhaseOutcome::InvalidSetting : PhaseOutcome::TextureUnreadable;
    }
    const Direct3DResult result = tunnel->Benchmark_NOW();
    tunnel->unload();
    m_state.scores.BMDR3D = result.outcome == PhaseOutcome::Measured ? result.framesPerSecond : 0;
    return result.outcome;
}

void Benchmark::runSpreadsheet() {
    showPhase(texts::SpreadsheetStatus, texts::About30Seconds, texts::SpreadsheetDescription);
    const std::int64_t count = measure([] { kernels::spreadsheetKernel(); });
    markGroupDone(SpreadsheetGroup);
    nextPhase();
    m_state.scores.BMSSA = scaledDown(count, 100);
    record(&ScoreSet::BMSSA, PhaseOutcome::Measured);
}

void Benchmark::runBusiness() {
    showPhase(texts::BusinessStatus, texts::BusinessEstimate, texts::BusinessDescription);
    kernels::buildBlock(m_businessBlock, kernels::kBusinessBlockChars, [] {});
    m_state.scores.BMBSA =
        measure([this] { kernels::copyKernel(m_businessBlock, m_businessCopy); });
    record(&ScoreSet::BMBSA, PhaseOutcome::Measured);
    markGroupDone(BusinessGroup);
    nextPhase();
    m_businessBlock.clear();
    m_businessCopy.clear();
}

void Benchmark::runImaging() {
    showPhase(texts::ImagingStatus, texts::About30Seconds, texts::ImagingDescription);
    const std::int64_t count = measure([] { kernels::imagingKernel(); });
    nextPhase();
    markGroupDone(ImagingGroup);
    m_state.scores.BMISA = scaledDown(count, 100);
    record(&ScoreSet::BMISA, PhaseOutcome::Measured);
}

bool Benchmark::askName() {
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

RunOutcome Benchmark::saveAndHandOff() {
    if (m_handOffs.saver == nullptr) {
        setStatus(texts::NotSavedNoWriter);
        return RunOutcome::NotSaved;
    }
    const std::string path = savePath();
    m_state.run.resultFile = path;
    if (!m_handOffs.saver->Save_Benchmark_File(path)) {
        m_services.dialogs.messageBox(
            "The benchmark could not be saved to the file:" + std::string(1, CR) + path,
            MsgStyle::Exclamation, kApplicationTitle);
        setStatus(texts::NotSavedFailed);
        return RunOutcome::NotSaved;
    }
    if (m_handOffs.saver->substitutedCharacters() > 0)
        setStatus(texts::SavedWithSubstitutes);
    m_services.pump.yield();
    if (m_handOffs.importer == nullptr)
        setStatus(texts::SavedNotImported);
    else
        m_handOffs.importer->Import_Saved_Benchmark(path);
    return RunOutcome::Saved;
}

void Benchmark::setText(RunPageView::Line line, const std::string& text) {
    m_services.page.setLine(line, text);
}

void Benchmark::showProgress() {
    setText(RunPageView::ProgressLine,
            texts::ProgressPrefix + std::to_string(m_state.run.CurrentPhase) + texts::ProgressOf +
                std::to_string(m_state.run.PhaseCount));
}

void Benchmark::showPhase(const char* status, const char* estimate, const char* description) {
    setStatus(status);
    showProgress();
    setText(RunPageView::EstimateLine, estimate);
    setText(RunPageView::DescriptionLine, description);
    m_services.pump.yield();
}

void Benchmark::markGroupDone(int group) {
    m_services.page.setBenchImage(group, RunPageView::GroupDonePicture);
}

std::string Benchmark::appFile(const char* relative) const {
    return m_state.folders.AppFolder + relative;
}

std::string Benchmark::savePath() const {
    return m_handOffs.resultFile.empty() ? resultsFile(texts::LastBenchmarkFile)
                                         : m_handOffs.resultFile;
}

std::string Benchmark::resultsFile(const char* name) const {
    const Folders& folders = m_state.folders;
    return (folders.ResultsFolder.empty() ? folders.AppFolder : folders.ResultsFolder) + name;
}

} // namespace vexo
