// Every page of the wizard and the help viewer, looked at as a person would: no caption shows an
// "&", every text is whole in its element at the default font, and no element lies on another
// unless the window stacks them on purpose. Built again for a 1280 by 1024 screen scaled by 1.5
// and by 2 (VEXO_SCREEN_CONFIG), where every window, the task manager and the result browser
// among them, must also open inside the room the screen has for windows.
#include "browser/ui/ResultWindow.h"
#include "help/ui/HelpWindow.h"
#include "platform/MemorySettingsStore.h"
#include "support/FakeDesktop.h"
#include "support/LayoutChecks.h"
#include "support/RunRecorder.h"
#include "support/ShownTexts.h"
#include "taskman/ui/AtmWindow.h"
#include "wizard/ui/WizardWindow.h"

#include <QApplication>
#include <QDebug>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace vexo {
namespace {

using Faults = std::vector<std::string>;

// Shows the window as the program does; on the scaled screen it must stand inside the screen's
// room, its frame included.
void expectInsideTheScreen(QWidget& window) {
    window.show();
#ifdef VEXO_SCREEN_CONFIG
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QRect room = window.screen()->availableGeometry();
    const QRect area = window.frameGeometry();
    EXPECT_TRUE(room.contains(area))
        << (QDebug::toString(area) + " in " + QDebug::toString(room)).toStdString();
#endif
}

#ifdef VEXO_SCREEN_CONFIG
TEST(ScaledScreen, TheScreenIsScaled) {
    const double scale = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
    EXPECT_GT(scale, 1.0) << "registered without QT_SCALE_FACTOR";
    EXPECT_EQ(QGuiApplication::primaryScreen()->geometry().width(), static_cast<int>(1280 / scale));
}
#endif

// The wizard draws every page on its full-size background picture; the cover that blocks input
// during a run lies over the whole page; the welcome page's links lie over its contact text; the
// keyboard's focus mark lies around the focused element.
bool wizardStacking(const QWidget& lower, const QWidget& upper) {
    const QRect page = lower.parentWidget()->rect();
    return lower.objectName() == "Background" || upper.geometry() == page ||
           upper.objectName() == "FocusMark" ||
           (lower.objectName() == "FrameText2" && upper.objectName().startsWith("LinkText"));
}

struct WizardRig {
    // With a larger desktop font the pages grow below the design, beyond a small screen's room.
    explicit WizardRig(bool designFont = true) {
        wizard.elements().ButtonImage = {1, 3, 12, 14, 16, 23}; // as the program loads them
        wizard.Set_Credits_Text();
        wizard.Change_Page();
        window.sync();
        designFont ? expectInsideTheScreen(window) : window.show();
    }
    void go(int page) {
        wizard.setCurrentPage(static_cast<std::int16_t>(page));
        wizard.Change_Page();
        window.sync();
    }
    void expectLooksRight(const std::string& where) {
        EXPECT_EQ(test::layoutFaults(window, wizardStacking), Faults{})
            << where << ", page " << wizard.CurrentPage();
    }
    AppState state;
    MemorySettingsStore settings;
    Wizard wizard{state, settings};
    WizardWindow window{wizard, VEXO_BUILD_APP_FOLDER "/"};
};

// The desktop's font at `scale` times its size while it lives: texts grow, none is cut.
struct DesktopFont {
    explicit DesktopFont(double scale) {
        QFont font = normal;
        font.setPointSizeF(font.pointSizeF() * scale);
        QApplication::setFont(font);
    }
    ~DesktopFont() { QApplication::setFont(normal); }
    const QFont normal = QApplication::font();
};

TEST(WizardLayout, EveryPageOfBothRoutesLooksRight) {
    // The keys typed on each page: the custom route with every group and benchmark chosen.
    const std::vector<std::pair<const char*, std::vector<const char*>>> routes{
        {"custom", {"N", "CN", "SDN", "CFDN", "SUIN", "N", "N", "N"}},
        {"complete", {"N", "PN", "N", "N", "N"}}};
    for (const double font : {1.0, 1.5})
        for (const auto& [route, steps] : routes) {
            SCOPED_TRACE(testing::Message()
                         << route << " route, font at " << font << " times its size");
            const DesktopFont desktopFont{font};
            WizardRig rig{font == 1.0};
            for (const char* keys : steps) {
                rig.expectLooksRight(route);
                for (const char* key = keys; *key != '\0'; ++key)
                    QTest::keyClick(&rig.window, static_cast<Qt::Key>(*key));
            }
            ASSERT_EQ(rig.wizard.CurrentPage(), 9) << route;
            rig.expectLooksRight(route);
        }
}

TEST(WizardLayout, TheRunPageWithTheEnginesLongestLinesAndTheScoreCardLookRight) {
    WizardRig rig;
    rig.go(10);
    rig.expectLooksRight("run");
    // The longest lines the engine writes there, as a person reads them during a run.
    for (const auto& [line, text] : std::vector<std::pair<RunPageView::Line, const char*>>{
             {RunPageView::StatusLine, shown::SavedWithSubstitutes},
             {RunPageView::StatusLine, shown::Direct3DSkippedLongest},
             {RunPageView::EstimateLine, shown::ThrottleEstimate},
             {RunPageView::DescriptionLine, shown::ThrottleDescription},
             {RunPageView::DescriptionLine, shown::RamDescription},
             {RunPageView::DescriptionLine, shown::ImagingDescription}}) {
        rig.wizard.setLine(line, text);
        rig.expectLooksRight(std::string("run page with ") + text);
    }
    rig.state.run.ThrottleTries = 12;
    rig.state.scores = {123456, 98765, 4321, 8765, 240, 54321, 65432, 76543};
    rig.wizard.Show_Score_Card();
    rig.go(11);
    rig.expectLooksRight("score card");
}

TEST(HelpLayout, TheHelpViewerLooksRight) {
    std::int16_t topic = 0;
    HelpWindow help{topic, VEXO_BUILD_APP_FOLDER "/"};
    expectEveryViewLooksRight(help, 1, [](int) {});
}

struct NoLocks final : KeyboardLocks {
    std::optional<LockKeys> lockKeys() override { return std::nullopt; }
};

TEST(TaskManagerAndBrowserLayout, BothOpenInsideTheScreen) {
    test::FakeWindowSystem desktop;
    test::MemorySettings settings;
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    test::FakeFileDialogs files;
    test::CountingPump pump{log};
    AtmWindow atm{{desktop, settings, dialogs, files, files, pump}, VEXO_BUILD_APP_FOLDER "/"};
    atm.load();
    expectInsideTheScreen(atm);
    NoLocks locks;
    ResultWindow browser{{dialogs, files}, locks, VEXO_BUILD_APP_FOLDER "/", "/nonexistent/"};
    expectInsideTheScreen(browser);
}

} // namespace
} // namespace vexo
