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
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

namespace vexo {
namespace {

class FakeLocks final : public KeyboardLocks {
public:
    std::optional<LockKeys> lockKeys() override { return state; }
    std::optional<LockKeys> state;
};

struct WindowRig {
    WindowRig() {
        const std::string path = folder.path("four.vgf");
        EXPECT_TRUE(benchfile::saveBenchmarkFile(path,
                                                 ">>:one||BMCPUh=10:;:;>>:two||BMCPUh=9:;:;"
                                                 ">>:three||BMCPUh=8:;:;>>:four||BMCPUh=70:;:;"));
        window.show();
        files.answers.push_back(path);
        window.run([this] { window.model().ImportMenu_Click(); });
    }
    QAction* byShortcut(const QString& key) {
        for (QAction* action : window.findChildren<QAction*>())
            if (action->shortcut() == QKeySequence(key))
                return action;
        return nullptr;
    }
    QAction* button(const char* name) {
        return window.findChild<QAction*>(QStringLiteral("Button%1").arg(QLatin1String(name)));
    }
    QLabel* option(const char* kind, int index) {
        return window.findChild<QLabel*>(
            QStringLiteral("HlpOpt%1%2").arg(QLatin1String(kind)).arg(index));
    }

    test::TempFolder folder;
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    test::FakeFileDialogs files;
    FakeLocks locks;
    ResultWindow window{{dialogs, files}, locks, "/nonexistent/", folder.folder().string() + "/"};
};

TEST(ResultWindow, FunctionKeysSwitchModesPressTheButtonAndHighlightTheOption) {
    WindowRig rig;
    auto* frames = rig.window.findChild<QStackedWidget*>();
    const struct {
        const char* key;
        const char* button;
        int mode;
        const char* title;
    } cases[] = {{"F4", "Scores", 2, "Score Comparison Mode"},
                 {"F3", "Tasks", 1, "Task Comparison Mode"},
                 {"F2", "Platform", 0, "Platform Comparison Mode"}};
    for (const auto& c : cases) {
        QAction* key = rig.byShortcut(QString::fromLatin1(c.key));
        ASSERT_NE(key, nullptr) << c.key;
        key->trigger();
        EXPECT_TRUE(rig.button(c.button)->isChecked()) << c.key;
        EXPECT_TRUE(key->isChecked()) << c.key;
        EXPECT_EQ(frames->currentIndex(), c.mode) << c.key;
        EXPECT_EQ(rig.window.model().optionPicture(c.mode), ResultBrowser::HighlightedPicture);
        EXPECT_EQ(rig.window.findChild<QLabel*>("TitleText0")->text(), c.title);
        for (const char* other : {"Platform", "Tasks", "Scores"}) {
            if (std::string(other) != c.button) {
                EXPECT_FALSE(rig.button(other)->isChecked()) << c.key << " " << other;
            }
        }
    }
}

TEST(ResultWindow, CtrlDInScoresModeRemovesTheSelectedRecordAfterConfirming) {
    WindowRig rig;
    rig.byShortcut("F4")->trigger();
    auto* scores = rig.window.findChild<QTableView*>("ScoreInfo");
    scores->selectRow(1); // "two"
    rig.dialogs.messageAnswer = MsgAnswer::Yes;
    rig.byShortcut("Ctrl+D")->trigger();
    EXPECT_EQ(rig.dialogs.messages.back().text, "Are you sure you want to remove: two");
    ASSERT_EQ(scores->model()->rowCount(), 3);
    EXPECT_EQ(scores->model()->index(1, 2).data().toString(), "three");
    EXPECT_EQ(scores->model()->index(1, 0).data().toString(), "2");
}

TEST(ResultWindow, PrintOptionAndInertMenuItemsDoNothing) {
    WindowRig rig;
    const std::size_t messages = rig.dialogs.messages.size();
    const std::size_t requests = rig.files.requests.size();
    const std::uint64_t revision = rig.window.model().revision();
    QTest::mouseClick(rig.option("Text", 6), Qt::LeftButton);
    QTest::mouseClick(rig.option("Image", 6), Qt::LeftButton);
    for (const char* key : {"Ctrl+P", "Ctrl+T", "F5", "Ctrl+Z"}) {
        QAction* item = rig.byShortcut(QString::fromLatin1(key));
        ASSERT_NE(item, nullptr) << key;
        item->trigger();
    }
    EXPECT_FALSE(rig.byShortcut("F5")->isEnabled());
    EXPECT_FALSE(rig.byShortcut("Ctrl+T")->isEnabled());
    EXPECT_FALSE(rig.button("Print")->isEnabled());
    EXPECT_EQ(rig.dialogs.messages.size(), messages);
    EXPECT_EQ(rig.files.requests.size(), requests);
    EXPECT_EQ(rig.window.model().revision(), revision);
    EXPECT_TRUE(rig.window.isVisible());

    // A live option runs its command: option 7 imports.
    rig.files.answers.push_back(std::nullopt);
    QTest::mouseClick(rig.option("Text", 7), Qt::LeftButton);
    EXPECT_EQ(rig.files.requests.size(), requests + 1);
}

TEST(ResultWindow, ClosingWithNoKeepsTheWindowAndTheDatabase) {
    WindowRig rig;
    int asked = 0;
    rig.window.confirmExit = [&] {
        ++asked;
        return false;
    };
    EXPECT_FALSE(rig.window.close());
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(rig.window.isVisible());
    EXPECT_EQ(rig.window.model().rowCount(), 4u);
}

TEST(ResultWindow, TitleStatesAndTheChartFollowTheDatabase) {
    WindowRig rig;
    EXPECT_EQ(rig.window.windowTitle(), "VexoGAUGE 2002 Edition Result Browser - four.vgf");
    EXPECT_TRUE(rig.button("Save")->isEnabled());
    EXPECT_TRUE(rig.option("Text", 8)->isEnabled());
    auto* chart = dynamic_cast<ScoresChart*>(rig.window.findChild<QWidget*>("ScoresChart"));
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->column(), 3u);
    EXPECT_GT(chart->sizeHint().height(), 4 * 20);

    rig.dialogs.messageAnswer = MsgAnswer::No;
    rig.byShortcut("Ctrl+X")->trigger(); // Close
    EXPECT_EQ(rig.window.model().rowCount(), 0u);
    EXPECT_FALSE(rig.button("Save")->isEnabled());
    EXPECT_FALSE(rig.option("Text", 8)->isEnabled());
    EXPECT_EQ(rig.window.findChild<QTableView*>("ComputerInfo")->model()->rowCount(), 0);
}

TEST(ScoresChart, ScrollsToEveryBarAndIsATableOfThemForAssistiveTools) {
    WindowRig rig;
    auto* chart = rig.window.findChild<ScoresChart*>("ScoresChart");
    ASSERT_NE(chart, nullptr);
    auto* scroll = qobject_cast<QScrollArea*>(chart->parentWidget()->parentWidget());
    ASSERT_NE(scroll, nullptr);
    scroll->resize(400, 60); // room for one bar
    QApplication::processEvents();
    EXPECT_GE(chart->height(), chart->barRow(3).bottom()); // the last bar is scrolled to
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);

    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(chart);
    ASSERT_EQ(table->role(), QAccessible::Table);
    ASSERT_EQ(table->tableInterface()->rowCount(), 4);
    EXPECT_EQ(table->childCount(), 8);
    const std::vector<std::pair<int, int>> cells{{0, 0}, {3, 0}, {3, 1}};
    const QStringList said{"1. one", "4. four", "70"};
    for (std::size_t i = 0; i < cells.size(); ++i) {
        QAccessibleInterface* cell =
            table->tableInterface()->cellAt(cells[i].first, cells[i].second);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->text(QAccessible::Name), said[static_cast<qsizetype>(i)]);
        EXPECT_EQ(table->indexOfChild(cell), cells[i].first * 2 + cells[i].second);
    }
}

// Chooses an action of the popup menu that opens next, after running change() while it is open.
void chooseInNextMenu(const QString& action, std::function<void()> change) {
    QTimer::singleShot(50, [action, change] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        change();
        for (QAction* item : menu->actions()) {
            if (item->text() == action) {
                ASSERT_TRUE(item->isEnabled()) << action.toStdString();
                menu->setActiveAction(item);
                QTest::keyClick(menu, Qt::Key_Return);
                return;
            }
        }
        ADD_FAILURE() << "no action " << action.toStdString();
        menu->close();
    });
}

TEST(ScoresChartMenu, TheBaselineIsTheRecordNamedWhenTheMenuOpened) {
    WindowRig rig;
    rig.byShortcut("F4")->trigger();
    auto* chart = rig.window.findChild<ScoresChart*>("ScoresChart");
    auto* list = rig.window.findChild<QTableView*>("ScoreInfo");
    ASSERT_NE(chart, nullptr);
    ASSERT_NE(list, nullptr);
    QApplication::processEvents();

    // Opened on the list's second row ("two"); the list is sorted while the menu is open, so
    // that row now holds another record.
    const QRect second = list->visualRect(list->model()->index(1, 3));
    chooseInNextMenu(QStringLiteral("Use as baseline"), [&] {
        rig.window.run([&] { rig.window.model().ColumnClick(BrowserMode::Scores, 3); });
    });
    QContextMenuEvent onRow(QContextMenuEvent::Mouse, second.center(),
                            list->viewport()->mapToGlobal(second.center()));
    QApplication::sendEvent(list->viewport(), &onRow);
    ASSERT_TRUE(chart->baseline());
    EXPECT_EQ(chart->baseline()->name, "two");
    const std::vector<ScoreBar> bars = chart->bars();
    const auto base =
        std::find_if(bars.begin(), bars.end(), [](const ScoreBar& b) { return b.isBaseline; });
    ASSERT_NE(base, bars.end());
    EXPECT_EQ(base->label, "2. two");
    EXPECT_EQ(bars[0].label, "4. four"); // 70 ranks first, descending by value
    const QImage picture = chart->grab().toImage();
    EXPECT_FALSE(picture.isNull());

    // Clear baseline from the chart itself.
    chooseInNextMenu(QStringLiteral("Clear baseline"), [] {});
    const QPoint onBar = chart->barRow(0).center();
    QContextMenuEvent onChart(QContextMenuEvent::Mouse, onBar, chart->mapToGlobal(onBar));
    QApplication::sendEvent(chart, &onChart);
    EXPECT_FALSE(chart->baseline());
}

TEST(ScoresChartMenu, TheBaselineFollowsItsRecordAndEndsWhenItIsRemoved) {
    WindowRig rig;
    rig.byShortcut("F4")->trigger();
    auto* chart = rig.window.findChild<ScoresChart*>("ScoresChart");
    ASSERT_NE(chart, nullptr);
    chart->setBaseline(chart->recordOf(3)); // "four"
    ASSERT_TRUE(chart->baseline());
    // Another record removed: "four" is now number 3 and still the baseline.
    rig.window.run([&] {
        rig.window.model().select(BrowserMode::Scores, 0);
        rig.dialogs.messageAnswer = MsgAnswer::Yes;
        rig.window.model().Remove_Benchmark_Menu();
    });
    QApplication::processEvents();
    ASSERT_TRUE(chart->baseline());
    const std::vector<ScoreBar> bars = chart->bars();
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_TRUE(bars[2].isBaseline);
    EXPECT_EQ(bars[2].label, "3. four");
    EXPECT_NEAR(*bars[0].percent, 9.0 / 70 * 100, 1e-9);
    rig.window.run([&] {
        rig.window.model().select(BrowserMode::Scores, 2);
        rig.window.model().Remove_Benchmark_Menu();
    });
    QApplication::processEvents();
    EXPECT_EQ(rig.window.model().rowCount(), 2u);
    EXPECT_FALSE(chart->baseline());
}

TEST(ResultWindow, ExportReportWritesThePageWithTheChartsBaselineOrSaysWhyNot) {
    WindowRig rig;
    auto* chart = rig.window.findChild<ScoresChart*>("ScoresChart");
    ASSERT_NE(chart, nullptr);
    chart->setBaseline(chart->recordOf(3)); // "four"
    QAction* exportReport = rig.byShortcut("Ctrl+E");
    ASSERT_NE(exportReport, nullptr);
    EXPECT_EQ(exportReport->text(), "Export Report ...");

    const std::string path = rig.folder.path("report.html");
    rig.files.answers.push_back(path);
    const std::size_t before = rig.dialogs.messages.size();
    exportReport->trigger();
    ASSERT_FALSE(rig.files.requests.empty());
    const FileDialogRequest& request = rig.files.requests.back();
    EXPECT_EQ(request.title, "Export Report ...");
    EXPECT_EQ(request.filter, "HTML Files (*.html)|*.html");
    const std::string page = test::TempFolder::read(path);
    EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(page.find("from 4 record(s); percentages are of 4. four."), std::string::npos);
    EXPECT_NE(page.find("<div class=\"value\">10, 14.3 %</div>"), std::string::npos);
    ASSERT_EQ(rig.dialogs.messages.size(), before + 1);
    EXPECT_EQ(rig.dialogs.messages.back().text, "The report was written to:\r" + path);

    rig.files.answers.push_back(rig.folder.path("no such folder/report.html"));
    exportReport->trigger();
    ASSERT_EQ(rig.dialogs.messages.size(), before + 2);
    EXPECT_EQ(rig.dialogs.messages.back().text.rfind("The report could not be written:\r", 0), 0u);
    EXPECT_EQ(rig.dialogs.messages.back().title, "Export Report");

    rig.files.answers.push_back(std::nullopt); // cancelled: nothing written, nothing said
    exportReport->trigger();
    EXPECT_EQ(rig.dialogs.messages.size(), before + 2);
}

TEST(ResultWindow, ChartBarsAreLabelledByRowAndNameInTheListsOrder) {
    WindowRig rig;
    const std::string path = rig.folder.path("twins.vgf");
    EXPECT_TRUE(benchfile::saveBenchmarkFile(path, ">>:Office desktop||BMCPUh=10:;:;"
                                                   ">>:Games machine||BMCPUh=70:;:;"
                                                   ">>:Office desktop||BMCPUh=30:;:;"));
    rig.dialogs.messageAnswer = MsgAnswer::No;
    rig.byShortcut("Ctrl+X")->trigger(); // Close the four records
    rig.files.answers.push_back(path);
    rig.window.run([&rig] { rig.window.model().ImportMenu_Click(); });
    auto* chart = dynamic_cast<ScoresChart*>(rig.window.findChild<QWidget*>("ScoresChart"));
    ASSERT_NE(chart, nullptr);
    ASSERT_EQ(rig.window.model().rowCount(), 3u);
    auto labels = [chart] {
        std::vector<std::string> out;
        for (const ScoreBar& bar : chart->bars())
            out.push_back(bar.label);
        return out;
    };
    EXPECT_EQ(labels(), (std::vector<std::string>{"1. Office desktop", "2. Games machine",
                                                  "3. Office desktop"}));

    // Sorted by the CPU score, highest first: the bars follow, each keeping its record's "#".
    rig.window.run([&rig] { rig.window.model().ColumnClick(BrowserMode::Scores, 3); });
    EXPECT_EQ(rig.window.model().cell(BrowserMode::Scores, 1, 3).substr(0, 2), "30");
    EXPECT_EQ(labels(), (std::vector<std::string>{"2. Games machine", "3. Office desktop",
                                                  "1. Office desktop"}));
}

TEST(ResultWindowStatus, NumAndCapsShowTheLockKeysAsTheClockTicks) {
    WindowRig rig;
    auto* num = rig.window.findChild<QLabel*>(QStringLiteral("NumLockPanel"));
    auto* caps = rig.window.findChild<QLabel*>(QStringLiteral("CapsLockPanel"));
    auto* clock = rig.window.findChild<QTimer*>(QStringLiteral("StatusClock"));
    ASSERT_NE(num, nullptr);
    ASSERT_NE(caps, nullptr);
    ASSERT_NE(clock, nullptr);
    // Unknown at first (no keyboard extension): both shown as off.
    EXPECT_EQ(num->text(), "");
    EXPECT_EQ(caps->text(), "");
    // A faster clock for the test; the panels follow each of its ticks.
    int ticks = 0;
    QObject::connect(clock, &QTimer::timeout, [&ticks] { ++ticks; });
    clock->start(5);

    struct Case {
        const char* name;
        std::optional<LockKeys> state;
        const char* num;
        const char* caps;
    };
    const Case cases[] = {
        {"num only", LockKeys{true, false}, "NUM", ""},
        {"both", LockKeys{true, true}, "NUM", "CAPS"},
        {"caps only", LockKeys{false, true}, "", "CAPS"},
        {"state lost", std::nullopt, "", ""},
    };
    const int width = num->width();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rig.locks.state = c.state;
        const int before = ticks;
        EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= before + 2; }, 2000));
        EXPECT_EQ(num->text(), c.num);
        EXPECT_EQ(caps->text(), c.caps);
    }
    EXPECT_GE(num->width(), num->fontMetrics().horizontalAdvance(QStringLiteral("NUM")));
    EXPECT_EQ(num->width(), width);
}

TEST(ResultWindowSorting, TheSortedColumnShowsItsIndicatorUntilRowsAreAdded) {
    WindowRig rig;
    auto* scores = rig.window.findChild<QTableView*>(QStringLiteral("ScoreInfo"));
    auto* platform = rig.window.findChild<QTableView*>(QStringLiteral("ComputerInfo"));
    ASSERT_NE(scores, nullptr);
    ASSERT_NE(platform, nullptr);
    EXPECT_FALSE(scores->horizontalHeader()->isSortIndicatorShown());

    emit scores->horizontalHeader()->sectionClicked(3);
    EXPECT_TRUE(scores->horizontalHeader()->isSortIndicatorShown());
    EXPECT_EQ(scores->horizontalHeader()->sortIndicatorSection(), 3);
    EXPECT_EQ(scores->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_FALSE(platform->horizontalHeader()->isSortIndicatorShown());
    // The indicator changes nothing in the order the browser gave the rows: 70, 10, 9, 8.
    const QStringList expected{"70", "10", "9", "8"};
    QStringList shown;
    for (int row = 0; row < scores->model()->rowCount(); ++row)
        shown << scores->model()->index(row, 3).data().toString();
    EXPECT_EQ(shown, expected);

    const std::string more = rig.folder.path("more.vgf");
    EXPECT_TRUE(benchfile::saveBenchmarkFile(more, ">>:five||BMCPUh=99:;:;"));
    rig.files.answers.push_back(more);
    rig.window.run([&] { rig.window.model().ImportMenu_Click(); });
    EXPECT_FALSE(scores->horizontalHeader()->isSortIndicatorShown());
}

TEST(ResultWindowLayout, AtItsMinimumSizeTheHelpOptionsStandWholeAndApart) {
    WindowRig rig;
    rig.window.resize(rig.window.minimumSize());
    QApplication::processEvents();
    EXPECT_EQ(rig.window.size(), QSize(640, 420));
    auto* scroll = rig.window.findChild<QScrollArea*>(QStringLiteral("HlpWizzScroll"));
    ASSERT_NE(scroll, nullptr);
    QWidget* panel = scroll->widget();
    ASSERT_NE(panel, nullptr);
    // The panel keeps the room its options need; the scroll area shows it in part.
    EXPECT_GE(panel->height(), panel->minimumSizeHint().height());
    EXPECT_LE(scroll->geometry().bottom(), rig.window.centralWidget()->height());

    std::vector<QLabel*> labels;
    for (QLabel* label : panel->findChildren<QLabel*>())
        if (!label->text().isEmpty())
            labels.push_back(label);
    ASSERT_GE(labels.size(), 20u); // heading, question, nine options with their hints
    for (QLabel* label : labels) {
        SCOPED_TRACE(label->text().toStdString());
        const QRect need = label->fontMetrics().boundingRect(
            QRect(0, 0, label->contentsRect().width(), 10000), Qt::TextWordWrap, label->text());
        EXPECT_LE(need.width(), label->contentsRect().width());
        EXPECT_LE(need.height(), label->contentsRect().height());
    }
    for (std::size_t a = 0; a < labels.size(); ++a)
        for (std::size_t b = a + 1; b < labels.size(); ++b) {
            const QRect first(labels[a]->mapTo(panel, QPoint(0, 0)), labels[a]->size());
            const QRect second(labels[b]->mapTo(panel, QPoint(0, 0)), labels[b]->size());
            EXPECT_FALSE(first.intersects(second))
                << labels[a]->text().toStdString() << " / " << labels[b]->text().toStdString();
        }
}

TEST(ResultWindowState, ClosingHelpBringsTheWindowBackAsItWas) {
    for (const bool maximised : {true, false}) {
        SCOPED_TRACE(maximised ? "maximised" : "normal");
        WindowRig rig;
        if (maximised)
            rig.window.showMaximized();
        const Qt::WindowStates kept = minimiseKeepingState(rig.window);
        EXPECT_TRUE(rig.window.isMinimized());
        restoreWindowState(rig.window, kept);
        EXPECT_FALSE(rig.window.isMinimized());
        EXPECT_EQ(rig.window.isMaximized(), maximised);
        EXPECT_TRUE(rig.window.isVisible());
    }
}

} // namespace
} // namespace vexo
