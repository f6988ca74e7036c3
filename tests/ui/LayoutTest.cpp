// Every page of the wizard, the task manager, the result browser and the help viewer, looked at
// as a person would: no caption shows an "&", every text is whole in its element at the default
// font, and no element lies on another unless the window stacks them on purpose. Built again for
// a 1280 by 1024 screen scaled by 1.5 and by 2 (VEXO_SCREEN_CONFIG), where every window must also
// open inside the room the screen has for windows and every chart bar must stay reachable.
#include "benchfile/BenchmarkFile.h"
#include "browser/ui/ResultWindow.h"
#include "browser/ui/ScoresChart.h"
#include "help/ui/HelpWindow.h"
#include "platform/MemorySettingsStore.h"
#include "support/FakeDesktop.h"
#include "support/LayoutChecks.h"
#include "support/RunRecorder.h"
#include "support/ShownTexts.h"
#include "support/TempFolder.h"
#include "taskman/ui/AtmWindow.h"
#include "wizard/ui/WizardWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QDebug>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

namespace vexo {
namespace {

using Faults = std::vector<std::string>;

// Shows the window as the program does; on the scaled screen it must stand inside the screen's
// room, its frame included.
void expectInsideTheScreen(QWidget& window) {
    window.show();
#ifdef VEXO_SCREEN_CONFIG
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QRect room = window.screen()->availableGeometry();
    const QRect area = window.frameGeometry();
    EXPECT_TRUE(room.contains(area))
        << (QDebug::toString(area) + " in " + QDebug::toString(room)).toStdString();
#endif
}

// Shows the window; each of its views, shown by show(view), looks right at the window's default
// and its smallest size.
void expectEveryViewLooksRight(QWidget& window, int views, const std::function<void(int)>& show) {
    expectInsideTheScreen(window);
    for (const QSize size : {window.size(), window.minimumSize()}) {
        window.resize(size);
        for (int view = 0; view < views; ++view) {
            show(view);
            QApplication::processEvents();
            EXPECT_EQ(test::layoutFaults(window), Faults{})
                << "view " << view << " at " << size.width() << "x" << size.height();
        }
    }
}

#ifdef VEXO_SCREEN_CONFIG
TEST(ScaledScreen, TheScreenIsScaled) {
    const double scale = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
    EXPECT_GT(scale, 1.0) << "registered without QT_SCALE_FACTOR";
    EXPECT_EQ(QGuiApplication::primaryScreen()->geometry().width(), static_cast<int>(1280 / scale));
}
#endif

// The wizard draws every page on its full-size background picture; the cover that blocks input
// during a run lies over the whole page; the keyboard's focus mark lies around the focused
// element.
bool wizardStacking(const QWidget& lower, const QWidget& upper) {
    const QRect page = lower.parentWidget()->rect();
    return lower.objectName() == "Background" || upper.geometry() == page ||
           upper.objectName() == "FocusMark";
}

struct WizardRig {
    // With a larger desktop font the pages grow below the design, beyond a small screen's room.
    explicit WizardRig(bool designFont = true) {
        wizard.Set_Credits_Text();
        wizard.Change_Page();
        window.sync();
        if (designFont)
            expectInsideTheScreen(window);
        else
            window.show();
    }
    void go(Wizard::Page page) {
        wizard.setCurrentPage(page);
        wizard.Change_Page();
        window.sync();
    }
    // No element lies on another, no text is cut or struck by a line of the background's
    // bands (seen at the window's left edge, where only the background shows), and no text
    // beside a tool takes more than four lines.
    void expectLooksRight(const std::string& where) {
        SCOPED_TRACE(where + ", page " + std::to_string(static_cast<int>(wizard.CurrentPage())));
        EXPECT_EQ(test::layoutFaults(window, wizardStacking), Faults{});
        const QImage shown = window.grab().toImage();
        const double ratio = shown.devicePixelRatio();
        for (const QLabel* text : window.findChildren<QLabel*>())
            for (int y = text->y(); text->isVisible() && !text->text().isEmpty() &&
                                    text->pixmap().isNull() && y <= text->geometry().bottom();
                 ++y)
                EXPECT_LT(shown.pixelColor(1, qRound(y * ratio)).green(), 60)
                    << text->text().toStdString() << " is struck at " << y;
        for (const int tool : {15, 16, 17}) {
            const auto* text = window.findChild<QLabel*>(QStringLiteral("FrameText%1").arg(tool));
            EXPECT_TRUE(!text->isVisible() || text->heightForWidth(text->width()) <=
                                                  4 * text->fontMetrics().lineSpacing())
                << text->text().toStdString();
        }
    }
    AppState state;
    MemorySettingsStore settings;
    Wizard wizard{state, settings};
    WizardWindow window{wizard, VEXO_BUILD_APP_FOLDER "/"};
};

// The desktop's font at `scale` times its size while it lives: texts grow, none is cut.
struct DesktopFont {
    explicit DesktopFont(double scale) {
        QFont font = normal;
        font.setPointSizeF(font.pointSizeF() * scale);
        QApplication::setFont(font);
    }
    ~DesktopFont() { QApplication::setFont(normal); }
    const QFont normal = QApplication::font();
};

TEST(WizardLayout, EveryPageOfBothRoutesLooksRight) {
    // The keys typed on each page: the custom route with every group and benchmark chosen.
    const std::vector<std::pair<const char*, std::vector<const char*>>> routes{
        {"custom", {"N", "CN", "SDN", "CFDN", "SUIN", "N", "N", "N"}},
        {"complete", {"N", "PN", "N", "N", "N"}}};
    for (const double font : {1.0, 1.5})
        for (const auto& [route, steps] : routes) {
            SCOPED_TRACE(testing::Message()
                         << route << " route, font at " << font << " times its size");
            const DesktopFont desktopFont{font};
            WizardRig rig{font == 1.0};
            for (const char* keys : steps) {
                rig.expectLooksRight(route);
                for (const char* key = keys; *key != '\0'; ++key)
                    QTest::keyClick(&rig.window, static_cast<Qt::Key>(*key));
            }
            ASSERT_EQ(rig.wizard.CurrentPage(), Wizard::Page::Ready) << route;
            rig.expectLooksRight(route);
        }
}

TEST(WizardLayout, TheRunPageWithTheEnginesLongestLinesAndTheScoreCardLookRight) {
    WizardRig rig;
    rig.go(Wizard::Page::Run);
    rig.expectLooksRight("run");
    // The longest lines the engine writes there, as a person reads them during a run.
    for (const auto& [line, text] : std::vector<std::pair<RunPageView::Line, const char*>>{
             {RunPageView::StatusLine, shown::SavedWithSubstitutes},
             {RunPageView::StatusLine, shown::Direct3DSkippedLongest},
             {RunPageView::EstimateLine, shown::ThrottleEstimate},
             {RunPageView::DescriptionLine, shown::ThrottleDescription},
             {RunPageView::DescriptionLine, shown::RamDescription},
             {RunPageView::DescriptionLine, shown::ImagingDescription}}) {
        rig.wizard.setLine(line, text);
        rig.expectLooksRight(std::string("run page with ") + text);
    }
    rig.state.run.ThrottleTries = 12;
    rig.state.scores = {123456, 98765, 4321, 8765, 240, 54321, 65432, 76543};
    rig.wizard.Show_Score_Card();
    rig.go(Wizard::Page::ScoreCard);
    rig.expectLooksRight("score card");
}

TEST(HelpLayout, TheHelpViewerLooksRight) {
    std::int16_t topic = 0;
    HelpWindow help{topic, VEXO_BUILD_APP_FOLDER "/"};
    expectEveryViewLooksRight(help, 1, [](int) {});
}

TEST(TaskManagerLayout, BothViewsLookRightAtTheirDefaultAndSmallestSize) {
    test::FakeWindowSystem desktop;
    desktop.open("Hidden helper", 0);
    desktop.open("Editor");
    desktop.open("A terminal whose title runs on far longer than any list column would be");
    test::MemorySettings settings;
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    test::FakeFileDialogs files;
    test::CountingPump pump{log};
    AtmWindow window{{desktop, settings, dialogs, files, files, pump}, VEXO_BUILD_APP_FOLDER "/"};
    window.load();
    auto* tabs = window.findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    expectEveryViewLooksRight(window, tabs->count(),
                              [tabs](int view) { tabs->setCurrentIndex(view); });
}

class NumLockOn final : public KeyboardLocks {
public:
    std::optional<LockKeys> lockKeys() override { return LockKeys{true, false}; }
};

// Every text of the chart whole in its place, beside the bars and the baseline's line, and as
// the bar's tool tip and its cell for assistive tools.
void expectEveryChartTextWhole(ScoresChart& chart, const std::string& where) {
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&chart);
    EXPECT_EQ(table->text(QAccessible::Name).toStdString(),
              "Scores chart: CPU / Cache / FSB, as a percentage of 1. Home PC (5 runs)");
    const QFontMetrics metrics(chart.font());
    for (std::size_t i = 0; i < chart.bars().size(); ++i) {
        SCOPED_TRACE(where + ", bar " + std::to_string(i));
        const QString text = QString::fromStdString(chart.bars()[i].text);
        const QRect room = chart.textRect(i);
        const QRect needed = metrics.boundingRect(
            QRect(room.topLeft(), QSize(room.width(), 1 << 20)), Qt::TextWordWrap, text);
        EXPECT_TRUE(room.contains(needed.translated(0, (room.height() - needed.height()) / 2)))
            << text.toStdString() << " needs " << needed.width() << "x" << needed.height() << " of "
            << room.width() << "x" << room.height();
        EXPECT_TRUE(chart.rect().contains(room) && !room.intersects(chart.barArea()));
        EXPECT_EQ(table->tableInterface()->cellAt(static_cast<int>(i), 1)->text(QAccessible::Name),
                  text);
        QHelpEvent tip(QEvent::ToolTip, room.center(), chart.mapToGlobal(room.center()));
        QApplication::sendEvent(&chart, &tip);
        EXPECT_TRUE(QToolTip::text().contains(text.left(40))) << QToolTip::text().toStdString();
    }
}

TEST(BrowserLayout, EveryModeLooksRightAndEveryChartTextIsWholeAtEverySize) {
    const test::TempFolder folder;
    const std::string path = folder.path("runs.vgf");
    std::string records;
    for (int k = 1; k <= 5; ++k)
        for (const auto& [name, score] :
             {std::pair{"Home PC", 1000 + 10 * k}, {"Office", 800 + 7 * k}})
            records += ">>:" + std::string(name) + " (run " + std::to_string(k) +
                       " of 5)||BMCPUh=" + std::to_string(score) + ":;:;";
    records += ">>:A laptop whose owner gave it a long descriptive name||BMCPUh=12127204:;:;";
    ASSERT_TRUE(benchfile::saveBenchmarkFile(path, records));
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    test::FakeFileDialogs files;
    NumLockOn locks;
    ResultWindow window{
        {dialogs, files}, locks, VEXO_BUILD_APP_FOLDER "/", folder.folder().string() + "/"};
    window.show();
    files.answers.push_back(path);
    window.run([&] { window.model().ImportMenu_Click(); });
    const BrowserMode modes[] = {BrowserMode::Platform, BrowserMode::Tasks, BrowserMode::Scores};
    expectEveryViewLooksRight(
        window, 3, [&](int view) { window.run([&] { window.model().pressMode(modes[view]); }); });
    auto* chart = window.findChild<ScoresChart*>("ScoresChart");
    ASSERT_NE(chart, nullptr);
    window.run([&] { window.model().setBaseline(window.model().scoresRecord(0)); });
    ASSERT_EQ(chart->bars().size(), 3U);
    const QSize wide(window.screen()->availableGeometry().width(), window.height());
    for (const QSize size : {window.minimumSize(), QSize(1000, 640).boundedTo(wide), wide}) {
        window.resize(size);
        QApplication::processEvents();
        expectEveryChartTextWhole(*chart, std::to_string(window.width()) + " wide");
        EXPECT_GE(chart->height(), chart->barRow(2).bottom()); // drawn, if scrolled to
    }
}

} // namespace
} // namespace vexo
