#include "results/Chart.h"

#include "benchfile/BenchmarkFile.h"
#include "common/Text.h"

#include <gtest/gtest.h>

namespace vexo::comparison {
namespace {

// Records numbered 1 to 9 with these names and CPU Cache/FSB cells: a repeated run of three,
// a run given twice, another run of one of its names, and cells that hold no score.
struct Records {
    Records() {
        for (const auto& [name, cell] : std::initializer_list<std::pair<const char*, const char*>>{
                 {"Laptop (run 1 of 3)", "100"},
                 {"Desktop", "300"},
                 {"Laptop (run 2 of 3)", "140"},
                 {"Laptop (run 3 of 3)", "110"},
                 {"Desktop", "300"},
                 {"Desktop", "310"},
                 {"Empty", nullptr},
                 {"Idle", "0"},
                 {"Odd", "12abc"}}) {
            BenchmarkRecord& record = database.addRecord("runs.vgf");
            record.name = name;
            if (cell)
                record.scores[0] = cell;
        }
    }
    BenchmarkDatabase database;
};

// Each bar of a score as "label [positions] median, percent, test outcome, records left out".
std::vector<std::string> shown(const Chart& chart, std::size_t score) {
    const ScoreChart scores = chart.score(score);
    std::vector<std::string> bars;
    for (std::size_t i = 0; i < chart.bars().size(); ++i) {
        const ChartBar& bar = chart.bars()[i];
        const BarScore& s = scores.bars[i];
        std::string text = bar.label + (chart.baseline() == i ? " (baseline) [" : " [");
        for (const std::size_t at : bar.positions)
            text += std::to_string(at) + (at == bar.positions.back() ? "]" : " ");
        if (s.summary.count > 0)
            text += " " + s.summary.medianText;
        if (s.percent)
            text += ", " + decimalText(*s.percent, 1) + " %";
        if (s.test)
            text += ", test " + std::to_string(static_cast<int>(s.test->outcome));
        if (s.leftOut.count > 0)
            text += ", " + std::to_string(s.leftOut.count) + " left out";
        bars.push_back(text);
    }
    return bars;
}

TEST(Chart, BarsBaselinePercentagesAndTestsByGrouping) {
    const Records records;
    const std::vector<const BenchmarkRecord*> given = benchfile::inOrder(records.database);
    const struct {
        const char* name;
        Grouping grouping;
        std::optional<std::size_t> baseline;
        std::vector<std::string> bars;
    } rows[] = {
        // A repeated run is one bar, and any of its runs names it; a run given twice counts once,
        // where it first stands. Only where runs of a group are compared is a bar tested (1 run
        // against 3: too few, 0); no score, no percentage.
        {"against a repeated run",
         Grouping::RepeatedRuns,
         2,
         {"1. Laptop (3 runs) (baseline) [0 2 3] 110, 100.0 %",
          "2. Desktop [1] 300, 272.7 %, test 0", "6. Desktop [5] 310, 281.8 %, test 0",
          "7. Empty [6]", "8. Idle [7], 1 left out", "9. Odd [8], 1 left out"}},
        // The second copy of a run names the bar of its first; one run against one is not
        // tested.
        {"against a copy",
         Grouping::RepeatedRuns,
         4,
         {"1. Laptop (3 runs) [0 2 3] 110, 36.7 %, test 0",
          "2. Desktop (baseline) [1] 300, 100.0 %", "6. Desktop [5] 310, 103.3 %", "7. Empty [6]",
          "8. Idle [7], 1 left out", "9. Odd [8], 1 left out"}},
        {"a baseline beyond the records",
         Grouping::RepeatedRuns,
         9,
         {"1. Laptop (3 runs) [0 2 3] 110", "2. Desktop [1] 300", "6. Desktop [5] 310",
          "7. Empty [6]", "8. Idle [7], 1 left out", "9. Odd [8], 1 left out"}},
        // Records of one name are one group, and every group is tested, the first against
        // itself (3 runs against 3 reach only 90 %: 2).
        {"names",
         Grouping::Names,
         0,
         {"1. Laptop (3 runs) (baseline) [0 2 3] 110, 100.0 %, test 2",
          "2. Desktop (2 runs) [1 5] 305, 277.3 %, test 0", "7. Empty [6], test 0",
          "8. Idle [7], test 0, 1 left out", "9. Odd [8], test 0, 1 left out"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Chart chart(given, row.grouping, row.baseline);
        EXPECT_EQ(shown(chart, 0), row.bars);
        EXPECT_EQ(chart.duplicates(), 1u);
        EXPECT_EQ(chart.records().size(), 8u);
    }

    // The scale, the line of 100 %, and whether a score is worth showing at all.
    const Chart chart(given, Grouping::RepeatedRuns, 2);
    const ScoreChart cpu = chart.score(0);
    EXPECT_TRUE(cpu.largest == 310 && cpu.baselineMedian == 110.0 && cpu.holdsAnything());
    const ScoreChart none = chart.score(1);
    EXPECT_TRUE(none.largest == 0 && !none.baselineMedian && !none.holdsAnything());
    EXPECT_FALSE(Chart(given, Grouping::RepeatedRuns, 7).score(0).baselineMedian);
}

} // namespace
} // namespace vexo::comparison
