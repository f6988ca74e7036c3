#include "sysinfo/SystemInfo.h"

#include "support/FakeSystem.h"
#include "support/RunRecorder.h"
#include "sysinfo/SystemPage.h"

#include <functional>
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

using D = SystemDescription;
using M = FakeMachine;

// Inputs to described values, each from a rig already described once (nothing is kept between
// descriptions but the last good answer of the system's version).
TEST(SystemInfo, DescribesWhatTheSystemAnswers) {
    const struct {
        const char* name;
        std::function<void(M&)> setUp;
        std::string D::*field;
        const char* expected;
    } rows[] = {
        {"type from model, type and family", [](M& m) { m.processor.identify(15, 2, 0); }, &D::CPUT,
         "242"},
        {"type 1 is bit 12", [](M& m) { m.processor.identify(5, 4, 1); }, &D::CPUT, "340"},
        {"bits beyond the type", [](M& m) { m.processor.signatureValue = 0xF00F; }, &D::CPUT,
         "864"},
        {"model bits 4 to 7", [](M& m) { m.processor.signatureValue = 0x06A5; }, &D::CPUT, "106"},
        {"MMX is bit 23", [](M& m) { m.processor.featureValue = 0x00800000; }, &D::CPUMMX, "True"},
        {"no MMX", [](M& m) { m.processor.featureValue = 0x7F7FFFFF; }, &D::CPUMMX, "False"},
        {"FPU is bit 0", [](M& m) { m.processor.featureValue = 1; }, &D::CPUFPU, "True"},
        {"speed", [](M& m) { m.processor.speed = 1400; }, &D::CPUS, "1400"},
        {"load", [](M& m) { m.memory.status.loadPercent = 88; }, &D::MEMLoad, "88"},
        {"megabytes round down", [](M& m) { m.memory.status.totalPhysical = 8'388'607ULL; },
         &D::MEMTot, "7"},
        {"no 32-bit limit", [](M& m) { m.memory.status.availablePhysical = 68'719'476'736ULL; },
         &D::MEMFree, "65536"},
        {"the system's own name wins", [](M& m) { m.os.answer.major = 5; }, &D::OSClass,
         "Debian GNU/Linux 12 (bookworm)"},
        {"else the Windows table",
         [](M& m) {
             m.os.answer = {5, 1, 0, 2, {}};
         },
         &D::OSClass, "Windows XP"},
        {"a failed query keeps the last record",
         [](M& m) { m.os.answers = false, m.os.answer.major = 99; }, &D::OSMajr, "6"},
        {"adapter", [](M& m) { m.graphics.answer.description = "Other"; }, &D::GRA_Dev, "Other"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        InfoRig rig;
        rig.info.describe();
        row.setUp(rig.machine);
        EXPECT_EQ(rig.info.describe().*row.field, row.expected);
    }
}

// The version reads major.minor as a number; the name comes from the platform and version.
TEST(WindowsVersions, TextAndName) {
    const struct {
        int major, minor, platform;
        const char *text, *name;
    } rows[] = {
        {5, 0, 2, "5.00", "Windows 2000"},
        {4, 1, 1, "4.10", "Windows 98"},
        {4, 0, 2, "4.00", "Windows NT4"},
        {3, 51, 2, "3.51", "Windows XP+"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(windowsVersionText(row.major, row.minor), row.text) << row.name;
        EXPECT_EQ(windowsVersionName(row.major, row.minor, row.platform), row.name) << row.text;
    }
}

// Without any good answer the record is the empty one.
TEST(OsName, AFailedQueryShowsErrorAndKeepsTheLastRecord) {
    InfoRig rig;
    rig.machine.os.answers = false;
    rig.info.Get_OS_Name();
    EXPECT_EQ(rig.dialogs.problems, std::vector<std::string>{"Error"});
    EXPECT_EQ(rig.info.osName(), "Windows XP+");
}

TEST(SystemPage, SixteenLabelAndValueLinesWithoutATrailingBreak) {
    InfoRig rig;
    rig.machine.processor.featureValue = 0x1;
    const SystemPageTexts page = Show_System_Info(rig.info);
    EXPECT_EQ(page.labels, "CPU Type:\rCPU Speed:\rCPU Flags:\r\rMemory Load:\rMemory Total:\r"
                           "Memory Free:\rVirtual Memory:\r\rOS Major Version:\r"
                           "OS Minor Version:\rOS Name:\rBuild Number:\r\rGraphics Card:\r"
                           "Graphics Memory:");
    EXPECT_EQ(page.values, "104 (unknown)\r733 MHz\rMMX=False FPU=True\r\r37%\r3072 Mb\r"
                           "1536 Mb\r7 Mb\r\r6\r1\rDebian GNU/Linux 12 (bookworm)\r76\r\r"
                           "Mesa Test Adapter\r32 Mb");
}

} // namespace
} // namespace vexo
