#pragma once

#include "common/Flags.h"
#include "common/RunState.h"
#include "common/Status.h"
#include "platform/MessagePump.h"
#include "platform/SecondsClock.h"
#include "tunnel/Tunnel.h"

#include <cstddef>
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

// Why the user ended the flight early.
enum class TunnelStop {
    None,
    WindowClosed, // the window was closed (by the user or the window manager)
    Escape,       // Escape was pressed in the window
};

// The surface the tunnel is drawn on.
class TunnelCanvas {
public:
    virtual ~TunnelCanvas() = default;
    // Prepares a drawing surface of the mode's size and colour depth, or says why it cannot.
    virtual Status initialise(const DisplayMode& mode) = 0;
    // True while frames cannot be drawn or seen: a graphics context that was reset, or a
    // window that is hidden, minimised or not yet mapped.
    virtual bool surfacesLost() = 0;
    // Makes anew what a reset destroyed; nothing when the context survived.
    virtual void restoreSurfaces() = 0;
    // Loads the texture and sets the drawing states; false at the first failure.
    virtual bool InitDevice(const Tunnel& tunnel, const std::string& texturePath) = 0;
    // Draws and presents one frame; false when it was not drawn.
    virtual bool Render(Tunnel& tunnel) = 0;
    virtual TunnelStop stopRequested() const = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual void release() = 0;
};

struct TunnelResult {
    PhaseOutcome outcome = PhaseOutcome::Measured;
    std::string message;              // why it did not measure (the score stays 0); else empty
    std::int64_t framesPerSecond = 0; // the score: frames over the measured seconds less one
    std::int64_t frames = 0;          // drawn and presented in the 31 clock seconds
    std::vector<float> frameSeconds;  // the time of each frame, the first kFrameRecord of them
};

// Where the texture file is read from: the current folder, then "../media" and "../../media"
// beside the installation folder, else the folder it was written to. The process's current
// folder is never changed.
std::string FindMediaDir(const std::string& fileName, const std::string& appFolder,
                         const std::string& writtenFolder);

// The timed loop of the Direct3D phase: the engine's counting loop over its 31 clock seconds,
// each step moving the camera, drawing the tube and yielding once so that the window's events
// are handled; the score is frames per second. Only frames that were drawn count.
class TunnelBenchmark {
public:
    // Changes of the seconds field a lost surface is waited for before the phase gives up.
    static constexpr int kLostSurfaceGrace = 5;
    // Frame times kept (4 MiB, reserved before the measurement): over 33,000 frames a second.
    static constexpr std::size_t kFrameRecord = std::size_t{1} << 20;

    TunnelBenchmark(SecondsClock& clock, MessagePump& pump, TunnelCanvas& canvas)
        : m_clock(clock)
        , m_pump(pump)
        , m_canvas(canvas) {}

    // Runs the phase; its score is floor(frames / 30), 0 when it ended early.
    [[nodiscard]] TunnelResult Benchmark_NOW(const Selections& options,
                                             const std::string& texturePath);

    Tunnel& tunnel() { return m_tunnel; }

private:
    // Why the phase ended early.
    struct Stop {
        PhaseOutcome outcome;
        std::string message;
    };
    // Waits, yielding, while the surfaces are lost. The reason the phase must end, if any.
    std::optional<Stop> waitForSurfaces();
    std::optional<Stop> userStop() const;
    // The 31 passes; the reason they ended early, if they did.
    std::optional<Stop> measure(const std::string& texturePath, TunnelResult& result);

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
