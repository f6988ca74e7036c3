#include "tunnel/Tunnel.h"

#include "support/FakeClock.h"
#include "support/RunRecorder.h"
#include "tunnel/TunnelBenchmark.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vexo {
namespace {

void expectNear(Vec3 a, Vec3 b, float tolerance = 1e-3f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

Vec3 position(const TubeVertex& v) {
    return {v.x, v.y, v.z};
}

// The centre of the ring a vertex block holds: the mean of its 100 vertices.
Vec3 ringCentre(const Tunnel& tunnel, int block) {
    Vec3 sum;
    for (int i = 0; i < 100; ++i)
        sum = sum + position(tunnel.TubeVertices()[static_cast<std::size_t>(block * 100 + i)]);
    return sum * 0.01f;
}

TEST(TunnelGeometry, InitialRingsRunFromTheFarEndAtBlock0ToTheStartAtBlock50) {
    Tunnel tunnel;
    tunnel.InitPoints();
    Tunnel reference;
    reference.InitPoints();
    Vec3 start, direction, up{0, 1, 0};
    reference.Path_Frame(0, start, direction, up);
    // Vertex 5000 lies on the ring built at t = 0, across the path from its centre (the ring's
    // radius is 6 times the length of the frame's up vector, which is not normalised).
    expectNear(ringCentre(tunnel, 50), start);
    const Vec3 offset = position(tunnel.TubeVertices()[5000]) - start;
    EXPECT_NEAR(dot(offset, direction), 0.0f, 1e-3f);
    EXPECT_GT(std::sqrt(dot(offset, offset)), 5.0f);
    EXPECT_LT(std::sqrt(dot(offset, offset)), 6.01f);
    // Vertex 0 lies on the ring built at t = 3.0 (the 51st).
    float t = 0;
    Vec3 at, dir, frameUp{0, 1, 0};
    for (int k = 0; k <= 50; ++k) {
        reference.Path_Frame(t, at, dir, frameUp);
        t += 0.06f;
    }
    expectNear(ringCentre(tunnel, 0), at);
    EXPECT_NEAR(tunnel.TubeEndT(), 3.06f, 1e-4f);
    // Texture coordinates around and along the tube.
    EXPECT_FLOAT_EQ(tunnel.TubeVertices()[0].tu, 1.0f);
    EXPECT_FLOAT_EQ(tunnel.TubeVertices()[50].tu, 0.5f);
    EXPECT_FLOAT_EQ(tunnel.TubeVertices()[4950].tu, 0.5f);
    EXPECT_FLOAT_EQ(tunnel.TubeVertices()[5000].tv, 0.0f);
    EXPECT_FLOAT_EQ(tunnel.TubeVertices()[4900].tv, 1.0f / 7.0f);
    // Normals point into the tube.
    const TubeVertex& v = tunnel.TubeVertices()[5000];
    EXPECT_LT(dot({v.nx, v.ny, v.nz}, offset), 0);
}

TEST(TunnelGeometry, ParameterOneStaysInSegmentZeroAndMeetsSegmentOne) {
    Tunnel tunnel;
    tunnel.InitPoints();
    Vec3 end, direction, up{0, 1, 0};
    tunnel.Path_Frame(1.0f, end, direction, up);
    // Segment 1 at u = 0 is control point 2 exactly.
    const Vec3 p2{static_cast<float>(20 * std::cos(8.0)), static_cast<float>(20 * std::sin(8.0)),
                  40};
    expectNear(end, p2, 1e-3f);
    expectNear(Tunnel::Spline_Point(0, {}, p2, {}, {}), p2);
}

TEST(TunnelGeometry, SegmentIndicesJoinTwoRings) {
    Tunnel tunnel;
    tunnel.MakeSegment(1, 0, 0);
    const auto& i = tunnel.TubeIndices();
    EXPECT_EQ(std::vector<int>(i.begin(), i.begin() + 6),
              (std::vector<int>{100, 0, 1, 100, 1, 101}));
    EXPECT_EQ(std::vector<int>(i.begin() + 594, i.begin() + 600),
              (std::vector<int>{199, 99, 0, 199, 0, 100}));
    Tunnel full;
    full.InitPoints();
    EXPECT_EQ(full.TubeIndices()[29999], 5000); // the last segment joins blocks 50 and 49
    EXPECT_EQ(full.TubeIndices().size(), 30001u);
    EXPECT_EQ(full.TubeVertices().size(), 5101u);
}

TEST(TunnelMotion, SteadyFlightAddsARingAboutEveryTenFrames) {
    Tunnel tunnel;
    tunnel.InitPoints();
    tunnel.takeTubeChanged();
    int added = 0;
    for (int frame = 0; frame < 2000; ++frame) {
        const float before = tunnel.TubeEndT();
        tunnel.MoveScene();
        if (tunnel.TubeEndT() != before) {
            ++added;
            EXPECT_TRUE(tunnel.takeTubeChanged());
        }
    }
    // The first rings come once the camera is within 2.0 of the end, then one per 0.06.
    EXPECT_GE(added, 2000 * 0.006 / 0.06 - 20);
    EXPECT_LE(added, 2000 * 0.006 / 0.06 + 1);
    EXPECT_NEAR(tunnel.EyeT(), 2000 * 0.006f, 0.01f);
}

TEST(TunnelMotion, AWrappedTubeEndAddsARingOnEveryFrame) {
    Tunnel tunnel;
    tunnel.InitPoints();
    tunnel.setEyeT(198.0f);
    tunnel.setTubeEndT(0.5f); // wrapped past 199, the camera not yet
    for (int frame = 0; frame < 5; ++frame) {
        const float before = tunnel.TubeEndT();
        tunnel.MoveScene();
        EXPECT_NEAR(tunnel.TubeEndT() - before, 0.06f, 1e-4f) << frame;
    }
}

TEST(TunnelMotion, ShiftingMovesEveryRingOneBlockTowardsTheCamera) {
    Tunnel tunnel;
    tunnel.InitPoints();
    const std::vector<TubeVertex> before = tunnel.TubeVertices();
    tunnel.UpdateTubeInMemory();
    const auto& after = tunnel.TubeVertices();
    for (int v = 100; v < 5100; v += 37)
        EXPECT_EQ(after[static_cast<std::size_t>(v)].x,
                  before[static_cast<std::size_t>(v - 100)].x);
    // The first new ring is built from the frame of the last initial ring, so it repeats it;
    // the next one is built at the tube's end parameter.
    expectNear(ringCentre(tunnel, 0), ringCentre(tunnel, 1));
    tunnel.UpdateTubeInMemory();
    const Vec3 step = ringCentre(tunnel, 0) - ringCentre(tunnel, 1);
    EXPECT_GT(std::sqrt(dot(step, step)), 0.1f);
}

TEST(TunnelMotion, ViewMatrixIsTheLookAtOfTheCamera) {
    Matrix4 m{};
    // Camera at (1, 2, 3) looking along +x; the up vector loses its part along the view, so
    // up is +y and right = up x forward = -z.
    Tunnel::Make_View_Matrix(m, {1, 2, 3}, {2, 0, 0}, {0.5f, 1, 0});
    const Matrix4 expected{0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 3, -2, -1, 1};
    for (std::size_t i = 0; i < 16; ++i)
        EXPECT_NEAR(m[i], expected[i], 1e-6f) << i;
    const Matrix4 p = Tunnel::projection(1.0f, 6000.0f, 3.14159265358972f / 2);
    EXPECT_NEAR(p[0], 1.0f, 1e-6f);
    EXPECT_NEAR(p[10], 6000.0f / 5999.0f, 1e-6f);
    EXPECT_EQ(p[11], 1.0f);
    EXPECT_NEAR(p[14], -6000.0f / 5999.0f, 1e-6f);
}

// A canvas that counts what it is asked, can lose its surfaces for a while or for good, fail
// to draw some frames, and be closed or stopped by the user after a number of frames.
class FakeCanvas final : public TunnelCanvas {
public:
    std::optional<std::string> initialise(const DisplayMode& m) override {
        mode = m;
        return initialiseError;
    }
    bool surfacesLost() override {
        const bool lost =
            loseAtFrame >= 0 && renders >= loseAtFrame && (lostChecks < lostFor || lostFor < 0);
        if (lost && lostChecks++ == 0 && clock != nullptr)
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
        ++renders;
        if (renders == stopAtFrame)
            stop = stopAs;
        return failEvery == 0 || renders % failEvery != 0;
    }
    TunnelStop stopRequested() const override { return stop; }
    void show() override { shown = true; }
    void hide() override { shown = false; }
    void release() override { ++releases; }

    test::FakeClock* clock = nullptr;
    DisplayMode mode;
    std::optional<std::string> initialiseError;
    bool textureLoads = true;
    int loseAtFrame = -1;
    int lostFor = 3; // checks answered "lost"; below 0, every one
    bool closeWhileLost = false;
    int lostChecks = 0;
    std::int64_t lostAtSecond = -1;
    int failEvery = 0; // every n-th frame is not drawn
    int stopAtFrame = -1;
    TunnelStop stopAs = TunnelStop::WindowClosed;
    TunnelStop stop = TunnelStop::None;
    int restores = 0, setups = 0, renders = 0, releases = 0;
    bool shown = false;
    std::string texture;
};

struct LoopRig {
    LoopRig() { canvas.clock = &clock; }

    test::EventLog log;
    test::FakeClock clock{0, 4};
    test::CountingPump pump{log};
    FakeCanvas canvas;
    TunnelBenchmark benchmark{clock, pump, canvas};
    Selections options;
    std::int64_t score = -1;

    TunnelResult run(std::int64_t frames) {
        clock.scheduleWindow(frames);
        TunnelResult result = benchmark.Benchmark_NOW(options, "/tmp/graphics.dat");
        score = result.framesPerSecond;
        return result;
    }
};

// How the phase ends: its outcome and message, the frames counted and drawn, the score.
TEST(TunnelLoop, FramesPerSecondIsTheCountOver30OrNothingWhenThePhaseDidNotEnd) {
    using O = PhaseOutcome;
    constexpr auto kMany = static_cast<std::int64_t>(TunnelBenchmark::kFrameRecord) + 500;
    const std::string closed =
        "The Direct3D benchmark window was closed before the measurement ended.";
    const auto asIs = [](LoopRig&) {};
    const auto failEveryThird = [](LoopRig& rig) { rig.canvas.failEvery = 3; };
    const auto escapeAt100 = [](LoopRig& rig) {
        rig.canvas.stopAtFrame = 100;
        rig.canvas.stopAs = TunnelStop::Escape;
    };
    const struct {
        const char* name;
        std::function<void(LoopRig&)> setUp;
        std::int64_t frames; // in the window
        O outcome;
        std::optional<std::string> error; // a part of it
        std::int64_t counted, score, renders;
    } rows[] = {
        {"3000 frames", asIs, 3000, O::Measured, {}, 3000, 100, 3000},
        {"29 frames", asIs, 29, O::Measured, {}, 29, 0, 29},
        {"59 frames", asIs, 59, O::Measured, {}, 59, 1, 59},
        {"empty passes, all 31 run", asIs, 0, O::Measured, {}, 0, 0, 0},
        {"every third frame not drawn", failEveryThird, 3000, O::Measured, {}, 2000, 66, 3000},
        {"more frames than the record holds",
         asIs,
         kMany,
         O::Measured,
         {},
         kMany,
         kMany / 30,
         kMany},
        {"window closed", [](LoopRig& rig) { rig.canvas.stopAtFrame = 100; }, 3000, O::WindowClosed,
         closed, 0, 0, 100},
        {"Escape", escapeAt100, 3000, O::Escape,
         "The Direct3D benchmark was stopped with Escape before the measurement ended.", 0, 0, 100},
        {"an unknown resolution", [](LoopRig& rig) { rig.options.ScreenResolution = 5; }, 10,
         O::InvalidSetting, "resolution (5)", 0, 0, 0},
        {"no display", [](LoopRig& rig) { rig.canvas.initialiseError = "No display"; }, 10,
         O::NoDisplay, "No display", 0, 0, 0},
        {"an unreadable texture", [](LoopRig& rig) { rig.canvas.textureLoads = false; }, 10,
         O::TextureUnreadable, "/tmp/graphics.dat", 0, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoopRig rig;
        row.setUp(rig);
        const TunnelResult result = rig.run(row.frames);
        EXPECT_EQ(result.outcome, row.outcome);
        EXPECT_EQ(result.error.has_value(), row.error.has_value());
        EXPECT_NE(result.error.value_or("").find(row.error.value_or("")), std::string::npos);
        EXPECT_EQ(rig.canvas.renders, row.renders); // none after a request to stop
        EXPECT_EQ(rig.score, row.score);
        const bool opened = row.outcome != O::InvalidSetting && row.outcome != O::NoDisplay;
        EXPECT_EQ(rig.canvas.releases, opened ? 1 : 0);
        EXPECT_FALSE(rig.canvas.shown);
        if (row.outcome == O::Measured) {
            EXPECT_EQ(result.frames, row.counted);
            EXPECT_EQ(rig.canvas.texture, "/tmp/graphics.dat");
            // The clock is read once per frame (each reading is a millisecond after the last),
            // and that reading times the frame; the record holds the first frames only.
            EXPECT_EQ(result.frameSeconds.size(),
                      std::min<std::size_t>(static_cast<std::size_t>(row.counted),
                                            TunnelBenchmark::kFrameRecord));
            EXPECT_GE(result.frameSeconds.capacity(), TunnelBenchmark::kFrameRecord);
            if (row.counted == row.renders) {
                for (const float seconds : result.frameSeconds)
                    ASSERT_FLOAT_EQ(seconds, 0.001f);
            }
            EXPECT_GE(rig.clock.secondsElapsed(), 32); // the wait and 31 passes
        }
    }
}

// While its surfaces are lost the window's events are handled, so that it can come back,
// for at most five changes of the seconds field.
TEST(TunnelLoop, ALostSurfaceIsWaitedForFiveSecondsAtMost) {
    const struct {
        const char* name;
        int loseAtFrame, lostFor;
        bool closeWhileLost;
        std::optional<std::string> error;
        int restores;
        std::int64_t minWait, maxWait, renders; // renders 0: not checked
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
        const TunnelResult result = rig.run(row.error ? 3000 : 40);
        EXPECT_EQ(result.error, row.error);
        EXPECT_EQ(rig.canvas.restores, row.restores);
        if (!row.error) {
            EXPECT_EQ(rig.canvas.lostChecks, 3);
            EXPECT_EQ(rig.canvas.setups, 1 + row.restores);
            EXPECT_GE(rig.log.yields(), 2u + 3u);
            EXPECT_GT(result.frames, row.loseAtFrame);
            EXPECT_EQ(result.frames, rig.canvas.renders);
        } else {
            EXPECT_EQ(rig.canvas.renders, row.renders);
            const std::int64_t waited = rig.clock.secondsElapsed() - rig.canvas.lostAtSecond;
            EXPECT_GE(waited, row.minWait);
            EXPECT_LE(waited, row.maxWait);
        }
    }
}

TEST(TunnelLoop, ResolutionAndDepthComeFromTheOptions) {
    LoopRig rig;
    rig.options.ScreenResolution = 3;
    rig.options.ScreenColorDepth = 1;
    rig.run(1);
    EXPECT_EQ(rig.canvas.mode.width, 1280);
    EXPECT_EQ(rig.canvas.mode.height, 1024);
    EXPECT_EQ(rig.canvas.mode.depth, 24);
}

TEST(TunnelLoop, FrameStatistics) {
    std::vector<float> times(100, 0.010f);
    times[3] = 0.050f;
    const FrameStatistics statistics = frameStatistics(times);
    EXPECT_NEAR(statistics.medianMilliseconds, 10.0, 1e-3);
    EXPECT_NEAR(statistics.onePercentLowFps, 20.0, 1e-3);
    EXPECT_EQ(frameStatistics({}).medianMilliseconds, 0);
}

TEST(TunnelMedia, TheWrittenFolderUnlessAMediaFolderHoldsTheFile) {
    EXPECT_EQ(FindMediaDir("no-such-graphics.dat", "/nonexistent/app/", "/home/ann/out/"),
              "/home/ann/out/no-such-graphics.dat");
}

} // namespace
} // namespace vexo
