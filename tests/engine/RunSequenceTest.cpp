#include "engine/Benchmark.h"
#include "support/FakeClock.h"
#include "support/RunRecorder.h"
#include "support/ShownTexts.h"

#include <deque>
#include <gtest/gtest.h>

namespace vexo {
namespace {

using test::CountingPump;
using test::EventLog;
using test::FakeClock;
using test::RecordingRunPage;
using test::ScriptedDialogs;

constexpr const char* kGoodName = "Linux test box";

class FakeTunnel final : public TunnelStage {
public:
    explicit FakeTunnel(EventLog& log)
        : m_log(log) {}
    bool loadTexturePicture(const std::string& path) override {
        m_log.add("tunnel load " + path);
        return loadWorks;
    }
    bool saveTexturePicture(const std::string& path) override {
        m_log.add("tunnel save " + path);
        return saveWorks;
    }
    void clearTexturePicture() override { m_log.add("tunnel clear"); }
    Direct3DResult Benchmark_NOW() override {
        m_log.add("tunnel run");
        return {outcome, outcome == PhaseOutcome::Measured ? 60 : 0};
    }
    void unload() override { m_log.add("tunnel unload"); }

    bool loadWorks = true;
    bool saveWorks = true;
    PhaseOutcome outcome = PhaseOutcome::Measured;

private:
    EventLog& m_log;
};

class FakeSaver final : public BenchmarkSaver, public BenchmarkImporter {
public:
    FakeSaver(EventLog& log, const AppState& state)
        : m_log(log)
        , m_state(state) {}
    bool Save_Benchmark_File(const std::string& path) override {
        m_log.add("save " + path);
        savedName = m_state.run.BenchmarkName;
        savedScores = m_state.scores;
        return saveWorks;
    }
    std::size_t substitutedCharacters() const override { return substituted; }
    void Import_Saved_Benchmark(const std::string& path) override {
        m_log.add("import " + path);
        if (page != nullptr)
            statusAtImport = page->text(RunPageView::StatusLine);
    }

    bool saveWorks = true;
    std::size_t substituted = 0;
    const RecordingRunPage* page = nullptr;
    std::string statusAtImport;
    std::string savedName;
    ScoreSet savedScores;

private:
    EventLog& m_log;
    const AppState& m_state;
};

// A run against fakes. Throttling counts 1,000 readings a second (stable at try 3); each
// measurement window counts the next planned number of iterations, or 2 when none is planned.
struct RunRig {
    RunRig() {
        state.folders.AppFolder = "/opt/vexo/";
        page.onMeasurement = [this] {
            std::int64_t n = 2;
            if (!planned.empty()) {
                n = planned.front();
                planned.pop_front();
            }
            clock.scheduleWindow(n);
        };
    }

    RunOutcome run(const std::vector<Flag Selections::*>& chosen, bool wired = true) {
        for (Flag Selections::*flag : chosen)
            state.selections.*flag = True;
        Benchmark benchmark(state, {clock, pump, dialogs, page},
                            wired ? RunHandOffs{&tunnel, &saver, &saver, {}} : RunHandOffs{});
        benchmark.Reset_Scores();
        benchmark.Count_Phases();
        benchmark.Throttle_System();
        return benchmark.Run_Benchmarks();
    }

    EventLog log;
    FakeClock clock{0, 1002};
    CountingPump pump{log};
    ScriptedDialogs dialogs{log};
    RecordingRunPage page{log};
    AppState state;
    FakeTunnel tunnel{log};
    FakeSaver saver{log, state};
    std::deque<std::int64_t> planned;
};

// One phase that always counts something (business scores its count undivided).
const std::vector<Flag Selections::*> kSomethingMeasured{&Selections::SoftwareSelected,
                                                         &Selections::BusinessSelected};

constexpr auto kEverything = {&Selections::HardwareSelected, &Selections::SoftwareSelected,
                              &Selections::CPUSelected,      &Selections::FPUSelected,
                              &Selections::Direct3DSelected, &Selections::SpreadsheetSelected,
                              &Selections::BusinessSelected, &Selections::ImagingSelected};

TEST(CountPhases, CountsOnlyThePhasesThatWillRun) {
    struct Case {
        std::vector<Flag Selections::*> flags;
        int expected;
    };
    const std::vector<Case> cases{
        {{}, 1},
        {{&Selections::HardwareSelected, &Selections::Direct3DSelected}, 2},
        {{&Selections::HardwareSelected, &Selections::CPUSelected}, 3},
        {{&Selections::CPUSelected}, 1}, // its group is not chosen: it does not run
        {{&Selections::Direct3DSelected, &Selections::SoftwareSelected,
          &Selections::ImagingSelected},
         2},
        {{&Selections::HardwareSelected, &Selections::FPUSelected, &Selections::SoftwareSelected,
          &Selections::ImagingSelected},
         4},
        {std::vector<Flag Selections::*>(kEverything), 9},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        const Case& c = cases[i];
        RunRig rig;
        for (auto flag : c.flags)
            rig.state.selections.*flag = True;
        Benchmark benchmark(rig.state, {rig.clock, rig.pump, rig.dialogs, rig.page});
        benchmark.Count_Phases();
        EXPECT_EQ(rig.state.run.PhaseCount, c.expected);
    }
}

TEST(CountPhases, OnlyTrueAsAllBitsSetCounts) {
    RunRig rig;
    rig.state.selections.HardwareSelected = True;
    rig.state.selections.CPUSelected = 1;
    Benchmark benchmark(rig.state, {rig.clock, rig.pump, rig.dialogs, rig.page});
    benchmark.Count_Phases();
    EXPECT_EQ(rig.state.run.PhaseCount, 1);
}

TEST(RunSequence, ResetZeroesScoresAndStartsAtPhase1) {
    RunRig rig;
    rig.state.scores.BMBSA = 7;
    rig.state.run.CurrentPhase = 5;
    Benchmark benchmark(rig.state, {rig.clock, rig.pump, rig.dialogs, rig.page});
    benchmark.Reset_Scores();
    EXPECT_EQ(rig.state.scores, ScoreSet{});
    EXPECT_EQ(rig.state.run.CurrentPhase, 1);
    EXPECT_EQ(rig.clock.runsBegun(), 1);
}

TEST(RunSequence, EveryPhaseRunsInOrderNumbered1To9) {
    RunRig rig;
    rig.planned.assign(7, 1000); // every score counts something
    rig.dialogs.answer(kGoodName);
    EXPECT_EQ(rig.run(kEverything), RunOutcome::Saved);

    const std::vector<std::string> statuses = rig.log.withPrefix("status ");
    const std::vector<std::string> phaseStarts{shown::ThrottleStatus,    shown::CacheStatus,
                                               shown::RamStatus,         shown::SpfpStatus,
                                               shown::IntegerStatus,     shown::Direct3DStatus,
                                               shown::SpreadsheetStatus, shown::BusinessStatus,
                                               shown::ImagingStatus,     shown::CompleteStatus};
    std::vector<std::string> seen;
    for (const std::string& status : statuses) {
        if (std::find(phaseStarts.begin(), phaseStarts.end(), status) != phaseStarts.end())
            seen.push_back(status);
    }
    EXPECT_EQ(seen, phaseStarts);

    std::vector<std::string> progress;
    for (int phase = 1; phase <= 9; ++phase)
        progress.push_back("Benchmark Progress: Phase " + std::to_string(phase) + " of 9");
    progress.push_back("Benchmark Progress: Phase 9 of 9");
    EXPECT_EQ(rig.log.withPrefix("progress "), progress);
    EXPECT_EQ(rig.state.run.CurrentPhase, 10);

    for (int group = 0; group < 6; ++group)
        EXPECT_EQ(rig.page.benchImage(group), RunPageView::GroupDonePicture) << group;
    EXPECT_EQ(rig.page.text(RunPageView::EstimateLine), shown::CompleteEstimate);
    EXPECT_EQ(rig.page.text(RunPageView::DescriptionLine), shown::CompleteDescription);
    EXPECT_EQ(rig.state.scores.BMDR3D, 60);
}

TEST(RunSequence, HardwareWithOnlyDirect3DIsPhase2Of2) {
    RunRig rig;
    rig.dialogs.answer(kGoodName);
    rig.run({&Selections::HardwareSelected, &Selections::Direct3DSelected});
    const std::vector<std::string> progress{"Benchmark Progress: Phase 1 of 2",
                                            "Benchmark Progress: Phase 2 of 2",
                                            "Benchmark Progress: Phase 2 of 2"};
    EXPECT_EQ(rig.log.withPrefix("progress "), progress);
}

TEST(RunSequence, APhaseInAnUnchosenGroupIsNeitherCountedNorRun) {
    RunRig rig;
    rig.dialogs.answer(kGoodName);
    EXPECT_EQ(rig.run({&Selections::CPUSelected, &Selections::SoftwareSelected,
                       &Selections::BusinessSelected}),
              RunOutcome::Saved);
    EXPECT_EQ(rig.state.run.PhaseCount, 2);
    EXPECT_TRUE(rig.log.withPrefix(std::string("status ") + shown::CacheStatus).empty());
    EXPECT_EQ(rig.state.scores.BMCPUh, 0);
    EXPECT_EQ(rig.state.run.outcomes[0], PhaseOutcome::NotSelected);
    EXPECT_EQ(rig.state.run.outcomes[6], PhaseOutcome::Measured);
    EXPECT_EQ(rig.log.withPrefix("progress ").back(), "Benchmark Progress: Phase 2 of 2");
    EXPECT_EQ(rig.page.text(RunPageView::StatusLine), shown::CompleteStatus);
}

TEST(RunSequence, ARunThatMeasuredNothingAsksNoNameAndSavesNothing) {
    struct Case {
        const char* name;
        std::vector<Flag Selections::*> chosen;
        PhaseOutcome direct3D;
        std::string status;
    };
    const std::vector<Case> cases{
        {"nothing chosen",
         {},
         PhaseOutcome::Measured,
         "Status: Nothing was measured, nothing saved: no benchmark was chosen"},
        {"Escape in the tunnel",
         {&Selections::HardwareSelected, &Selections::Direct3DSelected},
         PhaseOutcome::Escape,
         "Status: Nothing was measured, nothing saved: Direc3D (stopped with Escape)"},
        {"a spreadsheet that counted nothing",
         {&Selections::SoftwareSelected, &Selections::SpreadsheetSelected},
         PhaseOutcome::Measured,
         "Status: Nothing was measured, nothing saved: Spreadsheet (nothing was counted)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunRig rig;
        rig.tunnel.outcome = c.direct3D;
        rig.dialogs.answer(kGoodName);
        EXPECT_EQ(rig.run(c.chosen), RunOutcome::NothingMeasured);
        EXPECT_EQ(rig.state.run.outcome, RunOutcome::NothingMeasured);
        EXPECT_EQ(rig.state.run.ThrottleTries, 3);
        EXPECT_TRUE(rig.dialogs.questions.empty());
        EXPECT_TRUE(rig.log.withPrefix("save ").empty());
        EXPECT_EQ(rig.page.text(RunPageView::StatusLine), c.status);
    }
}

TEST(RunSequence, CpuPhasesBuildTheirBlocksYieldingPerCharacterAndEmptyThemAfterwards) {
    RunRig rig;
    rig.planned = {1000, 1000};
    rig.dialogs.answer(kGoodName);
    std::size_t cacheBlock = 0;
    std::size_t ramBlock = 0;
    bool allZero = true;
    // Look at the blocks while each window starts.
    Benchmark* current = nullptr;
    auto schedule = rig.page.onMeasurement;
    rig.page.onMeasurement = [&] {
        const auto& block = current->blockA();
        (cacheBlock == 0 ? cacheBlock : ramBlock) = block.size();
        for (std::size_t i = 0; i < block.size(); ++i)
            allZero = allZero && block[i] == 0;
        schedule();
    };
    rig.state.selections.HardwareSelected = True;
    rig.state.selections.CPUSelected = True;
    Benchmark benchmark(rig.state, {rig.clock, rig.pump, rig.dialogs, rig.page},
                        {&rig.tunnel, &rig.saver, &rig.saver, {}});
    current = &benchmark;
    benchmark.Reset_Scores();
    benchmark.Count_Phases();
    benchmark.Throttle_System();
    EXPECT_NE(benchmark.Run_Benchmarks(), RunOutcome::NothingMeasured);

    EXPECT_EQ(cacheBlock, 32'768u);
    EXPECT_EQ(ramBlock, 131'072u);
    EXPECT_TRUE(allZero);
    EXPECT_TRUE(benchmark.blockA().empty());
    EXPECT_TRUE(benchmark.blockB().empty());
    EXPECT_EQ(rig.state.scores.BMCPUh, 1000);
    EXPECT_EQ(rig.state.scores.BMCPUl, 4000);
    EXPECT_EQ(rig.page.benchImage(0), RunPageView::GroupDonePicture);

    // Texts, one yield, the build with a yield per character, the running texts, one yield,
    // then the window.
    const auto& events = rig.log.events();
    const auto at =
        std::find(events.begin(), events.end(), std::string("status ") + shown::RamStatus);
    ASSERT_NE(at, events.end());
    const std::vector<std::string> ram(at, at + 10);
    const std::vector<std::string> expected{std::string("status ") + shown::RamStatus,
                                            "progress Benchmark Progress: Phase 3 of 3",
                                            std::string("estimate ") + shown::RamEstimate,
                                            std::string("description ") + shown::RamDescription,
                                            "yield x131073",
                                            std::string("status ") + shown::RamRunning,
                                            std::string("estimate ") + shown::RamRunningEstimate,
                                            "yield x1",
                                            "measure 31",
                                            "yield x1"};
    EXPECT_EQ(ram, expected);
}

TEST(RunSequence, ScoresAreScaledFromTheCountsOfTheirWindows) {
    RunRig rig;
    rig.planned = {12'345, 987, 123'456, 77, 99};
    rig.dialogs.answer(kGoodName);
    rig.run({&Selections::HardwareSelected, &Selections::SoftwareSelected, &Selections::FPUSelected,
             &Selections::SpreadsheetSelected, &Selections::BusinessSelected,
             &Selections::ImagingSelected});
    EXPECT_EQ(rig.state.scores.BMFPUh, 1234);
    EXPECT_EQ(rig.state.scores.BMFPUl, 98);
    EXPECT_EQ(rig.state.scores.BMSSA, 1234);
    EXPECT_EQ(rig.state.scores.BMBSA, 77);
    EXPECT_EQ(rig.state.scores.BMISA, 0);
    EXPECT_EQ(rig.saver.savedScores, rig.state.scores);
}

TEST(RunSequence, PhasesShowTheirTextsInOrderThenYieldBeforeMeasuring) {
    RunRig rig;
    rig.planned = {1000};
    rig.dialogs.answer(kGoodName);
    rig.run({&Selections::SoftwareSelected, &Selections::ImagingSelected});
    const auto& events = rig.log.events();
    const auto at =
        std::find(events.begin(), events.end(), std::string("status ") + shown::ImagingStatus);
    ASSERT_NE(at, events.end());
    const std::vector<std::string> imaging(at, at + 9);
    const std::vector<std::string> expected{std::string("status ") + shown::ImagingStatus,
                                            "progress Benchmark Progress: Phase 2 of 2",
                                            std::string("estimate ") + shown::About30Seconds,
                                            std::string("description ") + shown::ImagingDescription,
                                            "yield x1",
                                            "measure 31",
                                            "yield x1",
                                            "image 5 20",
                                            std::string("status ") + shown::CompleteStatus};
    EXPECT_EQ(imaging, expected);
}

TEST(RunSequence, BusinessBuildsItsBlockWithoutYieldingAndEmptiesItAfterwards) {
    RunRig rig;
    rig.dialogs.answer(kGoodName);
    std::size_t blockSize = 0;
    Benchmark* current = nullptr;
    auto schedule = rig.page.onMeasurement;
    rig.page.onMeasurement = [&] {
        blockSize = current->businessBlock().size();
        schedule();
    };
    rig.state.selections.SoftwareSelected = True;
    rig.state.selections.BusinessSelected = True;
    Benchmark benchmark(rig.state, {rig.clock, rig.pump, rig.dialogs, rig.page});
    current = &benchmark;
    benchmark.Reset_Scores();
    benchmark.Count_Phases();
    benchmark.Throttle_System();
    EXPECT_NE(benchmark.Run_Benchmarks(), RunOutcome::NothingMeasured);
    EXPECT_EQ(blockSize, 16'384u);
    EXPECT_TRUE(benchmark.businessBlock().empty());
    EXPECT_TRUE(benchmark.businessCopy().empty());
    const auto& events = rig.log.events();
    const auto at = std::find(events.begin(), events.end(),
                              std::string("description ") + shown::BusinessDescription);
    ASSERT_NE(at, events.end());
    EXPECT_EQ(*(at + 1), "yield x1");
    EXPECT_EQ(*(at + 2), "measure 31");
}

TEST(Direct3DPhase, ConvertsTheChosenTextureThenRunsTheTunnel) {
    RunRig rig;
    rig.state.selections.TextureQuality = 1;
    rig.dialogs.answer(kGoodName);
    rig.run({&Selections::HardwareSelected, &Selections::Direct3DSelected});
    const auto& events = rig.log.events();
    const auto at = std::find(events.begin(), events.end(),
                              std::string("description ") + shown::Direct3DDescription);
    ASSERT_NE(at, events.end());
    const std::vector<std::string> steps(at + 1, at + 10);
    const std::vector<std::string> expected{"yield x1",     "tunnel load /opt/vexo/data/medtex.ctf",
                                            "yield x1",     "tunnel save /opt/vexo/graphics.dat",
                                            "tunnel clear", "yield x1",
                                            "tunnel run",   "tunnel unload",
                                            "image 2 20"};
    EXPECT_EQ(steps, expected);
    EXPECT_EQ(rig.state.scores.BMDR3D, 60);
}

TEST(Direct3DPhase, TextureQualitiesPickTheirFiles) {
    for (const auto& [quality, file] : {std::pair{0, "lowtex"}, {2, "hightex"}}) {
        RunRig rig;
        rig.state.selections.TextureQuality = static_cast<std::int16_t>(quality);
        rig.dialogs.answer(kGoodName);
        rig.run({&Selections::HardwareSelected, &Selections::Direct3DSelected});
        EXPECT_EQ(rig.log.withPrefix("tunnel load "),
                  std::vector<std::string>{std::string("/opt/vexo/data/") + file + ".ctf"});
    }
}

TEST(Direct3DPhase, AnUnpreparedTextureSkipsThePhaseWithAMessage) {
    struct Case {
        std::int16_t quality;
        bool loadWorks, saveWorks;
        std::string said;
        PhaseOutcome outcome;
    };
    for (const Case& c : {Case{7, true, true, "texture quality setting (7) is not valid",
                               PhaseOutcome::InvalidSetting},
                          Case{0, false, true, "/opt/vexo/data/lowtex.ctf could not be loaded",
                               PhaseOutcome::TextureUnreadable},
                          Case{0, true, false, "/opt/vexo/graphics.dat could not be written",
                               PhaseOutcome::TextureUnreadable}}) {
        SCOPED_TRACE(c.said);
        RunRig rig;
        rig.state.selections.TextureQuality = c.quality;
        rig.tunnel.loadWorks = c.loadWorks;
        rig.tunnel.saveWorks = c.saveWorks;
        rig.run({&Selections::HardwareSelected, &Selections::Direct3DSelected});
        ASSERT_EQ(rig.dialogs.messages.size(), 1u);
        EXPECT_NE(rig.dialogs.messages[0].text.find(c.said), std::string::npos)
            << rig.dialogs.messages[0].text;
        EXPECT_EQ(rig.dialogs.messages[0].style, MsgStyle::Exclamation);
        EXPECT_TRUE(rig.log.withPrefix("tunnel run").empty());
        EXPECT_EQ(rig.state.run.outcomes[4], c.outcome);
        EXPECT_EQ(rig.log.withPrefix("progress ").back(), "Benchmark Progress: Phase 2 of 2");
    }
}

// Beside a benchmark that measured, the run is saved, and the skipped one keeps its reason.
TEST(Direct3DPhase, ASkippedPhaseKeepsItsReasonAndIsNoLongerPending) {
    struct Case {
        PhaseOutcome outcome;
        bool wired;
        std::string reason;
    };
    for (const Case& c :
         {Case{PhaseOutcome::Escape, true, "stopped with Escape"},
          Case{PhaseOutcome::Unavailable, false, "no OpenGL tunnel in this build"}}) {
        SCOPED_TRACE(c.reason);
        RunRig rig;
        rig.tunnel.outcome = c.outcome;
        rig.dialogs.answer(kGoodName);
        const RunOutcome outcome =
            rig.run({&Selections::HardwareSelected, &Selections::Direct3DSelected,
                     &Selections::SoftwareSelected, &Selections::BusinessSelected},
                    c.wired);
        EXPECT_EQ(outcome, c.wired ? RunOutcome::Saved : RunOutcome::NotSaved);
        EXPECT_EQ(rig.state.scores.BMDR3D, 0);
        EXPECT_EQ(rig.state.run.outcomes[4], c.outcome);
        EXPECT_EQ(rig.page.benchImage(2), RunPageView::GroupNotRunPicture);
        const auto statuses = rig.log.withPrefix("status ");
        EXPECT_NE(std::find(statuses.begin(), statuses.end(),
                            "Status: Direct3D benchmark skipped (" + c.reason + ")"),
                  statuses.end());
        if (c.wired) {
            EXPECT_EQ(statuses.back(),
                      "Status: Benchmark Complete, without a score: Direc3D (" + c.reason + ")");
        }
        EXPECT_EQ(rig.state.run.CurrentPhase, 4);
    }
}

TEST(Naming, AsksUntilANameFollowsEveryRuleShowingTheFirstBrokenRule) {
    RunRig rig;
    for (const char* answer :
         {"", "sixsix", "abc:;defg", "abc>>:defg", "ab||cdefg", ";abcdefg", "a : ; > > : | | ok"})
        rig.dialogs.answer(std::string(answer));
    rig.run(kSomethingMeasured);

    ASSERT_EQ(rig.dialogs.questions.size(), 7u);
    for (const auto& question : rig.dialogs.questions) {
        EXPECT_EQ(question.title, "Benchmark Name?");
        EXPECT_EQ(question.prompt,
                  std::string(shown::NamePromptFirst) + '\r' + shown::NamePromptSecond);
        EXPECT_EQ(question.defaultText, "");
        EXPECT_EQ(question.leftTwips, 45);
        EXPECT_EQ(question.topTwips, 300);
    }
    std::vector<std::string> said;
    for (const auto& message : rig.dialogs.messages) {
        EXPECT_EQ(message.style, 48);
        EXPECT_EQ(message.title, shown::ApplicationTitle);
        said.push_back(message.text);
    }
    const std::vector<std::string> expected{shown::NameTooShort,    shown::NameTooShort,
                                            shown::NameHasSequence, shown::NameHasSequence,
                                            shown::NameHasSequence, shown::NameLeadingSemicolon};
    EXPECT_EQ(said, expected);
    EXPECT_EQ(rig.state.run.BenchmarkName, "a : ; > > : | | ok");
    EXPECT_EQ(rig.saver.savedName, "a : ; > > : | | ok");
}

TEST(Naming, RulesInTheirOrder) {
    const std::vector<std::pair<std::string, const char*>> cases{
        {"123456", shown::NameTooShort},
        {"1234567", nullptr},
        {"  spaced ", nullptr}, // kept as typed: blanks count
        {"Caf\xC3\xA9"
         "01",
         shown::NameTooShort}, // six characters in seven bytes
        {"Caf\xC3\xA9"
         "012",
         nullptr},
        {"x;y;z;w", nullptr},
        {";abcdefg", shown::NameLeadingSemicolon},
        {";abc:;defg", shown::NameHasSequence}, // sequences are tested first
        {"abc:;", shown::NameTooShort},
        {"abcd||", shown::NameTooShort},
        {"ab:|;>>:", shown::NameHasSequence},
        {"ab>>x:xx", nullptr},
    };
    for (const auto& [name, message] : cases) {
        const auto problem = benchmarkNameProblem(name);
        if (message == nullptr)
            EXPECT_FALSE(problem) << name;
        else
            EXPECT_EQ(problem.value_or("accepted"), message) << name;
    }
}

TEST(Naming, AClosedInputEndsTheRunUnsaved) {
    RunRig rig;
    rig.dialogs.answer(std::string("short"));
    EXPECT_EQ(rig.run(kSomethingMeasured), RunOutcome::NoName);
    EXPECT_TRUE(rig.log.withPrefix("save ").empty());
    EXPECT_EQ(rig.page.text(RunPageView::StatusLine), shown::NotSavedNoName);
}

TEST(SaveAndHandOff, SavesToTheAppFolderYieldsThenImports) {
    RunRig rig;
    rig.dialogs.answer(kGoodName);
    EXPECT_EQ(rig.run(kSomethingMeasured), RunOutcome::Saved);
    const auto& events = rig.log.events();
    const std::vector<std::string> tail(events.end() - 3, events.end());
    const std::vector<std::string> expected{"save /opt/vexo/last benchmark.vgf", "yield x1",
                                            "import /opt/vexo/last benchmark.vgf"};
    EXPECT_EQ(tail, expected);
    EXPECT_EQ(rig.page.text(RunPageView::StatusLine), shown::CompleteStatus);
}

TEST(SaveAndHandOff, WritesGoToTheResultsFolderOrTheChosenFile) {
    RunRig rig;
    rig.state.folders.ResultsFolder = "/home/ann/.local/share/vexogauge/";
    rig.dialogs.answer(kGoodName);
    rig.run({&Selections::HardwareSelected, &Selections::Direct3DSelected});
    EXPECT_EQ(rig.log.withPrefix("tunnel load "),
              std::vector<std::string>{"/opt/vexo/data/lowtex.ctf"});
    EXPECT_EQ(rig.log.withPrefix("tunnel save "),
              std::vector<std::string>{"/home/ann/.local/share/vexogauge/graphics.dat"});
    EXPECT_EQ(rig.log.withPrefix("save "),
              std::vector<std::string>{"/home/ann/.local/share/vexogauge/last benchmark.vgf"});

    RunRig chosen;
    chosen.dialogs.answer(kGoodName);
    chosen.state.selections.SoftwareSelected = True;
    chosen.state.selections.BusinessSelected = True;
    Benchmark benchmark(chosen.state, {chosen.clock, chosen.pump, chosen.dialogs, chosen.page},
                        {nullptr, &chosen.saver, &chosen.saver, "/tmp/first.vgf"});
    benchmark.Reset_Scores();
    benchmark.Count_Phases();
    benchmark.Throttle_System();
    EXPECT_EQ(benchmark.Run_Benchmarks(), RunOutcome::Saved);
    EXPECT_EQ(chosen.log.withPrefix("import "), std::vector<std::string>{"/tmp/first.vgf"});
}

TEST(SaveAndHandOff, AFailedSaveIsReportedAndNothingIsImported) {
    RunRig rig;
    rig.saver.saveWorks = false;
    rig.dialogs.answer(kGoodName);
    EXPECT_EQ(rig.run(kSomethingMeasured), RunOutcome::NotSaved);
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_NE(rig.dialogs.messages[0].text.find("/opt/vexo/last benchmark.vgf"), std::string::npos);
    EXPECT_TRUE(rig.log.withPrefix("import ").empty());
    EXPECT_EQ(rig.page.text(RunPageView::StatusLine), shown::NotSavedFailed);
}

TEST(SaveAndHandOff, CharactersStoredAsTheSubstituteAreSaidBeforeTheImport) {
    RunRig rig;
    rig.saver.substituted = 3;
    rig.saver.page = &rig.page;
    rig.dialogs.answer(kGoodName);
    EXPECT_EQ(rig.run(kSomethingMeasured), RunOutcome::Saved);
    EXPECT_EQ(rig.saver.statusAtImport, shown::SavedWithSubstitutes);
    EXPECT_EQ(rig.page.text(RunPageView::StatusLine), shown::SavedWithSubstitutes);
}

TEST(SaveAndHandOff, WithoutAWriterTheRunSaysItWasNotSaved) {
    RunRig rig;
    rig.dialogs.answer(kGoodName);
    EXPECT_EQ(rig.run(kSomethingMeasured, false), RunOutcome::NotSaved);
    EXPECT_EQ(rig.page.text(RunPageView::StatusLine), shown::NotSavedNoWriter);
    EXPECT_EQ(rig.state.run.BenchmarkName, kGoodName);
}

} // namespace
} // namespace vexo
