// The tunnel drawn with OpenGL on a real X server (VEXO_X11_DISPLAY_WM, started by ./test.sh).
#include "tunnel/ui/TunnelWindow.h"

#include <QGuiApplication>
#include <cstdlib>
#include <gtest/gtest.h>
#include <set>

namespace vexo {
namespace {

const std::string kTexture = VEXO_BUILD_APP_FOLDER "/data/medtex.ctf";

struct FrameLook {
    double meanBrightness = 0;
    std::size_t distinctColours = 0;
    double litFraction = 0; // pixels brighter than the clear colour
};

FrameLook look(const QImage& frame) {
    FrameLook result;
    std::set<QRgb> colours;
    std::size_t lit = 0;
    double sum = 0;
    for (int y = 0; y < frame.height(); y += 3) {
        for (int x = 0; x < frame.width(); x += 3) {
            const QColor c = frame.pixelColor(x, y);
            const int brightness = c.red() + c.green() + c.blue();
            sum += brightness;
            lit += brightness > 12 ? 1 : 0;
            if (colours.size() < 5000)
                colours.insert(c.rgb());
        }
    }
    const double samples = (frame.width() / 3.0) * (frame.height() / 3.0);
    result.meanBrightness = sum / samples;
    result.distinctColours = colours.size();
    result.litFraction = static_cast<double>(lit) / samples;
    return result;
}

TEST(TunnelRender, ATexturedLitTubeFillsTheViewAtEachModeAsked) {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X server";
    for (const DisplayMode mode : {DisplayMode{640, 480, 16}, DisplayMode{1024, 768, 32}}) {
        TunnelWindow window(true);
        const auto error = window.initialise(mode);
        ASSERT_FALSE(error) << *error;
        Tunnel tunnel;
        tunnel.InitPoints();
        ASSERT_TRUE(window.InitDevice(tunnel, kTexture));
        window.show();
        for (int frame = 0; frame < 30; ++frame) {
            tunnel.MoveScene();
            window.Render(tunnel);
        }
        const QImage frame = window.renderedFrame();
        ASSERT_EQ(frame.size(), QSize(mode.width, mode.height));
        const FrameLook seen = look(frame);
        EXPECT_GT(seen.litFraction, 0.9) << mode.width;      // the tube covers the view
        EXPECT_GT(seen.distinctColours, 200u) << mode.width; // textured and shaded, not flat
        EXPECT_GT(seen.meanBrightness, 40) << mode.width;
        if (const char* folder = std::getenv("VEXO_SCREENSHOTS"))
            frame.save(
                QStringLiteral("%1/tunnel-%2x%3.png").arg(folder).arg(mode.width).arg(mode.height));
        window.hide();
        window.release();
    }
}

TEST(TunnelRender, AMissingTextureFailsTheSetUp) {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X server";
    TunnelWindow window(true);
    ASSERT_FALSE(window.initialise({640, 480, 32}));
    Tunnel tunnel;
    tunnel.InitPoints();
    EXPECT_FALSE(window.InitDevice(tunnel, "/nonexistent/graphics.dat"));
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
