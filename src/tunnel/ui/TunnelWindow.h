#pragma once

#include "tunnel/TunnelBenchmark.h"

#include <QImage>
#include <QWindow>
#include <memory>

class QOpenGLContext;

namespace vexo {

// The tunnel drawn with OpenGL in a window of its own (no widget, so nothing composites on top
// of it). Frames are rendered at the chosen resolution and colour depth into an off-screen
// target, which is stretched onto the window; the desktop's display mode is never changed.
// Buffers are swapped without waiting for the display, so the count is not capped by its
// refresh rate.
class TunnelWindow final : public QWindow, public TunnelCanvas {
public:
    // windowed: show in a normal window instead of full screen (for tests and development).
    explicit TunnelWindow(bool windowed = false);
    ~TunnelWindow() override;

    std::optional<std::string> initialise(const DisplayMode& mode) override;
    bool surfacesLost() override;
    void restoreSurfaces() override;
    bool InitDevice(const Tunnel& tunnel, const std::string& texturePath) override;
    void Render(Tunnel& tunnel) override;
    void show() override;
    void hide() override;
    void release() override;

    // The last frame as rendered (at the chosen resolution), for tests and screenshots.
    QImage renderedFrame();

private:
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
};

} // namespace vexo
