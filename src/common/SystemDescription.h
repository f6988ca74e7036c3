#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vexo {

// The machine a benchmark ran on, as the texts that the system page shows and benchmark files
// store, named by their file keys.
struct SystemDescription {
    std::string CPUT;    // composite processor type number
    std::string CPUS;    // processor clock, MHz
    std::string CPUMMX;  // "True" or "False"
    std::string CPUFPU;  // "True" or "False"
    std::string MEMLoad; // percent of physical memory in use
    std::string MEMTot;  // whole megabytes
    std::string MEMFree; // whole megabytes
    std::string MEMVirt; // whole megabytes that can still be committed
    std::string OSMajr;
    std::string OSMinr;
    std::string OSClass; // operating-system name
    std::string OSBuild;
    std::string GRA_Dev; // graphics adapter
    std::string GRA_Mem; // whole megabytes of video memory

    bool operator==(const SystemDescription&) const = default;
};

// A value with its key in a file and the one name every output gives it (JSON, CSV).
struct SystemField {
    std::string_view key;
    std::string SystemDescription::*member;
    std::string_view name;
};

// The values in their stored order.
inline constexpr std::array<SystemField, 14> kSystemFields{{
    {"CPUT", &SystemDescription::CPUT, "cpu_type"},
    {"CPUS", &SystemDescription::CPUS, "cpu_mhz"},
    {"CPUMMX", &SystemDescription::CPUMMX, "cpu_mmx"},
    {"CPUFPU", &SystemDescription::CPUFPU, "cpu_fpu"},
    {"MEMLoad", &SystemDescription::MEMLoad, "memory_load_percent"},
    {"MEMTot", &SystemDescription::MEMTot, "memory_total_mb"},
    {"MEMFree", &SystemDescription::MEMFree, "memory_free_mb"},
    {"MEMVirt", &SystemDescription::MEMVirt, "memory_virtual_mb"},
    {"OSMajr", &SystemDescription::OSMajr, "os_major"},
    {"OSMinr", &SystemDescription::OSMinr, "os_minor"},
    {"OSClass", &SystemDescription::OSClass, "os_name"},
    {"OSBuild", &SystemDescription::OSBuild, "os_build"},
    {"GRA_Dev", &SystemDescription::GRA_Dev, "graphics_adapter"},
    {"GRA_Mem", &SystemDescription::GRA_Mem, "graphics_memory_mb"},
}};

} // namespace vexo
