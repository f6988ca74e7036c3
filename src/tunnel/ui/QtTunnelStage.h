#pragma once

#include "common/AppState.h"
#include "engine/HandOff.h"
#include "platform/SecondsClock.h"
#include "platform/qt/QtMessagePump.h"
#include "tunnel/TunnelBenchmark.h"

#include <QImage>
#include <memory>
#include <optional>

namespace vexo {

class TunnelWindow;

// The Direct3D phase of a run on OpenGL: the texture picture is converted to the file the
// tunnel reads, then the tunnel window is flown through for 31 clock seconds. Between frames
// the window's events are handled, whichever program runs the phase, so the window is full
// screen and the frame rate the same in both.
class QtTunnelStage final : public TunnelStage {
public:
    QtTunnelStage(AppState& state, SecondsClock& clock, bool windowed = false);
    ~QtTunnelStage() override;

    bool loadTexturePicture(const std::string& path) override;
    bool saveTexturePicture(const std::string& path) override;
    void clearTexturePicture() override;
    [[nodiscard]] Direct3DResult Benchmark_NOW() override;
    void unload() override;
    std::string frameTimeSummary() const override;

private:
    AppState& m_state;
    SecondsClock& m_clock;
    QtMessagePump m_pump; // the tunnel window's events among them
    bool m_windowed;
    QImage m_picture; // the tunnel window's Image1
    std::string m_savedTexture;
    std::unique_ptr<TunnelWindow> m_window;
    std::optional<FrameStatistics> m_statistics;
};

} // namespace vexo
