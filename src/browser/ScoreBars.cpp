#include "ScoreBars.h"

namespace vexo {

namespace {

bool sameRun(const BenchmarkRecord& a, const BenchmarkRecord& b) {
    return a.name == b.name && a.fileName == b.fileName && a.scores == b.scores &&
           a.tasks == b.tasks && a.system == b.system;
}

} // namespace

std::vector<ScoreBar> scoreBars(const ResultBrowser& browser, std::size_t column,
                                const BaselineRecord* baseline) {
    std::vector<const BenchmarkRecord*> records;
    for (std::size_t row = 0; row < browser.rowCount(); ++row)
        records.push_back(&browser.recordAt(BrowserMode::Scores, row));

    std::vector<ScoreBar> bars;
    std::vector<std::vector<double>> values; // of each bar
    std::optional<std::size_t> baselineBar;
    bool baselineNumberMatched = false;
    for (const std::vector<std::size_t>& rows : comparison::chartGroups(records)) {
        const BenchmarkRecord& first = *records[rows.front()];
        ScoreBar bar;
        bar.label = std::to_string(first.RowNumber) + ". " +
                    std::string(comparison::groupName(first.name.value_or("")));
        if (rows.size() > 1)
            bar.label += " (" + std::to_string(rows.size()) + " runs)";
        bar.rows = rows;
        std::vector<double>& own = values.emplace_back();
        for (const std::size_t row : rows) {
            const std::optional<std::string> cell = browser.cell(BrowserMode::Scores, row, column);
            if (const auto value = comparison::measuredScore(cell))
                own.push_back(*value);
            else if (bar.leftOut.empty())
                bar.leftOut = comparison::notAScore(cell);
            // Of several records alike, the one with the baseline's number.
            if (baseline != nullptr && !baselineNumberMatched &&
                sameRun(*records[row], *baseline)) {
                baselineNumberMatched = records[row]->RowNumber == baseline->RowNumber;
                if (!baselineBar || baselineNumberMatched)
                    baselineBar = bars.size();
            }
        }
        bar.summary = comparison::summarize(own);
        bars.push_back(std::move(bar));
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

} // namespace vexo
