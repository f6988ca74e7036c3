// Outside text shown by the program's own boxes is shown as the text it is: markup in a window
// title or a record name is never rendered.
#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace vexo {
namespace {

const std::string kMarkup = "<b>x</b><font size=7 color=red>HUGE</font><h1>Run</h1><img src=x.png>";

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
}

} // namespace
} // namespace vexo
