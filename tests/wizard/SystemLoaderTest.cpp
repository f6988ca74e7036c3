#include "wizard/SystemLoader.h"

#include "support/RunRecorder.h"

#include <gtest/gtest.h>

namespace vexo {
namespace {

struct LoaderRig {
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    std::vector<std::string> tried;
    std::string works; // the one program that starts
    SystemLoader loader{[this](const std::string& program, const std::vector<std::string>& args) {
                            std::string line = program;
                            for (const std::string& a : args)
                                line += " " + a;
                            tried.push_back(line);
                            return program == works;
                        },
                        dialogs, "https://kestrovia.example/vexogauge"};
};

TEST(SystemLoader, TriesTheCandidatesInOrderAndStopsAtTheFirstThatStarts) {
    LoaderRig rig;
    rig.works = "kinfocenter";
    rig.loader.Run_MSInfo();
    EXPECT_EQ(rig.tried, (std::vector<std::string>{"hardinfo2", "hardinfo", "kinfocenter"}));
    EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST(SystemLoader, NothingToStartSaysSorryWithTheToolsText) {
    LoaderRig rig;
    rig.loader.Run_DXDiag();
    rig.loader.Open_Homepage();
    rig.loader.Run_MSInfo();
    ASSERT_EQ(rig.dialogs.messages.size(), 3u);
    EXPECT_EQ(rig.dialogs.messages[0].text,
              "Cant find DXDiag? Try manually locating it via the start menu or windows explorer?");
    EXPECT_EQ(
        rig.dialogs.messages[1].text,
        "Cant find IExplore? Try manually locating it via the start menu or windows explorer?");
    EXPECT_EQ(
        rig.dialogs.messages[2].text,
        "Cant find Msinfo32? Try manually locating it via the start menu or windows explorer?");
    for (const auto& message : rig.dialogs.messages) {
        EXPECT_EQ(message.title, "Sorry");
        EXPECT_EQ(message.style, 48);
    }
    EXPECT_EQ(rig.tried[3], "xdg-open https://kestrovia.example/vexogauge");
}

} // namespace
} // namespace vexo
