#include "taskman/ui/AtmWindow.h"

#include "platform/qt/QtPlatform.h"
#include "support/FakeDesktop.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QWindow>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace vexo {
namespace {

struct WindowRig : test::TaskServices<> {
    WindowRig() {
        windows.open("Hidden helper", 0);
        windows.open("Editor");
        windows.open("Terminal");
        window.load();
    }
    AtmWindow window{services(), "/nonexistent/"};

    QAction* action(const QString& caption) {
        const auto all = window.findChildren<QAction*>();
        return *std::ranges::find(all, caption, &QAction::text);
    }
    QWidget* tab(int list) { return window.findChild<QTabWidget*>()->widget(list); }
    QTreeWidget* report(int list) { return tab(list)->findChild<QTreeWidget*>(); }
};

// Every caption of the window, its tabs, columns, buttons, menu items (with their keys) and
// status bar, read off the widgets in their order.
TEST(AtmWindow, ShowsItsCaptionsAndKeys) {
    WindowRig rig;
    auto* tabs = rig.window.findChild<QTabWidget*>();
    QStringList seen{rig.window.windowTitle()};
    for (int list = 0; list < tabs->count(); ++list) {
        seen << tabs->tabText(list) << rig.report(list)->headerItem()->text(0)
             << rig.report(list)->headerItem()->text(1);
        for (auto* button : rig.tab(list)->findChildren<QPushButton*>())
            seen << button->text();
    }
    const std::function<void(QAction*)> walk = [&](QAction* item) {
        if (!item->isSeparator())
            seen << (item->text() + " " + item->shortcut().toString()).trimmed();
        for (QAction* inner : item->menu() != nullptr ? item->menu()->actions() : QList<QAction*>())
            walk(inner);
    };
    for (QAction* menu : rig.window.menuBar()->actions())
        walk(menu);
    const auto labels = rig.window.statusBar()->findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 3);
    seen << labels[0]->text() << rig.tab(1)->findChild<QLabel*>("Label1")->text().left(22);
    EXPECT_EQ(seen.join("|"),
              "ATM - VexoGAUGE 2002 (Advanced Task Manager)|Task Manager|"
              "Application Task|Thread Id|Switch to ...|New Task ...|"
              "End Task ...|Advanced ...|System Process|Thread Id|End Task ...|"
              "Show Task ...|New Task ...|&File|&Save Log File ... Ctrl+L|"
              "&Exit ATM Ctrl+X|&View|&Refresh F5|&Update Speed|&High F6|&Normal F7|"
              "&Slow F8|&Paused F9|&Icons F2|&Report F3|&Help|&Contents F1|"
              "&About Ctrl+A|Press F5 at any time to refresh the list|Limitations on certain");

    // No notice where every window is listed; on a desktop that hides its own windows, one more
    // line, in full and as plain text, beside the hint.
    EXPECT_TRUE(labels[1]->isHidden());
    rig.windows.notice = OnlyX11Listed;
    rig.action("&Refresh")->trigger();
    EXPECT_FALSE(labels[1]->isHidden());
    EXPECT_EQ(labels[1]->text(), OnlyX11Listed);
    EXPECT_EQ(labels[1]->textFormat(), Qt::PlainText);
}

// The window made (and remade) as the program does: a run records none of its native windows,
// while it is open or after it was closed and opened again; another program's window of the
// same title is a task like any other.
TEST(AtmWindow, ARunRecordsNoneOfTheTaskManagersWindowsWhileItIsOpenOrAfter) {
    WindowRig rig;
    std::unique_ptr<AtmWindow> atm;
    RecordedTasks recorded(rig.services(), "/nonexistent/", atm);
    const std::vector<std::string> others{"Terminal", "Editor"};
    EXPECT_EQ(recorded.applicationTaskTitles(), others); // no task manager made yet
    WindowId shown = 0;
    for (int opened = 0; opened < 2; ++opened) {
        if (!atm)
            atm = std::make_unique<AtmWindow>(rig.services(), "/nonexistent/");
        atm->load();
        atm->show();
        ASSERT_NE(static_cast<WindowId>(atm->internalWinId()), shown);
        shown = static_cast<WindowId>(atm->internalWinId());
        rig.windows.windows.insert(rig.windows.windows.begin(),
                                   {shown, TaskManager::WindowTitle, WindowStyle::Visible});
        EXPECT_EQ(recorded.applicationTaskTitles(), others);
        atm->close();
        atm->windowHandle()->destroy();
        rig.windows.close(shown);
    }
    rig.windows.open(TaskManager::WindowTitle);
    EXPECT_EQ(recorded.applicationTaskTitles(),
              (std::vector<std::string>{TaskManager::WindowTitle, "Terminal", "Editor"}));
}

TEST(FileDialogFilters, PatternsAreShownOnceAndAllFilesMatchesNamesWithoutADot) {
    EXPECT_EQ(nameFilters("VexoGAUGE 2002 Benchmark Files (*.vgf)|*.vgf"),
              QStringList{QStringLiteral("VexoGAUGE 2002 Benchmark Files (*.vgf)")});
    EXPECT_EQ(nameFilters("Logs|*.log;*.txt|All Files (*.*)|*.*"),
              (QStringList{QStringLiteral("Logs (*.log *.txt)"), QStringLiteral("All Files (*)")}));
    EXPECT_EQ(nameFilters("Executable Files (*.exe)|*.exe|TSR Executable (*.com)|*.com"),
              (QStringList{QStringLiteral("Executable Files (*)"),
                           QStringLiteral("TSR Executable (*.com)")}));
}

} // namespace
} // namespace vexo
