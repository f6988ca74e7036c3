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

// The fields in their fixed order (score card, files), with their keys.
struct ScoreField {
    std::string_view key;
    std::int64_t ScoreSet::*member;
};

inline constexpr std::array<ScoreField, 8> kScoreFields{{
    {"BMCPUh", &ScoreSet::BMCPUh},
    {"BMCPUl", &ScoreSet::BMCPUl},
    {"BMFPUh", &ScoreSet::BMFPUh},
    {"BMFPUl", &ScoreSet::BMFPUl},
    {"BMDR3D", &ScoreSet::BMDR3D},
    {"BMSSA", &ScoreSet::BMSSA},
    {"BMBSA", &ScoreSet::BMBSA},
    {"BMISA", &ScoreSet::BMISA},
}};

// The benchmarks' names as the score card shows them, in the same order.
inline constexpr std::array<std::string_view, 8> kScoreLabels{
    "CPU/Cache/FSB", "CPU/RAM/Chipset", "FPU(SPFP)", "FPU(Integer)",
    "Direc3D",       "Spreadsheet",     "Business",  "Imaging"};

} // namespace vexo
