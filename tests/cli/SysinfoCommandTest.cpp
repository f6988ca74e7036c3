#include "cli/SysinfoCommand.h"

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

TEST(SysinfoCommand, JsonHasTheFourteenKeysInOrderWithEscapedValues) {
    SysinfoRig rig;
    rig.machine.graphics.answer.description = "Quote \" back\\slash \x01";
    const std::string json = rig.print(true);
    EXPECT_EQ(json.substr(0, 20), "{\n  \"CPUT\": \"104\",\n ");
    EXPECT_NE(json.find("\"GRA_Dev\": \"Quote \\\" back\\\\slash \\u0001\",\n"), std::string::npos)
        << json;
    EXPECT_NE(json.find("\"GRA_Mem\": \"32\"\n}\n"), std::string::npos) << json;
    std::size_t last = 0;
    for (const char* key : {"\"CPUT\"", "\"CPUS\"", "\"CPUMMX\"", "\"CPUFPU\"", "\"MEMLoad\"",
                            "\"MEMTot\"", "\"MEMFree\"", "\"MEMVirt\"", "\"OSMajr\"", "\"OSMinr\"",
                            "\"OSClass\"", "\"OSBuild\"", "\"GRA_Dev\"", "\"GRA_Mem\""}) {
        const std::size_t at = json.find(key);
        ASSERT_NE(at, std::string::npos) << key;
        EXPECT_GT(at, last) << key;
        last = at;
    }
}

} // namespace
} // namespace vexo
