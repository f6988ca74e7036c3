#pragma once

#include "benchfile/BenchmarkDatabase.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vexo {

// One bar of the Scores chart: a record, or the records of a repeated run ("NAME (run K of N)"
// with the same NAME), drawn at their median with a whisker from the lowest to the highest.
struct ScoreBar {
    std::string label;             // "#. name", or "#. name (K runs)" for a repeated run
    std::string text;              // what it says beside it: score, range, percentage, verdict
    std::vector<std::size_t> rows; // its rows in the Scores list, in list order
    double median = 0;             // where it ends: 0 draws no bar
    double lowest = 0;
    double highest = 0;
    bool whisker = false; // from lowest to highest: a repeated run with more than one score
    std::optional<double> percent; // of the baseline bar's median, when one is chosen
    bool isBaseline = false;
};

// The Scores chart below the Scores list: what it shows, and where its scale ends.
struct ScoresChartModel {
    // The score column, and the baseline's bar and the duplicates left out when there are.
    std::string caption;
    std::vector<ScoreBar> bars;
    double largest = 0;                   // the highest value of any bar
    std::optional<double> baselineMedian; // where the line of 100 % stands
};

// The chart of a Scores list column (3 to 10) over the list's records in their order, each
// bar where its first record stands. A run given more than once (records alike in every key)
// counts once. The baseline is found by its contents (file included): without it among the
// records, no bar has a percentage.
ScoresChartModel scoresChart(const std::vector<const BenchmarkRecord*>& rows, std::size_t column,
                             const BenchmarkRecord* baseline);

// Whether a record is the chosen baseline: alike in every key and from the same file.
bool sameRun(const BenchmarkRecord& a, const BenchmarkRecord& b);

} // namespace vexo
