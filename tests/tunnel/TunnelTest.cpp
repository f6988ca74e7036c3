#include "tunnel/Tunnel.h"

#include "support/FakeClock.h"
#include "support/RunRecorder.h"
#include "tunnel/TunnelBenchmark.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vexo {
namespace {

Tunnel initialised() {
    Tunnel tunnel;
    tunnel.InitPoints();
    return tunnel;
}

// The first rings come once the camera is within 2.0 of the end, then one per 0.06; a tube end
// that wrapped past 199 before the camera did adds one on every frame.
TEST(TunnelMotion, RingsAreAddedAsTheCameraNearsTheEndIncludingAWrappedEnd) {
    Tunnel tunnel = initialised(); // 51 rings of 100 vertices, 50 segments of 600 indices
    EXPECT_EQ(tunnel.TubeVertices().size() + tunnel.TubeIndices().size(), 5101u + 30001u);
    EXPECT_NEAR(tunnel.TubeEndT(), 3.06f, 1e-4f);
    tunnel.takeTubeChanged();
    int added = 0, changed = 0;
    for (int frame = 0; frame < 2000; ++frame) {
        const float before = tunnel.TubeEndT();
        tunnel.MoveScene();
        added += tunnel.TubeEndT() != before ? 1 : 0;
        changed += tunnel.takeTubeChanged() ? 1 : 0;
    }
    EXPECT_TRUE(added == changed && added >= 200 - 20 && added <= 200 + 1) << added;
    EXPECT_NEAR(tunnel.EyeT(), 2000 * 0.006f, 0.01f);

    Tunnel shifted = initialised(); // every ring moves one block towards the camera
    shifted.UpdateTubeInMemory();
    EXPECT_EQ(shifted.TubeVertices()[5050].x, initialised().TubeVertices()[4950].x);
    Tunnel wrapped = initialised();
    wrapped.setEyeT(198.0f);
    wrapped.setTubeEndT(0.5f);
    for (int frame = 0; frame < 5; ++frame) {
        const float before = wrapped.TubeEndT();
        wrapped.MoveScene();
        EXPECT_NEAR(wrapped.TubeEndT() - before, 0.06f, 1e-4f) << frame;
    }
}

// A canvas that counts what it is asked, can lose its surfaces for a while (lostFor checks;
// below 0, for good), fail to draw every n-th frame, and be stopped after a number of frames.
class FakeCanvas final : public TunnelCanvas {
public:
    Status initialise(const DisplayMode& m) override {
        mode = m;
        return initialiseError.empty() ? Status::success() : Status::failure(initialiseError);
    }
    bool surfacesLost() override {
        const bool lost =
            loseAtFrame >= 0 && renders >= loseAtFrame && (lostChecks < lostFor || lostFor < 0);
        if (lost && lostChecks++ == 0)
            lostAtSecond = clock->secondsElapsed();
        if (lost && closeWhileLost && lostChecks > 2)
            stop = TunnelStop::WindowClosed;
        return lost;
    }
    void restoreSurfaces() override { ++restores; }
    bool InitDevice(const Tunnel&, const std::string& path) override {
        texture = path;
        ++setups;
        return textureLoads;
    }
    bool Render(Tunnel&) override {
        if (++renders == stopAtFrame)
            stop = stopAs;
        return failEvery == 0 || renders % failEvery != 0;
    }
    TunnelStop stopRequested() const override { return stop; }
    void show() override { shown = true; }
    void hide() override { shown = false; }
    void release() override { ++releases; }

    test::FakeClock* clock = nullptr;
    DisplayMode mode;
    std::string initialiseError;
    bool textureLoads = true, closeWhileLost = false, shown = false;
    int loseAtFrame = -1, lostFor = 3, lostChecks = 0, failEvery = 0, stopAtFrame = -1;
    std::int64_t lostAtSecond = -1;
    TunnelStop stopAs = TunnelStop::WindowClosed, stop = TunnelStop::None;
    int restores = 0, setups = 0, renders = 0, releases = 0;
    std::string texture;
};

struct LoopRig {
    LoopRig() { canvas.clock = &clock; }
    TunnelResult run(std::int64_t frames) {
        clock.scheduleWindow(frames);
        return benchmark.Benchmark_NOW(options, "/tmp/graphics.dat");
    }
    test::EventLog log;
    test::FakeClock clock{0, 4};
    test::CountingPump pump{log};
    FakeCanvas canvas;
    TunnelBenchmark benchmark{clock, pump, canvas};
    Selections options;
};

// How the phase ends: its outcome and message, the frames counted and drawn, the score.
TEST(TunnelLoop, FramesPerSecondIsTheCountOver30OrNothingWhenThePhaseDidNotEnd) {
    using O = PhaseOutcome;
    constexpr auto kMany = static_cast<std::int64_t>(TunnelBenchmark::kFrameRecord) + 500;
    const std::string closed =
        "The Direct3D benchmark window was closed before the measurement ended.";
    const struct {
        const char* name;
        std::int64_t frames; // in the window
        O outcome;
        std::string error; // a part of it
        std::int64_t counted, score, renders;
        std::function<void(LoopRig&)> setUp = [](LoopRig&) {};
    } rows[] = {
        {"3000 frames", 3000, O::Measured, {}, 3000, 100, 3000},
        {"59 frames", 59, O::Measured, {}, 59, 1, 59},
        {"empty passes, all 31 run", 0, O::Measured, {}, 0, 0, 0},
        {"every third frame not drawn",
         3000,
         O::Measured,
         {},
         2000,
         66,
         3000,
         [](LoopRig& r) { r.canvas.failEvery = 3; }},
        {"more frames than the record holds", kMany, O::Measured, {}, kMany, kMany / 30, kMany},
        {"window closed", 3000, O::WindowClosed, closed, 0, 0, 100,
         [](LoopRig& r) { r.canvas.stopAtFrame = 100; }},
        {"Escape", 3000, O::Escape,
         "The Direct3D benchmark was stopped with Escape before the measurement ended.", 0, 0, 100,
         [](LoopRig& r) { r.canvas.stopAtFrame = 100, r.canvas.stopAs = TunnelStop::Escape; }},
        {"an unknown resolution", 10, O::InvalidSetting, "resolution (5)", 0, 0, 0,
         [](LoopRig& r) { r.options.ScreenResolution = 5; }},
        {"no display", 10, O::NoDisplay, "No display", 0, 0, 0,
         [](LoopRig& r) { r.canvas.initialiseError = "No display"; }},
        {"an unreadable texture", 10, O::TextureUnreadable, "/tmp/graphics.dat", 0, 0, 0,
         [](LoopRig& r) { r.canvas.textureLoads = false; }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoopRig rig;
        row.setUp(rig);
        const TunnelResult result = rig.run(row.frames);
        EXPECT_EQ(result.outcome, row.outcome);
        EXPECT_EQ(result.message.empty(), row.error.empty());
        EXPECT_NE(result.message.find(row.error), std::string::npos);
        EXPECT_EQ(rig.canvas.renders, row.renders); // none after a request to stop
        EXPECT_EQ(result.framesPerSecond, row.score);
        const bool opened = row.outcome != O::InvalidSetting && row.outcome != O::NoDisplay;
        EXPECT_EQ(rig.canvas.releases, opened ? 1 : 0);
        EXPECT_FALSE(rig.canvas.shown);
        if (row.outcome != O::Measured)
            continue;
        EXPECT_EQ(result.frames, row.counted);
        EXPECT_EQ(rig.canvas.texture, "/tmp/graphics.dat");
        // The clock is read once per frame (each reading is a millisecond after the last), and
        // that reading times the frame; the record holds the first frames only.
        EXPECT_EQ(result.frameSeconds.size(),
                  std::min<std::size_t>(static_cast<std::size_t>(row.counted),
                                        TunnelBenchmark::kFrameRecord));
        EXPECT_GE(result.frameSeconds.capacity(), TunnelBenchmark::kFrameRecord);
        for (const float seconds : result.frameSeconds)
            ASSERT_TRUE(row.counted != row.renders || std::fabs(seconds - 0.001f) < 1e-9f)
                << seconds;
        EXPECT_GE(rig.clock.secondsElapsed(), 32); // the wait and 31 passes
    }
}

// While its surfaces are lost the window's events are handled, so that it can come back,
// for at most five changes of the seconds field.
TEST(TunnelLoop, ALostSurfaceIsWaitedForFiveSecondsAtMost) {
    const struct {
        const char* name;
        int loseAtFrame, lostFor;
        bool closeWhileLost;
        std::string error;
        int restores, minWait, maxWait, renders; // renders 0: not checked
    } rows[] = {
        {"lost for a while, then restored and set up again", 5, 3, false, {}, 1, 0, 1, 0},
        {"not shown yet when the loop starts", 0, 3, false, {}, 0, 0, 1, 0},
        {"lost for good", 10, -1, false,
         "The Direct3D benchmark window was hidden, or its graphics were lost, for 5 seconds; "
         "the measurement was stopped.",
         0, 5, 6, 10},
        {"closed while lost", 10, -1, true,
         "The Direct3D benchmark window was closed before the measurement ended.", 0, 0, 1, 10},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoopRig rig;
        rig.canvas.loseAtFrame = row.loseAtFrame;
        rig.canvas.lostFor = row.lostFor;
        rig.canvas.closeWhileLost = row.closeWhileLost;
        const TunnelResult result = rig.run(row.error.empty() ? 40 : 3000);
        EXPECT_EQ(result.message, row.error);
        EXPECT_EQ(rig.canvas.restores, row.restores);
        if (row.error.empty()) {
            EXPECT_TRUE(rig.canvas.lostChecks == 3 && rig.canvas.setups == 1 + row.restores);
            EXPECT_TRUE(result.frames > row.loseAtFrame && result.frames == rig.canvas.renders);
            EXPECT_GE(rig.log.yields(), 2u + 3u);
        } else {
            EXPECT_EQ(rig.canvas.renders, row.renders);
            const std::int64_t waited = rig.clock.secondsElapsed() - rig.canvas.lostAtSecond;
            EXPECT_TRUE(waited >= row.minWait && waited <= row.maxWait) << waited;
        }
    }
}

TEST(TunnelLoop, ModeFromTheOptionsFrameStatisticsAndTheTexturesFolder) {
    LoopRig rig;
    rig.options.ScreenResolution = 3;
    rig.options.ScreenColorDepth = 1;
    rig.run(1);
    EXPECT_EQ(
        (std::vector<int>{rig.canvas.mode.width, rig.canvas.mode.height, rig.canvas.mode.depth}),
        (std::vector<int>{1280, 1024, 24}));
    std::vector<float> times(100, 0.010f);
    times[3] = 0.050f;
    const FrameStatistics statistics = frameStatistics(times);
    EXPECT_NEAR(statistics.medianMilliseconds, 10.0, 1e-3);
    EXPECT_NEAR(statistics.onePercentLowFps, 20.0, 1e-3);
    EXPECT_EQ(frameStatistics({}).medianMilliseconds, 0);
    // The written folder unless a media folder holds the file.
    EXPECT_EQ(FindMediaDir("no-such-graphics.dat", "/nonexistent/app/", "/home/ann/out/"),
              "/home/ann/out/no-such-graphics.dat");
}

} // namespace
} // namespace vexo
