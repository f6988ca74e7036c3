#include "TunnelBenchmark.h"

#include "engine/Benchmark.h"

#include <algorithm>
#include <chrono>
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

TunnelResult TunnelBenchmark::Benchmark_NOW(const Selections& options,
                                            const std::string& texturePath, std::int64_t& BMDR3D) {
    TunnelResult result;
    const std::optional<DisplayMode> mode =
        displayModeFor(options.ScreenResolution, options.ScreenColorDepth);
    if (!mode) {
        result.error = "The screen resolution (" + std::to_string(options.ScreenResolution) +
                       ") or colour depth (" + std::to_string(options.ScreenColorDepth) +
                       ") setting is not one the Direct3D benchmark knows.";
        return result;
    }
    m_pump.yield();
    if (auto error = m_canvas.initialise(*mode)) {
        result.error = std::move(error);
        return result;
    }
    m_tunnel.InitPoints();
    if (!m_canvas.InitDevice(m_tunnel, texturePath)) {
        m_canvas.release();
        result.error = "The tunnel's texture " + texturePath + " could not be loaded.";
        return result;
    }
    m_canvas.show();

    using Clock = std::chrono::steady_clock;
    result.frameSeconds.reserve(1 << 16);
    Wait_Next_Second(m_clock, m_pump);
    std::int64_t frames = 0;
    auto last = Clock::now();
    for (int pass = 0; pass < kMeasuredSeconds; ++pass) {
        const std::int16_t second = m_clock.readSeconds();
        while (m_clock.readSeconds() == second) {
            // A lost surface is waited for; one that stays lost for seconds ends the phase
            // instead of hanging the program.
            // The clock is only read for the deadline once a loss is seen, not every frame.
            bool lost = false;
            Clock::time_point deadline{};
            while (m_canvas.surfacesLost()) {
                if (!lost)
                    deadline = Clock::now() + std::chrono::seconds(5);
                lost = true;
                if (Clock::now() > deadline) {
                    result.error = "The graphics surface was lost and could not be restored.";
                    break;
                }
            }
            if (result.error)
                break;
            if (lost) {
                m_canvas.restoreSurfaces();
                m_canvas.InitDevice(m_tunnel, texturePath);
            }
            m_tunnel.MoveScene();
            m_canvas.Render(m_tunnel);
            m_pump.yield();
            ++frames;
            const auto now = Clock::now();
            result.frameSeconds.push_back(std::chrono::duration<float>(now - last).count());
            last = now;
        }
        if (result.error)
            break;
    }
    result.frames = frames;
    BMDR3D = result.error
                 ? 0
                 : static_cast<std::int64_t>(std::floor(static_cast<double>(frames) / 30.0));
    m_canvas.hide();
    m_canvas.release();
    return result;
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
