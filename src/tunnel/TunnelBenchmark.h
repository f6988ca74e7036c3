#pragma once

#include "common/Flags.h"
#include "platform/MessagePump.h"
#include "platform/SecondsClock.h"
#include "tunnel/Tunnel.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vexo {

struct DisplayMode {
    int width = 0;
    int height = 0;
    int depth = 0; // bits per pixel
};

// The mode for the Direct3D options, or nothing for an index outside the tables.
std::optional<DisplayMode> displayModeFor(std::int16_t resolution, std::int16_t colorDepth);

// The surface the tunnel is drawn on.
class TunnelCanvas {
public:
    virtual ~TunnelCanvas() = default;
    // Prepares a drawing surface of the mode's size and colour depth. The reason when it cannot.
    virtual std::optional<std::string> initialise(const DisplayMode& mode) = 0;
    // True while the surfaces cannot be drawn on (for example a lost graphics context).
    virtual bool surfacesLost() = 0;
    virtual void restoreSurfaces() = 0;
    // Loads the texture and sets the drawing states; false at the first failure.
    virtual bool InitDevice(const Tunnel& tunnel, const std::string& texturePath) = 0;
    // Draws and presents one frame; a failure is skipped.
    virtual void Render(Tunnel& tunnel) = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual void release() = 0;
};

struct TunnelResult {
    std::optional<std::string> error; // why the phase could not run; the score stays 0
    std::int64_t frames = 0;          // drawn in the 31 clock seconds
    std::vector<float> frameSeconds;  // the time of every frame
};

// Where the texture file is read from: the current folder, then "../media" and "../../media"
// beside the installation folder, else the folder it was written to. The process's current
// folder is never changed.
std::string FindMediaDir(const std::string& fileName, const std::string& appFolder,
                         const std::string& writtenFolder);

// The timed loop of the Direct3D phase: 31 clock seconds of frames, each moving the camera,
// drawing the tube and yielding once; the score is frames per second.
class TunnelBenchmark {
public:
    static constexpr int kMeasuredSeconds = 31;

    TunnelBenchmark(SecondsClock& clock, MessagePump& pump, TunnelCanvas& canvas)
        : m_clock(clock)
        , m_pump(pump)
        , m_canvas(canvas) {}

    // Runs the phase and sets BMDR3D to floor(frames / 30).
    TunnelResult Benchmark_NOW(const Selections& options, const std::string& texturePath,
                               std::int64_t& BMDR3D);

    Tunnel& tunnel() { return m_tunnel; }

private:
    SecondsClock& m_clock;
    MessagePump& m_pump;
    TunnelCanvas& m_canvas;
    Tunnel m_tunnel;
};

// Median and 1 % low (the 99th percentile frame time, as frames per second) of a run.
struct FrameStatistics {
    double medianMilliseconds = 0;
    double onePercentLowFps = 0;
};
FrameStatistics frameStatistics(std::vector<float> frameSeconds);

} // namespace vexo
