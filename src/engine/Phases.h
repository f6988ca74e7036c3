#pragma once

#include "common/Flags.h"
#include "common/ScoreSet.h"
#include "engine/Kernels.h"
#include "engine/RunTexts.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace vexo {

// The work a phase times.
enum class Kernel : std::uint8_t {
    BlockCopy,    // copies of the block built before measuring
    Spfp,         // the single-precision chain, carried from one iteration to the next
    Count,        // nothing: the bare counting loop
    Tunnel,       // the Direct3D tunnel, which does its own timing
    Spreadsheet,  // the financial functions
    BusinessCopy, // copies of the business block built before measuring
    Imaging,      // the imaging chain
};

// One benchmark phase of a run: everything in which phases differ. Each goes through the same
// steps: its texts, a yield, its preparation, its measurement, its score, its outcome, its
// group's picture once the group's last phase is done, the next phase number.
struct Phase {
    std::int64_t ScoreSet::*score;
    // The run page's picture of its group: 0 CPU, 1 FPU, 2 Direct3D, 3 Spreadsheet,
    // 4 Business, 5 Imaging.
    int group;
    // The phase runs when both its group and itself are chosen.
    Flag Selections::*groupFlag;
    Flag Selections::*flag;
    const char* status;
    const char* estimate;
    const char* description;
    Kernel kernel;
    // The block built before measuring, in characters (0: none), and whether the build yields
    // after every character (which makes the preparation slow enough for texts of its own).
    std::size_t blockChars = 0;
    bool yieldWhileBuilding = false;
    // Shown once the preparation is done, then a yield; nullptr when the phase has none.
    const char* runningStatus = nullptr;
    const char* runningEstimate = nullptr;
    // The score: the count times the factor, or the integer part of the count divided by the
    // divisor (computed in double precision, as the scores always were).
    std::int64_t factor = 1;
    double divisor = 1;
};

// The phases in the order they run; the same order as the score set's fields.
inline constexpr std::array<Phase, 8> kPhases{{
    {&ScoreSet::BMCPUh, 0, &Selections::HardwareSelected, &Selections::CPUSelected,
     texts::CacheStatus, texts::CacheEstimate, texts::CacheDescription, Kernel::BlockCopy,
     kernels::kCacheBlockChars, true, texts::CacheRunning},
    // Scored in copies of the small block: this block is four times larger.
    {&ScoreSet::BMCPUl, 0, &Selections::HardwareSelected, &Selections::CPUSelected,
     texts::RamStatus, texts::RamEstimate, texts::RamDescription, Kernel::BlockCopy,
     kernels::kRamBlockChars, true, texts::RamRunning, texts::RamRunningEstimate, 4},
    {&ScoreSet::BMFPUh, 1, &Selections::HardwareSelected, &Selections::FPUSelected,
     texts::SpfpStatus, texts::About30Seconds, texts::SpfpDescription, Kernel::Spfp, 0, false,
     nullptr, nullptr, 1, 10},
    {&ScoreSet::BMFPUl, 1, &Selections::HardwareSelected, &Selections::FPUSelected,
     texts::IntegerStatus, texts::About30Seconds, texts::IntegerDescription, Kernel::Count, 0,
     false, nullptr, nullptr, 1, 10},
    {&ScoreSet::BMDR3D, 2, &Selections::HardwareSelected, &Selections::Direct3DSelected,
     texts::Direct3DStatus, texts::Direct3DEstimate, texts::Direct3DDescription, Kernel::Tunnel},
    {&ScoreSet::BMSSA, 3, &Selections::SoftwareSelected, &Selections::SpreadsheetSelected,
     texts::SpreadsheetStatus, texts::About30Seconds, texts::SpreadsheetDescription,
     Kernel::Spreadsheet, 0, false, nullptr, nullptr, 1, 100},
    {&ScoreSet::BMBSA, 4, &Selections::SoftwareSelected, &Selections::BusinessSelected,
     texts::BusinessStatus, texts::BusinessEstimate, texts::BusinessDescription,
     Kernel::BusinessCopy, kernels::kBusinessBlockChars},
    {&ScoreSet::BMISA, 5, &Selections::SoftwareSelected, &Selections::ImagingSelected,
     texts::ImagingStatus, texts::About30Seconds, texts::ImagingDescription, Kernel::Imaging, 0,
     false, nullptr, nullptr, 1, 100},
}};

static_assert([] {
    for (std::size_t i = 0; i < kPhases.size(); ++i) {
        if (kPhases[i].score != kScoreFields[i].member)
            return false;
    }
    return true;
}());

// Whether a phase runs with these selections: a phase chosen inside an unchosen group does not.
constexpr bool phaseChosen(const Selections& s, const Phase& phase) {
    return isSet(s.*phase.groupFlag) && isSet(s.*phase.flag);
}

// Whether the phase behind a score (by its index in the fixed order) runs.
constexpr bool phaseChosen(const Selections& s, std::size_t score) {
    return phaseChosen(s, kPhases[score]);
}

// Whether the phase is the last of its group, whose picture is then marked done.
constexpr bool endsGroup(std::size_t index) {
    return index + 1 == kPhases.size() || kPhases[index + 1].group != kPhases[index].group;
}

} // namespace vexo
