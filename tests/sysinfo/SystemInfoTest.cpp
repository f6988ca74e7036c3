#include "sysinfo/SystemInfo.h"

#include "support/FakeSystem.h"
#include "support/RunRecorder.h"
#include "sysinfo/SystemPage.h"

#include <gtest/gtest.h>

namespace vexo {
namespace {

using test::FakeMachine;

struct InfoRig {
    FakeMachine machine;
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    SystemInfo info{{machine.processor, machine.memory, machine.os, machine.graphics}, dialogs};
};

TEST(ProcessorValues, CompositeTypeFromModelTypeAndFamily) {
    struct Case {
        int family, model, type, expected;
    };
    for (const Case& c : {Case{6, 8, 0, 104}, Case{15, 2, 0, 242}, Case{5, 4, 1, 340},
                          Case{6, 0, 0, 96}, Case{4, 15, 3, 847}}) {
        InfoRig rig;
        rig.machine.processor.identify(c.family, c.model, c.type);
        EXPECT_EQ(rig.info.Get_CPU_Type(), c.expected) << c.family << "/" << c.model;
    }
}

// Bits 12 and 13 hold the type and 4 to 7 the model; the high bits beyond the type are ignored.
TEST(ProcessorValues, SignatureTypeAndModelBits) {
    InfoRig rig;
    for (const auto& [signature, type, model] :
         {std::tuple{0x2000, 2, 0}, {0x1000, 1, 0}, {0xF00F, 3, 0}, {0x06A5, 0, 10}}) {
        rig.machine.processor.signatureValue = static_cast<std::uint16_t>(signature);
        EXPECT_EQ(rig.info.Get_Signature_Type(), type) << signature;
        EXPECT_EQ(rig.info.Get_Signature_Model(), model) << signature;
    }
}

TEST(ProcessorValues, TestBitCoversBits0To31Only) {
    EXPECT_TRUE(SystemInfo::Test_Bit(static_cast<std::int32_t>(0x80000000U), 31));
    EXPECT_FALSE(SystemInfo::Test_Bit(static_cast<std::int32_t>(0x80000000U), 30));
    EXPECT_FALSE(SystemInfo::Test_Bit(-1, 32));
    EXPECT_FALSE(SystemInfo::Test_Bit(-1, -1));
    EXPECT_TRUE(SystemInfo::Test_Bit(1, 0));
}

TEST(ProcessorValues, FeatureFlags) {
    InfoRig rig;
    for (const auto& [features, mmx, fpu] :
         {std::tuple{0x00800001U, true, true}, {0x00000001U, false, true}, {0U, false, false}}) {
        rig.machine.processor.featureValue = features;
        EXPECT_EQ(rig.info.Has_MMX(), mmx) << features;
        EXPECT_EQ(rig.info.Has_FPU(), fpu) << features;
    }
}

// Whole megabytes round down and need no 32-bit limit.
TEST(TextForms, WholeMegabytes) {
    EXPECT_EQ(wholeMegabytes(8'388'607ULL), "7");
    EXPECT_EQ(wholeMegabytes(0), "0");
    EXPECT_EQ(wholeMegabytes(68'719'476'736ULL), "65536");
}

// The version reads major.minor as a number; the name comes from the platform and version.
TEST(WindowsVersions, TextAndName) {
    const struct {
        int major, minor, platform;
        const char *text, *name;
    } rows[] = {
        {5, 1, 2, "5.10", "Windows XP"},  {5, 0, 2, "5.00", "Windows 2000"},
        {4, 90, 1, "4.90", "Windows ME"}, {4, 10, 1, "4.10", "Windows 98"},
        {4, 1, 1, "4.10", "Windows 98"},  {4, 0, 1, "4.00", "Windows 95"},
        {4, 0, 2, "4.00", "Windows NT4"}, {5, 2, 2, "5.20", "Windows XP+"},
        {6, 0, 2, "6.00", "Windows XP+"}, {3, 51, 2, "3.51", "Windows XP+"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.major) + "." + std::to_string(row.minor));
        EXPECT_EQ(windowsVersionText(row.major, row.minor), row.text);
        EXPECT_EQ(windowsVersionName(row.major, row.minor, row.platform), row.name);
    }
}

TEST(OsName, TheSystemsOwnNameWinsOverTheWindowsTable) {
    InfoRig rig;
    rig.machine.os.answer.major = 5;
    rig.machine.os.answer.minor = 1;
    rig.info.Get_OS_Name();
    EXPECT_EQ(rig.info.osName(), "Debian GNU/Linux 12 (bookworm)");
    rig.machine.os.answer.name.reset();
    rig.info.Get_OS_Name();
    EXPECT_EQ(rig.info.osName(), "Windows XP");
}

TEST(OsName, AFailedQueryShowsErrorAndKeepsTheLastRecord) {
    InfoRig rig;
    rig.machine.os.answer.ok = false;
    rig.machine.os.answer.name.reset();
    rig.info.Get_OS_Name();
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].text, "Error");
    EXPECT_EQ(rig.dialogs.messages[0].style, 0);
    EXPECT_EQ(rig.info.osName(), "Windows XP+"); // the empty first record

    InfoRig later;
    later.info.Get_OS_Name();
    later.machine.os.answer.ok = false;
    later.machine.os.answer.major = 99;
    EXPECT_EQ(later.info.describe().OSMajr, "6");
}

TEST(Describe, NothingIsKeptBetweenDescriptions) {
    InfoRig rig;
    rig.info.describe();
    rig.machine.memory.status.loadPercent = 88;
    rig.machine.graphics.answer = {"Other", 0};
    rig.machine.processor.speed = 1400;
    const SystemDescription d = rig.info.describe();
    EXPECT_EQ(d.MEMLoad, "88");
    EXPECT_EQ(d.GRA_Dev, "Other");
    EXPECT_EQ(d.GRA_Mem, "0");
    EXPECT_EQ(d.CPUS, "1400");
}

TEST(SystemPage, SixteenLabelAndValueLinesWithoutATrailingBreak) {
    InfoRig rig;
    const SystemPageTexts page = Show_System_Info(rig.info);
    EXPECT_EQ(page.labels, "CPU Type:\rCPU Speed:\rCPU Flags:\r\rMemory Load:\rMemory Total:\r"
                           "Memory Free:\rVirtual Memory:\r\rOS Major Version:\r"
                           "OS Minor Version:\rOS Name:\rBuild Number:\r\rGraphics Card:\r"
                           "Graphics Memory:");
    EXPECT_EQ(page.values, "104 (unknown)\r733 MHz\rMMX=True FPU=True\r\r37%\r3072 Mb\r"
                           "1536 Mb\r7 Mb\r\r6\r1\rDebian GNU/Linux 12 (bookworm)\r76\r\r"
                           "Mesa Test Adapter\r32 Mb");
}

TEST(SystemPage, AsksTheProcessorInOrderWhileBuilding) {
    InfoRig rig;
    rig.machine.processor.featureValue = 0x1;
    const SystemPageTexts page = Show_System_Info(rig.info);
    const std::vector<std::string> expected{"signature", "signature", "family",
                                            "speed",     "features",  "features"};
    EXPECT_EQ(rig.machine.processor.asked, expected);
    EXPECT_NE(page.values.find("\rMMX=False FPU=True\r"), std::string::npos);
}

} // namespace
} // namespace vexo
