// The tunnel: the CPU cost of moving the scene one frame, and (with a display) the frames per
// second of the benchmark's own loop against a bare loop that only draws and presents the same
// 10,000 triangles with the same states, in the same process.
#include "tunnel/Tunnel.h"
#include "tunnel/ui/TunnelWindow.h"

#include <QGuiApplication>
#include <QThread>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

using namespace vexo;

void BM_MoveScene(benchmark::State& state) {
    Tunnel tunnel;
    tunnel.InitPoints();
    for (auto _ : state) {
        tunnel.MoveScene();
        benchmark::DoNotOptimize(tunnel.viewMatrix().data());
    }
}
BENCHMARK(BM_MoveScene);

// The frame with the ring shift, which comes about every tenth frame.
void BM_RingShift(benchmark::State& state) {
    Tunnel tunnel;
    tunnel.InitPoints();
    for (auto _ : state) {
        tunnel.UpdateTubeInMemory();
        benchmark::DoNotOptimize(tunnel.TubeVertices().data());
    }
}
BENCHMARK(BM_RingShift);

const std::string kTexture = VEXO_BUILD_APP_FOLDER "/data/medtex.ctf";

// Frames on a 640x480 window: moving the scene and handling the window's events before each
// draw (the benchmark's own loop), or drawing a scene that never moves (the bare loop). Only
// frames that were drawn count: a window that is not on the screen ends the measurement.
void framesPerSecond(benchmark::State& state, bool ownLoop) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        state.SkipWithError("needs a display");
        return;
    }
    TunnelWindow window(true);
    Tunnel tunnel;
    tunnel.InitPoints();
    tunnel.MoveScene();
    if (!window.initialise({640, 480, 32}) || !window.InitDevice(tunnel, kTexture)) {
        state.SkipWithError("the tunnel could not be set up");
        return;
    }
    window.show();
    for (int tries = 0; tries < 500 && !window.isExposed(); ++tries) {
        QGuiApplication::processEvents();
        QThread::msleep(10);
    }
    for (auto _ : state) {
        if (ownLoop) {
            tunnel.MoveScene();
            QCoreApplication::processEvents();
        }
        if (!window.Render(tunnel)) {
            state.SkipWithError("the window is not on the screen");
            break;
        }
    }
    state.counters["FPS"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    window.release();
}

void BM_TunnelFrames(benchmark::State& state) {
    framesPerSecond(state, true);
}
BENCHMARK(BM_TunnelFrames)->UseRealTime()->MinTime(3.0);

void BM_BareFrames(benchmark::State& state) {
    framesPerSecond(state, false);
}
BENCHMARK(BM_BareFrames)->UseRealTime()->MinTime(3.0);

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
