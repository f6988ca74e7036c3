#include "help/ui/HelpWindow.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace vexo {
namespace {

const std::string kFolder = VEXO_BUILD_APP_FOLDER "/";

TEST(HelpWindow, ShowsTheTopicDocumentAndKeepsTheTopicForTheNextOpening) {
    std::int16_t topic = 0;
    int restored = 0;
    QPointer<HelpWindow> window = new HelpWindow(topic, kFolder);
    window->restoreMainWindow = [&] { ++restored; };
    window->show();
    EXPECT_EQ(window->windowTitle(), "Kestrovia VexoGAUGE 2002 Edition Online Help");
    auto* document = window->findChild<QTextBrowser*>("RichTextBox");
    EXPECT_TRUE(document->toPlainText().contains("The Benchmarking Wizard"));

    QTest::mouseClick(window->findChild<QLabel*>("HelpText4"), Qt::LeftButton);
    EXPECT_TRUE(document->toPlainText().contains("MIT License"));
    EXPECT_EQ(topic, 4);
    window->close(); // deletes itself
    EXPECT_EQ(restored, 1);
    QTest::qWait(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());

    auto* again = new HelpWindow(topic, kFolder);
    EXPECT_TRUE(
        again->findChild<QTextBrowser*>("RichTextBox")->toPlainText().contains("MIT License"));
    delete again;
}

TEST(HelpWindow, MenuFindIsInertPrintDisabledAndBarsAreSeparators) {
    std::int16_t topic = 1;
    HelpWindow window(topic, kFolder);
    QStringList captions;
    for (QAction* action : window.menuBar()->actions()) {
        captions << action->text();
        if (action->text() == "|" || action->text() == "Print")
            EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
        else
            EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
    }
    EXPECT_EQ(captions, (QStringList{"Find", "|", "Print", "|", "About", "|", "Exit"}));
    const QString before = window.findChild<QTextBrowser*>("RichTextBox")->toHtml();
    window.menuBar()->actions()[0]->trigger();
    EXPECT_EQ(window.findChild<QTextBrowser*>("RichTextBox")->toHtml(), before);
    EXPECT_TRUE(
        window.findChild<QTextBrowser*>("RichTextBox")->toPlainText().contains("Result Browser"));
}

TEST(HelpWindow, AMissingDocumentIsSaidInsteadOfShown) {
    std::int16_t topic = 3;
    HelpWindow window(topic, "/nonexistent/");
    EXPECT_TRUE(window.findChild<QTextBrowser*>("RichTextBox")
                    ->toPlainText()
                    .contains("/nonexistent/readme.rtf is missing"));
}

} // namespace
} // namespace vexo
