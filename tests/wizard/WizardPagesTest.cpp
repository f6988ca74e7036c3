#include "platform/MemorySettingsStore.h"
#include "wizard/Wizard.h"

#include <gtest/gtest.h>

namespace vexo {
namespace {

struct PageRig {
    PageRig() {
        wizard.commands.showResultBrowser = [this] { log.push_back("browser"); };
        wizard.commands.loadInResultBrowser = [this] { log.push_back("load"); };
        wizard.commands.openHomepage = [this] { log.push_back("homepage"); };
        wizard.commands.showHelp = [this] { log.push_back("help"); };
        wizard.commands.runBenchmark = [this] {
            log.push_back("run " + wizard.elements().windowTitle +
                          (wizard.elements().windowEnabled ? " enabled" : " disabled"));
            state.run.ThrottleTries = 4;
            state.scores.BMFPUh = 12;
        };
        wizard.Change_Page();
    }
    void go(int page) {
        wizard.setCurrentPage(static_cast<std::int16_t>(page));
        wizard.Change_Page();
    }
    bool visible(int frameText) const {
        return wizard.elements().FrameText[static_cast<std::size_t>(frameText)].visible;
    }
    bool next() const { return wizard.elements().ButtonVisible[0]; }

    AppState state;
    MemorySettingsStore settings;
    Wizard wizard{state, settings};
    std::vector<std::string> log;
};

TEST(WizardPages, WelcomeThenMainMenuClearingEverySelection) {
    PageRig rig;
    EXPECT_EQ(rig.wizard.elements().PageTitle[0], "Welcome to VexoGAUGE 2002 Edition.");
    EXPECT_TRUE(rig.visible(0));
    EXPECT_TRUE(rig.next());
    EXPECT_FALSE(rig.wizard.elements().ButtonVisible[1]);
    rig.state.selections.CPUSelected = True;
    rig.wizard.Handle_Key('N');
    EXPECT_EQ(rig.wizard.CurrentPage(), 2);
    EXPECT_EQ(rig.state.selections.CPUSelected, False);
    EXPECT_EQ(rig.wizard.elements().PageTitle[0], "VexoGAUGE 2002 Main Menu.");
    EXPECT_TRUE(rig.visible(33));
}

TEST(WizardPages, HardwareWithoutDirect3DSkipsPagesFiveAndSixBothWays) {
    PageRig rig;
    rig.go(2);
    rig.wizard.Handle_Key('N'); // custom route
    EXPECT_EQ(rig.wizard.CurrentPage(), 3);
    EXPECT_FALSE(rig.next());
    rig.wizard.Handle_Key('N'); // hidden Next: nothing happens
    EXPECT_EQ(rig.wizard.CurrentPage(), 3);
    rig.wizard.Handle_Key('D'); // hardware
    EXPECT_TRUE(rig.next());
    rig.wizard.Handle_Key('N');
    EXPECT_EQ(rig.wizard.CurrentPage(), 4);
    rig.wizard.Handle_Key('C');
    rig.wizard.Handle_Key('N');
    EXPECT_EQ(rig.wizard.CurrentPage(), 7);
    EXPECT_TRUE(rig.visible(51));
    rig.wizard.Handle_Key('B');
    EXPECT_EQ(rig.wizard.CurrentPage(), 4);
}

TEST(WizardPages, CompleteRouteSelectsAllAndBackReturnsToTheMenuCleared) {
    PageRig rig;
    rig.go(2);
    rig.wizard.Handle_Key('P');
    rig.wizard.Handle_Key('N');
    EXPECT_EQ(rig.wizard.CurrentPage(), 6);
    EXPECT_TRUE(rig.wizard.CompleteBenchmark());
    EXPECT_EQ(rig.state.selections.ImagingSelected, True);
    EXPECT_EQ(rig.state.selections.HardwareSelected, True);
    EXPECT_TRUE(rig.visible(40));
    EXPECT_EQ(rig.wizard.elements().FrameText[42].caption, "Low");
    rig.wizard.Handle_Key('B');
    EXPECT_EQ(rig.wizard.CurrentPage(), 2);
    EXPECT_FALSE(rig.wizard.CompleteBenchmark());
    EXPECT_EQ(rig.state.selections.ImagingSelected, False);
}

TEST(WizardPages, AMenuChoiceIsCarriedOutByBackAsByNext) {
    PageRig rig;
    rig.go(2);
    rig.wizard.Handle_Key('R');
    rig.wizard.Handle_Key('B');
    EXPECT_EQ(rig.log, std::vector<std::string>{"browser"});
    EXPECT_EQ(rig.wizard.CurrentPage(), 2);
    rig.wizard.Handle_Key('L');
    rig.wizard.Handle_Key('N');
    EXPECT_EQ(rig.log, (std::vector<std::string>{"browser", "browser", "load"}));
    rig.wizard.Handle_Key('V');
    rig.wizard.Handle_Key('N');
    EXPECT_EQ(rig.log.back(), "homepage");
    EXPECT_EQ(rig.wizard.CurrentPage(), 2);
}

TEST(WizardPages, RunPageDisablesTheWindowThenShowsTheScoreCard) {
    PageRig rig;
    rig.go(9);
    EXPECT_EQ(rig.wizard.elements().ButtonText[0], "Fi&nish");
    rig.wizard.Handle_Key('N');
    EXPECT_EQ(rig.wizard.CurrentPage(), 10);
    EXPECT_EQ(rig.log.back(), "run Kestrovia VexoGAUGE 2002 Edition (Window Disabled) disabled");
    const WizardElements& e = rig.wizard.elements();
    EXPECT_TRUE(e.windowEnabled);
    EXPECT_EQ(e.windowTitle, "Kestrovia VexoGAUGE 2002 Edition");
    EXPECT_FALSE(e.ButtonVisible[5]); // Help stays hidden after the run
    EXPECT_TRUE(e.ButtonVisible[0]);
    EXPECT_EQ(e.FrameText[54].caption, "Your system throttling took: 4 tries to stabilize.");
    EXPECT_EQ(e.FrameText[55].caption, "FPU(SPFP): 12 VexoGAUGEs\r");
    rig.wizard.Handle_Key('H'); // the key still opens help
    EXPECT_EQ(rig.log.back(), "help");
    rig.wizard.Handle_Key('N');
    EXPECT_EQ(rig.wizard.CurrentPage(), 11);
    EXPECT_FALSE(e.ButtonVisible[1]);
    rig.wizard.Handle_Key('N');
    EXPECT_EQ(rig.wizard.CurrentPage(), 2);
    EXPECT_EQ(rig.log.back(), "browser");
}

TEST(WizardPages, Direct3DFlagKeptWhenItsGroupIsUncheckedStillShowsPageSix) {
    PageRig rig;
    rig.go(3);
    rig.wizard.Handle_Key('D');
    rig.wizard.Handle_Key('N');
    rig.wizard.Handle_Key('D'); // Direct3D on page 4
    rig.wizard.Handle_Key('B');
    rig.wizard.Handle_Key('D'); // hardware off
    rig.wizard.Handle_Key('S'); // software on
    rig.wizard.Handle_Key('N');
    EXPECT_EQ(rig.wizard.CurrentPage(), 5);
    rig.wizard.Handle_Key('U');
    rig.wizard.Handle_Key('N');
    EXPECT_EQ(rig.wizard.CurrentPage(), 6);
}

// The saved-file line says what the save really did, and where.
TEST(WizardPages, TheScoreCardsFileLineFollowsTheSave) {
    struct Case {
        const char* name;
        RunOutcome outcome;
        const char* file;
        const char* shown;
    };
    const Case cases[] = {
        {"saved in the installation folder", RunOutcome::Saved, "/opt/vexo/last benchmark.vgf",
         "Benchmark Saved Into File: last benchmark.vgf (application path)"},
        {"saved in the per-user folder", RunOutcome::Saved,
         "/home/ann/.local/share/vexogauge/last benchmark.vgf",
         "Benchmark Saved Into File: last benchmark.vgf (/home/ann/.local/share/vexogauge/)"},
        {"ampersand in the folder", RunOutcome::Saved, "/home/R&D/vexogauge/last benchmark.vgf",
         "Benchmark Saved Into File: last benchmark.vgf (/home/R&&D/vexogauge/)"},
        {"save failed", RunOutcome::NotSaved, "/opt/vexo/last benchmark.vgf",
         "Benchmark Not Saved: the file last benchmark.vgf could not be written (application "
         "path)"},
        {"nothing measured", RunOutcome::NothingMeasured, "",
         "Benchmark Not Saved: nothing was measured, so no file was replaced"},
        {"no name", RunOutcome::NoName, "", "Benchmark Not Saved: no name was given"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PageRig rig;
        rig.state.folders.AppFolder = "/opt/vexo/";
        rig.state.run.outcome = c.outcome;
        rig.state.run.resultFile = c.file;
        rig.wizard.Show_Score_Card();
        EXPECT_EQ(rig.wizard.elements().FrameText[53].caption, c.shown);
    }
}

TEST(WizardLinks, OneLinkIsUnderlinedWhileThePointerIsOverIt) {
    PageRig rig;
    const auto& underlined = rig.wizard.elements().LinkUnderlined;
    using Pair = std::array<bool, 2>;
    EXPECT_EQ(underlined, (Pair{false, false}));
    rig.wizard.Highlight_Link(1);
    EXPECT_EQ(underlined, (Pair{false, true}));
    // Straight onto the other link without touching the text between: the first stays.
    rig.wizard.Highlight_Link(0);
    EXPECT_EQ(underlined, (Pair{false, true}));
    rig.wizard.Clear_Link_Highlight();
    EXPECT_EQ(underlined, (Pair{false, false}));
    rig.wizard.Highlight_Link(0);
    EXPECT_EQ(underlined, (Pair{true, false}));
    rig.wizard.Highlight_Link(2); // no such link
    rig.wizard.Highlight_Link(-1);
    EXPECT_EQ(underlined, (Pair{true, false}));
    EXPECT_TRUE(rig.log.empty()); // moving the pointer opens nothing
}

} // namespace
} // namespace vexo
