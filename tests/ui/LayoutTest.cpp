// Every page of the wizard, the task manager and the result browser, looked at as a person
// would: no caption shows an "&", every text is whole in its element at the default font, and
// no element lies on another unless the window stacks them on purpose.
#include "benchfile/BenchmarkFile.h"
#include "browser/ui/ResultWindow.h"
#include "platform/MemorySettingsStore.h"
#include "support/FakeDesktop.h"
#include "support/LayoutChecks.h"
#include "support/RunRecorder.h"
#include "support/ShownTexts.h"
#include "support/TempFolder.h"
#include "taskman/ui/AtmWindow.h"
#include "wizard/ui/WizardWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace vexo {
namespace {

std::string joined(const std::vector<std::string>& faults) {
    std::string all;
    for (const std::string& fault : faults)
        all += "\n  " + fault;
    return all;
}

TEST(LayoutChecks, FindStrayAmpersandsCutTextsAndElementsOnOneAnother) {
    QWidget window;
    window.resize(300, 250);
    auto* clean = new QPushButton(QStringLiteral("&Next"), &window);
    clean->setGeometry(10, 10, 120, 30);
    EXPECT_EQ(test::layoutFaults(window), std::vector<std::string>{});

    auto* doubled = new QPushButton(QStringLiteral("Save && Exit"), &window);
    doubled->setGeometry(10, 50, 120, 30);
    auto* cut = new QLabel(QStringLiteral("A caption far too long for its little box"), &window);
    cut->setGeometry(10, 90, 60, 20);
    auto* lying = new QCheckBox(QStringLiteral("&Quiet"), &window);
    lying->setGeometry(100, 20, 100, 20); // over the first button
    auto* plain = new QLabel(QStringLiteral("Screen &Resolution:"), &window);
    plain->setGeometry(10, 130, 280, 20);
    window.show();

    const std::vector<std::string> faults = test::layoutFaults(window);
    const std::string all = joined(faults);
    EXPECT_NE(all.find("\"Save & Exit\" shows an ampersand"), std::string::npos) << all;
    EXPECT_NE(all.find("\"Screen &Resolution:\" shows an ampersand"), std::string::npos) << all;
    EXPECT_NE(all.find("\"A caption far too long for its little box\" is cut at the side"),
              std::string::npos)
        << all;
    EXPECT_NE(all.find("\"Quiet\" lies on QPushButton \"Next\""), std::string::npos) << all;
    EXPECT_EQ(faults.size(), 4u) << all;

    // The same label with an element to take its access key draws no "&".
    plain->setBuddy(lying);
    lying->move(140, 170);
    doubled->setText(QStringLiteral("Save &Exit"));
    cut->resize(280, 20);
    EXPECT_EQ(test::layoutFaults(window), std::vector<std::string>{});

    // An element drawing its own caption says where it stands; the caption must fit there.
    auto* drawn = new QWidget(&window);
    drawn->setGeometry(10, 210, 200, 30);
    drawn->setAccessibleName(QStringLiteral("Direct Diagnostics"));
    drawn->setProperty("captionArea", QRect(30, 0, 40, 30));
    drawn->show();
    const std::string narrow = joined(test::layoutFaults(window));
    EXPECT_NE(narrow.find("\"Direct Diagnostics\" does not fit beside its picture"),
              std::string::npos)
        << narrow;
    drawn->setProperty("captionArea", QRect(30, 0, 170, 30));
    EXPECT_EQ(test::layoutFaults(window), std::vector<std::string>{});

    // Stacked on purpose, when the window says so.
    lying->move(100, 20);
    EXPECT_EQ(test::layoutFaults(window,
                                 [](const QWidget& lower, const QWidget& upper) {
                                     return lower.inherits("QPushButton") &&
                                            upper.inherits("QCheckBox");
                                 }),
              std::vector<std::string>{});
}

// The wizard draws every page on its full-size background picture; the cover that blocks input
// during a run lies over the whole page; the welcome page's links lie over its contact text; the
// keyboard's focus mark lies around the focused element.
bool wizardStacking(const QWidget& lower, const QWidget& upper) {
    const QRect page = lower.parentWidget()->rect();
    return lower.objectName() == "Background" || upper.geometry() == page ||
           upper.objectName() == "FocusMark" ||
           (lower.objectName() == "FrameText2" && upper.objectName().startsWith("LinkText"));
}

struct WizardRig {
    WizardRig() {
        wizard.elements().ButtonImage = {1, 3, 12, 14, 16, 23}; // as the program loads them
        wizard.Set_Credits_Text();
        wizard.Change_Page();
        window.sync();
        window.show();
    }
    void type(const QString& keys) {
        for (QChar key : keys)
            QTest::keyClick(&window, static_cast<Qt::Key>(key.unicode()));
    }
    // The captions of the visible elements that draw their own, sorted.
    QStringList drawnCaptions() const {
        QStringList captions;
        for (const QWidget* widget : window.findChildren<QWidget*>())
            if (widget->isVisibleTo(&window) && widget->property("captionArea").isValid())
                captions << widget->accessibleName();
        captions.sort();
        return captions;
    }
    void expectLooksRight(const char* route) {
        EXPECT_EQ(test::layoutFaults(window, wizardStacking), std::vector<std::string>{})
            << route << " route, page " << wizard.CurrentPage();
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
    for (const double font : {1.0, 1.5}) {
        SCOPED_TRACE(testing::Message() << "font at " << font << " times its size");
        const DesktopFont desktopFont{font};
        WizardRig rig; // the custom route with every group and benchmark chosen
        const std::vector<std::pair<int, QString>> steps{{1, "N"},    {2, "CN"},   {3, "SDN"},
                                                         {4, "CFDN"}, {5, "SUIN"}, {6, "N"},
                                                         {7, "N"},    {8, "N"}};
        for (const auto& [page, keys] : steps) {
            ASSERT_EQ(rig.wizard.CurrentPage(), page);
            rig.expectLooksRight("custom");
            if (font == 1.0) { // the design's height holds every page at the normal font
                EXPECT_LE(rig.window.height(), 480) << "page " << page;
            }
            if (page == 8) { // the tool box: its buttons' captions are among those checked
                EXPECT_EQ(rig.drawnCaptions(),
                          (QStringList{"ATM (Advanced Task Manager)", "Back", "DirectX Diagnostics",
                                       "Help", "Microsoft ® Windows System Infomation", "Next"}));
            }
            rig.type(keys);
        }
        ASSERT_EQ(rig.wizard.CurrentPage(), 9);
        rig.expectLooksRight("custom");
    }
    {
        WizardRig rig; // the complete route
        rig.type(QStringLiteral("NP"));
        for (int step = 0; step < 8 && rig.wizard.CurrentPage() < 9; ++step) {
            rig.expectLooksRight("complete");
            rig.type(QStringLiteral("N"));
        }
        ASSERT_EQ(rig.wizard.CurrentPage(), 9);
        rig.expectLooksRight("complete");
    }
}

TEST(WizardLayout, TheRunPageWithTheEnginesLongestLinesAndTheScoreCardLookRight) {
    WizardRig rig;
    rig.wizard.setCurrentPage(10);
    rig.wizard.Change_Page();
    rig.window.sync();
    rig.expectLooksRight("run");
    // The longest lines the engine writes there, as a person reads them during a run.
    const std::vector<std::pair<RunPageView::Line, const char*>> lines{
        {RunPageView::StatusLine, shown::SavedWithSubstitutes},
        {RunPageView::StatusLine, shown::Direct3DSkippedLongest},
        {RunPageView::EstimateLine, shown::ThrottleEstimate},
        {RunPageView::DescriptionLine, shown::ThrottleDescription},
        {RunPageView::DescriptionLine, shown::RamDescription},
        {RunPageView::DescriptionLine, shown::ImagingDescription},
    };
    for (const auto& [line, text] : lines) {
        rig.wizard.setLine(line, text);
        EXPECT_EQ(test::layoutFaults(rig.window, wizardStacking), std::vector<std::string>{})
            << "run page with " << text;
    }

    rig.state.run.ThrottleTries = 12;
    rig.state.scores = {123456, 98765, 4321, 8765, 240, 54321, 65432, 76543};
    rig.wizard.Show_Score_Card();
    rig.wizard.setCurrentPage(11);
    rig.wizard.Change_Page();
    rig.window.sync();
    rig.expectLooksRight("score card");
}

struct AtmRig {
    AtmRig() {
        desktop.open("Hidden helper", 0);
        desktop.open("Editor");
        desktop.open("A terminal whose title runs on far longer than any list column would be");
        window.load();
        window.show();
    }
    test::FakeWindowSystem desktop;
    test::MemorySettings settings;
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    test::FakeFileDialogs files;
    test::CountingPump pump{log};
    AtmWindow window{{desktop, settings, dialogs, files, files, pump}, VEXO_BUILD_APP_FOLDER "/"};
};

TEST(TaskManagerLayout, BothViewsLookRightAtTheirDefaultAndSmallestSize) {
    AtmRig rig;
    auto* tabs = rig.window.findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    const QSize sizes[] = {rig.window.size(), rig.window.minimumSize()};
    for (const QSize size : sizes) {
        rig.window.resize(size);
        for (int view = 0; view < tabs->count(); ++view) {
            tabs->setCurrentIndex(view);
            QApplication::processEvents();
            EXPECT_EQ(test::layoutFaults(rig.window), std::vector<std::string>{})
                << "view " << view << " at " << size.width() << "x" << size.height();
        }
    }
}

class NoLockKeys final : public KeyboardLocks {
public:
    std::optional<LockKeys> lockKeys() override { return LockKeys{true, false}; }
};

struct BrowserRig {
    BrowserRig() {
        const std::string path = folder.path("runs.vgf");
        EXPECT_TRUE(benchfile::saveBenchmarkFile(path, ">>:Office desktop||BMCPUh=10:;:;"
                                                       ">>:Office desktop||BMCPUh=9:;:;"
                                                       ">>:Games machine||BMCPUh=70:;:;"));
        window.show();
        files.answers.push_back(path);
        window.run([this] { window.model().ImportMenu_Click(); });
    }
    test::TempFolder folder;
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    test::FakeFileDialogs files;
    NoLockKeys locks;
    ResultWindow window{
        {dialogs, files}, locks, VEXO_BUILD_APP_FOLDER "/", folder.folder().string() + "/"};
};

TEST(BrowserLayout, EveryModeLooksRightAtTheDefaultAndTheSmallestSize) {
    BrowserRig rig;
    const QSize sizes[] = {rig.window.size(), rig.window.minimumSize()};
    for (const QSize size : sizes) {
        rig.window.resize(size);
        for (const BrowserMode mode :
             {BrowserMode::Platform, BrowserMode::Tasks, BrowserMode::Scores}) {
            rig.window.run([&] { rig.window.model().pressMode(mode); });
            QApplication::processEvents();
            EXPECT_EQ(test::layoutFaults(rig.window), std::vector<std::string>{})
                << "mode " << static_cast<int>(mode) << " at " << size.width() << "x"
                << size.height();
        }
    }
}

} // namespace
} // namespace vexo
