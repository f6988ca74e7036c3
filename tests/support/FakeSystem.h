#pragma once

#include "platform/SystemQueries.h"
#include "taskman/TaskTitles.h"

#include <string>
#include <vector>

namespace vexo::test {

// The running application tasks, as set.
struct FixedTasks final : TaskTitleSource {
    std::vector<std::string> titles{"Editor", "Terminal"};
    std::vector<std::string> applicationTaskTitles() override { return titles; }
};

// System queries answering set values.
struct FakeProcessor final : ProcessorQuery {
    std::uint16_t signatureValue = 0;
    std::int32_t familyValue = 0;
    std::uint32_t featureValue = 0;
    std::int32_t speed = 0;

    std::uint16_t signature() override { return signatureValue; }
    std::int32_t family() override { return familyValue; }
    std::uint32_t features() override { return featureValue; }
    std::int32_t normalisedSpeedMHz() override { return speed; }

    // A signature laid out as the processor reports it.
    void identify(int family, int model, int type, int stepping = 3) {
        familyValue = family;
        signatureValue = static_cast<std::uint16_t>((type << 12) | ((family & 0xF) << 8) |
                                                    (model << 4) | stepping);
    }
};

struct FakeMemory final : MemoryQuery {
    MemoryStatus status;
    MemoryStatus memoryStatus() override { return status; }
};

struct FakeOs final : OsQuery {
    OsVersion answer;
    bool answers = true; // false: the system cannot be asked
    Result<OsVersion> version() override {
        return answers ? Result<OsVersion>(answer) : Result<OsVersion>::failure("not asked");
    }
};

struct FakeGraphics final : GraphicsQuery {
    GraphicsAdapter answer;
    GraphicsAdapter adapter() override { return answer; }
};

// A plausible machine: every value distinct so that mix-ups show.
struct FakeMachine {
    FakeMachine() {
        processor.identify(6, 8, 0);
        processor.featureValue = 0x00800001;
        processor.speed = 733;
        memory.status = {37, 3'221'225'472ULL, 1'610'612'736ULL, 8'388'607ULL};
        os.answer = {6, 1, 76, 0, "Debian GNU/Linux 12 (bookworm)"};
        graphics.answer = {"Mesa Test Adapter", 33'554'432ULL};
    }
    FakeProcessor processor;
    FakeMemory memory;
    FakeOs os;
    FakeGraphics graphics;
};

} // namespace vexo::test
