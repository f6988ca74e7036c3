#include "QtTunnelStage.h"

#include "common/FileIo.h"
#include "common/Text.h"
#include "platform/qt/InstallationFiles.h"
#include "tunnel/ui/TunnelWindow.h"

#include <QBuffer>
#include <QGuiApplication>
#include <cstdio>

namespace vexo {

QtTunnelStage::QtTunnelStage(AppState& state, SecondsClock& clock, bool windowed)
    : m_state(state)
    , m_clock(clock)
    , m_windowed(windowed) {}

QtTunnelStage::~QtTunnelStage() = default;

bool QtTunnelStage::loadTexturePicture(const std::string& path) {
    // The run says which texture could not be loaded; its box is the one message.
    installation::Picture texture = installation::readPicture(path);
    m_picture = std::move(texture.image);
    return static_cast<bool>(texture);
}

bool QtTunnelStage::saveTexturePicture(const std::string& path) {
    // Encoded in memory and saved by the program's one rule, so that a pipe or a device in
    // its place is never waited on or replaced, and a failure leaves the old file whole.
    QByteArray png;
    QBuffer buffer(&png);
    if (m_picture.isNull() || !buffer.open(QIODevice::WriteOnly) ||
        !m_picture.save(&buffer, "PNG") ||
        !saveFile(path, std::string_view(png.constData(), static_cast<std::size_t>(png.size()))))
        return false;
    m_savedTexture = path;
    return true;
}

void QtTunnelStage::clearTexturePicture() {
    m_picture = QImage();
}

Direct3DResult QtTunnelStage::Benchmark_NOW() {
    m_statistics.reset();
    if (QGuiApplication::instance() == nullptr)
        return {PhaseOutcome::NoDisplay, 0,
                "The Direct3D benchmark needs a display, and there is none."};
    m_window = std::make_unique<TunnelWindow>(m_windowed);
    TunnelBenchmark benchmark(m_clock, m_pump, *m_window);
    const std::string folder = m_savedTexture.substr(0, m_savedTexture.find_last_of('/') + 1);
    const std::string texture =
        FindMediaDir(Strip_Path(m_savedTexture), m_state.folders.AppFolder, folder);
    TunnelResult result = benchmark.Benchmark_NOW(m_state.selections, texture);
    if (result.outcome == PhaseOutcome::Measured)
        m_statistics = frameStatistics(result.frameSeconds);
    return {result.outcome, result.framesPerSecond, std::move(result.message)};
}

void QtTunnelStage::unload() {
    m_window.reset();
}

std::string QtTunnelStage::frameTimeSummary() const {
    if (!m_statistics)
        return {};
    char line[160];
    std::snprintf(line, sizeof line, "Direct3D frame time: median %.2f ms, 1%% low %.0f FPS",
                  m_statistics->medianMilliseconds, m_statistics->onePercentLowFps);
    return line;
}

} // namespace vexo
