#pragma once

#include "common/AppState.h"
#include "common/ScoreSet.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vexo {

// The score card's throttling sentence for the number of throttling tries (26: timed out).
std::string throttlingSentence(std::int16_t throttleTries);

// One line per non-zero score in the fixed order, "label: value unit", each ended by a
// carriage return. Empty when every score is 0.
std::string scoreLines(const ScoreSet& scores);

// One line per chosen benchmark that produced no score, in the fixed order, "label: no score
// (reason)", each ended by a carriage return. Empty when every chosen benchmark was measured.
std::string missingScoreLines(const RunState& run);

// The score card's line about the run's file: where it was saved, or why it was not.
std::string savedFileLine(const RunState& run, const Folders& folders);

// The score card's name of a score by its index in the fixed order: "CPU/Cache/FSB" ...
// "Imaging".
std::string_view scoreLabel(std::size_t index);

} // namespace vexo
