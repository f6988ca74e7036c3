// The task manager window under a real window manager (openbox on the server ./test.sh names in
// VEXO_X11_DISPLAY_WM), driven by the pointer through the X server as a user drives it.
#include "platform/linux/XcbWindowSystem.h"
#include "platform/qt/QtMessagePump.h"
#include "platform/qt/QtPlatform.h"
#include "support/FakeDesktop.h"
#include "support/X11Client.h"
#include "taskman/ui/AtmWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
// Last: Xlib defines macros that clash with names above.
#include "support/X11Input.h"

namespace vexo {
namespace {

// Shown once the other programs' windows are on the screen: the lists are made anew only when
// the number of titled windows changes, so one that is mapped late is not listed.
struct AtmOnScreen : test::TaskServices<XcbWindowSystem, QtMessagePump> {
    explicit AtmOnScreen(QWidget* opener = nullptr) {
        window.move(10, 10);
        window.showFor(opener);
    }
    AtmWindow window{services(), "/nonexistent/"};

    QTreeWidget* report() {
        return window.findChild<QTabWidget*>()->widget(0)->findChild<QTreeWidget*>();
    }
    QTreeWidgetItem* item(const char* title) {
        const auto found = report()->findItems(QString::fromUtf8(title), Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    }
    QPoint onScreen(QTreeWidgetItem* row) {
        return report()->viewport()->mapToGlobal(report()->visualItemRect(row).center());
    }
};

// Other programs' windows, asked to be put beside the task manager, not over its rows.
struct OtherProgram : test::TestClient {
    std::vector<xcb_window_t> open(std::initializer_list<const char*> titles) {
        std::vector<xcb_window_t> made;
        for (const char* title : titles)
            made.push_back(create(title, true, true, 700));
        (void)QTest::qWaitFor(
            [&] { return std::ranges::all_of(made, [&](auto w) { return viewable(w); }); });
        return made;
    }
};

class TaskManagerOnTheDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "VEXO_X11_DISPLAY_WM names no X server with a window manager";
        ASSERT_NE(pointer.display, nullptr);
    }
    test::X11Input pointer;
};

// A double-click on a row not yet selected switches to its window; after the desktop changed
// and F5 listed anew, a click on a row and on "Switch to ..." brings up the window shown there.
TEST_F(TaskManagerOnTheDesktop, TheRowClickedIsTheWindowSwitchedTo) {
    OtherProgram other;
    const std::vector<xcb_window_t> first = other.open({"Vexo first", "Vexo second"});
    AtmOnScreen atm;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&atm.window) && atm.item("Vexo second"));
    atm.window.activateWindow();
    QTest::qWait(200);
    ASSERT_FALSE(atm.item("Vexo second")->isSelected());
    pointer.click(atm.onScreen(atm.item("Vexo second")), 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return other.activeWindow() == first[1]; }, 3000))
        << "active: " << other.activeWindow();

    // One window went as another came: the number is the same, and F5 lists anew all the same.
    other.destroy(first[0]);
    const xcb_window_t third = other.open({"Vexo third"})[0];
    ASSERT_TRUE(QTest::qWaitFor([&] {
        for (QAction* action : atm.window.findChildren<QAction*>())
            if (action->shortcut() == QKeySequence(Qt::Key_F5))
                action->trigger();
        return atm.item("Vexo third") && !atm.item("Vexo first");
    }));
    QTest::qWait(200);
    pointer.click(atm.onScreen(atm.item("Vexo third")));
    auto* switchButton = atm.window.findChild<QPushButton*>(QStringLiteral("CommandButton0"));
    pointer.click(switchButton->mapToGlobal(switchButton->rect().center()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return other.activeWindow() == third; }, 3000))
        << "active: " << other.activeWindow();
}

// With no refresh speed chosen, a window End Task closed leaves the list once it has gone; with
// one, the task manager's own menus are never listed while they are open.
TEST_F(TaskManagerOnTheDesktop, TheListFollowsEndTaskAndNeverShowsTheTaskManagersMenus) {
    OtherProgram other;
    const xcb_window_t closing = other.open({"Vexo closing"})[0];
    AtmOnScreen atm;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&atm.window) && atm.item("Vexo closing"));
    ASSERT_EQ(atm.window.model().timerInterval(), 0);
    atm.window.activateWindow();
    QTest::qWait(200);
    pointer.click(atm.onScreen(atm.item("Vexo closing")));
    atm.dialogs.messageAnswer = MsgAnswer::Yes;
    auto* endTask = atm.window.findChild<QPushButton*>(QStringLiteral("CommandButton5"));
    pointer.click(endTask->mapToGlobal(endTask->rect().center()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return other.deleteRequested(closing); }, 3000));
    other.destroy(closing); // as its program does when asked
    EXPECT_TRUE(QTest::qWaitFor([&] { return atm.item("Vexo closing") == nullptr; }, 3000));

    pointer.keys({{XK_F6, true}, {XK_F6, false}}); // refresh twice a second
    ASSERT_EQ(atm.window.model().timerInterval(), 500);
    pointer.keys({{XK_Alt_L, true}, {XK_v, true}, {XK_v, false}, {XK_Alt_L, false}});
    ASSERT_NE(QApplication::activePopupWidget(), nullptr) << "the View menu did not open";
    QTest::qWait(1200); // two refreshes
    for (const TaskRow& row : atm.window.model().list(1).rows)
        EXPECT_EQ(QWidget::find(std::stoul(row.handle)), nullptr) << row.title;
    pointer.keys({{XK_Escape, true}, {XK_Escape, false}});
}

TEST_F(TaskManagerOnTheDesktop, IsOwnedByItsOpenerAndListsNoneOfTheToolkitsHelperWindows) {
    OtherProgram other;
    QWidget opener;
    opener.setWindowTitle(QStringLiteral("Vexo opener"));
    opener.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&opener));
    // The toolkit makes hidden helper windows of its own (this one for the clipboard).
    QGuiApplication::clipboard()->setText(QStringLiteral("Vexo"));
    std::vector<xcb_window_t> helpers;
    std::ranges::copy_if(other.rootChildren(), std::back_inserter(helpers), isHelperWindow);
    ASSERT_FALSE(helpers.empty());

    AtmOnScreen atm(&opener);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&atm.window));
    QTest::qWait(200); // the owner is still named once the window is on the screen
    EXPECT_EQ(other.transientFor(static_cast<xcb_window_t>(atm.window.winId())),
              static_cast<xcb_window_t>(opener.winId()));
    atm.window.model().RefreshMenu_Click();
    bool openerListed = false;
    for (const TaskRow& row : atm.window.model().list(1).rows) {
        const auto id = static_cast<xcb_window_t>(std::stoul(row.handle));
        EXPECT_EQ(std::find(helpers.begin(), helpers.end(), id), helpers.end()) << row.title;
        EXPECT_NE(row.title, TaskManager::WindowTitle);
        openerListed = openerListed || id == opener.winId();
    }
    // The program's own windows other than the task manager are listed like any other.
    EXPECT_TRUE(openerListed);
}

} // namespace
} // namespace vexo
