#include "browser/ui/ResultWindow.h"

#include "benchfile/BenchmarkFile.h"
#include "browser/ui/ScoresChart.h"
#include "platform/qt/QtPlatform.h"
#include "support/FakeDesktop.h"
#include "support/RunRecorder.h"
#include "support/TempFolder.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace vexo {
namespace {

class FakeLocks final : public KeyboardLocks {
public:
    std::optional<LockKeys> lockKeys() override { return state; }
    std::optional<LockKeys> state;
};

// The window on four records, "one" to "four", with CPU scores 10, 9, 8 and 70.
struct WindowRig {
    WindowRig() {
        window.show();
        const std::string path = folder.path("four.vgf");
        EXPECT_TRUE(benchfile::saveBenchmarkFile(path,
                                                 ">>:one||BMCPUh=10:;:;>>:two||BMCPUh=9:;:;"
                                                 ">>:three||BMCPUh=8:;:;>>:four||BMCPUh=70:;:;"));
        files.answers.push_back(path);
        window.run([this] { window.model().ImportMenu_Click(); });
    }
    QAction* byShortcut(const char* key) {
        for (QAction* action : window.findChildren<QAction*>())
            if (action->shortcut() == QKeySequence(QString::fromLatin1(key)))
                return action;
        ADD_FAILURE() << "no action for " << key;
        return nullptr;
    }
    QAction* button(const char* name) {
        return window.findChild<QAction*>(QStringLiteral("Button%1").arg(QLatin1String(name)));
    }
    QLabel* option(const char* kind, int index) {
        return window.findChild<QLabel*>(
            QStringLiteral("HlpOpt%1%2").arg(QLatin1String(kind)).arg(index));
    }
    template <class T>
    T* child(const char* name) {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void remove(BrowserMode list, int row) {
        dialogs.messageAnswer = MsgAnswer::Yes;
        window.run([&] {
            window.model().select(list, row);
            window.model().Remove_Benchmark_Menu();
        });
        QApplication::processEvents();
    }

    test::TempFolder folder;
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    test::FakeFileDialogs files;
    FakeLocks locks;
    ResultWindow window{{dialogs, files}, locks, "/nonexistent/", folder.path("")};
};

TEST(ResultWindow, KeysAndOptionsRunTheirCommandsAndNoToExitKeepsAll) {
    WindowRig rig;
    rig.files.answers.push_back(std::nullopt);
    QTest::mouseClick(rig.option("Text", 7), Qt::LeftButton); // imports
    EXPECT_EQ(rig.files.requests.size(), 2u);
    int asked = 0;
    rig.window.confirmExit = [&] { return ++asked < 0; };
    EXPECT_FALSE(rig.window.close());
    EXPECT_TRUE(asked == 1 && rig.window.isVisible() && rig.window.model().rowCount() == 4u);

    // F4 switches to the scores mode, presses its button and highlights its option.
    QAction* f4 = rig.byShortcut("F4");
    f4->trigger();
    EXPECT_TRUE(f4->isChecked() && rig.button("Scores")->isChecked() &&
                rig.window.findChild<QStackedWidget*>()->currentIndex() == 2 &&
                rig.window.model().optionPicture(2) == ResultBrowser::HighlightedPicture);
    // Ctrl+D removes the selected record, Ctrl+X closes the database.
    auto* scores = rig.child<QTableView>("ScoreInfo");
    scores->selectRow(1); // "two"
    rig.dialogs.messageAnswer = MsgAnswer::Yes;
    rig.byShortcut("Ctrl+D")->trigger();
    EXPECT_TRUE(scores->model()->rowCount() == 3 &&
                scores->model()->index(1, 2).data().toString() == "three");
    EXPECT_TRUE(rig.button("Save")->isEnabled() && rig.option("Text", 8)->isEnabled());
    rig.dialogs.messageAnswer = MsgAnswer::No;
    rig.byShortcut("Ctrl+X")->trigger();
    EXPECT_EQ(rig.child<QTableView>("ComputerInfo")->model()->rowCount(), 0);
    EXPECT_FALSE(rig.button("Save")->isEnabled() || rig.option("Text", 8)->isEnabled());
}

// Typed as a person types them, to the window that has the focus.
void typeKey(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
    QTest::keyClick(window.windowHandle(), key, modifiers);
}

// The title names a file only while the records come from it; a load's message stands over the
// window as the file left it; a report of no records is not offered.
TEST(ResultWindow, TheTitleAndTheCommandsFollowTheRecordsBeforeAnyMessage) {
    WindowRig rig;
    auto title = [&rig] { return rig.window.windowTitle().section(QStringLiteral(" - "), 1); };
    rig.files.answers.push_back(rig.folder.path("A.vgf"));
    typeKey(rig.window, Qt::Key_S);
    EXPECT_EQ(title(), "A.vgf");
    rig.dialogs.messageAnswer = MsgAnswer::No;
    typeKey(rig.window, Qt::Key_X);
    EXPECT_EQ(title(), "Untitled");
    EXPECT_FALSE(rig.byShortcut("Ctrl+E")->isEnabled());
    const std::string cut = rig.folder.path("cut.vgf");
    test::TempFolder::write(cut, test::TempFolder::read(rig.folder.path("A.vgf")).substr(0, 60));
    rig.files.answers.push_back(cut);
    typeKey(rig.window, Qt::Key_I);
    EXPECT_EQ(rig.dialogs.messages.back().title, "Not Read Whole");
    EXPECT_EQ(title(), "Untitled") << "its records did not come from A.vgf";

    QString seen; // the title and the rows shown behind each box
    const QAbstractItemModel* rows = rig.child<QTableView>("ComputerInfo")->model();
    rig.dialogs.whileBoxOpen = [&] {
        seen += title() + QStringLiteral(" %1|").arg(rows->rowCount());
    };
    const int kept = rows->rowCount();
    rig.files.answers.push_back(rig.folder.path("A.vgf"));
    typeKey(rig.window, Qt::Key_L); // "Save Changes?", then the load's "Success"
    EXPECT_EQ(seen.toStdString(), "Untitled " + std::to_string(kept) + "|A.vgf 4|");
    EXPECT_TRUE(rig.byShortcut("Ctrl+E")->isEnabled());
}

// A table of its bars for assistive tools; Shift+F10 on a row of the Scores list (as the Menu
// key) chooses the baseline, which the chart shows, Export Report writes, and the chart keeps
// when another record goes.
TEST(ScoresChart, IsATableItsMenuChoosesTheBaselineAndItFollowsTheRecords) {
    WindowRig rig;
    rig.byShortcut("F4")->trigger(); // the chart is drawn in the scores mode
    auto* chart = rig.child<ScoresChart>("ScoresChart");
    ASSERT_NE(chart, nullptr);
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(chart);
    EXPECT_TRUE(table->role() == QAccessible::Table && table->tableInterface()->rowCount() == 4);

    auto* scores = rig.child<QTableView>("ScoreInfo");
    scores->setFocus();
    scores->selectRow(3); // "four"
    QTimer chooser;       // chooses the menu's first item, "Use as baseline", by key
    QObject::connect(&chooser, &QTimer::timeout, [] {
        if (QWidget* menu = QApplication::activePopupWidget())
            QTest::keyClick(menu, Qt::Key_Down), QTest::keyClick(menu, Qt::Key_Return);
    });
    chooser.start(20);
    typeKey(rig.window, Qt::Key_F10, Qt::ShiftModifier);
    chooser.stop();
    ASSERT_TRUE(rig.window.model().baseline() && rig.window.model().baseline()->name == "four");
    EXPECT_TRUE(chart->bars()[3].isBaseline);
    scores->setCurrentIndex(scores->model()->index(3, 10)); // the chart of the current column
    EXPECT_TRUE(chart->caption().startsWith(QStringLiteral("Imaging")));
    const std::string path = rig.folder.path("report.html");
    rig.files.answers = {path};
    rig.byShortcut("Ctrl+E")->trigger();
    EXPECT_NE(test::TempFolder::read(path).find("percentages are of 4. four."), std::string::npos);

    rig.remove(BrowserMode::Scores, 0); // "one": "four" is now number 3
    ASSERT_EQ(chart->bars().size(), 3u);
    EXPECT_TRUE(chart->bars()[2].isBaseline && chart->bars()[2].label == "3. four");
    EXPECT_EQ(table->tableInterface()->rowCount(), 3);
}

TEST(ResultWindowStatus, NumAndCapsShowTheLockKeysAsTheClockTicks) {
    WindowRig rig;
    auto *num = rig.child<QLabel>("NumLockPanel"), *caps = rig.child<QLabel>("CapsLockPanel");
    rig.child<QTimer>("StatusClock")->start(5); // a faster clock for the test
    rig.locks.state = LockKeys{true, true};
    EXPECT_TRUE(QTest::qWaitFor([&] { return num->text() + "|" + caps->text() == "NUM|CAPS"; }));
}

} // namespace
} // namespace vexo
