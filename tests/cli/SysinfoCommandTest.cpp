#include "cli/SysinfoCommand.h"

#include "cli/Json.h"
#include "support/FakeSystem.h"
#include "support/RunRecorder.h"
#include "sysinfo/SystemInfo.h"

#include <gtest/gtest.h>
#include <sstream>

namespace vexo {
namespace {

std::string printed(bool json, const std::string& adapter = "Mesa Test Adapter") {
    test::FakeMachine machine;
    machine.graphics.answer.description = adapter;
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    SystemInfo info{{machine.processor, machine.memory, machine.os, machine.graphics}, dialogs};
    std::ostringstream out;
    printSystemInfo(info, json, out);
    return out.str();
}

TEST(SysinfoCommand, PrintsThePageAsTwoAlignedColumns) {
    const std::string text = printed(false);
    EXPECT_EQ(text.substr(0, text.find("\n\n")), "CPU Type:          104 (unknown)\n"
                                                 "CPU Speed:         733 MHz\n"
                                                 "CPU Flags:         MMX=True FPU=True");
    EXPECT_NE(text.find("Graphics Memory:   32 Mb\n"), std::string::npos) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 16);
}

TEST(SysinfoCommand, JsonHasTheFourteenValuesTypedWithEscapedTexts) {
    const std::string text = printed(true, "Quote \" back\\slash \x01");
    EXPECT_NE(text.find(R"("graphics_adapter": "Quote \" back\\slash \u0001")"), std::string::npos)
        << text;
    const json::Json document = json::Json::parse(text);
    EXPECT_EQ(document["command"], "sysinfo");
    const json::Json& system = document["system"];
    ASSERT_EQ(system.size(), 14u);
    EXPECT_EQ(system.begin().key(), "cpu_type");
    EXPECT_EQ(system["cpu_type"], 104);
    EXPECT_EQ(system["graphics_memory_mb"], 32);
}

} // namespace
} // namespace vexo
