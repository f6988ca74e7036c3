// The task manager window under a real window manager (openbox on the server ./test.sh names in
// VEXO_X11_DISPLAY_WM), driven by the pointer through the X server as a user drives it.
#include "platform/MemorySettingsStore.h"
#include "platform/linux/XcbWindowSystem.h"
#include "platform/qt/QtMessagePump.h"
#include "platform/qt/QtPlatform.h"
#include "support/FakeDesktop.h"
#include "support/RunRecorder.h"
#include "support/X11Client.h"
#include "taskman/ui/AtmWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <xcb/xcb.h>
// Last: Xlib defines macros that clash with names above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace vexo {
namespace {

using OtherProgram = test::TestClient;
// Where the other programs' windows ask to be put: not over the task manager's rows.
constexpr std::int16_t kBesideTheTaskManager = 700;

// The pointer, moved and pressed through the server's test extension: the program gets the
// same events as from a mouse.
class Pointer {
public:
    Pointer()
        : m_display(XOpenDisplay(nullptr)) {}
    ~Pointer() {
        if (m_display != nullptr)
            XCloseDisplay(m_display);
    }
    bool ok() const { return m_display != nullptr; }
    void click(QPoint at, int times = 1) {
        XTestFakeMotionEvent(m_display, -1, at.x(), at.y(), CurrentTime);
        for (int i = 0; i < times; ++i) {
            XTestFakeButtonEvent(m_display, 1, True, CurrentTime);
            XTestFakeButtonEvent(m_display, 1, False, CurrentTime);
        }
        XSync(m_display, False);
    }

private:
    Display* m_display;
};

struct AtmOnScreen {
    // Shown once the other programs' windows are on the screen: the lists are made anew only
    // when the number of titled windows changes, so one that is mapped late is not listed.
    explicit AtmOnScreen(QWidget* opener = nullptr) {
        window.move(10, 10);
        window.showFor(opener);
    }
    XcbWindowSystem service;
    MemorySettingsStore settings;
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    test::FakeFileDialogs files;
    QtMessagePump pump;
    AtmWindow window{{service, settings, dialogs, files, files, pump}, "/nonexistent/"};

    QTreeWidget* report() {
        return window.findChild<QTabWidget*>()->widget(0)->findChild<QTreeWidget*>();
    }
    QTreeWidgetItem* item(const QString& title) {
        const auto found = report()->findItems(title, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    }
    QPoint onScreen(QTreeWidgetItem* row) {
        return report()->viewport()->mapToGlobal(report()->visualItemRect(row).center());
    }
};

class TaskManagerOnTheDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "VEXO_X11_DISPLAY_WM names no X server with a window manager";
    }
};

TEST_F(TaskManagerOnTheDesktop, DoubleClickOnARowNotYetSelectedSwitchesToItsWindow) {
    OtherProgram other;
    Pointer pointer;
    ASSERT_TRUE(pointer.ok());
    const xcb_window_t target =
        other.create("Vexo double-click target", true, true, kBesideTheTaskManager);
    const xcb_window_t bystander =
        other.create("Vexo bystander", true, true, kBesideTheTaskManager);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return other.viewable(target) && other.viewable(bystander); }));
    AtmOnScreen atm;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&atm.window));
    ASSERT_NE(atm.item(QStringLiteral("Vexo double-click target")), nullptr);
    atm.window.activateWindow();
    QTest::qWait(200);
    QTreeWidgetItem* row = atm.item(QStringLiteral("Vexo double-click target"));
    ASSERT_FALSE(row->isSelected());

    pointer.click(atm.onScreen(row), 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return other.activeWindow() == target; }, 3000))
        << "active: " << other.activeWindow();
}

TEST_F(TaskManagerOnTheDesktop, AfterARebuildTheRowClickedIsTheWindowSwitchedTo) {
    OtherProgram other;
    Pointer pointer;
    ASSERT_TRUE(pointer.ok());
    const xcb_window_t gone = other.create("Vexo first", true, true, kBesideTheTaskManager);
    const xcb_window_t second = other.create("Vexo second", true, true, kBesideTheTaskManager);
    ASSERT_TRUE(QTest::qWaitFor([&] { return other.viewable(gone) && other.viewable(second); }));
    AtmOnScreen atm;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&atm.window));
    ASSERT_NE(atm.item(QStringLiteral("Vexo second")), nullptr);
    atm.window.activateWindow();
    QTest::qWait(200);
    pointer.click(atm.onScreen(atm.item(QStringLiteral("Vexo first"))));
    QTest::qWait(200);

    // The desktop changes; F5 (and the timer) list anew.
    other.destroy(gone);
    const xcb_window_t third = other.create("Vexo third", true, true, kBesideTheTaskManager);
    const xcb_window_t fourth = other.create("Vexo fourth", true, true, kBesideTheTaskManager);
    ASSERT_TRUE(QTest::qWaitFor([&] { return other.viewable(third) && other.viewable(fourth); }));
    QAction* refresh = nullptr;
    for (QAction* action : atm.window.findChildren<QAction*>())
        if (action->shortcut() == QKeySequence(Qt::Key_F5))
            refresh = action;
    ASSERT_NE(refresh, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        refresh->trigger();
        return atm.item(QStringLiteral("Vexo third")) != nullptr &&
               atm.item(QStringLiteral("Vexo fourth")) != nullptr &&
               atm.item(QStringLiteral("Vexo first")) == nullptr;
    })) <<
        [&] {
            std::string rows;
            for (const TaskRow& row : atm.window.model().list(0).rows)
                rows += row.title + "|";
            return rows;
        }();
    QTest::qWait(200);

    // Every row shows the model's row at its place on the screen.
    const auto& rows = atm.window.model().list(0).rows;
    ASSERT_EQ(atm.report()->topLevelItemCount(), static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        QTreeWidgetItem* shown = atm.report()->topLevelItem(static_cast<int>(i));
        const QPoint at = atm.report()->visualItemRect(shown).center();
        ASSERT_EQ(atm.report()->itemAt(at), shown);
        EXPECT_EQ(fromQt(shown->text(0)), rows[i].title);
        EXPECT_EQ(fromQt(shown->text(1)), rows[i].handle);
    }

    // A click on the row shown as "Vexo third", then "Switch to ...", brings that window up.
    pointer.click(atm.onScreen(atm.item(QStringLiteral("Vexo third"))));
    QTest::qWait(200);
    auto* switchButton = atm.window.findChild<QPushButton*>(QStringLiteral("CommandButton0"));
    ASSERT_NE(switchButton, nullptr);
    pointer.click(switchButton->mapToGlobal(switchButton->rect().center()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return other.activeWindow() == third; }, 3000))
        << "active: " << other.activeWindow();
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
    for (const xcb_window_t window : other.rootChildren())
        if (isHelperWindow(window))
            helpers.push_back(window);
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
