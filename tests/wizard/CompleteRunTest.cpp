// The whole program's path without a display: the complete route through the wizard, a run with
// every benchmark against a fast scripted clock and a fake drawing surface, the file written and
// imported into the result browser, the score card, and Finish into the browser.
#include "benchfile/BenchmarkFile.h"
#include "browser/ResultBrowser.h"
#include "cli/RunCommand.h"
#include "engine/EngineWriter.h"
#include "engine/RunSession.h"
#include "support/FakeClock.h"
#include "support/FakeDesktop.h"
#include "support/FakeSystem.h"
#include "support/RunRecorder.h"
#include "support/TempFolder.h"
#include "sysinfo/SystemInfo.h"
#include "tunnel/TunnelBenchmark.h"
#include "wizard/Wizard.h"

#include <gtest/gtest.h>
#include <sstream>

namespace vexo {
namespace {

// The Direct3D phase with the real timed loop, on a surface of its own that draws nothing.
struct LoopOnlyTunnel final : TunnelStage, TunnelCanvas {
    LoopOnlyTunnel(AppState& state, SecondsClock& clock, MessagePump& pump)
        : m_state(state)
        , m_benchmark(clock, pump, *this) {}
    bool loadTexturePicture(const std::string&) override { return true; }
    bool saveTexturePicture(const std::string&) override { return true; }
    void clearTexturePicture() override {}
    Direct3DResult Benchmark_NOW() override {
        const TunnelResult result = m_benchmark.Benchmark_NOW(m_state.selections, "graphics.dat");
        return {result.outcome, result.framesPerSecond, result.message};
    }
    void unload() override {}
    Status initialise(const DisplayMode&) override { return Status::success(); }
    bool surfacesLost() override { return false; }
    void restoreSurfaces() override {}
    bool InitDevice(const Tunnel&, const std::string&) override { return true; }
    bool Render(Tunnel&) override { return true; }
    TunnelStop stopRequested() const override { return TunnelStop::None; }
    void show() override {}
    void hide() override {}
    void release() override {}

    AppState& m_state;
    TunnelBenchmark m_benchmark;
};

// The program without a display: the wizard, the engine against a fast scripted clock, the
// tunnel's loop on a surface that draws nothing, the file writer and the result browser.
struct ProgramRig {
    ProgramRig() {
        state.folders.AppFolder = "/nonexistent/";
        state.folders.ResultsFolder = results.folder().string() + "/";
        browser.Form_Load();
        wizard.commands.showResultBrowser = [this] { browserShown = true; };
        wizard.commands.runBenchmark = [this] {
            RunSession session(
                state, {clock, pump, dialogs, wizard, dialogs},
                {&tunnel,
                 &writer,
                 [this](const std::string& path) { browser.Import_Saved_Benchmark(path); },
                 {}});
            outcome = session.run().outcome;
        };
        wizard.Change_Page();
        wizard.Handle_Key('N'); // main menu
    }

    test::TempFolder results;
    AppState state;
    test::MemorySettings settings;
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    test::FakeFileDialogs files;
    test::CountingPump pump{log};
    test::FakeClock clock{0, 52}; // 50 counted readings or iterations a second
    test::FakeMachine machine;
    test::FixedTasks tasks;
    Wizard wizard{state, settings};
    ResultBrowser browser{{dialogs, files}, state.folders.ResultsFolder};
    SystemInfo info{{machine.processor, machine.memory, machine.os, machine.graphics}, dialogs};
    EngineWriter writer{info, tasks};
    LoopOnlyTunnel tunnel{state, clock, pump};
    bool browserShown = false;
    RunOutcome outcome = RunOutcome::NotRun;
};

TEST(CompleteRun, FromTheMainMenuToTheRecordInTheResultBrowser) {
    ProgramRig rig;
    rig.dialogs.answer(std::string("Complete route run"));
    rig.wizard.Handle_Key('P'); // complete benchmark
    using Page = Wizard::Page;
    for (const Page next : {Page::Direct3D, Page::SystemInformation, Page::ToolBox, Page::Ready,
                            Page::Run}) { // Direct3D options to the run
        rig.wizard.Handle_Key('N');
        ASSERT_EQ(rig.wizard.CurrentPage(), next);
    }
    // The run has finished on page 10: every score was measured.
    EXPECT_EQ(rig.outcome, RunOutcome::Saved);
    for (const ScoreField& score : kScoreFields)
        EXPECT_GT(rig.state.scores.*score.member, 0) << score.key;
    EXPECT_EQ(rig.state.run.PhaseCount, 9);
    EXPECT_EQ(rig.dialogs.messages.back().text,
              "Your File Has Been Successfully Loaded: last benchmark.vgf");
    std::array<int, 6> done{};
    done.fill(RunPageView::GroupDonePicture);
    EXPECT_EQ(rig.wizard.elements().BenchImage, done);

    rig.wizard.Handle_Key('N'); // score card
    EXPECT_EQ(rig.wizard.CurrentPage(), Page::ScoreCard);
    EXPECT_NE(rig.wizard.elements().FrameText[55].caption.find("Direc3D: "), std::string::npos);
    rig.wizard.Handle_Key('N'); // Finish
    EXPECT_TRUE(rig.browserShown);

    // The file exists and its record stands in all three lists.
    EXPECT_FALSE(test::TempFolder::read(rig.results.path("last benchmark.vgf")).empty());
    const ResultBrowser& browser = rig.browser;
    ASSERT_EQ(browser.rowCount(), 1u);
    for (const BrowserMode list :
         {BrowserMode::Platform, BrowserMode::Tasks, BrowserMode::Scores}) {
        EXPECT_EQ(browser.cell(list, 0, 1), "last benchmark.vgf");
        EXPECT_EQ(browser.cell(list, 0, 2), "Complete route run");
    }
    EXPECT_EQ(browser.cell(BrowserMode::Tasks, 0, 3), "Editor");
    EXPECT_EQ(browser.cell(BrowserMode::Platform, 0, 3), "104");
    EXPECT_EQ(
        browser.cell(BrowserMode::Scores, 0, 7)
            .rfind(std::to_string(rig.state.scores.BMDR3D) + "(640x480@16 Bit /w Low textures)", 0),
        0u);
}

// vexogauge-cli's run of every benchmark, wired as the terminal wires it, against the same
// fakes as the desktop's run, saves the same file byte for byte.
TEST(CompleteRun, TheTerminalSavesWhatTheDesktopSaves) {
    ProgramRig rig;
    rig.dialogs.answer(std::string("Complete route run"));
    rig.wizard.Handle_Key('P');
    for (int next = 6; next <= 10; ++next)
        rig.wizard.Handle_Key('N');

    test::TempFolder results;
    test::FakeClock clock{0, 52};
    std::istringstream in;
    std::ostringstream out, err;
    test::FakeMachine& m = rig.machine;
    const int status =
        runBenchmarks(*parseRunOptions({"--all", "--name", "Complete route run"}, err),
                      {"/nonexistent/", results.folder().string() + "/", {}, {}},
                      {clock,
                       {m.processor, m.memory, m.os, m.graphics},
                       rig.tasks,
                       [&rig](AppState& state, SecondsClock& c) {
                           return std::make_unique<LoopOnlyTunnel>(state, c, rig.pump);
                       }},
                      {in, out, err});
    EXPECT_EQ(status, 0) << err.str();
    const std::string saved = test::TempFolder::read(results.path("last benchmark.vgf"));
    EXPECT_EQ(saved.rfind(benchfile::BenchmarkHeader, 0), 0u);
    EXPECT_EQ(saved, test::TempFolder::read(rig.results.path("last benchmark.vgf")));
}

} // namespace
} // namespace vexo
