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

// A canvas that counts what it is asked, and can lose its surfaces for a while.
class FakeCanvas final : public TunnelCanvas {
public:
    std::optional<std::string> initialise(const DisplayMode& m) override {
        mode = m;
        return initialiseError;
    }
    bool surfacesLost() override {
        if (loseAtFrame >= 0 && renders == loseAtFrame && lostChecks < 3) {
            ++lostChecks;
            return true;
        }
        return false;
    }
    void restoreSurfaces() override { ++restores; }
    bool InitDevice(const Tunnel&, const std::string& path) override {
        texture = path;
        ++setups;
        return textureLoads;
    }
    void Render(Tunnel&) override { ++renders; }
    void show() override { shown = true; }
    void hide() override { shown = false; }
    void release() override { ++releases; }

    DisplayMode mode;
    std::optional<std::string> initialiseError;
    bool textureLoads = true;
    int loseAtFrame = -1;
    int lostChecks = 0;
    int restores = 0, setups = 0, renders = 0, releases = 0;
    bool shown = false;
    std::string texture;
};

struct LoopRig {
    test::EventLog log;
    test::FakeClock clock{0, 4};
    test::CountingPump pump{log};
    FakeCanvas canvas;
    TunnelBenchmark benchmark{clock, pump, canvas};
    Selections options;
    std::int64_t score = -1;

    TunnelResult run(std::int64_t frames) {
        clock.scheduleWindow(frames);
        return benchmark.Benchmark_NOW(options, "/tmp/graphics.dat", score);
    }
};

TEST(TunnelLoop, FramesPerSecondIsTheCountOver30) {
    for (const auto& [frames, expected] :
         {std::pair<std::int64_t, std::int64_t>{3000, 100}, {29, 0}, {59, 1}}) {
        LoopRig rig;
        const TunnelResult result = rig.run(frames);
        EXPECT_FALSE(result.error);
        EXPECT_EQ(result.frames, frames);
        EXPECT_EQ(rig.score, expected) << frames;
        EXPECT_EQ(rig.canvas.renders, frames);
        EXPECT_EQ(result.frameSeconds.size(), static_cast<std::size_t>(frames));
        EXPECT_EQ(rig.canvas.releases, 1);
        EXPECT_FALSE(rig.canvas.shown);
        EXPECT_EQ(rig.canvas.texture, "/tmp/graphics.dat");
    }
}

TEST(TunnelLoop, EmptyPassesDrawNothingYetAll31Run) {
    LoopRig rig;
    const TunnelResult result = rig.run(0);
    EXPECT_EQ(result.frames, 0);
    EXPECT_EQ(rig.score, 0);
    // The wait and the 31 passes: 1 + 1 + 31 * 2 readings after the scheduled start.
    EXPECT_GE(rig.clock.secondsElapsed(), 32);
}

TEST(TunnelLoop, ALostSurfaceIsRestoredAndSetUpAgain) {
    LoopRig rig;
    rig.canvas.loseAtFrame = 5;
    const TunnelResult result = rig.run(20);
    EXPECT_FALSE(result.error);
    EXPECT_EQ(rig.canvas.restores, 1);
    EXPECT_EQ(rig.canvas.setups, 2);
    EXPECT_EQ(result.frames, 20);
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

TEST(TunnelLoop, WhatCannotRunIsSaidAndScoresNothing) {
    LoopRig badOption;
    badOption.options.ScreenResolution = 5;
    EXPECT_NE(badOption.run(10).error.value_or("").find("resolution (5)"), std::string::npos);
    EXPECT_EQ(badOption.canvas.renders, 0);

    LoopRig noDisplay;
    noDisplay.canvas.initialiseError = "No display";
    EXPECT_EQ(noDisplay.run(10).error, "No display");

    LoopRig noTexture;
    noTexture.canvas.textureLoads = false;
    const TunnelResult result = noTexture.run(10);
    EXPECT_NE(result.error.value_or("").find("/tmp/graphics.dat"), std::string::npos);
    EXPECT_EQ(noTexture.canvas.releases, 1);
    EXPECT_EQ(noTexture.canvas.renders, 0);
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
