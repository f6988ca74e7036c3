#include "ScoreBars.h"

#include "common/ScoreSet.h"
#include "common/Text.h"
#include "results/Chart.h"

namespace vexo {

namespace {

// What a bar says beside it: its score, the range of a repeated run, its percentage of the
// baseline and whether the difference holds, and what was left out.
std::string barText(const comparison::BarScore& score, bool grouped, bool isBaseline) {
    const comparison::Summary& s = score.summary;
    const std::string leftOut = comparison::leftOutText(score.leftOut);
    if (s.count == 0)
        return leftOut.empty() ? "no score" : "no score: " + leftOut;
    std::string text = s.medianText;
    if (grouped)
        text += " (" + s.lowestText + " to " + s.highestText + ")";
    if (score.percent)
        text += ", " + decimalText(*score.percent, 1) + " %";
    if (score.test)
        text += "; " + comparison::verdictText(*score.test);
    if (isBaseline)
        text += " (baseline)";
    if (!leftOut.empty())
        text += "; " + leftOut;
    // A number and its per cent sign stay on one line where the text wraps.
    std::string kept;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text.compare(at, 2, " %") == 0) {
            kept += "\u00A0%";
            ++at;
        } else {
            kept += text[at];
        }
    }
    return kept;
}

} // namespace

bool sameRun(const BenchmarkRecord& a, const BenchmarkRecord& b) {
    return a.fileName == b.fileName && comparison::sameKeys(a, b);
}

ScoresChartModel scoresChart(const std::vector<const BenchmarkRecord*>& rows, std::size_t column,
                             const BenchmarkRecord* baseline) {
    std::optional<std::size_t> baselineRow;
    for (std::size_t row = 0; baseline != nullptr && row < rows.size() && !baselineRow; ++row) {
        if (sameRun(*rows[row], *baseline))
            baselineRow = row;
    }
    const comparison::Chart chart(rows, comparison::Grouping::RepeatedRuns, baselineRow);
    const comparison::ScoreChart scores = chart.score(column - 3);
    ScoresChartModel model;
    model.caption = std::string(kScoreFields[column - 3].column);
    model.largest = scores.largest;
    model.baselineMedian = scores.baselineMedian;
    for (std::size_t i = 0; i < chart.bars().size(); ++i) {
        const comparison::ChartBar& bar = chart.bars()[i];
        const comparison::BarScore& score = scores.bars[i];
        const bool grouped = bar.records.size() > 1;
        const bool isBaseline = chart.baseline() == i;
        model.bars.push_back({bar.label, barText(score, grouped, isBaseline), bar.positions,
                              score.summary.median, score.summary.lowest, score.summary.highest,
                              grouped && score.summary.count > 1, score.percent, isBaseline});
    }
    if (model.bars.empty())
        model.caption += ": no records";
    else if (chart.baseline())
        model.caption += ", as a percentage of " + chart.bars()[*chart.baseline()].label;
    if (chart.duplicates() > 0)
        model.caption += "; " + comparison::duplicatesText(chart.duplicates());
    return model;
}

} // namespace vexo
