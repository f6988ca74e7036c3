#include "taskman/ui/AtmWindow.h"

#include "platform/qt/QtPlatform.h"
#include "support/FakeDesktop.h"
#include "support/RunRecorder.h"
#include "support/TempFolder.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
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
#include <gtest/gtest.h>

namespace vexo {
namespace {

struct WindowRig {
    WindowRig() {
        desktop.open("Hidden helper", 0);
        desktop.open("Editor");
        desktop.open("Terminal");
        window.load();
    }
    test::FakeWindowSystem desktop;
    test::MemorySettings settings;
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    test::FakeFileDialogs files;
    test::CountingPump pump{log};
    AtmWindow window{{desktop, settings, dialogs, files, files, pump}, "/nonexistent/"};

    QAction* action(const QString& caption) {
        for (QAction* a : window.findChildren<QAction*>())
            if (a->text() == caption)
                return a;
        return nullptr;
    }
    QTreeWidget* report(int list) {
        return window.findChild<QTabWidget*>()->widget(list)->findChild<QTreeWidget*>();
    }
    QStackedWidget* views(int list) {
        return window.findChild<QTabWidget*>()->widget(list)->findChild<QStackedWidget*>();
    }
};

TEST(AtmWindow, ShowsTitleTabsColumnsButtonsAndStatus) {
    WindowRig rig;
    EXPECT_EQ(rig.window.windowTitle(), "ATM - VexoGAUGE 2002 (Advanced Task Manager)");
    auto* tabs = rig.window.findChild<QTabWidget*>();
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), "Task Manager");
    EXPECT_EQ(tabs->tabText(1), "Advanced ...");
    EXPECT_EQ(rig.report(0)->headerItem()->text(0), "Application Task");
    EXPECT_EQ(rig.report(0)->headerItem()->text(1), "Thread Id");
    EXPECT_EQ(rig.report(1)->headerItem()->text(0), "System Process");
    ASSERT_EQ(rig.report(0)->topLevelItemCount(), 2);
    EXPECT_EQ(rig.report(0)->topLevelItem(0)->text(0), "Terminal");
    EXPECT_EQ(rig.report(1)->topLevelItemCount(), 3);

    QStringList first;
    for (auto* button : tabs->widget(0)->findChildren<QPushButton*>())
        first << button->text();
    EXPECT_EQ(first, (QStringList{"Switch to ...", "New Task ...", "End Task ..."}));
    QStringList second;
    for (auto* button : tabs->widget(1)->findChildren<QPushButton*>())
        second << button->text();
    EXPECT_EQ(second, (QStringList{"End Task ...", "Show Task ...", "New Task ..."}));
    auto* warning = tabs->widget(1)->findChild<QLabel*>("Label1");
    ASSERT_NE(warning, nullptr);
    EXPECT_TRUE(warning->text().startsWith("Limitations on certain processes"));

    const auto labels = rig.window.statusBar()->findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 3);
    EXPECT_EQ(labels[0]->text(), "Press F5 at any time to refresh the list");
    EXPECT_EQ(labels[0]->toolTip(), "Press F5 at any time to refresh the list");
    EXPECT_TRUE(labels[1]->isHidden()); // no notice where every window is listed

    // On a desktop that hides its own windows, one more line, in full, beside the hint.
    rig.desktop.notice = OnlyX11Listed;
    rig.action("&Refresh")->trigger();
    EXPECT_FALSE(labels[1]->isHidden());
    EXPECT_EQ(labels[1]->text(), "Only X11 programs are listed on this desktop");
    EXPECT_EQ(labels[1]->textFormat(), Qt::PlainText);
    EXPECT_GE(rig.window.minimumWidth(), labels[0]->sizeHint().width() +
                                             labels[1]->sizeHint().width() +
                                             labels[2]->sizeHint().width());
    EXPECT_EQ(labels[0]->text(), "Press F5 at any time to refresh the list");
}

TEST(AtmWindow, MenusCarryTheirCaptionsAndShortcutKeys) {
    WindowRig rig;
    QStringList menus;
    for (QAction* menu : rig.window.menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, (QStringList{"&File", "&View", "&Help"}));
    const std::vector<std::pair<QString, QString>> items{{"&Save Log File ...", "Ctrl+L"},
                                                         {"&Exit ATM", "Ctrl+X"},
                                                         {"&Refresh", "F5"},
                                                         {"&High", "F6"},
                                                         {"&Normal", "F7"},
                                                         {"&Slow", "F8"},
                                                         {"&Paused", "F9"},
                                                         {"&Icons", "F2"},
                                                         {"&Report", "F3"},
                                                         {"&Contents", "F1"},
                                                         {"&About", "Ctrl+A"}};
    for (const auto& [caption, key] : items) {
        QAction* item = rig.action(caption);
        ASSERT_NE(item, nullptr) << caption.toStdString();
        EXPECT_EQ(item->shortcut().toString(), key) << caption.toStdString();
    }
    ASSERT_NE(rig.action("&Update Speed"), nullptr);
}

TEST(AtmWindow, ViewAndSpeedItemsDriveTheListsAndTheTimer) {
    WindowRig rig;
    EXPECT_TRUE(rig.action("&Report")->isChecked());
    EXPECT_EQ(rig.views(0)->currentIndex(), 1);
    rig.action("&Icons")->trigger();
    EXPECT_EQ(rig.views(0)->currentIndex(), 0);
    EXPECT_EQ(rig.views(1)->currentIndex(), 0);
    EXPECT_EQ(rig.window.findChild<QTabWidget*>()->widget(0)->findChild<QListWidget*>()->count(),
              2);
    EXPECT_FALSE(rig.action("&Report")->isChecked());

    auto* timer = rig.window.findChild<QTimer*>();
    EXPECT_FALSE(timer->isActive());
    rig.action("&High")->trigger();
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 500);
    EXPECT_TRUE(rig.action("&High")->isChecked());
    rig.action("&Paused")->trigger();
    EXPECT_FALSE(timer->isActive());
    EXPECT_FALSE(rig.action("&High")->isChecked());
}

TEST(AtmWindow, OpenedClosedAndOpenedAgainItListsNoneOfItsNativeWindows) {
    WindowRig rig;
    auto nativeOnDesktop = [&] {
        rig.window.show();
        const auto id = static_cast<WindowId>(rig.window.internalWinId());
        EXPECT_NE(id, 0u);
        rig.desktop.windows.insert(rig.desktop.windows.begin(),
                                   {id, TaskManager::WindowTitle, WindowStyle::Visible});
        return id;
    };
    auto listed = [&](WindowId id) {
        for (int list = 0; list < 2; ++list)
            for (const TaskRow& row : rig.window.model().list(list).rows)
                if (row.handle == std::to_string(id) || row.title == TaskManager::WindowTitle)
                    return true;
        return false;
    };
    const WindowId first = nativeOnDesktop();
    rig.window.load();
    EXPECT_FALSE(listed(first));

    // Closing gives up the native window; the one made on reopening has another handle.
    rig.window.close();
    rig.window.windowHandle()->destroy();
    rig.desktop.close(first);
    const WindowId second = nativeOnDesktop();
    ASSERT_NE(second, first);
    rig.window.load();
    rig.action("&Refresh")->trigger();
    EXPECT_FALSE(listed(second));
    EXPECT_EQ(rig.window.model().list(1).rows.size(), 3u); // Editor, Terminal, Hidden helper
    EXPECT_TRUE(rig.window.isOwnWindow(second));
    EXPECT_FALSE(rig.window.isOwnWindow(first));
}

TEST(AtmWindow, ARunRecordsNoneOfTheTaskManagersWindowsWhileItIsOpenOrAfter) {
    // The rig's desktop and services, with the window made (and remade) as the program does.
    WindowRig rig;
    test::FakeWindowSystem& desktop = rig.desktop;
    desktop.windows.clear();
    const TaskManager::Services services{desktop,   rig.settings, rig.dialogs,
                                         rig.files, rig.files,    rig.pump};
    desktop.open("Editor");
    desktop.open("Terminal");
    std::unique_ptr<AtmWindow> atm;
    RecordedTasks recorded(services, "/nonexistent/", atm);
    const std::vector<std::string> others{"Terminal", "Editor"};
    EXPECT_EQ(recorded.applicationTaskTitles(), others); // no task manager made yet

    auto openOnDesktop = [&] {
        if (!atm)
            atm = std::make_unique<AtmWindow>(services, "/nonexistent/");
        atm->load();
        atm->show();
        const auto id = static_cast<WindowId>(atm->internalWinId());
        desktop.windows.insert(desktop.windows.begin(),
                               {id, TaskManager::WindowTitle, WindowStyle::Visible});
        return id;
    };
    const WindowId first = openOnDesktop();
    ASSERT_NE(first, 0u);
    EXPECT_EQ(recorded.applicationTaskTitles(), others);

    // Closed and opened again: a new native window, still none of the run's tasks.
    atm->close();
    atm->windowHandle()->destroy();
    desktop.close(first);
    const WindowId second = openOnDesktop();
    ASSERT_NE(second, first);
    EXPECT_EQ(recorded.applicationTaskTitles(), others);
    // Another program's window of the same title is a task like any other.
    desktop.open(TaskManager::WindowTitle);
    EXPECT_EQ(recorded.applicationTaskTitles(),
              (std::vector<std::string>{TaskManager::WindowTitle, "Terminal", "Editor"}));
}

TEST(AtmWindow, DoubleClickSwitchesAndClosingSavesTheSettings) {
    WindowRig rig;
    QTreeWidget* apps = rig.report(0);
    apps->setCurrentItem(apps->topLevelItem(1));
    emit apps->itemDoubleClicked(apps->topLevelItem(1), 0);
    ASSERT_EQ(rig.desktop.requests.size(), 1u);
    EXPECT_EQ(rig.desktop.requests[0], "raise " + apps->topLevelItem(1)->text(1).toStdString());

    rig.action("&Slow")->trigger();
    rig.window.close();
    EXPECT_EQ(rig.settings.get(kSettingsApplication, "ATM", "UpdateMode3", ""), "True");
}

TEST(AtmWindow, HeaderClickSortsByThreadIdAsText) {
    WindowRig rig;
    rig.desktop.windows.push_back({9, "Nine", WindowStyle::Visible});
    rig.action("&Refresh")->trigger();
    QTreeWidget* apps = rig.report(0);
    emit apps->header()->sectionClicked(1);
    ASSERT_EQ(apps->topLevelItemCount(), 3);
    EXPECT_EQ(apps->topLevelItem(0)->text(1), "9");
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
QStringList shownNames(QFileDialog& dialog, int expected) {
    auto* view = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
    if (view == nullptr || view->model() == nullptr)
        return {};
    auto names = [&] {
        QStringList out;
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row)
            out << view->model()->index(row, 0, root).data().toString();
        out.sort();
        return out;
    };
    (void)QTest::qWaitFor([&] { return names().size() == expected; }, 3000);
    return names();
}

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
    EXPECT_EQ(types->itemText(0), "Executable Files");
    EXPECT_EQ(types->itemText(1), "TSR Executable");
    EXPECT_EQ(types->itemText(2), "All Files");
    EXPECT_EQ(types->currentIndex(), 0);
    EXPECT_EQ(shownNames(dialog, 2), (QStringList{"runme", "tools"}));

    // The user picks "All Files", then the programs again.
    types->setCurrentIndex(2);
    emit types->activated(2);
    emit types->textActivated(types->itemText(2));
    EXPECT_EQ(shownNames(dialog, 3), (QStringList{"notes.txt", "runme", "tools"}));
    types->setCurrentIndex(0);
    emit types->activated(0);
    emit types->textActivated(types->itemText(0));
    EXPECT_EQ(shownNames(dialog, 2), (QStringList{"runme", "tools"}));
}

} // namespace
} // namespace vexo
