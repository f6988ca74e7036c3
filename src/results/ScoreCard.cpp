#include "ScoreCard.h"

#include "common/RunState.h"
#include "common/Text.h"

#include <string_view>

namespace vexo {

std::string throttlingSentence(std::int16_t throttleTries) {
    if (throttleTries == kThrottleTimedOut)
        return "Your system throttling could not fully stabilize, operation timed-out.";
    return "Your system throttling took: " + std::to_string(throttleTries) + " tries to stabilize.";
}

std::string scoreLines(const ScoreSet& scores) {
    std::string text;
    for (const ScoreField& field : kScoreFields) {
        const std::int64_t value = scores.*field.member;
        if (value == 0)
            continue;
        text.append(field.label).append(": ").append(std::to_string(value));
        text.append(" ").append(field.cardUnit) += CR;
    }
    return text;
}

std::string missingScoreLines(const RunState& run) {
    std::string text;
    for (std::size_t i = 0; i < run.outcomes.size(); ++i) {
        const std::string_view reason = phaseOutcomeReason(run.outcomes[i]);
        if (reason.empty())
            continue;
        text.append(kScoreFields[i].label).append(": no score (").append(reason).append(")");
        text += CR;
    }
    return text;
}

std::string savedFileLine(const RunState& run, const Folders& folders) {
    const std::string& file = run.resultFile;
    const std::string folder = file.substr(0, file.find_last_of('/') + 1);
    // A folder name is shown as it is: an ampersand in it marks no access key.
    std::string where;
    if (folder.empty() || folder == folders.AppFolder) {
        where = "application path";
    } else {
        for (const char c : folder)
            where += c == '&' ? std::string("&&") : std::string(1, c);
    }
    std::string name;
    for (const char c : Strip_Path(file))
        name += c == '&' ? std::string("&&") : std::string(1, c);
    switch (run.outcome) {
    case RunOutcome::NotRun:
    case RunOutcome::Saved:
        break;
    case RunOutcome::NotSaved:
        if (file.empty())
            return "Benchmark Not Saved: this build has no benchmark file writer";
        return "Benchmark Not Saved: the file " + name + " could not be written (" + where + ")";
    case RunOutcome::NoName:
        return "Benchmark Not Saved: no name was given";
    case RunOutcome::NothingMeasured:
        return "Benchmark Not Saved: nothing was measured, so no file was replaced";
    }
    return "Benchmark Saved Into File: " + (file.empty() ? "last benchmark.vgf" : name) + " (" +
           where + ")";
}

std::string_view scoreLabel(std::size_t index) {
    return kScoreFields[index].label;
}

} // namespace vexo
