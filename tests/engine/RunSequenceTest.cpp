#include "engine/Benchmark.h"
#include "support/ShownTexts.h"
#include "support/FakeClock.h"
#include "support/RunRecorder.h"

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
    FakeTunnel(EventLog& log, ScoreSet& scores)
        : m_log(log)
        , m_scores(scores) {}
    bool loadTexturePicture(const std::string& path) override {
        m_log.add("tunnel load " + path);
        return loadWorks;
    }
    bool saveTexturePicture(const std::string& path) override {
        m_log.add("tunnel save " + path);
        return saveWorks;
    }
    void clearTexturePicture() override { m_log.add("tunnel clear"); }
    bool Benchmark_NOW() override {
        m_log.add("tunnel run");
        if (runWorks)
            m_scores.BMDR3D = 60;
        return runWorks;
    }
    void unload() override { m_log.add("tunnel unload"); }

    bool loadWorks = true;
    bool saveWorks = true;
    bool runWorks = true;

private:
    EventLog& m_log;
    ScoreSet& m_scores;
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

    RunOutcome run(std::initializer_list<Flag Selections::*> chosen, bool wired = true) {
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
    FakeTunnel tunnel{log, state.scores};
    FakeSaver saver{log, state};
    std::deque<std::int64_t> planned;
};

constexpr auto kEverything = {&Selections::HardwareSelected, &Selections::SoftwareSelected,
                              &Selections::CPUSelected,      &Selections::FPUSelected,
                              &Selections::Direct3DSelected, &Selections::SpreadsheetSelected,
                              &Selections::BusinessSelected, &Selections::ImagingSelected};

TEST(CountPhases, CountsChosenPhasesWithoutLookingAtTheGroups) {
    struct Case {
        std::vector<Flag Selections::*> flags;
        int expected;
    };
    const std::vector<Case> cases{
        {{}, 1},
        {{&Selections::HardwareSelected, &Selections::Direct3DSelected}, 2},
        {{&Selections::CPUSelected}, 3},
        {{&Selections::FPUSelected, &Selections::ImagingSelected}, 4},
        {std::vector<Flag Selections::*>(kEverything), 9},
    };
    for (const Case& c : cases) {
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

TEST(RunSequence, APhaseInAnUnchosenGroupIsCountedButDoesNotRun) {
    RunRig rig;
    rig.dialogs.answer(kGoodName);
    rig.run(
        {&Selections::CPUSelected, &Selections::SoftwareSelected, &Selections::BusinessSelected});
    EXPECT_EQ(rig.state.run.PhaseCount, 4);
    EXPECT_TRUE(rig.log.withPrefix(std::string("status ") + shown::CacheStatus).empty());
    EXPECT_EQ(rig.state.scores.BMCPUh, 0);
    EXPECT_EQ(rig.state.scores.BMCPUl, 0);
    // Business is the second phase, and the completion line shows the counted total.
    EXPECT_EQ(rig.log.withPrefix("progress ").back(), "Benchmark Progress: Phase 4 of 4");
    EXPECT_NE(rig.state.scores.BMBSA, 0);
}

TEST(RunSequence, NothingChosenStillThrottlesAsksAndSavesZeroScores) {
    RunRig rig;
    rig.dialogs.answer(kGoodName);
    EXPECT_EQ(rig.run({}), RunOutcome::Saved);
    EXPECT_EQ(rig.state.run.ThrottleTries, 3);
    EXPECT_EQ(rig.log.withPrefix("progress ").back(), "Benchmark Progress: Phase 1 of 1");
    EXPECT_EQ(rig.saver.savedScores, ScoreSet{});
    EXPECT_EQ(rig.saver.savedName, kGoodName);
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
    benchmark.Run_Benchmarks();

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
    const auto at = std::find(events.begin(), events.end(), std::string("status ") + shown::RamStatus);
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
    benchmark.Run_Benchmarks();
    EXPECT_EQ(blockSize, 16'384u);
    EXPECT_TRUE(benchmark.businessBlock().empty());
    EXPECT_TRUE(benchmark.businessCopy().empty());
    const auto& events = rig.log.events();
    const auto at =
        std::find(events.begin(), events.end(), std::string("description ") + shown::BusinessDescription);
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
    const auto at =
        std::find(events.begin(), events.end(), std::string("description ") + shown::Direct3DDescription);
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
    };
    for (const Case& c : {Case{7, true, true, "texture quality setting (7) is not valid"},
                          Case{0, false, true, "/opt/vexo/data/lowtex.ctf could not be loaded"},
                          Case{0, true, false, "/opt/vexo/graphics.dat could not be written"}}) {
        RunRig rig;
        rig.state.selections.TextureQuality = c.quality;
        rig.tunnel.loadWorks = c.loadWorks;
        rig.tunnel.saveWorks = c.saveWorks;
        rig.dialogs.answer(kGoodName);
        EXPECT_EQ(rig.run({&Selections::HardwareSelected, &Selections::Direct3DSelected}),
                  RunOutcome::Saved);
        ASSERT_EQ(rig.dialogs.messages.size(), 1u);
        EXPECT_NE(rig.dialogs.messages[0].text.find(c.said), std::string::npos)
            << rig.dialogs.messages[0].text;
        EXPECT_EQ(rig.dialogs.messages[0].style, MsgStyle::Exclamation);
        EXPECT_TRUE(rig.log.withPrefix("tunnel run").empty());
        EXPECT_EQ(rig.state.scores.BMDR3D, 0);
        EXPECT_EQ(rig.page.benchImage(2), 0);
        EXPECT_EQ(rig.log.withPrefix("progress ").back(), "Benchmark Progress: Phase 2 of 2");
        EXPECT_EQ(rig.log.withPrefix("status ").at(rig.log.withPrefix("status ").size() - 2),
                  shown::Direct3DSkipped);
    }
}

TEST(Direct3DPhase, AMeasurementThatCannotRunLeavesTheGroupUnmarked) {
    RunRig rig;
    rig.tunnel.runWorks = false;
    rig.dialogs.answer(kGoodName);
    rig.run({&Selections::HardwareSelected, &Selections::Direct3DSelected});
    EXPECT_EQ(rig.state.scores.BMDR3D, 0);
    EXPECT_EQ(rig.page.benchImage(2), 0);
    EXPECT_EQ(rig.log.withPrefix("tunnel unload").size(), 1u);
    const auto statuses = rig.log.withPrefix("status ");
    EXPECT_EQ(statuses.at(statuses.size() - 2), shown::Direct3DFailed);
}

TEST(Direct3DPhase, WithoutATunnelThePhaseIsSkippedAndSaidSo) {
    RunRig rig;
    rig.dialogs.answer(kGoodName);
    rig.run({&Selections::HardwareSelected, &Selections::Direct3DSelected}, false);
    EXPECT_EQ(rig.log.withPrefix("status ").at(rig.log.withPrefix("status ").size() - 3),
              shown::Direct3DUnavailable);
    EXPECT_EQ(rig.state.run.CurrentPhase, 3);
    EXPECT_EQ(rig.page.benchImage(2), 0);
}

TEST(Naming, AsksUntilANameFollowsEveryRuleShowingTheFirstBrokenRule) {
    RunRig rig;
    for (const char* answer :
         {"", "sixsix", "abc:;defg", "abc>>:defg", "ab||cdefg", ";abcdefg", "a : ; > > : | | ok"})
        rig.dialogs.answer(std::string(answer));
    rig.run({});

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
    EXPECT_EQ(rig.run({}), RunOutcome::NoName);
    EXPECT_TRUE(rig.log.withPrefix("save ").empty());
    EXPECT_EQ(rig.page.text(RunPageView::StatusLine), shown::NotSavedNoName);
}

TEST(SaveAndHandOff, SavesToTheAppFolderYieldsThenImports) {
    RunRig rig;
    rig.dialogs.answer(kGoodName);
    EXPECT_EQ(rig.run({}), RunOutcome::Saved);
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
    Benchmark benchmark(chosen.state, {chosen.clock, chosen.pump, chosen.dialogs, chosen.page},
                        {nullptr, &chosen.saver, &chosen.saver, "/tmp/first.vgf"});
    benchmark.Reset_Scores();
    benchmark.Count_Phases();
    benchmark.Throttle_System();
    benchmark.Run_Benchmarks();
    EXPECT_EQ(chosen.log.withPrefix("import "), std::vector<std::string>{"/tmp/first.vgf"});
}

TEST(SaveAndHandOff, AFailedSaveIsReportedAndNothingIsImported) {
    RunRig rig;
    rig.saver.saveWorks = false;
    rig.dialogs.answer(kGoodName);
    EXPECT_EQ(rig.run({}), RunOutcome::NotSaved);
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
    EXPECT_EQ(rig.run({}), RunOutcome::Saved);
    EXPECT_EQ(rig.saver.statusAtImport, shown::SavedWithSubstitutes);
    EXPECT_EQ(rig.page.text(RunPageView::StatusLine), shown::SavedWithSubstitutes);
}

TEST(SaveAndHandOff, WithoutAWriterTheRunSaysItWasNotSaved) {
    RunRig rig;
    rig.dialogs.answer(kGoodName);
    EXPECT_EQ(rig.run({}, false), RunOutcome::NotSaved);
    EXPECT_EQ(rig.page.text(RunPageView::StatusLine), shown::NotSavedNoWriter);
    EXPECT_EQ(rig.state.run.BenchmarkName, kGoodName);
}

} // namespace
} // namespace vexo
