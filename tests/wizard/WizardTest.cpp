#include "wizard/Wizard.h"

#include "platform/MemorySettingsStore.h"

#include <gtest/gtest.h>

namespace vexo {
namespace {

struct WizardRig {
    AppState state;
    MemorySettingsStore settings;
    Wizard wizard{state, settings};

    std::string caption(int index) const {
        return wizard.elements().FrameText[static_cast<std::size_t>(index)].caption;
    }
    bool nextShown() const { return wizard.elements().ButtonVisible[Wizard::NextButton]; }
};

TEST(WizardOptions, ArrowsStepAndWrapEachOption) {
    WizardRig rig;
    EXPECT_EQ(rig.caption(40), "640x480");
    EXPECT_EQ(rig.caption(41), "16 bit"); // before the first refresh
    rig.wizard.Change_DX_Option(6);       // refresh only
    EXPECT_EQ(rig.caption(41), "16 Bit");
    EXPECT_EQ(rig.caption(42), "Low");
    rig.wizard.Change_DX_Option(0);
    EXPECT_EQ(rig.caption(40), "1600x1200");
    EXPECT_EQ(rig.state.selections.ScreenResolution, 4);
    rig.wizard.Change_DX_Option(1);
    EXPECT_EQ(rig.caption(40), "640x480");
    rig.wizard.Change_DX_Option(2);
    EXPECT_EQ(rig.caption(41), "32 Bit");
    rig.wizard.Change_DX_Option(3);
    EXPECT_EQ(rig.caption(41), "16 Bit");
    rig.wizard.Change_DX_Option(4);
    EXPECT_EQ(rig.caption(42), "High");
    rig.wizard.Change_DX_Option(5);
    EXPECT_EQ(rig.caption(42), "Low");
}

TEST(WizardOptions, AStoredValueOutOfRangeKeepsItsCaptionUntilItMeetsTheRange) {
    WizardRig rig;
    rig.settings.save(kSettingsApplication, "DXSetup", "DXRez", "7");
    rig.settings.save(kSettingsApplication, "DXSetup", "DXCol", "two");
    EXPECT_FALSE(rig.wizard.Load_DX_Settings()); // "two" is not a number
    EXPECT_EQ(rig.state.selections.ScreenResolution, 7);
    EXPECT_EQ(rig.state.selections.ScreenColorDepth, 0);
    rig.wizard.Change_DX_Option(6);
    EXPECT_EQ(rig.caption(40), "640x480");
    rig.wizard.Change_DX_Option(0);
    rig.wizard.Change_DX_Option(0);
    EXPECT_EQ(rig.state.selections.ScreenResolution, 5);
    EXPECT_EQ(rig.caption(40), "640x480");
    rig.wizard.Change_DX_Option(0);
    EXPECT_EQ(rig.caption(40), "1600x1200");

    WizardRig empty;
    EXPECT_TRUE(empty.wizard.Load_DX_Settings());
    EXPECT_EQ(empty.state.selections.TextureQuality, 0);
    EXPECT_TRUE(empty.settings.values.empty()); // reading writes nothing
}

TEST(WizardSelections, NextShowsOnlyWithASelectionOnThePage) {
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
    rig.wizard.Check_Next_Button("other");
    EXPECT_FALSE(rig.nextShown());
    // Unchecking a group leaves its benchmarks as they were.
    rig.wizard.Toggle_Check(3);
    rig.wizard.Toggle_Check(6);
    EXPECT_EQ(rig.state.selections.SpreadsheetSelected, True);
}

TEST(WizardSelections, MainMenuShowsExactlyOneOption) {
    WizardRig rig;
    rig.wizard.Select_Option(3);
    EXPECT_EQ(rig.wizard.MainMenuChoice(), 3);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(rig.wizard.elements().OptionImage[static_cast<std::size_t>(i)],
                  i == 3 ? WizardPicture::OptionSelected : WizardPicture::OptionNotSelected);
    EXPECT_EQ(std::string(Wizard::optionCaptions()[1]), "&Perform a New Complete Benchmark");
    EXPECT_EQ(std::string(Wizard::checkCaptions()[4]),
              "B&usiness Application Benchmark (Emulation)");
}

TEST(WizardSelections, RunPagePicturesFollowTheBenchmarkFlagsOnly) {
    WizardRig rig;
    rig.state.selections.HardwareSelected = True;
    rig.state.selections.SpreadsheetSelected = True; // its group is not chosen
    rig.wizard.Show_Bench_Selection();
    const auto& pictures = rig.wizard.elements().BenchImage;
    EXPECT_EQ(pictures[2], WizardPicture::GroupWillNotRun);
    EXPECT_EQ(pictures[3], WizardPicture::GroupWillRun);
    rig.wizard.Clear_Selections();
    EXPECT_EQ(rig.state.selections.SpreadsheetSelected, False);
    EXPECT_EQ(rig.state.selections.HardwareSelected, False);
}

} // namespace
} // namespace vexo
