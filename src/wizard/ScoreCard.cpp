#include "ScoreCard.h"

#include "common/RunState.h"
#include "common/Text.h"

#include <string_view>

namespace vexo {

namespace {

struct ScoreLine {
    std::int64_t ScoreSet::*member;
    std::string_view label;
    std::string_view unit;
};

constexpr std::string_view kGauges = " VexoGAUGEs";

constexpr ScoreLine kLines[] = {
    {&ScoreSet::BMCPUh, "CPU/Cache/FSB: ", kGauges},
    {&ScoreSet::BMCPUl, "CPU/RAM/Chipset: ", kGauges},
    {&ScoreSet::BMFPUh, "FPU(SPFP): ", kGauges},
    {&ScoreSet::BMFPUl, "FPU(Integer): ", kGauges},
    {&ScoreSet::BMDR3D, "Direc3D: ", " FPS (Frames per second)"},
    {&ScoreSet::BMSSA, "Spreadsheet: ", kGauges},
    {&ScoreSet::BMBSA, "Business: ", kGauges},
    {&ScoreSet::BMISA, "Imaging: ", kGauges},
};

} // namespace

std::string throttlingSentence(std::int16_t throttleTries) {
    if (throttleTries == kThrottleTimedOut)
        return "Your system throttling could not fully stabilize, operation timed-out.";
    return "Your system throttling took: " + std::to_string(throttleTries) + " tries to stabilize.";
}

std::string scoreLines(const ScoreSet& scores) {
    std::string text;
    for (const ScoreLine& line : kLines) {
        const std::int64_t value = scores.*line.member;
        if (value == 0)
            continue;
        text.append(line.label).append(std::to_string(value)).append(line.unit);
        text += CR;
    }
    return text;
}

std::string_view scoreLabel(std::size_t index) {
    std::string_view label = kLines[index].label;
    label.remove_suffix(2); // ": "
    return label;
}

} // namespace vexo
