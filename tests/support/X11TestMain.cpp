// main() of the widget tests on a real X server: the one with a window manager that ./test.sh
// names in VEXO_X11_DISPLAY_WM. Without it the tests skip.
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

int main(int argc, char** argv) {
    const char* display = std::getenv("VEXO_X11_DISPLAY_WM");
    std::unique_ptr<QApplication> app;
    if (display != nullptr && *display != '\0') {
        qputenv("DISPLAY", display);
        qputenv("QT_QPA_PLATFORM", "xcb");
        app = std::make_unique<QApplication>(argc, argv);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
