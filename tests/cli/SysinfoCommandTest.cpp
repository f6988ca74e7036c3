#include "cli/SysinfoCommand.h"

#include "cli/Json.h"
#include "support/FakeSystem.h"
#include "support/RunRecorder.h"
#include "sysinfo/SystemInfo.h"

#include <gtest/gtest.h>
#include <sstream>

namespace vexo {
namespace {

struct SysinfoRig {
    test::FakeMachine machine;
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    SystemInfo info{{machine.processor, machine.memory, machine.os, machine.graphics}, dialogs};

    std::string print(bool json) {
        std::ostringstream out;
        printSystemInfo(info, json, out);
        return out.str();
    }
};

TEST(SysinfoCommand, PrintsThePageAsTwoAlignedColumns) {
    SysinfoRig rig;
    const std::string text = rig.print(false);
    EXPECT_EQ(text.substr(0, text.find('\n', text.find('\n') + 1) + 1),
              "CPU Type:          104 (unknown)\n"
              "CPU Speed:         733 MHz\n");
    EXPECT_NE(text.find("\n\nMemory Load:       37%\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Graphics Memory:   32 Mb\n"), std::string::npos) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 16);
}

TEST(SysinfoCommand, JsonHasTheFourteenValuesTypedWithEscapedTexts) {
    SysinfoRig rig;
    rig.machine.graphics.answer.description = "Quote \" back\\slash \x01";
    const std::string text = rig.print(true);
    EXPECT_NE(text.find(R"("graphics_adapter": "Quote \" back\\slash \u0001")"), std::string::npos)
        << text;
    const json::Json document = json::Json::parse(text);
    EXPECT_EQ(document["schema"], 1);
    EXPECT_EQ(document["command"], "sysinfo");
    const json::Json& system = document["system"];
    ASSERT_EQ(system.size(), 14u);
    EXPECT_EQ(system.begin().key(), "cpu_type");
    EXPECT_EQ(system["cpu_type"], 104);
    EXPECT_EQ(system["graphics_memory_mb"], 32);
    EXPECT_TRUE(system["cpu_fpu"].is_boolean());
}

} // namespace
} // namespace vexo
