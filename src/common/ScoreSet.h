#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vexo {

// The eight scores of one run, named by the keys under which a benchmark file stores them.
// They are 64-bit so that no count can overflow on a fast machine; files hold them as decimal.
struct ScoreSet {
    std::int64_t BMCPUh = 0; // CPU Cache/FSB
    std::int64_t BMCPUl = 0; // CPU RAM/Chipset
    std::int64_t BMFPUh = 0; // FPU single precision
    std::int64_t BMFPUl = 0; // FPU integer
    std::int64_t BMDR3D = 0; // Direct3D tunnel, frames per second
    std::int64_t BMSSA = 0;  // spreadsheet
    std::int64_t BMBSA = 0;  // business
    std::int64_t BMISA = 0;  // imaging

    bool operator==(const ScoreSet&) const = default;
};

// The fields in their fixed order (score card, files), with their keys in a file and the one
// name every output gives them (JSON, CSV, comparisons, reports).
struct ScoreField {
    std::string_view key;
    std::int64_t ScoreSet::*member;
    std::string_view name;
};

inline constexpr std::array<ScoreField, 8> kScoreFields{{
    {"BMCPUh", &ScoreSet::BMCPUh, "cpu_cache_fsb"},
    {"BMCPUl", &ScoreSet::BMCPUl, "cpu_ram_chipset"},
    {"BMFPUh", &ScoreSet::BMFPUh, "fpu_spfp"},
    {"BMFPUl", &ScoreSet::BMFPUl, "fpu_integer"},
    {"BMDR3D", &ScoreSet::BMDR3D, "direct3d"},
    {"BMSSA", &ScoreSet::BMSSA, "spreadsheet"},
    {"BMBSA", &ScoreSet::BMBSA, "business"},
    {"BMISA", &ScoreSet::BMISA, "imaging"},
}};

// The benchmarks' names as the score card shows them, in the same order.
inline constexpr std::array<std::string_view, 8> kScoreLabels{
    "CPU/Cache/FSB", "CPU/RAM/Chipset", "FPU(SPFP)", "FPU(Integer)",
    "Direc3D",       "Spreadsheet",     "Business",  "Imaging"};

} // namespace vexo
