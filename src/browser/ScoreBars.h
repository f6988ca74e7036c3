#pragma once

#include "browser/ResultBrowser.h"
#include "results/Comparison.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vexo {

// The record a chart is drawn against, as it was when chosen: it is found again by its
// contents, so that the choice follows the record when others are removed and ends, rather
// than moving to another record, when it is.
using BaselineRecord = BenchmarkRecord;

// One bar of the Scores chart: a record, or the records of a repeated run ("NAME (run K of N)"
// with the same NAME), drawn at their median with a whisker from the lowest to the highest.
struct ScoreBar {
    std::string label;             // "#. name", or "#. name (K runs)" for a repeated run
    std::vector<std::size_t> rows; // its rows in the Scores list, in list order
    comparison::Summary summary;   // count 0 when no record holds a score
    std::string leftOut;           // the records whose text was left out of the summary, and why
    std::optional<double> percent; // of the baseline bar's median, when one is chosen
    // Against the baseline where runs of a group are compared (this bar's or the baseline's).
    std::optional<comparison::RatioTest> test;
    bool isBaseline = false;
};

// The bars of a Scores list column (3 to 10) in the list's order, each where its first
// record stands. A run given more than once (records alike in every key) counts once: its
// first record stands for it. Without the baseline's record in the list, no bar has a
// percentage.
std::vector<ScoreBar> scoreBars(const ResultBrowser& browser, std::size_t column,
                                const BaselineRecord* baseline);
// How many records of the list the bars leave out as a run given again.
std::size_t duplicateRecords(const ResultBrowser& browser);

} // namespace vexo
