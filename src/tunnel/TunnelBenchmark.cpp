#include "TunnelBenchmark.h"

#include "engine/Benchmark.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace vexo {

std::optional<DisplayMode> displayModeFor(std::int16_t resolution, std::int16_t colorDepth) {
    static constexpr std::array<std::array<int, 2>, 5> sizes{
        {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {1600, 1200}}};
    static constexpr std::array<int, 3> depths{16, 24, 32};
    if (resolution < 0 || resolution >= 5 || colorDepth < 0 || colorDepth >= 3)
        return std::nullopt;
    const auto& size = sizes[static_cast<std::size_t>(resolution)];
    return DisplayMode{size[0], size[1], depths[static_cast<std::size_t>(colorDepth)]};
}

std::string FindMediaDir(const std::string& fileName, const std::string& appFolder,
                         const std::string& writtenFolder) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path app(appFolder);
    for (const fs::path& folder :
         {fs::current_path(error), app / ".." / "media", app / ".." / ".." / "media"}) {
        if (!folder.empty() && fs::is_regular_file(folder / fileName, error))
            return (folder / fileName).lexically_normal().string();
    }
    return writtenFolder + fileName;
}

std::optional<TunnelBenchmark::Stop> TunnelBenchmark::userStop() const {
    switch (m_canvas.stopRequested()) {
    case TunnelStop::WindowClosed:
        return Stop{PhaseOutcome::WindowClosed,
                    "The Direct3D benchmark window was closed before the measurement ended."};
    case TunnelStop::Escape:
        return Stop{PhaseOutcome::Escape, "The Direct3D benchmark was stopped with Escape before "
                                          "the measurement ended."};
    case TunnelStop::None:
        break;
    }
    return std::nullopt;
}

std::optional<TunnelBenchmark::Stop> TunnelBenchmark::waitForSurfaces() {
    // The window's events are handled meanwhile, so that it can be shown again (or closed).
    // Time is told by the seconds field alone: no other clock is read while drawing.
    if (!m_canvas.surfacesLost())
        return std::nullopt;
    int changes = 0;
    std::int16_t second = m_clock.readSeconds();
    do {
        m_pump.yield();
        if (auto stop = userStop())
            return stop;
        const std::int16_t now = m_clock.readSeconds();
        if (now != second) {
            second = now;
            if (++changes >= kLostSurfaceGrace)
                return Stop{PhaseOutcome::SurfaceLost,
                            "The Direct3D benchmark window was hidden, or its graphics were "
                            "lost, for " +
                                std::to_string(kLostSurfaceGrace) +
                                " seconds; the measurement was stopped."};
        }
    } while (m_canvas.surfacesLost());
    return std::nullopt;
}

TunnelResult TunnelBenchmark::Benchmark_NOW(const Selections& options,
                                            const std::string& texturePath) {
    TunnelResult result;
    const auto end = [&result](PhaseOutcome outcome, std::string message) {
        result.outcome = outcome;
        result.message = std::move(message);
        result.framesPerSecond = 0;
    };
    const std::optional<DisplayMode> mode =
        displayModeFor(options.ScreenResolution, options.ScreenColorDepth);
    if (!mode) {
        end(PhaseOutcome::InvalidSetting,
            "The screen resolution (" + std::to_string(options.ScreenResolution) +
                ") or colour depth (" + std::to_string(options.ScreenColorDepth) +
                ") setting is not one the Direct3D benchmark knows.");
        return result;
    }
    m_pump.yield();
    if (const Status ready = m_canvas.initialise(*mode); !ready) {
        end(PhaseOutcome::NoDisplay, ready.message());
        return result;
    }
    m_tunnel.InitPoints();
    if (!m_canvas.InitDevice(m_tunnel, texturePath)) {
        m_canvas.release();
        end(PhaseOutcome::TextureUnreadable,
            "The tunnel's texture " + texturePath + " could not be loaded.");
        return result;
    }
    m_canvas.show();
    // The window is mapped and made full screen by the window manager before the clock starts.
    std::optional<Stop> stop = waitForSurfaces();
    result.frameSeconds.reserve(kFrameRecord);

    if (!stop) {
        Wait_Next_Second(m_clock, m_pump);
        stop = measure(texturePath, result);
    }
    if (stop)
        end(stop->outcome, std::move(stop->message));
    else
        result.framesPerSecond =
            static_cast<std::int64_t>(std::floor(static_cast<double>(result.frames) / 30.0));
    m_canvas.hide();
    m_canvas.release();
    return result;
}

std::optional<TunnelBenchmark::Stop> TunnelBenchmark::measure(const std::string& texturePath,
                                                              TunnelResult& result) {
    // Each reading of the clock is the loop's test and also times the frame drawn since the
    // reading before; a frame that was not drawn is neither counted nor timed.
    std::vector<float>& times = result.frameSeconds;
    std::int64_t now = 0;
    std::int64_t frameStart = 0;
    bool drawn = false;
    const auto read = [&] {
        const std::int16_t second = m_clock.readTimedSeconds(now);
        if (drawn && times.size() < times.capacity())
            times.push_back(static_cast<float>(now - frameStart) * 1e-9f);
        drawn = false;
        return second;
    };
    std::optional<Stop> stop;
    const auto frame = [&] {
        if (m_canvas.surfacesLost()) {
            if ((stop = waitForSurfaces()))
                return timing::Step::Stop;
            m_canvas.restoreSurfaces();
            m_canvas.InitDevice(m_tunnel, texturePath);
            return timing::Step::NotCounted; // the waiting is not a frame
        }
        frameStart = now;
        m_tunnel.MoveScene();
        drawn = m_canvas.Render(m_tunnel);
        m_pump.yield();
        if ((stop = userStop()))
            return timing::Step::Stop;
        return drawn ? timing::Step::Counted : timing::Step::NotCounted;
    };
    result.frames = timing::countSteps(read, Benchmark::kMeasuredSeconds, frame);
    return stop;
}

FrameStatistics frameStatistics(std::vector<float> frameSeconds) {
    FrameStatistics statistics;
    if (frameSeconds.empty())
        return statistics;
    const std::size_t n = frameSeconds.size();
    std::nth_element(frameSeconds.begin(),
                     frameSeconds.begin() + static_cast<std::ptrdiff_t>(n / 2), frameSeconds.end());
    statistics.medianMilliseconds = frameSeconds[n / 2] * 1000.0;
    const std::size_t slow = std::min(n - 1, n * 99 / 100);
    std::nth_element(frameSeconds.begin(), frameSeconds.begin() + static_cast<std::ptrdiff_t>(slow),
                     frameSeconds.end());
    statistics.onePercentLowFps = frameSeconds[slow] > 0 ? 1.0 / frameSeconds[slow] : 0;
    return statistics;
}

} // namespace vexo
