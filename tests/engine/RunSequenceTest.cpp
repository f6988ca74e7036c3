#include "engine/RunSession.h"
#include "support/FakeClock.h"
#include "support/RunRecorder.h"
#include "support/ShownTexts.h"

#include <algorithm>
#include <deque>
#include <gtest/gtest.h>
#include <memory>

namespace vexo {
namespace {

using test::EventLog;
using test::shownOn;
using S = Selections;
using Chosen = std::vector<Flag S::*>;
using Texts = std::vector<std::string>;
constexpr auto Status = RunPageView::StatusLine;
constexpr auto Progress = RunPageView::ProgressLine;
constexpr auto Description = RunPageView::DescriptionLine;

constexpr const char* kGoodName = "Linux test box";

// The tunnel stage, the writer and the importer: each call is logged.
class FakeHandOffs final : public TunnelStage, public BenchmarkSaver {
public:
    FakeHandOffs(EventLog& log, const test::RecordingRunPage& page)
        : m_log(log)
        , m_page(page) {}
    bool loadTexturePicture(const std::string& p) override {
        return add("tunnel load " + p, loadWorks);
    }
    bool saveTexturePicture(const std::string& p) override {
        return add("tunnel save " + p, saveWorks);
    }
    void clearTexturePicture() override { add("tunnel clear"); }
    Direct3DResult Benchmark_NOW() override {
        add("tunnel run");
        const PhaseOutcome now = outcome;
        outcome = next.value_or(outcome);
        if (now == PhaseOutcome::Measured)
            return {now, 60, {}};
        return {now, 0, "The tunnel stopped."};
    }
    void unload() override { add("tunnel unload"); }
    vexo::Status Save_Benchmark_File(const std::string& path, const RunRecords& run) override {
        savedName = run.name;
        savedScores = run.repetitions.back();
        savedRuns = run.repetitions.size();
        return add("save " + path, writeWorks) ? vexo::Status::success()
                                               : vexo::Status::failure("disk full");
    }
    std::size_t substitutedCharacters() const override { return substituted; }
    void Import_Saved_Benchmark(const std::string& path) {
        statusAtImport = m_page.text(Status);
        add("import " + path);
    }

    bool loadWorks = true, saveWorks = true, writeWorks = true;
    PhaseOutcome outcome = PhaseOutcome::Measured;
    std::size_t substituted = 0;
    std::optional<PhaseOutcome> next; // from the second run of the tunnel on
    std::string statusAtImport, savedName;
    ScoreSet savedScores;
    std::size_t savedRuns = 0;

private:
    bool add(std::string event, bool works = true) {
        m_log.add(std::move(event));
        return works;
    }
    EventLog& m_log;
    const test::RecordingRunPage& m_page;
};

// A run against fakes, answering the name question from a script. Throttling counts 1,000
// readings a second (stable at try 3); each measurement window counts the next planned number
// of iterations, or 2 when none is planned, after atWindow has looked at the benchmark.
struct RunRig {
    explicit RunRig(std::vector<std::optional<std::string>> answers = {kGoodName}) {
        for (auto& answer : answers)
            dialogs.answer(std::move(answer));
        state.folders.AppFolder = "/opt/vexo/";
        page.onMeasurement = [this] {
            if (atWindow)
                atWindow(session->benchmark());
            std::int64_t n = 2;
            if (!planned.empty()) {
                n = planned.front();
                planned.pop_front();
            }
            clock.scheduleWindow(n);
        };
    }

    RunOutcome run(const Chosen& chosen, int repetitions = 1) {
        for (Flag S::*flag : chosen)
            state.selections.*flag = True;
        session = std::make_unique<RunSession>(
            state, RunServices{clock, pump, dialogs, page, dialogs}, handOffs);
        report = session->run(repetitions);
        return report.outcome;
    }

    EventLog log;
    test::FakeClock clock{0, 1002};
    test::CountingPump pump{log};
    test::ScriptedDialogs dialogs{log};
    test::RecordingRunPage page{log};
    AppState state;
    FakeHandOffs fakes{log, page};
    RunHandOffs handOffs{&fakes,
                         &fakes,
                         [this](const std::string& path) { fakes.Import_Saved_Benchmark(path); },
                         {}};
    std::deque<std::int64_t> planned;
    std::function<void(const Benchmark&)> atWindow;
    std::unique_ptr<RunSession> session;
    RunReport report;
};

// One phase that always counts something (business scores its count undivided).
const Chosen kSomethingMeasured{&S::SoftwareSelected, &S::BusinessSelected};
const Chosen kDirect3D{&S::HardwareSelected, &S::Direct3DSelected};

TEST(CountPhases, CountsOnlyThePhasesThatWillRun) {
    const struct {
        const char* name;
        Chosen flags;
        int expected;
        Flag cpu = False; // set before the flags
    } rows[] = {
        {"nothing", {}, 1},
        {"CPU", {&S::HardwareSelected, &S::CPUSelected}, 3},
        {"CPU at 1, not True", {&S::HardwareSelected}, 1, 1},
        {"Direct3D, imaging, no hardware group", {&S::Direct3DSelected, &S::ImagingSelected}, 1},
        {"FPU, imaging",
         {&S::HardwareSelected, &S::FPUSelected, &S::SoftwareSelected, &S::ImagingSelected},
         4},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RunRig rig;
        rig.state.selections.CPUSelected = row.cpu;
        for (auto flag : row.flags)
            rig.state.selections.*flag = True;
        Benchmark(rig.state, {rig.clock, rig.pump, rig.dialogs, rig.page, rig.dialogs})
            .Count_Phases();
        EXPECT_EQ(rig.state.run.PhaseCount, row.expected);
    }
}

// Each score is scaled from the count of its window (the RAM block is four times the cache
// block; the divisions keep the integer part).
TEST(RunSequence, EveryPhaseRunsInOrderNumbered1To9) {
    RunRig rig;
    rig.planned = {12'345, 987, 123'456, 77, 12'399, 1000, 250};
    EXPECT_EQ(rig.run({&S::HardwareSelected, &S::SoftwareSelected, &S::CPUSelected, &S::FPUSelected,
                       &S::Direct3DSelected, &S::SpreadsheetSelected, &S::BusinessSelected,
                       &S::ImagingSelected}),
              RunOutcome::Saved);

    const Texts starts{shown::ThrottleStatus,    shown::CacheStatus,    shown::RamStatus,
                       shown::SpfpStatus,        shown::IntegerStatus,  shown::Direct3DStatus,
                       shown::SpreadsheetStatus, shown::BusinessStatus, shown::ImagingStatus,
                       shown::CompleteStatus};
    Texts seen = rig.log.texts(Status), progress;
    std::erase_if(seen, [&](const auto& text) { return std::ranges::count(starts, text) == 0; });
    EXPECT_EQ(seen, starts);
    for (int phase : {1, 2, 3, 4, 5, 6, 7, 8, 9, 9})
        progress.push_back("Benchmark Progress: Phase " + std::to_string(phase) + " of 9");
    EXPECT_EQ(rig.log.texts(Progress), progress);
    EXPECT_EQ(rig.state.run.CurrentPhase, 10);

    for (int group = 0; group < 6; ++group)
        EXPECT_EQ(rig.page.benchImage(group), RunPageView::GroupDonePicture) << group;
    EXPECT_EQ(rig.page.text(RunPageView::EstimateLine), shown::CompleteEstimate);
    EXPECT_EQ(rig.page.text(Description), shown::CompleteDescription);
    EXPECT_EQ(rig.state.scores, (ScoreSet{12'345, 3948, 12'345, 7, 60, 123, 1000, 2}));
    EXPECT_EQ(rig.fakes.savedScores, rig.state.scores);
}

// A run starts from zero scores at phase 1; a phase whose group is not chosen (CPU here) is
// neither counted nor run.
TEST(RunSequence, ARunThatMeasuredNothingAsksNoNameAndSavesNothing) {
    const std::pair<Chosen, std::string> rows[] = {
        {{&S::CPUSelected}, "no benchmark was chosen"},
        {{&S::CPUSelected, &S::SoftwareSelected, &S::SpreadsheetSelected},
         "Spreadsheet (nothing was counted)"}};
    for (const auto& [chosen, why] : rows) {
        SCOPED_TRACE(why);
        RunRig rig;
        rig.state.scores.BMCPUh = 7;
        rig.state.run.CurrentPhase = 5;
        EXPECT_EQ(rig.run(chosen), RunOutcome::NothingMeasured);
        EXPECT_TRUE(rig.clock.runsBegun() == 1 && rig.state.scores.BMCPUh == 0);
        EXPECT_EQ(rig.state.run.outcomes[0], PhaseOutcome::NotSelected);
        const std::string count = std::to_string(rig.state.run.PhaseCount);
        EXPECT_EQ(rig.log.texts(Progress).back(),
                  "Benchmark Progress: Phase " + count + " of " + count);
        EXPECT_EQ(rig.state.run.outcome, RunOutcome::NothingMeasured);
        EXPECT_TRUE(rig.state.run.ThrottleTries == 3 && rig.report.throttleTries == 3);
        EXPECT_EQ(rig.report.throttleLosses, (std::vector<std::int16_t>{0, 0, 0}));
        EXPECT_TRUE(rig.dialogs.questions.empty());
        EXPECT_TRUE(rig.log.withPrefix("save ").empty());
        EXPECT_EQ(rig.page.text(Status), "Status: Nothing was measured, nothing saved: " + why);
    }
}

// The business block is built without yields, in one go.
TEST(RunSequence, CpuPhasesBuildTheirBlocksYieldingPerCharacterAndEmptyThemAfterwards) {
    RunRig rig;
    rig.planned = {1000, 1000};
    std::vector<std::pair<std::size_t, std::size_t>> blocks; // CPU and business, per window
    bool allZero = true;
    rig.atWindow = [&](const Benchmark& benchmark) {
        const auto& block = benchmark.blockA();
        blocks.emplace_back(block.size(), benchmark.businessBlock().size());
        for (std::size_t i = 0; i < block.size(); ++i)
            allZero = allZero && block[i] == 0;
    };
    EXPECT_EQ(rig.run({&S::HardwareSelected, &S::CPUSelected, &S::SoftwareSelected,
                       &S::BusinessSelected}),
              RunOutcome::Saved);
    EXPECT_EQ(blocks, (std::vector<std::pair<std::size_t, std::size_t>>{
                          {32'768u, 0u}, {131'072u, 0u}, {0u, 16'384u}}));
    EXPECT_TRUE(allZero);
    const Benchmark& benchmark = rig.session->benchmark();
    for (const auto* block : {&benchmark.blockA(), &benchmark.blockB(), &benchmark.businessBlock(),
                              &benchmark.businessCopy()})
        EXPECT_TRUE(block->empty());
}

// After its texts each phase yields once before it prepares and measures (or runs the tunnel).
TEST(RunSequence, PhasesShowTheirTextsInOrderThenYieldBeforeMeasuring) {
    const struct {
        const char* name;
        Chosen chosen;
        Texts expected; // from the phase's first event on
    } rows[] = {
        {"RAM/Chipset: a yield per character built, its running texts, a yield",
         {&S::HardwareSelected, &S::CPUSelected},
         {shownOn(Status, shown::RamStatus), shownOn(Progress, "Benchmark Progress: Phase 3 of 3"),
          shownOn(RunPageView::EstimateLine, shown::RamEstimate),
          shownOn(Description, shown::RamDescription), "yield x131073",
          shownOn(Status, shown::RamRunning),
          shownOn(RunPageView::EstimateLine, shown::RamRunningEstimate), "yield x1", "measure 31",
          "yield x1", "image 0 20"}},
        {"imaging",
         {&S::SoftwareSelected, &S::ImagingSelected},
         {shownOn(Status, shown::ImagingStatus),
          shownOn(Progress, "Benchmark Progress: Phase 2 of 2"),
          shownOn(RunPageView::EstimateLine, shown::About30Seconds),
          shownOn(Description, shown::ImagingDescription), "yield x1", "measure 31", "yield x1",
          "image 5 20", shownOn(Status, shown::CompleteStatus)}},
        {"business, which builds its block without yielding",
         kSomethingMeasured,
         {shownOn(Description, shown::BusinessDescription), "yield x1", "measure 31"}},
        {"Direct3D, converting the chosen texture",
         kDirect3D,
         {shownOn(Description, shown::Direct3DDescription), "yield x1",
          "tunnel load /opt/vexo/data/medtex.ctf", "yield x1", "tunnel save /home/ann/graphics.dat",
          "tunnel clear", "yield x1", "tunnel run", "tunnel unload", "image 2 20"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RunRig rig;
        rig.planned = {1000};
        rig.state.selections.TextureQuality = 1;
        rig.state.folders.ResultsFolder = "/home/ann/"; // where the texture is converted to
        EXPECT_EQ(rig.run(row.chosen), RunOutcome::Saved);
        EXPECT_EQ(rig.log.from(row.expected.front(), row.expected.size()), row.expected);
    }
}

// Beside a benchmark that measured, the run is saved, and the skipped phase keeps its reason;
// a texture that could not be prepared is told and the tunnel does not run.
TEST(Direct3DPhase, ASkippedPhaseKeepsItsReasonAndIsNoLongerPending) {
    const struct {
        std::function<void(RunRig&)> setUp;
        PhaseOutcome outcome;
        std::string reason, box;
    } rows[] = {
        {[](RunRig& rig) { rig.state.selections.TextureQuality = 7; }, PhaseOutcome::InvalidSetting,
         "a Direct3D setting is not valid", "texture quality setting (7) is not valid"},
        {[](RunRig& rig) { rig.fakes.loadWorks = false; }, PhaseOutcome::TextureUnreadable,
         "its texture could not be prepared", "/opt/vexo/data/hightex.ctf could not be loaded"},
        {[](RunRig& rig) { rig.fakes.saveWorks = false; }, PhaseOutcome::TextureUnreadable,
         "its texture could not be prepared", "/opt/vexo/graphics.dat could not be written"},
        {[](RunRig& rig) { rig.fakes.outcome = PhaseOutcome::Escape; }, PhaseOutcome::Escape,
         "stopped with Escape", "The tunnel stopped."},
        {[](RunRig& rig) { rig.handOffs.tunnel = nullptr; }, PhaseOutcome::Unavailable,
         "no OpenGL tunnel in this build", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason + " " + row.box);
        RunRig rig;
        rig.state.selections.TextureQuality = 2;
        row.setUp(rig);
        EXPECT_EQ(rig.run({&S::HardwareSelected, &S::Direct3DSelected, &S::SoftwareSelected,
                           &S::BusinessSelected}),
                  RunOutcome::Saved);
        EXPECT_EQ(rig.state.run.outcomes[4], row.outcome);
        EXPECT_TRUE(rig.state.scores.BMDR3D == 0 && rig.state.run.CurrentPhase == 4 &&
                    rig.page.benchImage(2) == RunPageView::GroupNotRunPicture);
        const Texts statuses = rig.log.texts(Status);
        EXPECT_EQ(
            std::ranges::count(statuses, "Status: Direct3D benchmark skipped (" + row.reason + ")"),
            1);
        EXPECT_EQ(statuses.back(),
                  "Status: Benchmark Complete, without a score: Direc3D (" + row.reason + ")");
        // The problem is told, once, and a texture that failed keeps the tunnel from running.
        const Texts& told = rig.dialogs.problems;
        EXPECT_EQ(told.size() == 1 && told[0].find(row.box) != std::string::npos &&
                      told[0].ends_with("\rThe Direct3D benchmark is skipped."),
                  !row.box.empty());
        EXPECT_EQ(rig.log.withPrefix("tunnel run").size(),
                  row.outcome == PhaseOutcome::Escape ? 1u : 0u);
    }
}

// Throttled once, the phases repeated and numbered as the first time; a run is saved, one
// record a repetition, when any repetition measured, though the last did not.
TEST(RunSession, ARepeatedRunIsSavedWhenAnyRepetitionMeasured) {
    RunRig rig;
    rig.fakes.next = PhaseOutcome::Escape;
    EXPECT_EQ(rig.run(kDirect3D, 3), RunOutcome::Saved);
    EXPECT_EQ(std::ranges::count(rig.log.texts(Status), shown::ThrottleStatus), 1);
    Texts progress(7, "Benchmark Progress: Phase 2 of 2"); // each phase, then its completion
    progress[0] = "Benchmark Progress: Phase 1 of 2";
    EXPECT_EQ(rig.log.texts(Progress), progress);
    ASSERT_EQ(rig.report.repetitions.size(), 3u);
    EXPECT_TRUE(rig.report.repetitions[0].scores.BMDR3D == 60 &&
                rig.report.repetitions[2].outcomes[4] == PhaseOutcome::Escape);
    EXPECT_EQ(rig.fakes.savedRuns, 3u);
}

TEST(Naming, AsksUntilANameFollowsEveryRuleShowingTheFirstBrokenRule) {
    RunRig rig({"", "abc:;defg", ";abcdefg", "a : ; > > : | | ok"});
    rig.run(kSomethingMeasured);

    ASSERT_EQ(rig.dialogs.questions.size(), 4u);
    const auto& question = rig.dialogs.questions.back();
    EXPECT_EQ(question.title + "|" + question.prompt + "|" + question.defaultText,
              std::string("Benchmark Name?|") + shown::NamePromptFirst + '\r' +
                  shown::NamePromptSecond + "|");
    EXPECT_EQ(rig.log.withPrefix("box 48 " + std::string(shown::ApplicationTitle) + ": "),
              (Texts{shown::NameTooShort, shown::NameHasSequence, shown::NameLeadingSemicolon}));
    EXPECT_EQ(rig.fakes.savedName, "a : ; > > : | | ok");
}

// Blanks count, characters are not bytes (Caf\u00e901 is six), sequences are tested first.
TEST(Naming, RulesInTheirOrder) {
    Texts problems;
    for (const char* name : {"123456", "1234567", "  spaced ", "Caf\u00e901", "Caf\u00e9012",
                             "x;y;z;w", ";abcdefg", ";abc:;defg", "abc:;", "abcd||", "ab:|;>>:"})
        problems.emplace_back(benchmarkNameProblem(name).value_or("-"));
    const std::string s = shown::NameTooShort, q = shown::NameHasSequence;
    EXPECT_EQ(problems, (Texts{s, "-", "-", s, "-", "-", shown::NameLeadingSemicolon, q, s, s, q}));
}

// How a run that measured something ends: the status line says it, and only a saved run is
// handed to the importer, after a yield, showing the final status already.
TEST(SaveAndHandOff, EachEndOfARunIsSaidOnTheStatusLine) {
    using R = RunOutcome;
    const struct {
        const char* name;
        std::function<void(RunRig&)> setUp;
        RunOutcome outcome;
        const char* status;
        bool written, imported;
        std::optional<std::string> answer = kGoodName;
    } rows[] = {
        {"saved", [](RunRig&) {}, R::Saved, shown::CompleteStatus, true, true},
        {"saved with substitutes", [](RunRig& rig) { rig.fakes.substituted = 3; }, R::Saved,
         shown::SavedWithSubstitutes, true, true},
        {"saved without an importer", [](RunRig& rig) { rig.handOffs.importer = {}; }, R::Saved,
         shown::SavedNotImported, true, false},
        {"the save failed", [](RunRig& rig) { rig.fakes.writeWorks = false; }, R::NotSaved,
         shown::NotSavedFailed, true, false},
        {"no writer", [](RunRig& rig) { rig.handOffs = {}; }, R::NotSaved, shown::NotSavedNoWriter,
         false, false},
        {"the name box closed", [](RunRig&) {}, R::NoName, shown::NotSavedNoName, false, false,
         "short"},
    };
    const std::string path = "/opt/vexo/last benchmark.vgf";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RunRig rig({row.answer});
        row.setUp(rig);
        EXPECT_EQ(rig.run(kSomethingMeasured), row.outcome);
        EXPECT_EQ(rig.page.text(Status), row.status);
        EXPECT_EQ(rig.log.withPrefix("save "), row.written ? Texts{path} : Texts{});
        EXPECT_EQ(rig.log.from("import " + path, 1).size(), row.imported ? 1u : 0u);
        const auto& events = rig.log.events();
        EXPECT_EQ(Texts(events.end() - 2, events.end()) == Texts({"yield x1", "import " + path}) &&
                      rig.fakes.statusAtImport == row.status,
                  row.imported);
        EXPECT_TRUE(row.outcome == R::NoName || rig.state.run.BenchmarkName == kGoodName);
        // A failed write is told, naming the file.
        EXPECT_EQ(rig.dialogs.problems.size() == 1 &&
                      rig.dialogs.problems[0].find(path) != std::string::npos,
                  !rig.fakes.writeWorks);
    }
}

} // namespace
} // namespace vexo
