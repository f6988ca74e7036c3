#include "wizard/ui/WizardWindow.h"

#include "platform/MemorySettingsStore.h"
#include "platform/qt/InstallationFiles.h"
#include "platform/qt/QtPlatform.h"
#include "support/TempFolder.h"
#include "wizard/ExitQuestion.h"

#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>

namespace vexo {
namespace {

using Page = Wizard::Page;

struct WindowRig {
    WindowRig() {
        wizard.Set_Credits_Text();
        wizard.Change_Page();
        window.sync();
        window.show();
    }
    // Blocks input as a run does, or lets it through again.
    void block(bool blocked) {
        wizard.elements().windowEnabled = !blocked;
        window.sync();
    }
    AppState state;
    MemorySettingsStore settings;
    Wizard wizard{state, settings};
    WizardWindow window{wizard, VEXO_BUILD_APP_FOLDER "/"};
};

TEST(WizardWindow, WithoutItsPicturesNamesTheMissingFilesOnce) {
    const test::TempFolder empty;
    (void)installation::takeProblemsMessage(); // anything earlier windows left
    AppState state;
    MemorySettingsStore settings;
    Wizard wizard{state, settings};
    WizardWindow window(wizard, empty.folder().string() + "/");
    const std::optional<std::string> message = installation::takeProblemsMessage();
    ASSERT_TRUE(message);
    EXPECT_NE(message->find("/data/HAImage.dat is missing.\r"), std::string::npos) << *message;
    // 32 files, the hand (a cursor and picture 7) named once.
    EXPECT_NE(message->find("... and 26 more."), std::string::npos) << *message;
}

// Keys as the keyboard types them, through the window system to whatever has the focus:
// R Return, S Space, T Tab, t Shift+Tab, the arrows < > ^ v (Alt with letters: the X11 tests).
void type(QWidget& window, std::string_view keys) {
    constexpr std::string_view names = "RSTt<>^v";
    const Qt::Key codes[] = {Qt::Key_Return, Qt::Key_Space, Qt::Key_Tab, Qt::Key_Tab,
                             Qt::Key_Left,   Qt::Key_Right, Qt::Key_Up,  Qt::Key_Down};
    for (const char key : keys)
        QTest::keyClick(window.windowHandle(), codes[names.find(key)],
                        key == 't' ? Qt::ShiftModifier : Qt::NoModifier);
}

// The focused element's name for assistive tools, and whether the focus mark is shown around
// it (its middle on the element).
QString focusedCaption(QWidget& window) {
    QWidget* focus = window.focusWidget();
    if (focus == nullptr)
        return {};
    const QAccessibleInterface* focused =
        QAccessible::queryAccessibleInterface(focus)->focusChild();
    const auto* mark = window.findChild<const QWidget*>(QStringLiteral("FocusMark"));
    if (focused == nullptr || mark == nullptr || !mark->isVisible() ||
        !focused->rect().contains(window.mapToGlobal(mark->geometry().center())))
        return QStringLiteral("(no mark)");
    return focused->text(QAccessible::Name);
}

TEST(WizardWindowKeyboard, WalksTheWholeCustomRouteToTheRun) {
    WindowRig rig;
    int runs = 0, homepage = 0;
    rig.wizard.commands.runBenchmark = [&runs] { ++runs; };
    rig.wizard.commands.openHomepage = [&homepage] { ++homepage; };
    // The keys, the page they lead to and the focused element's caption after them.
    const std::vector<std::tuple<const char*, const char*, Page, const char*>> steps{
        {"welcome: Tab from Next to the links, Return opens the homepage", "TTR", Page::Welcome,
         "kestrovia.example"},
        {"welcome: Shift+Tab back to the first link", "t", Page::Welcome,
         "support@kestrovia.example"},
        {"welcome: Tab past the second link and Help, Return on Next", "TTTR", Page::MainMenu,
         "Next"},
        {"menu: Return on Back goes back, on Next on again", "tRR", Page::MainMenu, "Next"},
        {"menu: Tab from Next wraps to the first option", "T", Page::MainMenu,
         "Perform a New Custom Benchmark"},
        {"menu: Down chooses the next option", "v", Page::MainMenu,
         "Perform a New Complete Benchmark"},
        {"menu: Up chooses the first again, Return on it presses Next", "^R", Page::Customize,
         "Software Benchmark Options"},
        {"groups: Space checks, Down moves on", "SvS", Page::Customize,
         "Hardware Benchmark Options"},
        {"groups: Return presses the Next the checks showed", "R", Page::Hardware,
         "CPU Benchmark (Central Proccessing Unit)"},
        {"hardware: Tab and Shift+Tab between checks", "STTSt", Page::Hardware,
         "FPU Benchmark (Floating Point Unit)"},
        {"software: the second check", "RTS", Page::Software,
         "Business Application Benchmark (Emulation)"},
        {"software: on to Direct3D", "R", Page::Direct3D, "Next"},
        {"Direct3D: arrows step the values both ways", "T>v<", Page::Direct3D,
         "Previous colour depth"},
        {"Direct3D: Return on an arrow presses Next, then system information", "RR", Page::ToolBox,
         "Next"},
        {"tool box: the tools are in the Tab order", "Tv", Page::ToolBox, "DirectX Diagnostics"},
        {"tool box: back round to Next and on", "ttR", Page::Ready, "Finish"},
        {"ready: Finish starts the run, then Next has the focus", "R", Page::Run, "Next"},
    };
    for (const auto& [name, keys, page, focus] : steps) {
        SCOPED_TRACE(name);
        type(rig.window, keys);
        EXPECT_EQ(rig.wizard.CurrentPage(), page);
        EXPECT_EQ(focusedCaption(rig.window), QString::fromUtf8(focus));
    }
    const Selections& chosen = rig.state.selections;
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(homepage, 1);
    EXPECT_EQ(std::vector<Flag>({chosen.SoftwareSelected, chosen.HardwareSelected,
                                 chosen.CPUSelected, chosen.FPUSelected, chosen.Direct3DSelected,
                                 chosen.SpreadsheetSelected, chosen.BusinessSelected}),
              std::vector<Flag>({True, True, True, False, True, False, True}));
    EXPECT_EQ(chosen.ScreenResolution, 1); // one step right
    EXPECT_EQ(chosen.ScreenColorDepth, 2); // one step left, round to the end
}

TEST(WizardWindow, WhileInputIsBlockedThePageTakesNoInput) {
    WindowRig rig;
    rig.block(true);
    type(rig.window, "R"); // on Next
    QTest::mouseClick(rig.window.childAt(516 + 54, 446 + 15), Qt::LeftButton);
    EXPECT_EQ(rig.wizard.CurrentPage(), Page::Welcome);
    rig.block(false);
    type(rig.window, "R");
    EXPECT_EQ(rig.wizard.CurrentPage(), Page::MainMenu);
}

// The window manager's close reaches the window while a run yields to the event loop, the
// question is answered Yes: the process is gone at once, without the run going on.
void closeDuringARunAndAnswerYes() {
    WindowRig rig;
    QtDialogs dialogs([] { return QApplication::activeWindow(); });
    rig.window.confirmExit = [&] {
        if (!Confirm_Exit(dialogs, rig.settings, rig.state.selections))
            return false;
        endProgram();
    };
    rig.block(true);
    auto* answer = new QTimer(qApp); // answers the question Yes, as a user would
    QObject::connect(answer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->done(QMessageBox::Yes);
    });
    answer->start(20);
    QTimer::singleShot(100, &rig.window, [&rig] { rig.window.close(); });
    QtMessagePump pump;
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
        pump.yield(); // the run's measuring loop
    std::fprintf(stderr, "the run went on\n");
    std::_Exit(3);
}

TEST(WizardWindowDeathTest, YesToTheExitQuestionDuringARunEndsTheProgramAtOnce) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EXIT(closeDuringARunAndAnswerYes(), testing::ExitedWithCode(0), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(WizardWindowDeathTest, NoToTheExitQuestionLetsTheRunGoOn) {
    WindowRig rig;
    int asked = 0;
    rig.window.confirmExit = [&asked] { return ++asked < 0; }; // counted, and answered No
    rig.block(true);
    QTimer::singleShot(10, &rig.window, [&rig] { rig.window.close(); });
    QtMessagePump pump;
    const auto start = std::chrono::steady_clock::now();
    while (asked == 0 && std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
        pump.yield();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(rig.window.isVisible());
}

} // namespace
} // namespace vexo
