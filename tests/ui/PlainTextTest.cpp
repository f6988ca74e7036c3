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
#include <fstream>
#include <gtest/gtest.h>

namespace vexo {
namespace {

const std::string kMarkup = "<b>x</b><font size=7 color=red>HUGE</font><h1>Run</h1><img src=x.png>";

// Answers every message box of the program as soon as it is shown, and keeps what it showed.
class BoxWatcher {
public:
    struct Box {
        std::string title;
        std::string text;
        Qt::TextFormat format;
    };
    BoxWatcher() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes.push_back(
                    {fromQt(box->windowTitle()), fromQt(box->text()), box->textFormat()});
                box->done(QMessageBox::Yes);
            }
        });
        m_timer.start(5);
    }
    const Box* titled(const std::string& title) const {
        for (const Box& box : boxes)
            if (box.title == title)
                return &box;
        return nullptr;
    }
    std::vector<Box> boxes;

private:
    QTimer m_timer;
};

// What a reader of the rich text in a tool tip sees.
std::string shownToolTip(const QString& tip) {
    QTextDocument document;
    document.setHtml(tip);
    return fromQt(document.toPlainText());
}

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

    // A record named with markup, asked about by Remove; then a file that is no benchmark file.
    test::TempFolder folder;
    const std::string records = folder.path("markup.vgf");
    ASSERT_TRUE(benchfile::saveBenchmarkFile(records, ">>:" + kMarkup + "||BMCPUh=10:;:;"));
    const std::string invalid = folder.path("<b>invalid.vgf");
    std::ofstream(invalid) << "<h1>not a benchmark file</h1>";
    test::FakeFileDialogs files;
    files.answers = {records, invalid};
    ResultBrowser browser({dialogs, files}, folder.folder().string() + "/");
    browser.Load_Benchmark_Menu();
    ASSERT_EQ(browser.rowCount(), 1u);
    const BrowserTableModel cells(browser, BrowserMode::Scores);
    QString cellTip; // of the cell that holds the name
    for (int column = 0; column < cells.columnCount(); ++column) {
        if (cells.data(cells.index(0, column), Qt::DisplayRole).toString() == toQt(kMarkup))
            cellTip = cells.data(cells.index(0, column), Qt::ToolTipRole).toString();
    }
    browser.select(browser.mode(), 0);
    browser.Remove_Benchmark_Menu();
    browser.ImportMenu_Click();

    const struct {
        const char* title;
        std::string text;
    } expected[] = {
        {"Warning!", "Are you sure you want to end the process: " + kMarkup + "."},
        {"Confirm Remove?", "Are you sure you want to remove: " + kMarkup},
        {"Error: Invalid Benchmark File.", "Not valid save benchmark file:"},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.title);
        const BoxWatcher::Box* box = watcher.titled(e.title);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->format, Qt::PlainText);
        EXPECT_EQ(box->text.substr(0, e.text.size()), e.text);
    }

    // Tool tips of the task manager's icons and of the browser's cells.
    auto* icons = atm.findChild<QListWidget*>();
    ASSERT_NE(icons, nullptr);
    ASSERT_EQ(icons->count(), 1);
    EXPECT_EQ(shownToolTip(icons->item(0)->toolTip()), kMarkup);
    EXPECT_EQ(shownToolTip(cellTip), kMarkup);
}

} // namespace
} // namespace vexo
