#pragma once

#include "platform/SystemQueries.h"

#include <string>
#include <string_view>

namespace vexo {

// Processor identification through the cpuid instruction and a short clock measurement against
// the time-stamp counter; /proc/cpuinfo where those are missing.
class LinuxProcessor final : public ProcessorQuery {
public:
    std::uint16_t signature() override;
    std::int32_t family() override;
    std::uint32_t features() override;
    std::int32_t normalisedSpeedMHz() override;
};

// /proc/meminfo.
class LinuxMemory final : public MemoryQuery {
public:
    MemoryStatus memoryStatus() override;
};

// uname(2) for the version numbers, os-release for the name.
class LinuxOs final : public OsQuery {
public:
    Result<OsVersion> version() override;
};

// The OpenGL renderer of the X display when there is one, else of Mesa's surfaceless platform,
// from a short-lived off-screen context.
class LinuxGraphics final : public GraphicsQuery {
public:
    GraphicsAdapter adapter() override;
};

// Parsers of the system's text files, kept apart so they can be tested on sample contents.
MemoryStatus parseMeminfo(std::string_view content);
// PRETTY_NAME of an os-release file, unquoted; "Linux" when it has none.
std::string parseOsReleaseName(std::string_view content);
// "6.1.0-18-amd64" gives 6, 1 and 0; missing numbers are 0.
OsVersion parseKernelRelease(std::string_view release);
// The "cpu MHz" of the first processor in /proc/cpuinfo, rounded; 0 when absent.
std::int32_t parseCpuinfoMHz(std::string_view content);

// The whole file, or nothing when it cannot be read.
std::string readTextFile(const std::string& path);

} // namespace vexo
