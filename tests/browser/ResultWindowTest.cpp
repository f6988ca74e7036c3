#include "browser/ui/ResultWindow.h"

#include "benchfile/BenchmarkFile.h"
#include "browser/ui/ScoresChart.h"
#include "support/FakeDesktop.h"
#include "support/RunRecorder.h"
#include "support/TempFolder.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

namespace vexo {
namespace {

struct WindowRig {
    WindowRig() {
        const std::string path = folder.path("four.vgf");
        benchfile::writeBenchmarkFile(path, ">>:one||BMCPUh=10:;:;>>:two||BMCPUh=9:;:;"
                                            ">>:three||BMCPUh=8:;:;>>:four||BMCPUh=70:;:;");
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
    ResultWindow window{{dialogs, files}, "/nonexistent/", folder.folder().string() + "/"};
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
    EXPECT_EQ(ScoresChart::leadingNumber("57(1024x768@32 Bit /w High textures)"), 57);
    EXPECT_EQ(ScoresChart::leadingNumber("n/a"), 0);

    rig.dialogs.messageAnswer = MsgAnswer::No;
    rig.byShortcut("Ctrl+X")->trigger(); // Close
    EXPECT_EQ(rig.window.model().rowCount(), 0u);
    EXPECT_FALSE(rig.button("Save")->isEnabled());
    EXPECT_FALSE(rig.option("Text", 8)->isEnabled());
    EXPECT_EQ(rig.window.findChild<QTableView*>("ComputerInfo")->model()->rowCount(), 0);
}

} // namespace
} // namespace vexo
