#include "ScoreBars.h"

#include <unordered_map>

namespace vexo {

namespace {

bool sameRun(const BenchmarkRecord& a, const BenchmarkRecord& b) {
    return a.name == b.name && a.fileName == b.fileName && a.scores == b.scores &&
           a.tasks == b.tasks && a.system == b.system;
}

} // namespace

std::vector<ScoreBar> scoreBars(const ResultBrowser& browser, std::size_t column,
                                const BaselineRecord* baseline) {
    std::vector<ScoreBar> bars;
    std::vector<std::vector<double>> values;
    std::unordered_map<std::string, std::size_t> repeated; // group name -> bar
    std::optional<std::size_t> baselineBar;
    bool baselineNumberMatched = false;
    for (std::size_t row = 0; row < browser.rowCount(); ++row) {
        const BenchmarkRecord& record = browser.recordAt(BrowserMode::Scores, row);
        const std::string name = record.name.value_or("");
        const std::string_view group = comparison::groupName(name);
        std::size_t bar = bars.size();
        if (group.size() != name.size()) {
            const auto [at, added] = repeated.try_emplace(std::string(group), bars.size());
            bar = at->second;
        }
        if (bar == bars.size()) {
            bars.push_back({std::to_string(record.RowNumber) + ". " + std::string(group), {}, {},
                            std::nullopt, false});
            values.emplace_back();
        }
        bars[bar].rows.push_back(row);
        if (const auto value =
                comparison::scoreValue(browser.cell(BrowserMode::Scores, row, column)))
            values[bar].push_back(*value);
        if (baseline != nullptr && !baselineNumberMatched && sameRun(record, *baseline)) {
            baselineNumberMatched = record.RowNumber == baseline->RowNumber;
            if (!baselineBar || baselineNumberMatched)
                baselineBar = bar;
        }
    }
    for (std::size_t i = 0; i < bars.size(); ++i) {
        bars[i].summary = comparison::summarize(std::move(values[i]));
        if (bars[i].rows.size() > 1)
            bars[i].label += " (" + std::to_string(bars[i].rows.size()) + " runs)";
    }
    if (baselineBar) {
        ScoreBar& base = bars[*baselineBar];
        base.isBaseline = true;
        const double reference = base.summary.median;
        for (ScoreBar& bar : bars) {
            if (reference > 0 && bar.summary.count > 0)
                bar.percent = 100 * bar.summary.median / reference;
        }
    }
    return bars;
}

} // namespace vexo
