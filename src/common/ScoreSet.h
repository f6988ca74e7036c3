#pragma once

#include <array>
#include <cstddef>
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

// The one table of the scores, in their fixed order (score card, files, every output): each
// score's key in a file and member, and every text that shows it. It stands here, beside the
// scores themselves, because the file format and the engine need its keys and members and
// everything that shows a score (score card, browser, report, terminal) its texts; no output
// keeps a list of its own.
struct ScoreField {
    std::string_view key; // in a benchmark file
    std::int64_t ScoreSet::*member;
    std::string_view label;    // the score card's name: "CPU/Cache/FSB"
    std::string_view column;   // the Scores list's column title: "CPU / Cache / FSB"
    int columnTwips;           // that column's width as the list is first shown
    std::string_view name;     // the one name of JSON, CSV, compare and reports
    std::string_view unit;     // "VexoGAUGEs" or "frames per second"
    std::string_view cardUnit; // what the score card writes after a value
};

inline constexpr std::string_view kGauges = "VexoGAUGEs";

inline constexpr std::array<ScoreField, 8> kScoreFields{{
    {"BMCPUh", &ScoreSet::BMCPUh, "CPU/Cache/FSB", "CPU / Cache / FSB", 2000, "cpu_cache_fsb",
     kGauges, kGauges},
    {"BMCPUl", &ScoreSet::BMCPUl, "CPU/RAM/Chipset", "CPU / RAM / Chipset", 2000, "cpu_ram_chipset",
     kGauges, kGauges},
    {"BMFPUh", &ScoreSet::BMFPUh, "FPU(SPFP)", "FPU (SPFP)", 1440, "fpu_spfp", kGauges, kGauges},
    {"BMFPUl", &ScoreSet::BMFPUl, "FPU(Integer)", "FPU (Integer)", 1440, "fpu_integer", kGauges,
     kGauges},
    {"BMDR3D", &ScoreSet::BMDR3D, "Direc3D", "Direct3D HAL", 3000, "direct3d", "frames per second",
     "FPS (Frames per second)"},
    {"BMSSA", &ScoreSet::BMSSA, "Spreadsheet", "SpreadSheet", 1440, "spreadsheet", kGauges,
     kGauges},
    {"BMBSA", &ScoreSet::BMBSA, "Business", "Bussiness", 1440, "business", kGauges, kGauges},
    {"BMISA", &ScoreSet::BMISA, "Imaging", "Imaging", 1440, "imaging", kGauges, kGauges},
}};

// The score counted in frames per second, whose file value also carries the test's settings.
inline constexpr std::size_t kDirect3DScore = 4;
static_assert(kScoreFields[kDirect3DScore].member == &ScoreSet::BMDR3D);

} // namespace vexo
