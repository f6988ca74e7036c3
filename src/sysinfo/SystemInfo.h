#pragma once

#include "common/ProblemReport.h"
#include "common/SystemDescription.h"
#include "platform/SystemQueries.h"

#include <cstdint>
#include <string>

namespace vexo {

struct SystemQueries {
    ProcessorQuery& processor;
    MemoryQuery& memory;
    OsQuery& os;
    GraphicsQuery& graphics;
};

// Describes the machine. Probe_System refreshes the memory, operating-system and graphics
// values; the processor operations ask the processor each time they are called. Nothing is kept
// from one description to the next, so memory load in particular is that of the moment.
class SystemInfo {
public:
    // problems: where a value that could not be read is told.
    SystemInfo(SystemQueries queries, ProblemReport& problems);

    void Probe_System();
    void Get_OS_Name();

    std::int32_t Get_CPU_Type();
    std::int32_t Get_Signature_Type();
    std::int32_t Get_Signature_Model();
    bool Has_MMX();
    bool Has_FPU();
    static bool Test_Bit(std::int32_t value, std::int16_t n);

    // Probes, then assembles the fourteen values in their stored order, asking the processor
    // while doing so (type, clock, MMX, FPU).
    SystemDescription describe();

    const std::string& osName() const { return m_osName; }

private:
    SystemQueries m_queries;
    ProblemReport& m_problems;
    std::string m_graphicsDevice;
    std::string m_graphicsMemory = "0";
    MemoryStatus m_memory;
    OsVersion m_os;
    std::string m_osName;
};

// The name for a Windows version: its "major.minor" text read as a number and written with two
// decimals, looked up in the table of known versions.
std::string windowsVersionName(std::uint32_t major, std::uint32_t minor, std::uint32_t platformId);

// The version text of that rule: 5 and 1 give "5.10", 4 and 10 give "4.10".
std::string windowsVersionText(std::uint32_t major, std::uint32_t minor);

// Whole megabytes: bytes / 1,048,576 rounded down.
std::string wholeMegabytes(std::uint64_t bytes);

inline const char* truthText(bool value) {
    return value ? "True" : "False";
}

} // namespace vexo
