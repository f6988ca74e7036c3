// The tunnel drawn with OpenGL on a real X server (VEXO_X11_DISPLAY_WM, started by ./test.sh).
#include "tunnel/ui/TunnelWindow.h"

#include <QGuiApplication>
#include <QLineF>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>

namespace vexo {
namespace {

// Shows the window and handles events until the window manager has put it on the screen.
bool showExposed(TunnelWindow& window) {
    window.show();
    for (int tries = 0; tries < 500 && !window.isExposed(); ++tries) {
        QGuiApplication::processEvents();
        QThread::msleep(10);
    }
    return window.isExposed();
}

// A texture that tells where along one of its axes it was sampled, continuously across the
// wrap and whatever the light: red and green hold the cosine and sine of the coordinate as a
// turn, blue is full, so the light is blue's share and the turn is read back from red and green.
QImage turnTexture(bool alongU) {
    QImage texture(256, 256, QImage::Format_RGB32);
    const auto level = [](double f) { return static_cast<int>(std::lround(128 + 127 * f)); };
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const double turn = ((alongU ? x : y) + 0.5) / 256 * 2 * 3.14159265358979;
            texture.setPixel(x, y, qRgb(level(std::cos(turn)), level(std::sin(turn)), 255));
        }
    return texture;
}

// The coordinate (in [0, 1)) and the light a pixel of that texture shows.
std::pair<float, float> readTurn(QColor c) {
    const double scale = 255.0 / std::max(1, c.blue());
    const double turn = std::atan2((c.green() * scale - 128) / 127, (c.red() * scale - 128) / 127);
    const auto coordinate = static_cast<float>(turn / (2 * 3.14159265358979));
    return {coordinate - std::floor(coordinate), static_cast<float>(c.blue()) / 255};
}

// The short way from a to b round the unit circle of texture coordinates.
float wrapDistance(float a, float b) {
    const float d = std::fabs(a - b) - std::floor(std::fabs(a - b));
    return std::min(d, 1.0f - d);
}

// The point a fraction t of the way from a to b taken the short way, in [0, 1).
float wrapLerp(float a, float b, float t) {
    if (std::fabs(a - b) > 0.5f)
        b += a > b ? 1.0f : -1.0f;
    const float m = a + (b - a) * t;
    return m - std::floor(m);
}

// The device's lighting at a vertex: ambient 0.3 and the unset light, white and shining along
// +z, through the normal as given (one-sided), clamped as colours are.
float lightAt(const TubeVertex& v) {
    return std::min(1.0f, 0.3f + std::max(0.0f, -v.nz));
}

// The segments sampled: those just ahead of the camera after one move. Further down, where
// the tube bends, nearer walls cover them.
constexpr int kFirstRing = 36;
constexpr int kLastRing = 48;

struct Sample {
    float u, v, light; // expected there
    int x, y;
    bool seam, ringJump; // in a ring's seam strip, or in the segment where tv runs 6/7 to 0
};

// For each strip of those segments, where points on its diagonal land on the screen and what
// the device draws there. A point on the edge two triangles share has the same attributes in
// both, and a point in space keeps its attributes through a perspective-correct projection.
std::vector<Sample> samples(const Tunnel& tunnel, DisplayMode mode) {
    const Matrix4 p = Tunnel::projection(1.0f, 6000.0f, 3.14159265358972f / 2);
    const auto times = [](const std::array<float, 4>& row, const Matrix4& m) {
        std::array<float, 4> out{};
        for (std::size_t col = 0; col < 4; ++col)
            for (std::size_t k = 0; k < 4; ++k)
                out[col] += row[k] * m[k * 4 + col];
        return out;
    };
    const auto& vertices = tunnel.TubeVertices();
    std::vector<Sample> result;
    for (int ring = kFirstRing; ring <= kLastRing; ++ring) {
        for (int i = 0; i < 100; ++i) {
            const TubeVertex& a = vertices[static_cast<std::size_t>((ring + 1) * 100 + i)];
            const TubeVertex& c = vertices[static_cast<std::size_t>(ring * 100 + (i + 1) % 100)];
            // Where a strip covers only a few pixels, the half pixel between a point and the
            // pixel's centre is a large part of the strip: such strips are left out.
            const auto onScreen = [&](float t) -> std::optional<QPointF> {
                const auto out = times(
                    times({a.x + (c.x - a.x) * t, a.y + (c.y - a.y) * t, a.z + (c.z - a.z) * t, 1},
                          tunnel.viewMatrix()),
                    p);
                if (out[3] <= 1.0f)
                    return std::nullopt;
                return QPointF((out[0] / out[3] + 1) / 2 * static_cast<float>(mode.width),
                               (1 - out[1] / out[3]) / 2 * static_cast<float>(mode.height));
            };
            const auto from = onScreen(0), to = onScreen(1);
            if (!from || !to || QLineF(*from, *to).length() < 24)
                continue;
            for (const float t : {0.2f, 0.35f, 0.5f, 0.65f, 0.8f}) {
                const QPointF at = *onScreen(t);
                if (at.x() < 4 || at.y() < 4 || at.x() > mode.width - 4 || at.y() > mode.height - 4)
                    continue;
                result.push_back({wrapLerp(a.tu, c.tu, t), wrapLerp(a.tv, c.tv, t),
                                  lightAt(a) + (lightAt(c) - lightAt(a)) * t,
                                  static_cast<int>(at.x()), static_cast<int>(at.y()), i == 99,
                                  std::fabs(a.tv - c.tv) > 0.5f});
            }
        }
    }
    return result;
}

// One frame of the tunnel after one move from its start, textured from the file, at the mode;
// an empty image when the window could not be set up. A missing texture file is refused.
QImage drawnWith(const std::string& texture, Tunnel& tunnel, DisplayMode mode) {
    TunnelWindow window(true);
    if (!window.initialise(mode) || window.InitDevice(tunnel, "/nonexistent/graphics.dat") ||
        !window.InitDevice(tunnel, texture) || !showExposed(window))
        return {};
    tunnel.MoveScene();
    const QImage frame = window.Render(tunnel) ? window.renderedFrame() : QImage();
    return frame.size() == QSize(mode.width, mode.height) ? frame : QImage();
}

TEST(TunnelRender, WhatIsDrawnIsWhatTheDeviceDrawsWithWrappingAndOneSidedLight) {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X server";
    const DisplayMode mode{1024, 768, 32};
    for (const bool alongU : {true, false}) {
        SCOPED_TRACE(alongU ? "u" : "v");
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("graphics.dat"));
        ASSERT_TRUE(turnTexture(alongU).save(path, "PNG"));
        Tunnel tunnel;
        tunnel.InitPoints();
        const QImage frame = drawnWith(path.toStdString(), tunnel, mode);
        ASSERT_FALSE(frame.isNull());

        int checked = 0, wrong = 0, seams = 0, jumps = 0, lit = 0, unlit = 0;
        std::string firstWrong;
        for (const Sample& s : samples(tunnel, mode)) {
            const auto [coordinate, light] = readTurn(frame.pixelColor(s.x, s.y));
            const float expected = alongU ? s.u : s.v;
            const bool right =
                wrapDistance(coordinate, expected) < 0.02f && std::fabs(light - s.light) < 0.06f;
            ++checked;
            if (!right && ++wrong <= 5)
                firstWrong += std::to_string(s.x) + "," + std::to_string(s.y) + " ";
            seams += right && s.seam, jumps += right && s.ringJump;
            lit += right && s.light > 0.6f, unlit += right && s.light < 0.35f;
        }
        EXPECT_GT(checked, 1000);
        // A sample may fall on an edge that a neighbouring strip drew over.
        EXPECT_LE(wrong, checked / 100) << firstWrong;
        // Among them the seam strips, the segment across the tv jump and both sides of the light.
        EXPECT_EQ((std::vector<bool>{seams >= 5, jumps >= 200, lit >= 200, unlit >= 200}),
                  (std::vector<bool>{true, true, true, true}))
            << seams << " " << jumps << " " << lit << " " << unlit;
    }
}

} // namespace
} // namespace vexo

int main(int argc, char** argv) {
    if (const char* display = std::getenv("VEXO_X11_DISPLAY_WM"))
        setenv("DISPLAY", display, 1);
    qputenv("QT_QPA_PLATFORM", std::getenv("DISPLAY") != nullptr ? "xcb" : "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
