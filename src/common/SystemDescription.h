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

struct SystemField {
    std::string_view key;
    std::string SystemDescription::*member;
};

// The values in their stored order.
inline constexpr std::array<SystemField, 14> kSystemFields{{
    {"CPUT", &SystemDescription::CPUT},
    {"CPUS", &SystemDescription::CPUS},
    {"CPUMMX", &SystemDescription::CPUMMX},
    {"CPUFPU", &SystemDescription::CPUFPU},
    {"MEMLoad", &SystemDescription::MEMLoad},
    {"MEMTot", &SystemDescription::MEMTot},
    {"MEMFree", &SystemDescription::MEMFree},
    {"MEMVirt", &SystemDescription::MEMVirt},
    {"OSMajr", &SystemDescription::OSMajr},
    {"OSMinr", &SystemDescription::OSMinr},
    {"OSClass", &SystemDescription::OSClass},
    {"OSBuild", &SystemDescription::OSBuild},
    {"GRA_Dev", &SystemDescription::GRA_Dev},
    {"GRA_Mem", &SystemDescription::GRA_Mem},
}};

} // namespace vexo
