#pragma once

#include "results/Comparison.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vexo::comparison {

// How a chart makes bars of the records it is given.
enum class Grouping {
    // The records of one repeated run ("NAME (run K of N)" with the same NAME) make one bar
    // where the first of them stands; any other record is a bar of its own, even beside another
    // of the same name. A bar is tested against the baseline only where runs of a group are
    // compared (the bar's or the baseline's). The browser's chart and the report.
    RepeatedRuns,
    // The records of one name, without such a suffix, make one bar, in the order each name
    // first appears, and every bar is tested against the baseline (the baseline against itself,
    // so that its ratio is 1). The terminal's comparison.
    Names,
};

// A bar: one record, or the records it groups.
struct ChartBar {
    std::string name;  // the group's name: the first record's name without a repetition suffix
    std::string label; // "#. name", or "#. name (K runs)" for more than one record
    std::vector<const BenchmarkRecord*> records; // the runs it counts, in the order given
    // Where each of them first stands among the records given (a run given twice counts once,
    // where it first stands).
    std::vector<std::size_t> positions;
};

// One score as a bar shows it.
struct BarScore {
    Summary summary; // count 0 when no record of the bar holds a score
    LeftOut leftOut; // the records whose text is not a score, and why
    // Of the baseline's median, where the baseline has one above 0 and this bar a score.
    std::optional<double> percent;
    // Against the baseline's runs, where the grouping tests this bar and both have a score.
    std::optional<RatioTest> test;
};

// One score over every bar of a chart.
struct ScoreChart {
    std::size_t score = 0; // its place in the score table
    std::vector<BarScore> bars;
    double largest = 0; // the highest value of any bar: where the scale ends
    // Where the baseline's median stands when it is above 0: the line of 100 %.
    std::optional<double> baselineMedian;

    // Whether any bar holds a score or a text that is not one: a score no record holds (a
    // benchmark that never ran) says nothing.
    bool holdsAnything() const;
};

// The bars of a chart over records in a given order, its baseline, and per score each bar's
// summary, percentage of the baseline and test against it. What the browser's chart, the
// report and the terminal's comparison show, each in its own way. Records alike in every key
// (the same file given twice, say) are one run: it counts once.
class Chart {
public:
    // baseline: the position among the records of the one whose bar is 100 %, if any.
    Chart(const std::vector<const BenchmarkRecord*>& records, Grouping grouping,
          std::optional<std::size_t> baseline);

    const std::vector<ChartBar>& bars() const { return m_bars; }
    // The baseline's bar, if one was named.
    std::optional<std::size_t> baseline() const { return m_baseline; }
    // The records counted, the first of each run given more than once.
    const std::vector<const BenchmarkRecord*>& records() const { return m_distinct.records; }
    // How many records were left out as a run given again.
    std::size_t duplicates() const { return m_distinct.duplicates; }

    // A score (its place in the score table) over the bars.
    ScoreChart score(std::size_t score) const;

private:
    Grouping m_grouping;
    Distinct m_distinct;
    std::vector<ChartBar> m_bars;
    std::optional<std::size_t> m_baseline;
};

} // namespace vexo::comparison
