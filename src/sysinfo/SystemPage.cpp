#include "SystemPage.h"

#include "common/Text.h"

#include <array>

namespace vexo {

namespace {

constexpr std::array<const char*, 16> kLabels{
    "CPU Type:",         "CPU Speed:",   "CPU Flags:",      "", "Memory Load:",
    "Memory Total:",     "Memory Free:", "Virtual Memory:", "", "OS Major Version:",
    "OS Minor Version:", "OS Name:",     "Build Number:",   "", "Graphics Card:",
    "Graphics Memory:"};

template <std::size_t N>
std::string joinLines(const std::array<std::string, N>& lines) {
    std::string text;
    for (std::size_t i = 0; i < N; ++i) {
        if (i != 0)
            text += CR;
        text += lines[i];
    }
    return text;
}

} // namespace

SystemPageTexts Show_System_Info(SystemInfo& info) {
    std::array<std::string, 16> labels;
    std::copy(kLabels.begin(), kLabels.end(), labels.begin());
    const SystemDescription d = info.describe();
    const std::array<std::string, 16> values{
        d.CPUT + " (unknown)",
        d.CPUS + " MHz",
        "MMX=" + d.CPUMMX + " FPU=" + d.CPUFPU,
        "",
        d.MEMLoad + "%",
        d.MEMTot + " Mb",
        d.MEMFree + " Mb",
        d.MEMVirt + " Mb",
        "",
        d.OSMajr,
        d.OSMinr,
        d.OSClass,
        d.OSBuild,
        "",
        d.GRA_Dev,
        d.GRA_Mem + " Mb",
    };
    return {joinLines(labels), joinLines(values)};
}

} // namespace vexo
