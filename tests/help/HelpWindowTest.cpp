#include "help/ui/HelpWindow.h"

#include "support/FifoRescue.h"
#include "support/TempFolder.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>
#include <sys/stat.h>

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

TEST(HelpWindow, ADocumentThatCannotBeShownIsSaidAtOnceAsPlainText) {
    // A folder name that would be markup, were the message read as rich text.
    const test::TempFolder temp;
    const std::string folder = temp.path("<b>app</b>") + "/";
    std::filesystem::create_directories(folder + "data");
    ASSERT_EQ(::mkfifo((folder + "readme.rtf").c_str(), 0600), 0); // topic 3
    test::TempFolder::write(folder + "licence.rtf", "");           // topic 4
    std::filesystem::resize_file(folder + "licence.rtf", 50 << 20);
    const test::FifoRescue rescue(folder + "readme.rtf");
    const struct {
        std::int16_t topic;
        const char* said;
    } rows[] = {
        {0, "data/H1Data.dat is missing."},
        {3, "readme.rtf is not a regular file but a pipe."},
        {4, "licence.rtf is 52428800 bytes long, more than the 1048576 allowed for it."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.said);
        std::int16_t topic = row.topic;
        QElapsedTimer clock;
        clock.start();
        HelpWindow window(topic, folder);
        EXPECT_LT(clock.elapsed(), 2000);
        const QString shown = window.findChild<QTextBrowser*>("RichTextBox")->toPlainText();
        EXPECT_TRUE(shown.contains(QString::fromStdString(folder + row.said)))
            << shown.toStdString();
        EXPECT_TRUE(shown.contains("Build the program again")) << shown.toStdString();
    }
}

} // namespace
} // namespace vexo
