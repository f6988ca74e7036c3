#include "wizard/ui/WizardWindow.h"

#include "platform/MemorySettingsStore.h"
#include "platform/qt/InstallationFiles.h"
#include "platform/qt/QtPlatform.h"
#include "support/TempFolder.h"
#include "wizard/ExitQuestion.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTest>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>

namespace vexo {
namespace {

struct WindowRig {
    WindowRig() {
        wizard.Set_Credits_Text();
        wizard.Change_Page();
        window.sync();
        window.show();
    }
    QStringList shownTexts() const {
        QStringList texts;
        for (QLabel* label : window.findChildren<QLabel*>())
            if (label->isVisible() && !label->text().isEmpty())
                texts << label->text();
        return texts;
    }
    AppState state;
    MemorySettingsStore settings;
    Wizard wizard{state, settings};
    WizardWindow window{wizard, VEXO_BUILD_APP_FOLDER "/"};
};

TEST(WizardWindow, ShowsTheWelcomePageAndMovesOnWithTheKeys) {
    WindowRig rig;
    EXPECT_EQ(rig.window.windowTitle(), "Kestrovia VexoGAUGE 2002 Edition");
    EXPECT_TRUE(rig.shownTexts().contains("Welcome to VexoGAUGE 2002 Edition."));
    QTest::keyClick(&rig.window, Qt::Key_N);
    EXPECT_EQ(rig.wizard.CurrentPage(), 2);
    EXPECT_TRUE(rig.shownTexts().contains("VexoGAUGE 2002 Main Menu."));
    EXPECT_FALSE(rig.shownTexts().contains("Welcome to VexoGAUGE 2002 Edition."));
    QTest::keyClick(&rig.window, Qt::Key_N); // custom route: page 3, no group yet
    EXPECT_EQ(rig.wizard.CurrentPage(), 3);
    QTest::keyClick(&rig.window, Qt::Key_N);
    EXPECT_EQ(rig.wizard.CurrentPage(), 3); // Next is hidden, so N does nothing
    QTest::keyClick(&rig.window, Qt::Key_S);
    QTest::keyClick(&rig.window, Qt::Key_N);
    EXPECT_EQ(rig.wizard.CurrentPage(), 5);
}

TEST(WizardWindow, WithoutItsPicturesKeepsADarkGroundAndNamesTheMissingFilesOnce) {
    const test::TempFolder empty;
    (void)installation::takeProblemsMessage(); // anything earlier windows left
    AppState state;
    MemorySettingsStore settings;
    Wizard wizard{state, settings};
    WizardWindow window(wizard, empty.folder().string() + "/");
    EXPECT_LT(window.grab().toImage().pixelColor(2, 200).lightness(), 60); // light captions show
    const std::optional<std::string> message = installation::takeProblemsMessage();
    ASSERT_TRUE(message);
    EXPECT_NE(message->find("/data/HAImage.dat is missing.\r"), std::string::npos) << *message;
    // 32 files, the hand (a cursor and picture 7) named once.
    EXPECT_NE(message->find("... and 26 more."), std::string::npos) << *message;
}

// The picture beside the run's lines, as it is shown now.
QImage runPictureShown(WindowRig& rig) {
    const auto* label = qobject_cast<QLabel*>(rig.window.childAt(456 + 80, 100 + 100));
    return label != nullptr ? label->pixmap().toImage() : QImage();
}

TEST(WizardWindow, TheEnginesLinesAndPicturesShowAtOnce) {
    WindowRig rig;
    rig.wizard.setCurrentPage(10);
    rig.wizard.Change_Page();
    rig.window.sync();
    rig.wizard.setLine(RunPageView::StatusLine, "Status: Measuring CPU");
    const QImage measuring = runPictureShown(rig);
    ASSERT_FALSE(measuring.isNull());
    EXPECT_FALSE(rig.window.runFinished());
    rig.wizard.setLine(RunPageView::StatusLine, "Status: Benchmark Complete");
    EXPECT_TRUE(rig.window.runFinished());
    EXPECT_NE(runPictureShown(rig), measuring);
    rig.wizard.setLine(RunPageView::StatusLine, "Status: Measuring CPU"); // the next run
    EXPECT_EQ(runPictureShown(rig), measuring);
    rig.wizard.setLine(
        RunPageView::StatusLine,
        "Status: Nothing was measured, nothing saved: Direc3D (stopped with Escape)");
    EXPECT_TRUE(rig.window.runFinished()); // ended, although without a score
    rig.wizard.setLine(RunPageView::StatusLine, "Status: Benchmark Complete");
    rig.wizard.setBenchImage(1, RunPageView::GroupDonePicture);
    EXPECT_EQ(rig.wizard.elements().FrameText[23].caption, "Status: Benchmark Complete");
    EXPECT_EQ(rig.wizard.elements().BenchImage[1], RunPageView::GroupDonePicture);
    EXPECT_FALSE(rig.window.picture(RunPageView::GroupDonePicture).isNull());
}

TEST(WizardWindow, ComesBackWhereItWasAfterBeingHidden) {
    WindowRig rig;
    rig.window.move(137, 91);
    QApplication::processEvents();
    const QPoint before = rig.window.pos();
    const QSize size = rig.window.size();
    rig.window.hide();
    rig.window.move(0, 0); // as a window manager may place it when it is mapped again
    rig.window.hide();
    rig.window.show();
    QApplication::processEvents();
    EXPECT_EQ(rig.window.pos(), before);
    EXPECT_EQ(rig.window.size(), size);
}

TEST(WizardWindow, ClosingAsksTheExitQuestion) {
    WindowRig rig;
    int asked = 0;
    rig.window.confirmExit = [&] {
        ++asked;
        return false;
    };
    EXPECT_FALSE(rig.window.close());
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(rig.window.isVisible());
}

// What a label shows, as a reader sees it: rich text without its markup.
QString displayed(const QLabel* label) {
    if (label->textFormat() != Qt::RichText)
        return label->text();
    QTextDocument document;
    document.setHtml(label->text());
    return document.toPlainText();
}

// Every text shown on the page is whole in its box at the default font, without a stray '&'.
void expectTextsWholeAndClean(const WindowRig& rig, const char* route) {
    const int page = rig.wizard.CurrentPage();
    for (const QLabel* label : rig.window.findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty() || !label->pixmap().isNull())
            continue;
        const QString text = displayed(label);
        EXPECT_FALSE(text.contains(u'&'))
            << route << " page " << page << " shows an ampersand: " << text.toStdString();
        const int needed =
            label->wordWrap() ? label->heightForWidth(label->width()) : label->sizeHint().height();
        EXPECT_LE(needed, label->height())
            << route << " page " << page << " cuts off: " << text.toStdString();
        // No text runs under a button (the buttons are the widgets with a tool tip).
        for (const QWidget* widget : rig.window.findChildren<QWidget*>()) {
            if (widget->isVisible() && !widget->toolTip().isEmpty() &&
                widget->parentWidget() == label->parentWidget()) {
                EXPECT_FALSE(widget->geometry().intersects(label->geometry()))
                    << route << " page " << page << ": " << text.toStdString()
                    << " lies under the button " << widget->toolTip().toStdString();
            }
        }
        if (!label->wordWrap()) {
            EXPECT_LE(label->sizeHint().width(), label->width())
                << route << " page " << page << " is too wide: " << text.toStdString();
        }
    }
}

TEST(WizardWindow, EveryPageShowsItsTextsWholeAndWithoutAmpersands) {
    {
        WindowRig rig; // the custom route with every group and benchmark chosen
        const std::vector<std::pair<int, QString>> keys{{1, "N"},    {2, "CN"},   {3, "SDN"},
                                                        {4, "CFDN"}, {5, "SUIN"}, {6, "N"},
                                                        {7, "N"},    {8, "N"}};
        for (const auto& [page, typed] : keys) {
            ASSERT_EQ(rig.wizard.CurrentPage(), page);
            expectTextsWholeAndClean(rig, "custom");
            for (QChar key : typed)
                QTest::keyClick(&rig.window, static_cast<Qt::Key>(key.unicode()));
        }
        ASSERT_EQ(rig.wizard.CurrentPage(), 9);
        expectTextsWholeAndClean(rig, "custom");
    }
    {
        WindowRig rig; // the complete route
        QTest::keyClick(&rig.window, Qt::Key_N);
        QTest::keyClick(&rig.window, Qt::Key_P);
        for (int step = 0; step < 8 && rig.wizard.CurrentPage() < 9; ++step) {
            QTest::keyClick(&rig.window, Qt::Key_N);
            expectTextsWholeAndClean(rig, "complete");
        }
        EXPECT_EQ(rig.wizard.CurrentPage(), 9);
    }
}

void sendKey(QWidget& window, QEvent::Type type, Qt::Key key, bool autoRepeat,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(type, key, modifiers, QString(), autoRepeat);
    QApplication::sendEvent(&window, &event);
}

// X11 reports a held key as one press, pairs of repeated release and press, and one release.
void holdKey(QWidget& window, Qt::Key key, int repeats) {
    sendKey(window, QEvent::KeyPress, key, false);
    for (int i = 0; i < repeats; ++i) {
        sendKey(window, QEvent::KeyRelease, key, true);
        sendKey(window, QEvent::KeyPress, key, true);
    }
    sendKey(window, QEvent::KeyRelease, key, false);
}

TEST(WizardWindow, AHeldKeyActsOnceAndOnlyInTheWindowThatGotItsPress) {
    WindowRig rig;
    ASSERT_EQ(rig.wizard.CurrentPage(), 1);
    holdKey(rig.window, Qt::Key_N, 40); // about 1.6 s of auto-repeat
    EXPECT_EQ(rig.wizard.CurrentPage(), 2);
    holdKey(rig.window, Qt::Key_N, 1);
    EXPECT_EQ(rig.wizard.CurrentPage(), 3);

    // Ctrl+N pressed in another window, Ctrl let go first: only N's release arrives here.
    sendKey(rig.window, QEvent::KeyRelease, Qt::Key_S, false);
    QTest::keyClick(&rig.window, Qt::Key_N); // no group chosen, so Next is still hidden
    EXPECT_EQ(rig.wizard.CurrentPage(), 3);
    // Pressed with Ctrl here, released without: the press was not a wizard key either way.
    sendKey(rig.window, QEvent::KeyPress, Qt::Key_B, false, Qt::ControlModifier);
    sendKey(rig.window, QEvent::KeyRelease, Qt::Key_B, false);
    EXPECT_EQ(rig.wizard.CurrentPage(), 3);
    // A key pressed, then the window losing the focus: its release no longer counts.
    sendKey(rig.window, QEvent::KeyPress, Qt::Key_B, false);
    QFocusEvent focusOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(&rig.window, &focusOut);
    sendKey(rig.window, QEvent::KeyRelease, Qt::Key_B, false);
    EXPECT_EQ(rig.wizard.CurrentPage(), 3);
    // An ordinary key still works afterwards.
    QTest::keyClick(&rig.window, Qt::Key_B);
    EXPECT_EQ(rig.wizard.CurrentPage(), 2);
}

// A key as the keyboard types it: through the window system to whatever has the focus.
void type(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(window.windowHandle(), key, modifiers);
}

// The focused element's caption, and whether the focus mark is shown around it.
QString focusedCaption(const QWidget& window) {
    const QWidget* focus = window.focusWidget();
    if (focus == nullptr)
        return {};
    const auto* mark = window.findChild<const QWidget*>(QStringLiteral("FocusMark"));
    if (mark == nullptr || !mark->isVisible() || !mark->geometry().intersects(focus->geometry()))
        return QStringLiteral("(no mark)");
    return focus->accessibleName().isEmpty() ? focus->objectName() : focus->accessibleName();
}

TEST(WizardWindowKeyboard, WalksTheWholeCustomRouteToTheRunWithoutALetterKey) {
    WindowRig rig;
    int runs = 0;
    rig.wizard.commands.runBenchmark = [&] {
        ++runs;
        EXPECT_TRUE(rig.window.inputBlocked() || !rig.wizard.elements().windowEnabled);
    };
    rig.window.winId();
    struct Step {
        const char* name;
        std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
        int page;
        const char* focus; // the focused element's caption after the keys
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const std::vector<Step> steps{
        {"welcome: Return presses Next", {{Qt::Key_Return, none}}, 2, "Next"},
        {"menu: Tab from Next wraps to the first option",
         {{Qt::Key_Tab, none}},
         2,
         "Perform a New Custom Benchmark"},
        {"menu: Down chooses the next option",
         {{Qt::Key_Down, none}},
         2,
         "Perform a New Complete Benchmark"},
        {"menu: Up chooses the first again",
         {{Qt::Key_Up, none}},
         2,
         "Perform a New Custom Benchmark"},
        {"menu: Return on an option presses Next",
         {{Qt::Key_Return, none}},
         3,
         "Software Benchmark Options"},
        {"groups: Space checks, Down moves on",
         {{Qt::Key_Space, none}, {Qt::Key_Down, none}, {Qt::Key_Space, none}},
         3,
         "Hardware Benchmark Options"},
        {"groups: Return presses the Next the checks showed",
         {{Qt::Key_Return, none}},
         4,
         "CPU Benchmark (Central Proccessing Unit)"},
        {"hardware: Tab and Shift+Tab between checks",
         {{Qt::Key_Space, none},
          {Qt::Key_Tab, none},
          {Qt::Key_Tab, none},
          {Qt::Key_Space, none},
          {Qt::Key_Tab, Qt::ShiftModifier}},
         4,
         "FPU Benchmark (Floating Point Unit)"},
        {"hardware: on to software",
         {{Qt::Key_Return, none}},
         5,
         "Spreadsheet Application Benchmark (Emulation)"},
        {"software: the second check",
         {{Qt::Key_Tab, none}, {Qt::Key_Space, none}},
         5,
         "Business Application Benchmark (Emulation)"},
        {"software: on to Direct3D", {{Qt::Key_Return, none}}, 6, "Next"},
        {"Direct3D: arrows step the values both ways",
         {{Qt::Key_Tab, none}, {Qt::Key_Right, none}, {Qt::Key_Down, none}, {Qt::Key_Left, none}},
         6,
         "Previous colour depth"},
        {"Direct3D: Return on an arrow presses Next", {{Qt::Key_Return, none}}, 7, "Next"},
        {"system information", {{Qt::Key_Return, none}}, 8, "Next"},
        {"tool box: the tools are in the Tab order",
         {{Qt::Key_Tab, none}, {Qt::Key_Down, none}},
         8,
         "DirectX Diagnostics"},
        {"tool box: back round to Next and on",
         {{Qt::Key_Tab, Qt::ShiftModifier},
          {Qt::Key_Tab, Qt::ShiftModifier},
          {Qt::Key_Return, none}},
         9,
         "Finish"},
        {"ready: Finish starts the run, then Next has the focus",
         {{Qt::Key_Return, none}},
         10,
         "Next"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        for (const auto& [key, modifiers] : step.keys)
            type(rig.window, key, modifiers);
        EXPECT_EQ(rig.wizard.CurrentPage(), step.page);
        EXPECT_EQ(focusedCaption(rig.window), QString::fromUtf8(step.focus));
    }
    const Selections& chosen = rig.state.selections;
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(std::vector<Flag>({chosen.SoftwareSelected, chosen.HardwareSelected,
                                 chosen.CPUSelected, chosen.FPUSelected, chosen.Direct3DSelected,
                                 chosen.SpreadsheetSelected, chosen.BusinessSelected}),
              std::vector<Flag>({True, True, True, False, True, False, True}));
    EXPECT_EQ(chosen.ScreenResolution, 1); // one step right
    EXPECT_EQ(chosen.ScreenColorDepth, 2); // one step left, round to the end
}

TEST(WizardWindowKeyboard, AltWithALetterIsTheLetterAndReturnActsOnTheFocusedButton) {
    WindowRig rig;
    type(rig.window, Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(rig.wizard.CurrentPage(), 2);
    type(rig.window, Qt::Key_Tab, Qt::ShiftModifier); // from Next to Back
    EXPECT_EQ(focusedCaption(rig.window), "Back");
    type(rig.window, Qt::Key_Return);
    EXPECT_EQ(rig.wizard.CurrentPage(), 1);
    // Return pressed in another window (a message box) and let go here does nothing.
    sendKey(rig.window, QEvent::KeyRelease, Qt::Key_Return, false);
    EXPECT_EQ(rig.wizard.CurrentPage(), 1);
}

// The visible elements of a role as assistive tools see them: name and checked state.
std::vector<std::pair<QString, bool>> announced(const QWidget& window, QAccessible::Role role) {
    std::vector<std::pair<QString, bool>> found;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        QAccessibleInterface* element = QAccessible::queryAccessibleInterface(widget);
        if (widget->isVisible() && element != nullptr && element->role() == role)
            found.emplace_back(element->text(QAccessible::Name), element->state().checked);
    }
    std::sort(found.begin(), found.end());
    return found;
}

// The visible element called `name`, as assistive tools find it.
QAccessibleInterface* elementNamed(const QWidget& window, const QString& name) {
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        QAccessibleInterface* element = QAccessible::queryAccessibleInterface(widget);
        if (widget->isVisible() && element != nullptr && element->text(QAccessible::Name) == name)
            return element;
    }
    return nullptr;
}

// Runs the named action of the element called `name`, as a screen reader would.
void actOn(const QWidget& window, const QString& name, const QString& action) {
    QAccessibleInterface* element = elementNamed(window, name);
    ASSERT_NE(element, nullptr) << name.toStdString();
    ASSERT_TRUE(element->actionInterface()->actionNames().contains(action)) << name.toStdString();
    element->actionInterface()->doAction(action);
}

TEST(WizardWindowAccessibility, DrawnElementsAreControlsWithNameRoleStateAndAction) {
    WindowRig rig;
    using Seen = std::vector<std::pair<QString, bool>>;
    EXPECT_EQ(announced(rig.window, QAccessible::Button), (Seen{{"Help", false}, {"Next", false}}));
    actOn(rig.window, "Next", QAccessibleActionInterface::pressAction());
    ASSERT_EQ(rig.wizard.CurrentPage(), 2);
    actOn(rig.window, "Open the result browser", QAccessibleActionInterface::pressAction());
    EXPECT_EQ(rig.wizard.MainMenuChoice(), 3);
    const Seen options = announced(rig.window, QAccessible::RadioButton);
    ASSERT_EQ(options.size(), 5U);
    EXPECT_EQ(std::count_if(options.begin(), options.end(), [](const auto& o) { return o.second; }),
              1);
    EXPECT_TRUE(std::find(options.begin(), options.end(),
                          std::pair<QString, bool>("Open the result browser", true)) !=
                options.end());
    actOn(rig.window, "Perform a New Custom Benchmark", QAccessibleActionInterface::pressAction());
    actOn(rig.window, "Next", QAccessibleActionInterface::pressAction());
    ASSERT_EQ(rig.wizard.CurrentPage(), 3);
    actOn(rig.window, "Hardware Benchmark Options", QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(announced(rig.window, QAccessible::CheckBox),
              (Seen{{"Hardware Benchmark Options", true}, {"Software Benchmark Options", false}}));
    // While a run measures, the controls are disabled for the tools as for the pointer.
    rig.wizard.elements().windowEnabled = false;
    rig.window.sync();
    QAccessibleInterface* next = elementNamed(rig.window, "Next");
    ASSERT_NE(next, nullptr);
    EXPECT_TRUE(next->state().disabled);
    EXPECT_TRUE(next->actionInterface()->actionNames().isEmpty());
}

// A click as the pointer makes it: on whatever is topmost at that point of the window.
void clickAt(QWidget& window, QPoint point) {
    QWidget* target = window.childAt(point);
    ASSERT_NE(target, nullptr);
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(&window, point));
}

TEST(WizardWindow, WhileInputIsBlockedThePageTakesNoInputButIsNotGreyed) {
    WindowRig rig;
    const QPoint next(516 + 54, 446 + 15);
    rig.wizard.elements().windowEnabled = false; // as while a run measures
    rig.window.sync();
    EXPECT_TRUE(rig.window.inputBlocked());
    EXPECT_TRUE(rig.window.isEnabled()); // a disabled widget greys every picture and text
    for (const QLabel* label : rig.window.findChildren<QLabel*>())
        EXPECT_TRUE(label->isEnabled());
    clickAt(rig.window, next);
    QTest::keyClick(&rig.window, Qt::Key_N);
    EXPECT_EQ(rig.wizard.CurrentPage(), 1);
    // A key pressed while blocked and let go afterwards does not act either.
    sendKey(rig.window, QEvent::KeyPress, Qt::Key_N, false);
    rig.wizard.elements().windowEnabled = true;
    rig.window.sync();
    sendKey(rig.window, QEvent::KeyRelease, Qt::Key_N, false);
    EXPECT_EQ(rig.wizard.CurrentPage(), 1);

    EXPECT_FALSE(rig.window.inputBlocked());
    clickAt(rig.window, next);
    EXPECT_EQ(rig.wizard.CurrentPage(), 2);
    QTest::keyClick(&rig.window, Qt::Key_N);
    EXPECT_EQ(rig.wizard.CurrentPage(), 3);
}

// Answers the first exit question that shows with Yes, as a user would, from a timer.
void answerYesWhenAsked() {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box != nullptr && box->isVisible() && box->button(QMessageBox::Yes) != nullptr)
                box->button(QMessageBox::Yes)->click();
        }
    });
    timer->start(20);
}

// The window manager's close reaches the window while a run yields to the event loop, the
// question is answered Yes: the process is gone at once, without the run going on.
void closeDuringARunAndAnswerYes() {
    AppState state;
    MemorySettingsStore settings;
    QtDialogs dialogs([] { return QApplication::activeWindow(); });
    Wizard wizard(state, settings);
    WizardWindow window(wizard, VEXO_BUILD_APP_FOLDER "/");
    wizard.Change_Page();
    window.sync();
    window.show();
    window.confirmExit = [&] {
        if (!Confirm_Exit(dialogs, settings, state.selections))
            return false;
        endProgram();
    };
    wizard.elements().windowEnabled = false; // as during a run
    window.sync();
    answerYesWhenAsked();
    QTimer::singleShot(100, &window, [&window] { window.close(); });
    QtMessagePump pump;
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
        pump.yield(); // the run's measuring loop
    std::fprintf(stderr, "the run went on\n");
    std::_Exit(3);
}

// Where the contact text draws the characters from `from` on, as the label lays it out.
QRect drawnAt(const QLabel* label, qsizetype from) {
    QString text = label->text();
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(text, label->font());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    qreal y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(label->contentsRect().width());
        line.setPosition(QPointF(0, y));
        y += line.height() + label->fontMetrics().leading();
    }
    layout.endLayout();
    const QTextLine line = layout.lineForTextPosition(static_cast<int>(from));
    return {label->mapTo(label->window(),
                         QPoint(static_cast<int>(line.cursorToX(static_cast<int>(from))),
                                static_cast<int>(line.y()))),
            QSize(1, static_cast<int>(line.height()))};
}

TEST(WizardWindowLinks, StandOverTheContactTextsLineEndAndGapAndUnderlineUnderThePointer) {
    WindowRig rig;
    QLabel* mail = rig.window.findChild<QLabel*>(QStringLiteral("LinkText0"));
    QLabel* web = rig.window.findChild<QLabel*>(QStringLiteral("LinkText1"));
    ASSERT_NE(mail, nullptr);
    ASSERT_NE(web, nullptr);
    QLabel* contact = nullptr;
    for (QLabel* label : rig.window.findChildren<QLabel*>())
        if (label->text().startsWith(QStringLiteral("We hope you will enjoy")))
            contact = label;
    ASSERT_NE(contact, nullptr);
    ASSERT_TRUE(mail->isVisible() && web->isVisible());
    const QString text = contact->text();
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    const qsizetype visit = text.indexOf(QStringLiteral("or visit")) + 8;
    const qsizetype afterGap = text.indexOf(QStringLiteral("for more infomation."));
    ASSERT_GT(lineEnd, 0);

    // The e-mail address follows "contact us at" on its line, inside the text's box.
    const QRect end = drawnAt(contact, lineEnd);
    EXPECT_EQ(mail->geometry().top(), end.top());
    EXPECT_GT(mail->geometry().left(), end.left());
    EXPECT_LT(mail->geometry().left(), end.left() + 3 * mail->fontMetrics().horizontalAdvance(' '));
    EXPECT_LE(mail->geometry().right(), contact->geometry().right());
    // The web address lies in the blanks between "or visit" and "for".
    const QRect gapFrom = drawnAt(contact, visit);
    const QRect gapTo = drawnAt(contact, afterGap);
    EXPECT_EQ(web->geometry().top(), gapFrom.top());
    EXPECT_GT(web->geometry().left(), gapFrom.left());
    EXPECT_LT(web->geometry().right(), gapTo.left());
    for (QLabel* link : {mail, web})
        EXPECT_GE(link->width(), link->fontMetrics().horizontalAdvance(link->text()));

    auto moveOver = [](QWidget* widget) {
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    };
    EXPECT_FALSE(mail->font().underline());
    EXPECT_FALSE(web->font().underline());
    moveOver(mail);
    EXPECT_TRUE(mail->font().underline());
    EXPECT_FALSE(web->font().underline());
    moveOver(contact);
    EXPECT_FALSE(mail->font().underline());
    moveOver(web);
    EXPECT_TRUE(web->font().underline());
    EXPECT_FALSE(mail->font().underline());
    // Placing the links again keeps the highlight as the wizard has it.
    rig.window.sync();
    EXPECT_TRUE(web->font().underline());
}

TEST(WizardWindowToolBox, ButtonsShowTheirIconUnstretchedWithTheCaptionBeside) {
    WindowRig rig;
    rig.wizard.elements().ButtonImage = {1, 3, 12, 14, 16, 23}; // as the program loads them
    rig.wizard.setCurrentPage(8);
    rig.wizard.Change_Page();
    rig.window.sync();
    const QPixmap& released = rig.window.picture(12); // the task manager button's picture
    ASSERT_FALSE(released.isNull());
    QWidget* button = rig.window.childAt(24 + 150, 130 + 17);
    ASSERT_NE(button, nullptr);
    ASSERT_GT(button->width(), released.width() * 2);
    // Drawn on nothing, as the picture itself is.
    QImage shown(button->size(), QImage::Format_ARGB32_Premultiplied);
    shown.fill(Qt::transparent);
    button->render(&shown, QPoint(), QRegion(), QWidget::DrawChildren);
    const QImage icon = released.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // The round icon at the left is drawn pixel for pixel as the picture has it.
    const int side = icon.height();
    const int top = (button->height() - side) / 2;
    int differing = 0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            differing += shown.pixel(x, top + y) != icon.pixel(x, y) ? 1 : 0;
    EXPECT_EQ(differing, 0);
    // And the right end keeps its rounding: its last column is the picture's last column.
    for (int y = 0; y < side; ++y)
        EXPECT_EQ(qAlpha(shown.pixel(button->width() - 1, top + y)),
                  qAlpha(icon.pixel(icon.width() - 1, y)))
            << "row " << y;
}

TEST(WizardWindowDeathTest, YesToTheExitQuestionDuringARunEndsTheProgramAtOnce) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EXIT(closeDuringARunAndAnswerYes(), testing::ExitedWithCode(0), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(WizardWindowDeathTest, NoToTheExitQuestionLetsTheRunGoOn) {
    WindowRig rig;
    int asked = 0;
    rig.window.confirmExit = [&] {
        ++asked;
        return false;
    };
    rig.wizard.elements().windowEnabled = false;
    rig.window.sync();
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
