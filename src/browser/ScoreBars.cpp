#include "ScoreBars.h"

namespace vexo {

namespace {

bool sameRun(const BenchmarkRecord& a, const BenchmarkRecord& b) {
    return a.name == b.name && a.fileName == b.fileName && a.scores == b.scores &&
           a.tasks == b.tasks && a.system == b.system;
}

std::vector<const BenchmarkRecord*> listed(const ResultBrowser& browser) {
    std::vector<const BenchmarkRecord*> records;
    for (std::size_t row = 0; row < browser.rowCount(); ++row)
        records.push_back(&browser.recordAt(BrowserMode::Scores, row));
    return records;
}

} // namespace

std::vector<ScoreBar> scoreBars(const ResultBrowser& browser, std::size_t column,
                                const BaselineRecord* baseline) {
    const std::vector<const BenchmarkRecord*> records = listed(browser);
    const comparison::Distinct distinct = comparison::withoutDuplicates(records);
    std::vector<std::size_t> rowOf(distinct.records.size()); // of each record counted
    for (std::size_t row = records.size(); row-- > 0;)
        rowOf[distinct.standIn[row]] = row;

    std::vector<ScoreBar> bars;
    std::vector<std::vector<double>> values;      // of each bar
    std::vector<std::size_t> barOf(rowOf.size()); // of each record counted
    for (const std::vector<std::size_t>& group : comparison::chartGroups(distinct.records)) {
        const BenchmarkRecord& first = *distinct.records[group.front()];
        ScoreBar bar;
        bar.label = std::to_string(first.RowNumber) + ". " +
                    std::string(groupName(first.name.value_or("")));
        if (group.size() > 1)
            bar.label += " (" + std::to_string(group.size()) + " runs)";
        std::vector<const BenchmarkRecord*> members;
        for (const std::size_t k : group) {
            bar.rows.push_back(rowOf[k]);
            members.push_back(distinct.records[k]);
            barOf[k] = bars.size();
        }
        const comparison::ScoreColumn scores = comparison::scoreColumn(members, column - 3);
        bar.summary = comparison::summarize(scores.values);
        bar.leftOut = comparison::leftOutText(scores.leftOut);
        values.push_back(scores.asDoubles());
        bars.push_back(std::move(bar));
    }
    std::optional<std::size_t> baselineBar;
    for (std::size_t row = 0; baseline != nullptr && row < records.size() && !baselineBar; ++row) {
        if (sameRun(*records[row], *baseline))
            baselineBar = barOf[distinct.standIn[row]];
    }
    if (baselineBar) {
        ScoreBar& base = bars[*baselineBar];
        base.isBaseline = true;
        const double reference = base.summary.median;
        for (std::size_t i = 0; i < bars.size(); ++i) {
            ScoreBar& bar = bars[i];
            if (reference > 0 && bar.summary.count > 0)
                bar.percent = 100 * bar.summary.median / reference;
            if (i != *baselineBar && bar.summary.count > 0 && base.summary.count > 0 &&
                (bar.rows.size() > 1 || base.rows.size() > 1))
                bar.test = comparison::compareWithBaseline(values[i], values[*baselineBar]);
        }
    }
    return bars;
}

std::size_t duplicateRecords(const ResultBrowser& browser) {
    return comparison::withoutDuplicates(listed(browser)).duplicates;
}

} // namespace vexo
