#pragma once

#include "common/ScoreSet.h"
#include "common/SystemDescription.h"

#include <string>

namespace vexo::test {

// A plain record as the engine writes one, every system and score key with a value, the given
// task fields between them.
inline std::string completeRecord(const std::string& name,
                                  const std::string& tasks = "Task=Editor:;") {
    std::string record = ">>:" + name + "||";
    for (const auto& value : kSystemFields)
        record += std::string(value.key) + "=1:;";
    record += tasks;
    for (const auto& score : kScoreFields)
        record += std::string(score.key) + "=2:;";
    return record + ":;";
}

} // namespace vexo::test
