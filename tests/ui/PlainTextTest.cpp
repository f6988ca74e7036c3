// Outside text shown by the program's own boxes, tool tips and labels is shown as the text it
// is: markup in a window title or a record name is never rendered.
#include "benchfile/BenchmarkFile.h"
#include "browser/ResultBrowser.h"
#include "browser/ui/BrowserTableModel.h"
#include "platform/qt/QtPlatform.h"
#include "support/FakeDesktop.h"
#include "support/RunRecorder.h"
#include "support/TempFolder.h"
#include "taskman/ui/AtmWindow.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QTextDocument>
#include <QTimer>
#include <gtest/gtest.h>

namespace vexo {
namespace {

const std::string kMarkup = "<b>x</b><font size=7 color=red>HUGE</font><h1>Run</h1><img src=x.png>";

// Answers the program's message boxes as soon as they are shown, and keeps what they showed.
struct BoxWatcher {
    BoxWatcher() {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown.emplace_back(fromQt(box->text()), box->textFormat());
                box->done(QMessageBox::Yes);
            }
        });
        timer.start(5);
    }
    std::vector<std::pair<std::string, Qt::TextFormat>> shown;
    QTimer timer;
};

// What a reader of the rich text in a tool tip sees.
std::string shownToolTip(const QString& tip) {
    QTextDocument document;
    document.setHtml(tip);
    return fromQt(document.toPlainText());
}

// Every box goes through one function (the texts themselves: the task manager's and the
// browser's tests), so one box stands for all.
TEST(PlainText, MarkupInOutsideTextIsShownAsText) {
    BoxWatcher watcher;
    QtDialogs dialogs([] { return static_cast<QWidget*>(nullptr); });

    // A window titled with markup, asked about by End Task.
    test::FakeWindowSystem desktop;
    test::MemorySettings settings;
    test::FakeFileDialogs programs;
    QtMessagePump pump;
    desktop.open(kMarkup);
    AtmWindow atm({desktop, settings, dialogs, programs, programs, pump}, "/nonexistent/");
    atm.load();
    atm.model().select(0, 1);
    atm.model().CommandButton_Click(5);
    ASSERT_EQ(watcher.shown.size(), 1u);
    EXPECT_EQ(
        watcher.shown[0].first.rfind("Are you sure you want to end the process: " + kMarkup, 0),
        0u);
    EXPECT_EQ(watcher.shown[0].second, Qt::PlainText);

    // Tool tips of the task manager's icons and of the browser's cell that holds a record's name.
    auto* icons = atm.findChild<QListWidget*>();
    ASSERT_TRUE(icons != nullptr && icons->count() == 1);
    EXPECT_EQ(shownToolTip(icons->item(0)->toolTip()), kMarkup);
    test::TempFolder folder;
    const std::string records = folder.path("markup.vgf");
    ASSERT_TRUE(benchfile::saveBenchmarkFile(records, ">>:" + kMarkup + "||BMCPUh=10:;:;"));
    test::FakeFileDialogs files;
    files.answers = {records};
    ResultBrowser browser({dialogs, files}, folder.folder().string() + "/");
    browser.Load_Benchmark_Menu();
    ASSERT_EQ(browser.rowCount(), 1u);
    const BrowserTableModel cells(browser, BrowserMode::Scores);
    int named = 0;
    for (int column = 0; column < cells.columnCount(); ++column) {
        if (cells.data(cells.index(0, column), Qt::DisplayRole).toString() == toQt(kMarkup)) {
            ++named;
            EXPECT_EQ(shownToolTip(cells.data(cells.index(0, column), Qt::ToolTipRole).toString()),
                      kMarkup);
        }
    }
    EXPECT_EQ(named, 1);
}

} // namespace
} // namespace vexo
