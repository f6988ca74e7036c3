// The windows on a 1280 by 1024 screen scaled by 1.5 and by 2: each opens inside the room the
// screen has for windows, frame included, with its texts whole and every chart bar reachable.
#include "benchfile/BenchmarkFile.h"
#include "browser/ui/ResultWindow.h"
#include "browser/ui/ScoresChart.h"
#include "help/ui/HelpWindow.h"
#include "platform/MemorySettingsStore.h"
#include "support/FakeDesktop.h"
#include "support/LayoutChecks.h"
#include "support/RunRecorder.h"
#include "support/TempFolder.h"
#include "taskman/ui/AtmWindow.h"
#include "wizard/ui/WizardWindow.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace vexo {
namespace {

class NoLockKeys final : public KeyboardLocks {
public:
    std::optional<LockKeys> lockKeys() override { return LockKeys{false, false}; }
};

// Shows a window as the program does and says whether it stands inside the screen's room, its
// frame included.
void expectInsideTheScreen(QWidget& window) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QRect room = window.screen()->availableGeometry();
    const QRect area = window.frameGeometry();
    EXPECT_TRUE(room.contains(area))
        << area.width() << "x" << area.height() << " at " << area.x() << "," << area.y()
        << " on a room of " << room.width() << "x" << room.height();
}

TEST(ScaledScreen, TheScreenIsScaled) {
    const double scale = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
    EXPECT_GT(scale, 1.0) << "registered without QT_SCALE_FACTOR";
    EXPECT_EQ(QGuiApplication::primaryScreen()->geometry().width(), static_cast<int>(1280 / scale));
}

TEST(ScaledScreen, TheWizardKeepsItsDesignInsideTheScreen) {
    AppState state;
    MemorySettingsStore settings;
    Wizard wizard{state, settings};
    wizard.Change_Page();
    WizardWindow window{wizard, VEXO_BUILD_APP_FOLDER "/"};
    // At 2 its 640 by 480 and the frame's borders would overhang the 640 by 512: the window
    // is drawn a little smaller (the pages' layout checks run at this scale too).
    expectInsideTheScreen(window);
    EXPECT_GE(window.width(), 620);
}

TEST(ScaledScreen, TheHelpViewerAndTheTaskManagerFitWithTheirTextsWhole) {
    std::int16_t topic = 0;
    HelpWindow help{topic, VEXO_BUILD_APP_FOLDER "/"};
    {
        SCOPED_TRACE("help viewer");
        expectInsideTheScreen(help);
        EXPECT_EQ(test::layoutFaults(help), std::vector<std::string>{});
    }
    test::FakeWindowSystem desktop;
    test::MemorySettings settings;
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    test::FakeFileDialogs files;
    test::CountingPump pump{log};
    AtmWindow atm{{desktop, settings, dialogs, files, files, pump}, VEXO_BUILD_APP_FOLDER "/"};
    {
        SCOPED_TRACE("task manager");
        expectInsideTheScreen(atm);
        EXPECT_EQ(test::layoutFaults(atm), std::vector<std::string>{});
    }
}

TEST(ScaledScreen, TheResultBrowserFitsAndItsChartReachesEveryRecord) {
    const test::TempFolder folder;
    const std::string path = folder.path("seven.vgf");
    std::string records;
    for (int i = 1; i <= 7; ++i)
        records +=
            ">>:Computer " + std::to_string(i) + "||BMCPUh=" + std::to_string(i * 10) + ":;:;";
    ASSERT_TRUE(benchfile::saveBenchmarkFile(path, records));
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    test::FakeFileDialogs files;
    NoLockKeys locks;
    ResultWindow window{
        {dialogs, files}, locks, VEXO_BUILD_APP_FOLDER "/", folder.folder().string() + "/"};
    expectInsideTheScreen(window);
    files.answers.push_back(path);
    window.run([&] { window.model().ImportMenu_Click(); });
    for (const BrowserMode mode :
         {BrowserMode::Platform, BrowserMode::Tasks, BrowserMode::Scores}) {
        SCOPED_TRACE(static_cast<int>(mode));
        window.run([&] { window.model().pressMode(mode); });
        QApplication::processEvents();
        EXPECT_EQ(test::layoutFaults(window), std::vector<std::string>{});
    }
    const auto* chart = window.findChild<ScoresChart*>("ScoresChart");
    ASSERT_NE(chart, nullptr);
    ASSERT_EQ(chart->bars().size(), 7U);
    EXPECT_GE(chart->height(), chart->barRow(6).bottom()); // drawn, if scrolled to
}

} // namespace
} // namespace vexo
