// The wizard window under a real window manager (openbox on the server ./test.sh names in
// VEXO_X11_DISPLAY_WM): where its naming box stands, and its letters typed through the server.
// (Its place across hide and show is kept by the widget tests: openbox here does not carry out
// a pager's move request.)
#include "platform/MemorySettingsStore.h"
#include "platform/qt/QtPlatform.h"
#include "wizard/ui/WizardWindow.h"

#include <QApplication>
#include <QInputDialog>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
// Last: Xlib defines macros that clash with names above.
#include "support/X11Input.h"

namespace vexo {
namespace {

// The wizard's first page, shown on the display.
class WizardOnTheDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "VEXO_X11_DISPLAY_WM names no X server with a window manager";
        wizard.Change_Page();
        window = std::make_unique<WizardWindow>(wizard, VEXO_BUILD_APP_FOLDER "/");
        window->show();
    }
    AppState state;
    MemorySettingsStore settings;
    Wizard wizard{state, settings};
    std::unique_ptr<WizardWindow> window; // made once there is a display
};

// The naming box of a run belongs to the wizard, and its frame (title bar included) stands at
// 45 and 300 twips from the wizard's frame, not over the wizard's title bar.
TEST_F(WizardOnTheDesktop, TheNamingBoxStandsAtItsOffsetFromTheWizardsFrame) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->frameGeometry() != window->geometry(); }));
    QtDialogs dialogs([this] { return window.get(); });
    QWidget* owner = nullptr;
    QRect boxFrame;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        if (QTest::qWaitFor(
                [&] { return box->isVisible() && box->frameGeometry() != box->geometry(); })) {
            QTest::qWait(200); // the window manager has placed it
            owner = box->parentWidget();
            boxFrame = box->frameGeometry();
        }
        box->reject();
    });
    dialogs.inputBox("Name?", "Benchmark Name?", "", 45, 300);

    EXPECT_EQ(owner, window.get());
    const QPoint wanted =
        window->frameGeometry().topLeft() +
        QPoint(45 * window->logicalDpiX() / 1440, 300 * window->logicalDpiY() / 1440);
    EXPECT_LE((boxFrame.topLeft() - wanted).manhattanLength(), 1)
        << "box frame at " << boxFrame.x() << "," << boxFrame.y() << ", wanted " << wanted.x()
        << "," << wanted.y();
}

// Letters act however their keys overlap, as people and tools type them: Alt let go before its
// letter, and the next letter pressed before the last is let go.
TEST_F(WizardOnTheDesktop, ALetterActsWhicheverKeyIsLetGoFirst) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    test::X11Input keyboard;
    std::vector<Wizard::Page> pages;
    for (const auto& strokes : std::vector<std::vector<std::pair<KeySym, bool>>>{
             {{XK_Alt_L, true}, {XK_n, true}, {XK_Alt_L, false}, {XK_n, false}}, // Next
             {{XK_n, true}, {XK_b, true}, {XK_n, false}}, // Next on the main menu...
             {{XK_b, false}}}) {                          // ... and Back
        keyboard.keys(strokes);
        pages.push_back(wizard.CurrentPage());
    }
    using Page = Wizard::Page;
    EXPECT_EQ(pages, (std::vector<Page>{Page::MainMenu, Page::Customize, Page::MainMenu}));
}

} // namespace
} // namespace vexo
