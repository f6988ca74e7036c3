#include "TunnelWindow.h"

#include "platform/qt/InstallationFiles.h"
#include "tunnel/WrappedTube.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QOpenGLContext>
#include <QSurfaceFormat>

namespace vexo {

namespace {

QSurfaceFormat tunnelFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setDepthBufferSize(24);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setSwapInterval(0);
    // A reset (a driver restart, a lost device) then makes the context invalid.
    format.setOption(QSurfaceFormat::ResetNotification);
    return format;
}

GLenum colorFormatFor(int depth) {
    switch (depth) {
    case 16:
        return GL_RGB565;
    case 24:
        return GL_RGB8;
    default:
        return GL_RGBA8;
    }
}

} // namespace

TunnelWindow::TunnelWindow(bool windowed)
    : m_windowed(windowed) {
    setSurfaceType(QSurface::OpenGLSurface);
    setFormat(tunnelFormat());
    setTitle(QStringLiteral("VexoGAUGE 2002 Direct3D Benchmark"));
}

TunnelWindow::~TunnelWindow() {
    release();
}

Status TunnelWindow::initialise(const DisplayMode& mode) {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return Status::failure("The Direct3D benchmark needs a display, and there is none.");
    m_mode = mode;
    m_stop = TunnelStop::None;
    resize(mode.width, mode.height);
    create();
    if (!makeContext())
        return Status::failure(
            "OpenGL is not available on this display, so the Direct3D benchmark cannot run.");
    if (!makeTarget())
        return Status::failure("OpenGL cannot render at " + std::to_string(mode.width) + "x" +
                               std::to_string(mode.height) + " with " + std::to_string(mode.depth) +
                               "-bit colour here.");
    return Status::success();
}

bool TunnelWindow::makeContext() {
    m_context = std::make_unique<QOpenGLContext>();
    m_context->setFormat(tunnelFormat());
    return m_context->create() && m_context->makeCurrent(this);
}

bool TunnelWindow::makeTarget() {
    deleteTarget();
    glGenFramebuffers(1, &m_framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    glGenRenderbuffers(1, &m_colorBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, m_colorBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, colorFormatFor(m_mode.depth), m_mode.width,
                          m_mode.height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_colorBuffer);
    glGenRenderbuffers(1, &m_depthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, m_depthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, m_mode.width, m_mode.height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_depthBuffer);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void TunnelWindow::deleteTarget() {
    if (m_framebuffer != 0)
        glDeleteFramebuffers(1, &m_framebuffer);
    if (m_colorBuffer != 0)
        glDeleteRenderbuffers(1, &m_colorBuffer);
    if (m_depthBuffer != 0)
        glDeleteRenderbuffers(1, &m_depthBuffer);
    m_framebuffer = m_colorBuffer = m_depthBuffer = 0;
}

bool TunnelWindow::surfacesLost() {
    return m_context == nullptr || !m_context->isValid() || !isExposed();
}

void TunnelWindow::restoreSurfaces() {
    // A window that was only hidden keeps its context; one that was reset is made anew, with
    // its target, and the device is set up again afterwards.
    if (m_context != nullptr && m_context->isValid())
        return;
    m_texture = m_vertexBuffer = m_indexBuffer = m_framebuffer = m_colorBuffer = m_depthBuffer = 0;
    m_indicesUploaded = false;
    if (makeContext())
        makeTarget();
}

bool TunnelWindow::event(QEvent* event) {
    if (event->type() == QEvent::Close) {
        // The flight ends at its next frame; the window is hidden and let go by the phase.
        m_stop = TunnelStop::WindowClosed;
        event->ignore();
        return true;
    }
    return QWindow::event(event);
}

void TunnelWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        m_stop = TunnelStop::Escape;
        event->accept();
        return;
    }
    QWindow::keyPressEvent(event);
}

bool TunnelWindow::InitDevice(const Tunnel& tunnel, const std::string& texturePath) {
    if (m_context == nullptr || !m_context->makeCurrent(this))
        return false;
    // The texture the run converted, read by the same rules as the installation's pictures.
    const installation::Picture picture = installation::readPicture(texturePath);
    if (!picture)
        return false;
    const QImage texture = picture.image.convertToFormat(QImage::Format_RGBA8888);
    if (m_texture == 0)
        glGenTextures(1, &m_texture);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, texture.width(), texture.height(), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, texture.constBits());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);

    // World identity, view identity until the first frame, the projection once.
    const Matrix4 projection = Tunnel::projection(1.0f, 6000.0f, 3.14159265358972f / 2);
    glMatrixMode(GL_PROJECTION);
    // Row-vector matrices stored row after row read as column-major are the same transform.
    glLoadMatrixf(projection.data());
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    // The texture modulated by the lit diffuse colour.
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

    // Material: diffuse white, ambient 0.3 of the white ambient light, no specular colour.
    const GLfloat white[] = {1, 1, 1, 0};
    const GLfloat ambient[] = {0.3f, 0.3f, 0.3f, 0};
    const GLfloat none[] = {0, 0, 0, 0};
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, none);
    const GLfloat ambientLight[] = {1, 1, 1, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambientLight);
    // Lit on one side, through the normals as given (they point into the tube), as the
    // device lights: both faces take the front material and no normal is turned round.
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
    glEnable(GL_LIGHTING);

    // The point light at the camera is set in one slot while another, never set, is the one
    // switched on: an unset light is white and shines along +z.
    const GLfloat diffuse[] = {1, 1, 1, 0};
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glLightf(GL_LIGHT1, GL_QUADRATIC_ATTENUATION, 0.5f);
    glDisable(GL_LIGHT1);
    // The unset light: white diffuse, no specular or ambient part.
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, none);
    glLightfv(GL_LIGHT0, GL_AMBIENT, none);
    glEnable(GL_LIGHT0);

    glShadeModel(GL_SMOOTH);
    // Blending on with source one, destination zero: the tube stays opaque.
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glDisable(GL_FOG);
    glDisable(GL_DITHER);
    // The device's default culling: triangles wound counter-clockwise on the screen are not
    // drawn. Seen from inside, the tube's triangles run clockwise.
    glFrontFace(GL_CW);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

    if (m_vertexBuffer == 0)
        glGenBuffers(1, &m_vertexBuffer);
    if (m_indexBuffer == 0)
        glGenBuffers(1, &m_indexBuffer);
    // The tube with the device's texture wrapping worked into its coordinates.
    if (m_tube == nullptr)
        m_tube = std::make_unique<WrappedTube>(tunnel.TubeIndices());
    m_tube->update(tunnel.TubeVertices());
    glBindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(sizeof(TubeVertex) * WrappedTube::kVertexCount),
                 m_tube->vertices().data(), GL_DYNAMIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(sizeof(std::uint16_t) * Tunnel::kIndexCount),
                 m_tube->indices().data(), GL_STATIC_DRAW);
    m_indicesUploaded = true;
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(TubeVertex), nullptr);
    glNormalPointer(GL_FLOAT, sizeof(TubeVertex), reinterpret_cast<const void*>(3 * sizeof(float)));
    glTexCoordPointer(2, GL_FLOAT, sizeof(TubeVertex),
                      reinterpret_cast<const void*>(6 * sizeof(float)));
    return true;
}

bool TunnelWindow::Render(Tunnel& tunnel) {
    if (m_stop != TunnelStop::None || !isExposed() || m_context == nullptr || !m_indicesUploaded ||
        !m_context->makeCurrent(this))
        return false;
    glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    glViewport(0, 0, m_mode.width, m_mode.height);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(tunnel.viewMatrix().data());
    // Lights are given in world space, so after the view is loaded.
    const Vec3 at = tunnel.lightPosition();
    const GLfloat point[] = {at.x, at.y, at.z, 1};
    glLightfv(GL_LIGHT1, GL_POSITION, point);
    const GLfloat alongZ[] = {0, 0, -1, 0};
    glLightfv(GL_LIGHT0, GL_POSITION, alongZ);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

    if (tunnel.takeTubeChanged()) {
        m_tube->update(tunnel.TubeVertices());
        glBufferSubData(GL_ARRAY_BUFFER, 0,
                        static_cast<GLsizeiptr>(sizeof(TubeVertex) * WrappedTube::kVertexCount),
                        m_tube->vertices().data());
    }
    glDrawElements(GL_TRIANGLES, Tunnel::kIndexCount, GL_UNSIGNED_SHORT, nullptr);

    // Present: stretch the frame onto the window.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_context->defaultFramebufferObject());
    const qreal ratio = devicePixelRatio();
    glBlitFramebuffer(0, 0, m_mode.width, m_mode.height, 0, 0, static_cast<GLint>(width() * ratio),
                      static_cast<GLint>(height() * ratio), GL_COLOR_BUFFER_BIT, GL_LINEAR);
    m_context->swapBuffers(this);
    return m_context->isValid();
}

QImage TunnelWindow::renderedFrame() {
    if (m_context == nullptr || !m_context->makeCurrent(this))
        return {};
    // The frame's alpha is the material's (0); what is seen is the colour alone.
    QImage frame(m_mode.width, m_mode.height, QImage::Format_RGBX8888);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
    glReadPixels(0, 0, m_mode.width, m_mode.height, GL_RGBA, GL_UNSIGNED_BYTE, frame.bits());
    return frame.mirrored(); // OpenGL's rows run bottom to top
}

void TunnelWindow::show() {
    if (m_windowed)
        QWindow::show();
    else
        showFullScreen();
}

void TunnelWindow::hide() {
    QWindow::hide();
}

void TunnelWindow::release() {
    if (m_context == nullptr)
        return;
    if (m_context->makeCurrent(this)) {
        deleteTarget();
        if (m_texture != 0)
            glDeleteTextures(1, &m_texture);
        if (m_vertexBuffer != 0)
            glDeleteBuffers(1, &m_vertexBuffer);
        if (m_indexBuffer != 0)
            glDeleteBuffers(1, &m_indexBuffer);
        m_context->doneCurrent();
    }
    m_texture = m_vertexBuffer = m_indexBuffer = 0;
    m_indicesUploaded = false;
    m_context.reset();
}

} // namespace vexo
