#include "help/ui/HelpWindow.h"

#include "support/TempFolder.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace vexo {
namespace {

const std::string kFolder = VEXO_BUILD_APP_FOLDER "/";

TEST(HelpWindow, ShowsTheChosenTopicsDocumentAndTellsTheTopicToItsOpener) {
    std::int16_t topic = 0;
    int restored = 0;
    QPointer<HelpWindow> window = new HelpWindow(topic, kFolder);
    window->restoreMainWindow = [&] { ++restored; };
    window->show();
    EXPECT_EQ(window->windowTitle(), "Kestrovia VexoGAUGE 2002 Edition Online Help");
    auto* document = window->findChild<QTextBrowser*>("RichTextBox");
    EXPECT_TRUE(document->toPlainText().contains("The Benchmarking Wizard"));
    QStringList captions; // the menu's items and the bars between them
    for (const QAction* action : window->menuBar()->actions())
        captions << action->text();
    EXPECT_EQ(captions, (QStringList{"Find", "|", "Print", "|", "About", "|", "Exit"}));

    // Tab goes from topic to topic, Return opens the one it reached, tools know them as links.
    window->findChild<QLabel*>("HelpText0")->setFocus();
    QTest::keyClick(window->windowHandle(), Qt::Key_Tab);
    QTest::keyClick(window->windowHandle(), Qt::Key_Return);
    EXPECT_EQ(topic, 1);
    QAccessibleInterface* link =
        QAccessible::queryAccessibleInterface(window->findChild<QLabel*>("HelpText1"));
    EXPECT_EQ(link->role(), QAccessible::Link);
    EXPECT_EQ(link->text(QAccessible::Name).toStdString(), "The Result Browser");

    QTest::mouseClick(window->findChild<QLabel*>("HelpText4"), Qt::LeftButton);
    EXPECT_TRUE(document->toPlainText().contains("MIT License"));
    EXPECT_EQ(topic, 4);
    window->close(); // deletes itself
    EXPECT_EQ(restored, 1);
    QTest::qWait(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

// (The reader's own hostile cases, pipes among them: the installation file reader's tests.)
TEST(HelpWindow, ADocumentThatCannotBeShownIsSaidAsPlainText) {
    const test::TempFolder temp;
    const std::string folder = temp.path("<b>app</b>") + "/"; // markup, were it read as such
    std::filesystem::create_directories(folder + "data");
    test::TempFolder::write(folder + "licence.rtf", "");
    std::filesystem::resize_file(folder + "licence.rtf", 50 << 20);
    for (const auto& [topic, said] : std::vector<std::pair<std::int16_t, std::string>>{
             {0, "data/H1Data.dat is missing."},
             {4, "licence.rtf is 52428800 bytes long, more than the 1048576 allowed for it."}}) {
        std::int16_t shownTopic = topic;
        const HelpWindow window(shownTopic, folder);
        const QString shown = window.findChild<QTextBrowser*>("RichTextBox")->toPlainText();
        EXPECT_TRUE(shown.contains(QString::fromStdString(folder + said))) << shown.toStdString();
        EXPECT_TRUE(shown.contains("Build the program again")) << shown.toStdString();
    }
}

} // namespace
} // namespace vexo
