// The program's windows and the task manager on a Wayland desktop that tests/wayland/desktop.sh
// starts: sway (wlroots) with XWayland, where the compositor shows its own windows to other
// programs, or Weston, where it does not. The script names the desktop in VEXO_WAYLAND_DESKTOP
// and has opened one native program ("foot") and one X11 program ("xlogo") on it.
#include "platform/linux/SessionPlatform.h"
#include "platform/linux/SessionWindowSystem.h"
#include "platform/qt/QtMessagePump.h"
#include "support/FakeDesktop.h"
#include "taskman/TaskManager.h"

#include <QApplication>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace vexo {
namespace {

std::string desktop() {
    const char* name = std::getenv("VEXO_WAYLAND_DESKTOP");
    return name != nullptr ? name : "";
}

// The ids of the listed windows with this title.
std::vector<WindowId> titled(SessionWindowSystem& windows, const std::string& title) {
    std::vector<WindowId> found;
    for (const WindowId window : windows.topLevelWindows())
        if (windows.windowText(window) == title)
            found.push_back(window);
    return found;
}

// The compositor's own word on which window has the focus.
bool focused(const std::string& title) {
    WlrToplevels compositor;
    for (const WindowId window : compositor.windows()) {
        const WlrToplevels::Toplevel* toplevel = compositor.find(window);
        if (toplevel != nullptr && toplevel->title == title)
            return toplevel->activated;
    }
    return false;
}

#define SKIP_UNLESS_ON(name)                                                                       \
    if (desktop() != name)                                                                         \
    GTEST_SKIP() << "not on " name

struct Atm : test::TaskServices<SessionWindowSystem, QtMessagePump> {
    Atm() { model.Form_Load(); }
    TaskManager model{services(), "/nonexistent/"};

    // Selects the row with that title; its window's handle, or 0 when it is not listed.
    WindowId select(int list, const std::string& title) {
        const int row = test::rowOf(model, list, title);
        model.select(list, row);
        return row == 0 ? 0
                        : static_cast<WindowId>(std::stoul(model.list(list).rows[row - 1].handle));
    }
};

TEST(Platform, TheProgramRunsOnX11ThroughXWayland) {
    if (desktop().empty())
        GTEST_SKIP() << "not on a Wayland desktop";
    EXPECT_EQ(QGuiApplication::platformName().toStdString(), "xcb");
    EXPECT_EQ(std::getenv("QT_QPA_PLATFORM"), nullptr); // not passed on to programs started
}

TEST(OnSway, ListsNativeAndX11WindowsEachOnceWithoutANotice) {
    SKIP_UNLESS_ON("sway");
    SessionWindowSystem windows;
    ASSERT_TRUE(windows.nativeListed());
    EXPECT_EQ(windows.listedNotice(), "");
    const std::vector<WindowId> foot = titled(windows, "foot");
    const std::vector<WindowId> xlogo = titled(windows, "xlogo");
    ASSERT_EQ(foot.size(), 1u);
    ASSERT_EQ(xlogo.size(), 1u) << "an X11 window is listed once, not again as its twin";
    EXPECT_TRUE(WlrToplevels::isNative(foot[0]));
    EXPECT_FALSE(WlrToplevels::isNative(xlogo[0]));
    EXPECT_EQ(windows.windowOwner(foot[0]).windowClass, "foot");
    EXPECT_TRUE(windows.windowOwner(foot[0]).pid == std::nullopt);
    EXPECT_EQ(windows.windowStyle(foot[0]), WindowStyle::Visible);
    EXPECT_EQ(windows.windowStyle(xlogo[0]) & WindowStyle::Visible, WindowStyle::Visible);
}

TEST(OnSway, SwitchToAndShowFocusTheNativeAndTheX11Window) {
    SKIP_UNLESS_ON("sway");
    Atm atm;
    for (const auto& [list, button, title] :
         {std::tuple{0, 0, "foot"}, {0, 0, "xlogo"}, {1, 3, "Vexo second"}, {1, 3, "xlogo"}}) {
        SCOPED_TRACE(std::string(button == 0 ? "Switch to " : "Show ") + title);
        ASSERT_NE(atm.select(list, title), 0u);
        atm.model.CommandButton_Click(button);
        EXPECT_TRUE(QTest::qWaitFor([&] { return focused(title); }, 3000));
    }
    EXPECT_TRUE(atm.dialogs.messages.empty());
}

// A native window that closed after the list was made keeps its row (only a change in the
// number of windows makes the lists anew), and an action on that row is refused. End Task closes
// the native and the X11 window, whose handles then answer as vanished windows.
TEST(OnSway, ARowOfAClosedWindowIsNotActedOnAndEndTaskClosesBoth) {
    SKIP_UNLESS_ON("sway");
    Atm atm;
    const WindowId second = atm.select(0, "Vexo second");
    ASSERT_NE(second, 0u);
    ASSERT_TRUE(atm.windows.requestClose(second)); // as if its own program closed it
    ASSERT_TRUE(QTest::qWaitFor([&] { return atm.windows.windowText(second).empty(); }, 5000));
    atm.model.Switch_Click();
    ASSERT_EQ(atm.dialogs.messages.size(), 1u);
    EXPECT_NE(atm.dialogs.messages[0].text.find("has changed or closed"), std::string::npos);
    EXPECT_EQ(test::rowOf(atm.model, 0, "Vexo second"), 0); // listed anew

    atm.dialogs.messageAnswer = MsgAnswer::Yes;
    for (const std::string title : {"foot", "xlogo"}) {
        SCOPED_TRACE(title);
        const WindowId handle = atm.select(0, title);
        ASSERT_NE(handle, 0u);
        atm.model.CommandButton_Click(5);
        ASSERT_TRUE(QTest::qWaitFor([&] { return titled(atm.windows, title).empty(); }, 5000));
        EXPECT_EQ(atm.windows.windowText(handle) + std::to_string(atm.windows.windowStyle(handle)),
                  "0");
        EXPECT_FALSE(atm.windows.requestClose(handle));
    }
    ASSERT_EQ(atm.dialogs.messages.size(), 3u); // the two questions, no other box
    EXPECT_EQ(atm.dialogs.messages[2].title, "Warning!");
}

TEST(OnWeston, OnlyX11ProgramsAreListedWithTheNotice) {
    SKIP_UNLESS_ON("weston");
    SessionWindowSystem windows;
    EXPECT_FALSE(windows.nativeListed());
    EXPECT_EQ(windows.unavailableReason(), "");
    EXPECT_EQ(windows.listedNotice(), OnlyX11Listed);
    EXPECT_TRUE(titled(windows, "foot").empty());
}

} // namespace
} // namespace vexo

int main(int argc, char** argv) {
    vexo::SessionPlatformChoice platform;
    QApplication app(argc, argv);
    platform.applicationMade();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
