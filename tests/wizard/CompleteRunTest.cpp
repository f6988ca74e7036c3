// The whole program's path without a display: the complete route through the wizard, a run with
// every benchmark against a fast scripted clock and a fake drawing surface, the file written and
// imported into the result browser, the score card, and Finish into the browser.
#include "benchfile/BenchmarkFile.h"
#include "browser/ResultBrowser.h"
#include "engine/Benchmark.h"
#include "support/FakeClock.h"
#include "support/FakeDesktop.h"
#include "support/FakeSystem.h"
#include "support/RunRecorder.h"
#include "support/TempFolder.h"
#include "sysinfo/SystemInfo.h"
#include "taskman/TaskTitles.h"
#include "tunnel/TunnelBenchmark.h"
#include "wizard/Wizard.h"

#include <gtest/gtest.h>

namespace vexo {
namespace {

class NullCanvas final : public TunnelCanvas {
public:
    std::optional<std::string> initialise(const DisplayMode&) override { return std::nullopt; }
    bool surfacesLost() override { return false; }
    void restoreSurfaces() override {}
    bool InitDevice(const Tunnel&, const std::string&) override { return true; }
    bool Render(Tunnel&) override { return true; }
    TunnelStop stopRequested() const override { return TunnelStop::None; }
    void show() override {}
    void hide() override {}
    void release() override {}
};

// The Direct3D phase with the real timed loop on a surface that draws nothing.
class LoopOnlyTunnel final : public TunnelStage {
public:
    LoopOnlyTunnel(AppState& state, SecondsClock& clock, MessagePump& pump)
        : m_state(state)
        , m_benchmark(clock, pump, m_canvas) {}
    bool loadTexturePicture(const std::string&) override { return true; }
    bool saveTexturePicture(const std::string&) override { return true; }
    void clearTexturePicture() override {}
    bool Benchmark_NOW() override {
        return !m_benchmark.Benchmark_NOW(m_state.selections, "graphics.dat", m_state.scores.BMDR3D)
                    .error;
    }
    void unload() override {}

private:
    AppState& m_state;
    NullCanvas m_canvas;
    TunnelBenchmark m_benchmark;
};

class FixedTasks final : public TaskTitleSource {
public:
    std::vector<std::string> applicationTaskTitles() override { return {"Editor", "Mail"}; }
};

TEST(CompleteRun, FromTheMainMenuToTheRecordInTheResultBrowser) {
    test::TempFolder results;
    AppState state;
    state.folders.AppFolder = "/nonexistent/";
    state.folders.ResultsFolder = results.folder().string() + "/";
    test::MemorySettings settings;
    test::EventLog log;
    test::ScriptedDialogs dialogs(log);
    test::FakeFileDialogs files;
    test::CountingPump pump(log);
    test::FakeClock clock(0, 52); // 50 counted readings or iterations a second
    test::FakeMachine machine;
    FixedTasks tasks;

    Wizard wizard(state, settings);
    ResultBrowser browser({dialogs, files}, state.folders.ResultsFolder);
    browser.Form_Load();
    SystemInfo info({machine.processor, machine.memory, machine.os, machine.graphics}, dialogs);
    benchfile::EngineWriter writer(state, info, tasks, {});
    LoopOnlyTunnel tunnel(state, clock, pump);
    bool browserShown = false;
    wizard.commands.showResultBrowser = [&] { browserShown = true; };
    wizard.commands.runBenchmark = [&] {
        Benchmark benchmark(state, {clock, pump, dialogs, wizard}, {&tunnel, &writer, &browser, {}});
        benchmark.Reset_Scores();
        benchmark.Count_Phases();
        benchmark.Throttle_System();
        benchmark.Run_Benchmarks();
    };
    dialogs.answer(std::string("Complete route run"));

    wizard.Change_Page();
    wizard.Handle_Key('N'); // main menu
    wizard.Handle_Key('P'); // complete benchmark
    wizard.Handle_Key('N'); // Direct3D options
    ASSERT_EQ(wizard.CurrentPage(), 6);
    for (int next = 7; next <= 10; ++next) {
        wizard.Handle_Key('N');
        ASSERT_EQ(wizard.CurrentPage(), next);
    }
    // The run has finished on page 10: every score was measured.
    for (const ScoreField& score : kScoreFields)
        EXPECT_GT(state.scores.*score.member, 0) << score.key;
    EXPECT_EQ(state.run.PhaseCount, 9);
    EXPECT_EQ(dialogs.messages.back().text,
              "Your File Has Been Successfully Loaded: last benchmark.vgf");
    for (int group = 0; group < 6; ++group)
        EXPECT_EQ(wizard.elements().BenchImage[static_cast<std::size_t>(group)],
                  RunPageView::GroupDonePicture);

    wizard.Handle_Key('N'); // score card
    EXPECT_EQ(wizard.CurrentPage(), 11);
    EXPECT_NE(wizard.elements().FrameText[55].caption.find("Direc3D: "), std::string::npos);
    wizard.Handle_Key('N'); // Finish
    EXPECT_TRUE(browserShown);

    // The file exists and its record stands in all three lists.
    EXPECT_FALSE(test::TempFolder::read(results.path("last benchmark.vgf")).empty());
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
            .rfind(std::to_string(state.scores.BMDR3D) + "(640x480@16 Bit /w Low textures)", 0),
        0u);
}

} // namespace
} // namespace vexo
