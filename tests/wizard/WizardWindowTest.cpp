#include "wizard/ui/WizardWindow.h"

#include "platform/MemorySettingsStore.h"

#include <QKeyEvent>
#include <QLabel>
#include <QTest>
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

TEST(WizardWindow, TheEnginesLinesAndPicturesShowAtOnce) {
    WindowRig rig;
    rig.window.setFrameText(RunPageView::StatusLine, "Status: Benchmark Complete");
    rig.window.setBenchImage(1, RunPageView::GroupDonePicture);
    EXPECT_EQ(rig.wizard.elements().FrameText[23].caption, "Status: Benchmark Complete");
    EXPECT_EQ(rig.wizard.elements().BenchImage[1], RunPageView::GroupDonePicture);
    EXPECT_FALSE(rig.window.picture(RunPageView::GroupDonePicture).isNull());
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

} // namespace
} // namespace vexo
