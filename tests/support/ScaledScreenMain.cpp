// main() of the widget tests on a scaled screen: windows are drawn off screen, on one screen of
// 1280 by 1024 pixels, scaled by the factor QT_SCALE_FACTOR names (set where the test is
// registered).
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" VEXO_SCREEN_CONFIG);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
