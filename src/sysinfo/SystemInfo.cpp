#include "SystemInfo.h"

#include <charconv>
#include <cmath>

namespace vexo {

SystemInfo::SystemInfo(SystemQueries queries, ProblemReport& problems)
    : m_queries(queries)
    , m_problems(problems) {}

void SystemInfo::Probe_System() {
    const GraphicsAdapter adapter = m_queries.graphics.adapter();
    m_graphicsDevice = adapter.description;
    m_graphicsMemory = wholeMegabytes(adapter.videoMemoryBytes);
    m_memory = m_queries.memory.memoryStatus();
    Get_OS_Name();
}

void SystemInfo::Get_OS_Name() {
    const Result<OsVersion> version = m_queries.os.version();
    if (!version) {
        // Go on with what the record held before, as far as there was one.
        m_problems.reportProblem("Error");
    } else {
        m_os = *version;
    }
    // Where the system names itself that name is right; the table only knows Windows numbers.
    m_osName = m_os.name ? *m_os.name : windowsVersionName(m_os.major, m_os.minor, m_os.platformId);
}

std::int32_t SystemInfo::Get_CPU_Type() {
    // The processor is asked in this order: model, type, family.
    const std::int32_t model = Get_Signature_Model();
    const std::int32_t type = Get_Signature_Type();
    const std::int32_t family = m_queries.processor.family();
    return model | (type << 8) | (family << 4);
}

std::int32_t SystemInfo::Get_Signature_Type() {
    const std::uint16_t signature = m_queries.processor.signature();
    return ((signature >> 13) & 1) * 2 + ((signature >> 12) & 1);
}

std::int32_t SystemInfo::Get_Signature_Model() {
    return (m_queries.processor.signature() >> 4) & 0xF;
}

bool SystemInfo::Has_MMX() {
    return Test_Bit(static_cast<std::int32_t>(m_queries.processor.features()), 23);
}

bool SystemInfo::Has_FPU() {
    return Test_Bit(static_cast<std::int32_t>(m_queries.processor.features()), 0);
}

bool SystemInfo::Test_Bit(std::int32_t value, std::int16_t n) {
    if (n < 0 || n > 31)
        return false;
    return ((static_cast<std::uint32_t>(value) >> n) & 1U) != 0;
}

SystemDescription SystemInfo::describe() {
    Probe_System();
    SystemDescription d;
    d.CPUT = std::to_string(Get_CPU_Type());
    d.CPUS = std::to_string(m_queries.processor.normalisedSpeedMHz());
    d.CPUMMX = truthText(Has_MMX());
    d.CPUFPU = truthText(Has_FPU());
    d.MEMLoad = std::to_string(m_memory.loadPercent);
    d.MEMTot = wholeMegabytes(m_memory.totalPhysical);
    d.MEMFree = wholeMegabytes(m_memory.availablePhysical);
    d.MEMVirt = wholeMegabytes(m_memory.availablePageFile);
    d.OSMajr = std::to_string(m_os.major);
    d.OSMinr = std::to_string(m_os.minor);
    d.OSClass = m_osName;
    d.OSBuild = std::to_string(m_os.build);
    d.GRA_Dev = m_graphicsDevice;
    d.GRA_Mem = m_graphicsMemory;
    return d;
}

std::string windowsVersionText(std::uint32_t major, std::uint32_t minor) {
    // "4.1" and "4.10" are the same number, so minor versions 1 and 10 read alike.
    const std::string text = std::to_string(major) + "." + std::to_string(minor);
    double number = 0;
    std::from_chars(text.data(), text.data() + text.size(), number);
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::fixed, 2);
    return std::string(buffer, result.ptr);
}

std::string windowsVersionName(std::uint32_t major, std::uint32_t minor, std::uint32_t platformId) {
    const std::string version = windowsVersionText(major, minor);
    if (version == "5.10")
        return "Windows XP";
    if (version == "5.00")
        return "Windows 2000";
    if (version == "4.90")
        return "Windows ME";
    if (version == "4.10")
        return "Windows 98";
    if (version == "4.00")
        return platformId == 1 ? "Windows 95" : "Windows NT4";
    return "Windows XP+";
}

std::string wholeMegabytes(std::uint64_t bytes) {
    return std::to_string(bytes / 1'048'576);
}

} // namespace vexo
