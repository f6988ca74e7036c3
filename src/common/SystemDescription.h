#pragma once

#include <array>
#include <cstddef>
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

// A value with its key in a file, the one name every output gives it (JSON, CSV), and the
// title and first width of its column in the Platform list, which the report's system
// descriptions use as well.
struct SystemField {
    std::string_view key;
    std::string SystemDescription::*member;
    std::string_view name;
    std::string_view column;
    int columnTwips;
};

// The values in their stored order.
inline constexpr std::array<SystemField, 14> kSystemFields{{
    {"CPUT", &SystemDescription::CPUT, "cpu_type", "CPU Class", 1440},
    {"CPUS", &SystemDescription::CPUS, "cpu_mhz", "CPU Speed", 1440},
    {"CPUMMX", &SystemDescription::CPUMMX, "cpu_mmx", "CPU has MMX", 2000},
    {"CPUFPU", &SystemDescription::CPUFPU, "cpu_fpu", "CPU has FPU", 1440},
    {"MEMLoad", &SystemDescription::MEMLoad, "memory_load_percent", "Memory Load", 1440},
    {"MEMTot", &SystemDescription::MEMTot, "memory_total_mb", "Total Memory", 1440},
    {"MEMFree", &SystemDescription::MEMFree, "memory_free_mb", "Free Memory", 1440},
    {"MEMVirt", &SystemDescription::MEMVirt, "memory_virtual_mb", "Vitual Memory", 1440},
    {"OSMajr", &SystemDescription::OSMajr, "os_major", "Major Version", 1440},
    {"OSMinr", &SystemDescription::OSMinr, "os_minor", "Minor Version", 1440},
    {"OSClass", &SystemDescription::OSClass, "os_name", "OS Name", 2000},
    {"OSBuild", &SystemDescription::OSBuild, "os_build", "Build Number", 1440},
    {"GRA_Dev", &SystemDescription::GRA_Dev, "graphics_adapter", "Graphics Adapter", 2000},
    {"GRA_Mem", &SystemDescription::GRA_Mem, "graphics_memory_mb", "Graphics Memory", 1440},
}};

// The values in the order they are shown (the Platform list, a report's descriptions), by
// their place in the table: the operating system's name stands before its version numbers,
// although it follows them in a file.
inline constexpr std::array<std::size_t, 14> kShownSystemOrder{0, 1,  2, 3, 4,  5,  6,
                                                               7, 10, 8, 9, 11, 12, 13};

} // namespace vexo
