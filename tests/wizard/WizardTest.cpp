#include "wizard/Wizard.h"

#include "platform/MemorySettingsStore.h"
#include "support/RunRecorder.h"
#include "wizard/SystemLoader.h"

#include <gtest/gtest.h>

namespace vexo {
namespace {

using Page = Wizard::Page;

struct WizardRig {
    WizardRig() {
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
    }
    void type(std::string_view keys) {
        for (const char key : keys)
            wizard.Handle_Key(key);
    }
    void go(Page page) {
        wizard.setCurrentPage(page);
        wizard.Change_Page();
    }
    const std::string& caption(int frameText) const {
        return wizard.elements().FrameText[static_cast<std::size_t>(frameText)].caption;
    }
    bool nextShown() const { return wizard.elements().ButtonVisible[Wizard::NextButton]; }

    AppState state;
    MemorySettingsStore settings;
    Wizard wizard{state, settings};
    std::vector<std::string> log;
};

TEST(WizardPages, WelcomeThenMainMenuClearingEverySelection) {
    WizardRig rig;
    rig.wizard.Change_Page();
    EXPECT_EQ(rig.wizard.elements().PageTitle[0], "Welcome to VexoGAUGE 2002 Edition.");
    EXPECT_FALSE(rig.wizard.elements().ButtonVisible[1]); // no Back
    const std::array<int, 6> released{1, 3, 12, 14, 16, 23};
    EXPECT_EQ(rig.wizard.elements().ButtonImage, released);
    rig.wizard.Button_Down(Wizard::NextButton);
    EXPECT_EQ(rig.wizard.elements().ButtonImage[Wizard::NextButton], 2); // pressed
    rig.state.selections.CPUSelected = True;
    rig.type("N");
    EXPECT_EQ(rig.wizard.elements().ButtonImage, released);
    EXPECT_EQ(rig.wizard.CurrentPage(), Page::MainMenu);
    EXPECT_EQ(rig.state.selections.CPUSelected, False);
    EXPECT_EQ(rig.wizard.elements().PageTitle[0], "VexoGAUGE 2002 Main Menu.");
}

// Keys typed on the main menu: the page they lead to, what they did, and whether the complete
// route is taken.
TEST(WizardPages, TheKeysLeadThroughTheRoutesPastThePagesOfGroupsNotChosen) {
    using Done = std::vector<std::string>;
    const std::vector<std::tuple<const char*, const char*, Page, Done, bool>> routes{
        {"custom without a group: the hidden Next does nothing", "NN", Page::Customize, {}, false},
        {"hardware without Direct3D skips the software and Direct3D pages",
         "NDNCN",
         Page::SystemInformation,
         {},
         false},
        {"and so does Back", "NDNCNB", Page::Hardware, {}, false},
        {"Direct3D kept, its group unchecked: the Direct3D page shows",
         "NDNDBDSNUN",
         Page::Direct3D,
         {},
         false},
        {"complete", "PN", Page::Direct3D, {}, true},
        {"complete, and Back to the menu", "PNB", Page::MainMenu, {}, false},
        {"the browser, by Back as by Next", "RB", Page::MainMenu, {"browser"}, false},
        {"loading a file", "LN", Page::MainMenu, {"browser", "load"}, false},
        {"the homepage", "VN", Page::MainMenu, {"homepage"}, false}};
    for (const auto& [name, keys, page, done, complete] : routes) {
        SCOPED_TRACE(name);
        WizardRig rig;
        rig.go(Page::MainMenu);
        rig.type(keys);
        EXPECT_EQ(rig.wizard.CurrentPage(), page);
        EXPECT_EQ(rig.log, done);
        EXPECT_EQ(rig.wizard.CompleteBenchmark(), complete);
        EXPECT_EQ(rig.state.selections.ImagingSelected, complete ? True : False);
    }
}

TEST(WizardPages, RunPageDisablesTheWindowThenShowsTheScoreCard) {
    WizardRig rig;
    rig.go(Page::Ready);
    rig.type("N");
    EXPECT_EQ(rig.wizard.CurrentPage(), Page::Run);
    EXPECT_EQ(rig.log.back(), "run Kestrovia VexoGAUGE 2002 Edition (Window Disabled) disabled");
    const WizardElements& e = rig.wizard.elements();
    EXPECT_TRUE(e.windowEnabled);
    EXPECT_EQ(e.windowTitle, "Kestrovia VexoGAUGE 2002 Edition");
    EXPECT_FALSE(e.ButtonVisible[5]); // Help stays hidden after the run
    EXPECT_EQ(rig.caption(54), "Your system throttling took: 4 tries to stabilize.");
    EXPECT_EQ(rig.caption(55), "FPU(SPFP): 12 VexoGAUGEs\r");
    rig.type("H"); // the key still opens help
    EXPECT_EQ(rig.log.back(), "help");
    rig.type("N");
    EXPECT_EQ(rig.wizard.CurrentPage(), Page::ScoreCard);
    EXPECT_FALSE(e.ButtonVisible[1]);
    rig.type("N");
    EXPECT_EQ(rig.wizard.CurrentPage(), Page::MainMenu);
}

// The saved-file line says what the save really did, and where.
TEST(WizardPages, TheScoreCardsFileLineFollowsTheSave) {
    for (const auto& [outcome, folder, shown] :
         std::vector<std::tuple<RunOutcome, std::string, std::string>>{
             {RunOutcome::Saved, "/opt/vexo/",
              "Saved Into File: last benchmark.vgf (application path)"},
             {RunOutcome::Saved, "/home/ann/.local/share/vexogauge/",
              "Saved Into File: last benchmark.vgf (/home/ann/.local/share/vexogauge/)"},
             {RunOutcome::Saved, "/home/R&D/", "Saved Into File: last benchmark.vgf (/home/R&&D/)"},
             {RunOutcome::NotSaved, "/opt/vexo/",
              "Not Saved: the file last benchmark.vgf could not be written (application path)"},
             {RunOutcome::NothingMeasured, "",
              "Not Saved: nothing was measured, so no file was replaced"},
             {RunOutcome::NoName, "", "Not Saved: no name was given"}}) {
        WizardRig rig;
        rig.state.folders.AppFolder = "/opt/vexo/";
        rig.state.run.outcome = outcome;
        rig.state.run.resultFile = folder.empty() ? "" : folder + "last benchmark.vgf";
        rig.wizard.Show_Score_Card();
        EXPECT_EQ(rig.caption(53), "Benchmark " + shown);
    }
}

// The arrow pressed (6: none, a refresh only) and the three captions it leaves; a stored value
// out of range keeps its caption until the arrows bring it into the range.
TEST(WizardOptions, ArrowsStepAndWrapEachOptionAndAValueOutOfRangeKeepsItsCaption) {
    WizardRig rig;
    const auto options = [&rig] {
        return rig.caption(40) + "|" + rig.caption(41) + "|" + rig.caption(42);
    };
    EXPECT_EQ(rig.caption(41), "16 bit"); // before the first refresh
    const std::pair<int, const char*> arrows[] = {
        {6, "640x480|16 Bit|Low"}, {0, "1600x1200|16 Bit|Low"}, {1, "640x480|16 Bit|Low"},
        {2, "640x480|32 Bit|Low"}, {3, "640x480|16 Bit|Low"},   {4, "640x480|16 Bit|High"},
        {5, "640x480|16 Bit|Low"}};
    for (const auto& [arrow, shown] : arrows) {
        rig.wizard.Change_DX_Option(arrow);
        EXPECT_EQ(options(), shown) << "arrow " << arrow;
    }
    EXPECT_EQ(rig.state.selections.ScreenResolution, 0);

    rig.settings.save(kSettingsApplication, "DXSetup", "DXRez", "7");
    rig.settings.save(kSettingsApplication, "DXSetup", "DXCol", "two");
    EXPECT_FALSE(rig.wizard.Load_DX_Settings()); // "two" is not a number
    EXPECT_EQ(rig.state.selections.ScreenColorDepth, 0);
    for (const auto& [arrow, resolution, shown] : std::vector<std::tuple<int, int, std::string>>{
             {6, 7, "640x480"}, {0, 6, "640x480"}, {0, 5, "640x480"}, {0, 4, "1600x1200"}}) {
        rig.wizard.Change_DX_Option(arrow);
        EXPECT_EQ(rig.state.selections.ScreenResolution, resolution);
        EXPECT_EQ(rig.caption(40), shown) << "resolution " << resolution;
    }
    WizardRig empty;
    EXPECT_TRUE(empty.wizard.Load_DX_Settings());
    EXPECT_EQ(empty.state.selections.TextureQuality, 0);
    EXPECT_TRUE(empty.settings.values.empty()); // reading writes nothing
}

TEST(WizardSelections, NextShowsOnlyWithASelectionOnThePageAndOneMainMenuOptionIsShown) {
    WizardRig rig;
    rig.wizard.Toggle_Check(1);
    EXPECT_TRUE(rig.nextShown());
    EXPECT_EQ(rig.state.selections.FPUSelected, True);
    EXPECT_EQ(rig.wizard.elements().CheckImage[1], WizardPicture::Checked);
    rig.wizard.Toggle_Check(1);
    EXPECT_FALSE(rig.nextShown());
    EXPECT_EQ(rig.wizard.elements().CheckImage[1], WizardPicture::NotChecked);
    rig.wizard.Toggle_Check(6);
    EXPECT_TRUE(rig.nextShown());
    rig.wizard.Check_Next_Button("SWChk");
    EXPECT_FALSE(rig.nextShown());
    // Unchecking a group leaves its benchmarks as they were.
    rig.wizard.Toggle_Check(3);
    rig.wizard.Toggle_Check(6);
    EXPECT_EQ(rig.state.selections.SpreadsheetSelected, True);

    rig.wizard.Select_Option(3);
    EXPECT_EQ(rig.wizard.MainMenuChoice(), 3);
    const int off = WizardPicture::OptionNotSelected;
    EXPECT_EQ(rig.wizard.elements().OptionImage,
              (std::array{off, off, off, WizardPicture::OptionSelected, off}));
}

TEST(WizardSelections, RunPagePicturesFollowTheBenchmarkFlagsOnly) {
    WizardRig rig;
    rig.state.selections.HardwareSelected = True;
    rig.state.selections.SpreadsheetSelected = True; // its group is not chosen
    rig.wizard.Show_Bench_Selection();
    EXPECT_EQ(rig.wizard.elements().BenchImage[2], WizardPicture::GroupWillNotRun);
    EXPECT_EQ(rig.wizard.elements().BenchImage[3], WizardPicture::GroupWillRun);
    rig.wizard.Clear_Selections();
    EXPECT_EQ(rig.state.selections.SpreadsheetSelected, False);
    EXPECT_EQ(rig.state.selections.HardwareSelected, False);
}

TEST(SystemLoader, TriesTheCandidatesInOrderAndWithoutOneSaysSorryWithTheToolsText) {
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    std::vector<std::string> tried;
    std::string works = "kinfocenter"; // the one program that starts
    SystemLoader loader{[&](const std::string& program, const std::vector<std::string>& args) {
                            std::string line = program;
                            for (const std::string& a : args)
                                line += " " + a;
                            tried.push_back(line);
                            return program == works;
                        },
                        "https://kestrovia.example/vexogauge"};
    EXPECT_TRUE(loader.Run_MSInfo());
    EXPECT_EQ(tried, (std::vector<std::string>{"hardinfo2", "hardinfo", "kinfocenter"}));

    works.clear();
    tried.clear();
    for (const Status& launched :
         {loader.Run_DXDiag(), loader.Open_Homepage(), loader.Run_MSInfo()})
        showLaunchFailure(dialogs, launched);
    std::vector<std::string> said;
    for (const auto& message : dialogs.messages)
        said.push_back(message.title + " " + std::to_string(message.style) + ": " + message.text);
    EXPECT_EQ(said,
              (std::vector<std::string>{
                  "Sorry 48: Cant find a terminal to show the graphics information in? Install "
                  "one, for example the package xterm; the information comes from glxinfo, in the "
                  "package mesa-utils.",
                  "Sorry 48: Cant open the homepage? xdg-open, in the package xdg-utils, opens it "
                  "in the desktop's web browser: install it and a web browser.",
                  "Sorry 48: Cant find a system information program? Install one, for example the "
                  "package hardinfo or gnome-system-monitor."}));
    ASSERT_GE(tried.size(), 3u);
    EXPECT_EQ(tried[0].rfind("x-terminal-emulator -e sh -c glxinfo -B", 0), 0u) << tried[0];
    EXPECT_EQ(tried[1].rfind("xterm -e sh -c glxinfo -B", 0), 0u) << tried[1];
    EXPECT_EQ(tried[2], "xdg-open https://kestrovia.example/vexogauge");
}

} // namespace
} // namespace vexo
