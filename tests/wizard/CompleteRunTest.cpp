// The whole program's path without a display: the complete route through the wizard, a run with
// every benchmark against a fast scripted clock and a fake drawing surface, the file written and
// imported into the result browser, the score card, and Finish into the browser.
#include "benchfile/BenchmarkFile.h"
#include "benchfile/EngineWriter.h"
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

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace vexo {
namespace {

class NullCanvas final : public TunnelCanvas {
public:
    std::optional<std::string> initialise(const DisplayMode&) override { return std::nullopt; }
    bool surfacesLost() override { return false; }
    void restoreSurfaces() override {}
    bool InitDevice(const Tunnel&, const std::string&) override { return true; }
    bool Render(Tunnel&) override {
        ++frames;
        return true;
    }
    TunnelStop stopRequested() const override {
        return frames >= stopAtFrame ? stopAs : TunnelStop::None;
    }

    std::int64_t frames = 0;
    std::int64_t stopAtFrame = 0;
    TunnelStop stopAs = TunnelStop::None; // what the user does at that frame
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
    Direct3DResult Benchmark_NOW() override {
        const TunnelResult result = m_benchmark.Benchmark_NOW(m_state.selections, "graphics.dat");
        return {result.outcome, result.framesPerSecond};
    }
    void unload() override {}

    NullCanvas m_canvas;

private:
    AppState& m_state;
    TunnelBenchmark m_benchmark;
};

class FixedTasks final : public TaskTitleSource {
public:
    std::vector<std::string> applicationTaskTitles() override { return {"Editor", "Mail"}; }
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
            Benchmark benchmark(state, {clock, pump, dialogs, wizard},
                                {&tunnel, &writer, &browser, {}});
            benchmark.Reset_Scores();
            benchmark.Count_Phases();
            benchmark.Throttle_System();
            outcome = benchmark.Run_Benchmarks();
        };
        wizard.Change_Page();
        wizard.Handle_Key('N'); // main menu
    }

    // The custom route with the given check box keys on the hardware and software pages,
    // Next through the remaining pages, and the run on page 10.
    void customRun(const std::string& groups, const std::string& benchmarks) {
        wizard.Handle_Key('N');
        for (const char key : groups)
            wizard.Handle_Key(key);
        for (int page = 0; page < 10 && wizard.CurrentPage() < 10; ++page) {
            wizard.Handle_Key('N');
            for (const char key : benchmarks)
                if (wizard.CurrentPage() == 4 || wizard.CurrentPage() == 5)
                    wizard.Handle_Key(key);
        }
        ASSERT_EQ(wizard.CurrentPage(), 10);
    }
    std::string lastBenchmark() const { return results.path("last benchmark.vgf"); }
    const std::string& caption(std::size_t frameText) const {
        return wizard.elements().FrameText[frameText].caption;
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
    FixedTasks tasks;
    Wizard wizard{state, settings};
    ResultBrowser browser{{dialogs, files}, state.folders.ResultsFolder};
    SystemInfo info{{machine.processor, machine.memory, machine.os, machine.graphics}, dialogs};
    benchfile::EngineWriter writer{state, info, tasks, {}};
    LoopOnlyTunnel tunnel{state, clock, pump};
    bool browserShown = false;
    RunOutcome outcome = RunOutcome::NotRun;
};

TEST(CompleteRun, FromTheMainMenuToTheRecordInTheResultBrowser) {
    ProgramRig rig;
    rig.dialogs.answer(std::string("Complete route run"));
    rig.wizard.Handle_Key('P'); // complete benchmark
    rig.wizard.Handle_Key('N'); // Direct3D options
    ASSERT_EQ(rig.wizard.CurrentPage(), 6);
    for (int next = 7; next <= 10; ++next) {
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
    for (int group = 0; group < 6; ++group)
        EXPECT_EQ(rig.wizard.elements().BenchImage[static_cast<std::size_t>(group)],
                  RunPageView::GroupDonePicture);

    rig.wizard.Handle_Key('N'); // score card
    EXPECT_EQ(rig.wizard.CurrentPage(), 11);
    EXPECT_NE(rig.caption(55).find("Direc3D: "), std::string::npos);
    rig.wizard.Handle_Key('N'); // Finish
    EXPECT_TRUE(rig.browserShown);

    // The file exists and its record stands in all three lists.
    EXPECT_FALSE(test::TempFolder::read(rig.lastBenchmark()).empty());
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

// A run that measured nothing (Escape in the tunnel of a Direct3D-only run) or whose save
// failed: the earlier result stays, nothing is called a success, and the score card says why.
TEST(CompleteRun, ARunThatSavesNothingKeepsTheEarlierResultAndTheScoreCardSaysWhy) {
    for (const bool measured : {false, true}) {
        SCOPED_TRACE(measured ? "the save failed" : "Escape in the tunnel");
        ProgramRig rig;
        if (measured) {
            std::filesystem::create_directory(rig.lastBenchmark()); // the file's place is taken
        } else {
            std::ofstream(rig.lastBenchmark()) << "an earlier complete run";
            rig.tunnel.m_canvas.stopAtFrame = 20;
            rig.tunnel.m_canvas.stopAs = TunnelStop::Escape;
        }
        rig.dialogs.answer(std::string("Spreadsheet only"));
        rig.customRun(measured ? "S" : "D", measured ? "S" : "D"); // the group; its first check

        EXPECT_EQ(rig.outcome, measured ? RunOutcome::NotSaved : RunOutcome::NothingMeasured);
        EXPECT_EQ(rig.browser.rowCount(), 0u);
        for (const auto& message : rig.dialogs.messages)
            EXPECT_EQ(message.text.find("Success"), std::string::npos) << message.text;
        if (!measured) {
            EXPECT_EQ(test::TempFolder::read(rig.lastBenchmark()), "an earlier complete run");
        }
        rig.wizard.Handle_Key('N'); // score card
        ASSERT_EQ(rig.wizard.CurrentPage(), 11);
        EXPECT_EQ(rig.caption(55).rfind(
                      measured ? "Spreadsheet: " : "Direc3D: no score (stopped with Escape)\r", 0),
                  0u)
            << rig.caption(55);
        EXPECT_EQ(rig.caption(53),
                  measured ? "Benchmark Not Saved: the file last benchmark.vgf could not be "
                             "written (" +
                                 rig.state.folders.ResultsFolder + ")"
                           : "Benchmark Not Saved: nothing was measured, so no file was replaced");
    }
}

} // namespace
} // namespace vexo
