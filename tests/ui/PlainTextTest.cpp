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

#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QTextDocument>
#include <QTimer>
#include <gtest/gtest.h>

namespace vexo {
namespace {

const std::string kMarkup = "<b>x</b><font size=7 color=red>HUGE</font><h1>Run</h1><img src=x.png>";

// What a reader of the rich text in a tool tip sees.
std::string shownToolTip(const QString& tip) {
    QTextDocument document;
    document.setHtml(tip);
    return fromQt(document.toPlainText());
}

// Every message box goes through one function, so one box stands for all.
TEST(PlainText, MarkupInOutsideTextIsShownAsText) {
    QtDialogs dialogs([] { return static_cast<QWidget*>(nullptr); });
    std::vector<std::pair<QString, Qt::TextFormat>> boxes; // what the boxes showed, and how
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&boxes] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes.emplace_back(box->text(), box->textFormat());
            box->done(QMessageBox::Yes);
        }
    });
    answer.start(5);
    (void)dialogs.messageBox(kMarkup, 36, "Title");
    EXPECT_EQ(boxes, (std::vector{std::pair{toQt(kMarkup), Qt::PlainText}}));

    // Tool tips of the task manager's icons and of the browser's cell that holds a record's name.
    test::FakeWindowSystem desktop;
    test::MemorySettings settings;
    test::FakeFileDialogs files;
    QtMessagePump pump;
    desktop.open(kMarkup);
    AtmWindow atm({desktop, settings, dialogs, files, files, pump}, "/nonexistent/");
    atm.load();
    auto* icons = atm.findChild<QListWidget*>();
    ASSERT_TRUE(icons != nullptr && icons->count() == 1);
    EXPECT_EQ(shownToolTip(icons->item(0)->toolTip()), kMarkup);
    test::TempFolder folder;
    const std::string records = folder.path("markup.vgf");
    ASSERT_TRUE(benchfile::saveBenchmarkFile(records, ">>:" + kMarkup + "||BMCPUh=10:;:;"));
    files.answers = {records};
    ResultBrowser browser({dialogs, files}, folder.folder().string() + "/");
    browser.Load_Benchmark_Menu();
    ASSERT_EQ(browser.rowCount(), 1u);
    const BrowserTableModel cells(browser, BrowserMode::Scores);
    std::vector<std::string> tips; // of the cells that show the name
    for (int column = 0; column < cells.columnCount(); ++column)
        if (cells.data(cells.index(0, column), Qt::DisplayRole).toString() == toQt(kMarkup))
            tips.push_back(
                shownToolTip(cells.data(cells.index(0, column), Qt::ToolTipRole).toString()));
    EXPECT_EQ(tips, std::vector{kMarkup});
}

} // namespace
} // namespace vexo
