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
              "Cant find a terminal to show the graphics information in? Install one, for example "
              "the package xterm; the information comes from glxinfo, in the package mesa-utils.");
    EXPECT_EQ(
        rig.dialogs.messages[1].text,
        "Cant open the homepage? xdg-open, in the package xdg-utils, opens it in the desktop's "
        "web browser: install it and a web browser.");
    EXPECT_EQ(
        rig.dialogs.messages[2].text,
        "Cant find a system information program? Install one, for example the package hardinfo "
        "or gnome-system-monitor.");
    for (const auto& message : rig.dialogs.messages) {
        EXPECT_EQ(message.title, "Sorry");
        EXPECT_EQ(message.style, 48);
    }
    ASSERT_GE(rig.tried.size(), 3u);
    EXPECT_EQ(rig.tried[0].rfind("x-terminal-emulator -e sh -c glxinfo -B", 0), 0u) << rig.tried[0];
    EXPECT_EQ(rig.tried[1].rfind("xterm -e sh -c glxinfo -B", 0), 0u) << rig.tried[1];
    EXPECT_EQ(rig.tried[2], "xdg-open https://kestrovia.example/vexogauge");
}

} // namespace
} // namespace vexo
