#include "Chart.h"

#include <algorithm>
#include <unordered_map>

namespace vexo::comparison {

namespace {

// The bars over records, each the positions of its records.
std::vector<std::vector<std::size_t>> groupsOf(const std::vector<const BenchmarkRecord*>& records,
                                               Grouping grouping) {
    std::vector<std::vector<std::size_t>> groups;
    std::unordered_map<std::string, std::size_t> named; // a group's bar by its name
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::string name = records[i]->name.value_or("");
        const std::string_view group = groupName(name);
        std::size_t at = groups.size();
        // A record without a repetition suffix stands alone unless records group by name.
        if (grouping == Grouping::Names || group.size() != name.size())
            at = named.try_emplace(std::string(group), groups.size()).first->second;
        if (at == groups.size())
            groups.emplace_back();
        groups[at].push_back(i);
    }
    return groups;
}

} // namespace

bool ScoreChart::holdsAnything() const {
    return std::any_of(bars.begin(), bars.end(), [](const BarScore& bar) {
        return bar.summary.count > 0 || bar.leftOut.count > 0;
    });
}

Chart::Chart(const std::vector<const BenchmarkRecord*>& records, Grouping grouping,
             std::optional<std::size_t> baseline)
    : m_grouping(grouping)
    , m_distinct(withoutDuplicates(records)) {
    const std::vector<const BenchmarkRecord*>& counted = m_distinct.records;
    std::vector<std::size_t> firstAt(counted.size()); // of each record counted
    for (std::size_t at = records.size(); at-- > 0;)
        firstAt[m_distinct.standIn[at]] = at;
    std::vector<std::size_t> barOf(counted.size());
    for (const std::vector<std::size_t>& group : groupsOf(counted, grouping)) {
        ChartBar bar;
        const BenchmarkRecord& first = *counted[group.front()];
        bar.name = groupName(first.name.value_or(""));
        bar.label = std::to_string(first.RowNumber) + ". " + bar.name;
        if (group.size() > 1)
            bar.label += " (" + std::to_string(group.size()) + " runs)";
        for (const std::size_t k : group) {
            bar.records.push_back(counted[k]);
            bar.positions.push_back(firstAt[k]);
            barOf[k] = m_bars.size();
        }
        m_bars.push_back(std::move(bar));
    }
    // Any copy of a run given more than once names its bar.
    if (baseline && *baseline < records.size())
        m_baseline = barOf[m_distinct.standIn[*baseline]];
}

ScoreChart Chart::score(std::size_t score) const {
    ScoreChart chart;
    chart.score = score;
    std::vector<std::vector<double>> values; // of each bar
    for (const ChartBar& bar : m_bars) {
        ScoreColumn column = scoreColumn(bar.records, score);
        chart.bars.push_back({summarize(column.values), std::move(column.leftOut), {}, {}});
        chart.largest = std::max(chart.largest, chart.bars.back().summary.highest);
        values.push_back(column.asDoubles());
    }
    if (!m_baseline)
        return chart;
    const std::size_t baseBar = *m_baseline;
    const Summary base = chart.bars[baseBar].summary;
    if (base.median > 0) // a median of 0 has no score
        chart.baselineMedian = base.median;
    for (std::size_t i = 0; i < chart.bars.size(); ++i) {
        BarScore& bar = chart.bars[i];
        if (base.median > 0 && bar.summary.count > 0)
            bar.percent = 100 * bar.summary.median / base.median;
        const bool grouped = m_bars[i].records.size() > 1 || m_bars[baseBar].records.size() > 1;
        if (m_grouping == Grouping::Names ||
            (i != baseBar && bar.summary.count > 0 && base.count > 0 && grouped))
            bar.test = compareWithBaseline(values[i], values[baseBar]);
    }
    return chart;
}

} // namespace vexo::comparison
