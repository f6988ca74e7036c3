// The wizard window under a real window manager (openbox on the server ./test.sh names in
// VEXO_X11_DISPLAY_WM): where it comes back after being hidden.
#include "platform/MemorySettingsStore.h"
#include "platform/qt/QtPlatform.h"
#include "wizard/ui/WizardWindow.h"

#include <QApplication>
#include <QInputDialog>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <xcb/xcb.h>

namespace vexo {
namespace {

// Asks the window manager to move a window, as it does itself when the user drags one: the
// program is only told where the window now is.
void moveByWindowManager(WId window, QPoint framePosition) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const char* name = "_NET_MOVERESIZE_WINDOW";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(window);
    message.type = atom != nullptr ? atom->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    // North-west gravity (the frame's corner), x and y given, asked by a pager-like tool.
    message.data.data32[0] = 1u | (1u << 8) | (1u << 9) | (2u << 12);
    message.data.data32[1] = static_cast<std::uint32_t>(framePosition.x());
    message.data.data32[2] = static_cast<std::uint32_t>(framePosition.y());
    xcb_send_event(connection, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
    std::free(atom);
    xcb_disconnect(connection);
}

// The wizard shown under the window manager, framed by it.
struct ShownWizard {
    AppState state;
    MemorySettingsStore settings;
    Wizard wizard{state, settings};
    WizardWindow window{wizard, VEXO_BUILD_APP_FOLDER "/"};
};

class WizardOnTheDesktop : public testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "VEXO_X11_DISPLAY_WM names no X server with a window manager";
        shown.emplace();
        shown->wizard.Change_Page();
        window().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return window().frameGeometry() != window().geometry(); }));
    }
    WizardWindow& window() { return shown->window; }
    std::optional<ShownWizard> shown; // made only where there is a display
};

TEST_F(WizardOnTheDesktop, ComesBackWhereTheUserMovedItAfterATripToTheBrowser) {
    for (const QPoint target : {QPoint(300, 260), QPoint(40, 420)}) {
        SCOPED_TRACE(target.x());
        const QPoint before = window().pos();
        moveByWindowManager(window().winId(), target);
        // Where the window manager puts the frame for that request depends on its theme's
        // borders; what counts is that the wizard comes back to where it was put.
        if (!QTest::qWaitFor(
                [&] {
                    return (window().pos() - target).manhattanLength() < 60 &&
                           window().pos() != before;
                },
                3000))
            GTEST_SKIP() << "the window manager did not carry out the move request";
        QTest::qWait(200);
        const QPoint wanted = window().pos();
        // The browser, maximised, takes its turn while the wizard is hidden.
        QWidget browser;
        browser.showMaximized();
        window().hide();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&browser));
        window().show();
        browser.hide();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
        QTest::qWait(300); // the window manager has placed it
        EXPECT_EQ(window().pos(), wanted)
            << "came back at " << window().pos().x() << "," << window().pos().y();
    }
}

// The naming box of a run belongs to the wizard, and its frame (title bar included) stands at
// 45 and 300 twips from the wizard's frame, not over the wizard's title bar.
TEST_F(WizardOnTheDesktop, TheNamingBoxStandsAtItsOffsetFromTheWizardsFrame) {
    QtDialogs dialogs([this] { return &window(); });
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

    EXPECT_EQ(owner, &window());
    const QPoint wanted =
        window().frameGeometry().topLeft() +
        QPoint(45 * window().logicalDpiX() / 1440, 300 * window().logicalDpiY() / 1440);
    EXPECT_LE((boxFrame.topLeft() - wanted).manhattanLength(), 1)
        << "box frame at " << boxFrame.x() << "," << boxFrame.y() << ", wanted " << wanted.x()
        << "," << wanted.y();
}

} // namespace
} // namespace vexo

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
