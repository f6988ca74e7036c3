#include "taskman/ui/AtmWindow.h"

#include "platform/qt/QtPlatform.h"
#include "support/FakeDesktop.h"
#include "support/TempFolder.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>
#include <filesystem>
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
        for (QAction* a : window.findChildren<QAction*>())
            if (a->text() == caption)
                return a;
        return nullptr;
    }
    QWidget* tab(int list) { return window.findChild<QTabWidget*>()->widget(list); }
    QTreeWidget* report(int list) { return tab(list)->findChild<QTreeWidget*>(); }
    QStackedWidget* views(int list) { return tab(list)->findChild<QStackedWidget*>(); }
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
    seen << labels[0]->text() << labels[0]->toolTip();
    EXPECT_EQ(seen.join("|"),
              "ATM - VexoGAUGE 2002 (Advanced Task Manager)|Task Manager|"
              "Application Task|Thread Id|Switch to ...|New Task ...|"
              "End Task ...|Advanced ...|System Process|Thread Id|End Task ...|"
              "Show Task ...|New Task ...|&File|&Save Log File ... Ctrl+L|"
              "&Exit ATM Ctrl+X|&View|&Refresh F5|&Update Speed|&High F6|&Normal F7|"
              "&Slow F8|&Paused F9|&Icons F2|&Report F3|&Help|&Contents F1|"
              "&About Ctrl+A|Press F5 at any time to refresh the list|"
              "Press F5 at any time to refresh the list");
    EXPECT_TRUE(
        rig.tab(1)->findChild<QLabel*>("Label1")->text().startsWith("Limitations on certain"));

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

// Views, speeds, a header click and closing, through the widgets.
TEST(AtmWindow, ItemsAndClosingDriveTheModel) {
    WindowRig rig;
    rig.action("&Icons")->trigger();
    EXPECT_EQ(rig.views(1)->currentIndex(), 0);
    EXPECT_EQ(rig.tab(0)->findChild<QListWidget*>()->count(), 2);
    auto* timer = rig.window.findChild<QTimer*>();
    rig.action("&High")->trigger();
    EXPECT_TRUE(timer->isActive() && timer->interval() == 500);
    rig.action("&Paused")->trigger();
    EXPECT_FALSE(timer->isActive() || rig.action("&High")->isChecked());
    rig.windows.windows.push_back({9, "Nine", WindowStyle::Visible});
    rig.action("&Report")->trigger();
    rig.action("&Refresh")->trigger();
    emit rig.report(0)->header()->sectionClicked(1); // sorted by id, as text
    EXPECT_EQ(rig.report(0)->topLevelItem(0)->text(1), "9");
    rig.action("&Slow")->trigger();
    rig.window.close();
    EXPECT_EQ(rig.settings.get(kSettingsApplication, "ATM", "UpdateMode3", ""), "True");
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

// The names the dialog's file list shows once it has read the folder.
QStringList shownNames(QFileDialog& dialog, qsizetype expected) {
    auto* view = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
    QStringList names;
    (void)QTest::qWaitFor(
        [&] {
            names.clear();
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                names << view->model()->index(row, 0, view->rootIndex()).data().toString();
            return names.size() == expected;
        },
        3000);
    names.sort();
    return names;
}

// The user picks "All Files", then the programs again.
TEST(FileDialogFilters, NewTaskKeepsItsCaptionAndItsFirstFilterShowsProgramsOnly) {
    WindowRig rig;
    rig.window.model().New_Task();
    ASSERT_EQ(rig.files.requests.size(), 1u);
    test::TempFolder folder;
    std::filesystem::create_directory(folder.path("tools"));
    test::TempFolder::write(folder.path("runme"), "#!/bin/sh\n");
    std::filesystem::permissions(folder.path("runme"), std::filesystem::perms::owner_all);
    test::TempFolder::write(folder.path("notes.txt"), "text");
    FileDialogRequest request = rig.files.requests[0];
    request.initialFolder = folder.folder().string();

    QFileDialog dialog;
    prepareFileDialog(dialog, request, false);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "New Task ...");
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(types->count(), 3);
    EXPECT_EQ(types->itemText(1), "TSR Executable");
    for (const auto& [type, names] : {std::pair{0, QStringList{"runme", "tools"}},
                                      {2, QStringList{"notes.txt", "runme", "tools"}},
                                      {0, QStringList{"runme", "tools"}}}) {
        types->setCurrentIndex(type);
        emit types->activated(type);
        emit types->textActivated(types->itemText(type));
        EXPECT_EQ(shownNames(dialog, names.size()), names) << type;
    }
}

} // namespace
} // namespace vexo
