#pragma once

#include "tunnel/TunnelBenchmark.h"

#include <QImage>
#include <QWindow>
#include <memory>

class QOpenGLContext;

namespace vexo {

class WrappedTube;

// The tunnel drawn with OpenGL in a window of its own (no widget, so nothing composites on top
// of it). Frames are rendered at the chosen resolution and colour depth into an off-screen
// target, which is stretched onto the window; the desktop's display mode is never changed.
// Buffers are swapped without waiting for the display, so the count is not capped by its
// refresh rate. Closing the window or pressing Escape asks the flight to stop; the window
// stays until the phase lets it go.
class TunnelWindow final : public QWindow, public TunnelCanvas {
public:
    // windowed: show in a normal window instead of full screen (for tests and development).
    explicit TunnelWindow(bool windowed = false);
    ~TunnelWindow() override;

    Status initialise(const DisplayMode& mode) override;
    bool surfacesLost() override;
    void restoreSurfaces() override;
    bool InitDevice(const Tunnel& tunnel, const std::string& texturePath) override;
    bool Render(Tunnel& tunnel) override;
    TunnelStop stopRequested() const override { return m_stop; }
    void show() override;
    void hide() override;
    void release() override;

    // The last frame as rendered (at the chosen resolution), for tests and screenshots.
    QImage renderedFrame();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool makeContext();
    bool makeTarget();
    void deleteTarget();

    bool m_windowed;
    std::unique_ptr<QOpenGLContext> m_context;
    DisplayMode m_mode;
    unsigned m_framebuffer = 0;
    unsigned m_colorBuffer = 0;
    unsigned m_depthBuffer = 0;
    unsigned m_texture = 0;
    unsigned m_vertexBuffer = 0;
    unsigned m_indexBuffer = 0;
    bool m_indicesUploaded = false;
    std::unique_ptr<WrappedTube> m_tube; // what the buffers hold
    TunnelStop m_stop = TunnelStop::None;
};

} // namespace vexo
