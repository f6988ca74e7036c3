#include "Comparison.h"

#include "common/Text.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <unordered_map>

namespace vexo::comparison {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The largest K up to maxK whose interval (the K-th values from both ends) has a confidence of
// at least kConfidence, where tail(K) is the chance that the statistic falls below the K-th
// value; K = 1 when none has.
template <class Tail>
IntervalRank chooseRank(std::size_t maxK, Tail tail) {
    IntervalRank rank{1, 1 - 2 * tail(1)};
    for (std::size_t k = 2; k <= maxK; ++k) {
        const double confidence = 1 - 2 * tail(k);
        if (confidence < kConfidence)
            break;
        rank = {k, confidence};
    }
    return rank;
}

// How many of the ratios a[i] / b[j] are at most t; both sorted, positive. As a[i] grows, the
// b[j] that keep its ratio at most t start later, so one pass over each suffices.
std::size_t ratiosAtMost(const std::vector<double>& a, const std::vector<double>& b, double t) {
    std::size_t count = 0;
    std::size_t j = 0;
    for (const double x : a) {
        while (j < b.size() && x / b[j] > t)
            ++j;
        count += b.size() - j;
    }
    return count;
}

// The k-th smallest of the ratios a[i] / b[j] (k from 1), found by halving the range of the
// doubles between the smallest and the largest ratio: the m x n ratios are never held, however
// many runs there are. Positive doubles order as their bit patterns do.
double kthRatio(const std::vector<double>& a, const std::vector<double>& b, std::size_t k) {
    auto lo = std::bit_cast<std::uint64_t>(a.front() / b.back());
    auto hi = std::bit_cast<std::uint64_t>(a.back() / b.front());
    while (lo < hi) {
        const std::uint64_t mid = lo + (hi - lo) / 2;
        if (ratiosAtMost(a, b, std::bit_cast<double>(mid)) >= k)
            hi = mid;
        else
            lo = mid + 1;
    }
    return std::bit_cast<double>(lo);
}

std::string percent(double value) {
    return decimalText(value, 1);
}

std::string signedPercent(double value) {
    const std::string text = decimalText(value, 1);
    return text.front() == '-' ? text : "+" + text;
}

constexpr std::size_t kNamedReasons = 3;

} // namespace

Summary summarize(std::vector<double> values) {
    Summary summary;
    summary.count = values.size();
    if (values.empty())
        return summary;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    summary.median =
        values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
    summary.lowest = values.front();
    summary.highest = values.back();
    summary.medianText = wholeNumber(summary.median);
    summary.lowestText = wholeNumber(summary.lowest);
    summary.highestText = wholeNumber(summary.highest);
    return summary;
}

Summary summarize(std::span<const std::int64_t> scores) {
    std::vector<std::int64_t> sorted(scores.begin(), scores.end());
    std::sort(sorted.begin(), sorted.end());
    Summary summary = summarize(std::vector<double>(sorted.begin(), sorted.end()));
    if (sorted.empty())
        return summary;
    // The digits from the whole numbers themselves. Scores are never negative, so the middle
    // of two is the lower plus half their distance, without overflow.
    const std::size_t middle = sorted.size() / 2;
    const std::int64_t low = sorted.size() % 2 == 1 ? sorted[middle] : sorted[middle - 1];
    const std::int64_t high = sorted[middle];
    summary.medianText =
        std::to_string(low + (high - low) / 2) + ((high - low) % 2 != 0 ? ".5" : "");
    summary.lowestText = std::to_string(sorted.front());
    summary.highestText = std::to_string(sorted.back());
    return summary;
}

IntervalRank medianRank(std::size_t n) {
    // P(X <= k - 1) for X binomial(n, 1/2), summed as k grows; lgamma keeps every term finite.
    const double logTotal = static_cast<double>(n) * std::log(2.0);
    const double logN = std::lgamma(static_cast<double>(n) + 1);
    double below = 0;
    std::size_t summed = 0;
    return chooseRank((n + 1) / 2, [&](std::size_t k) {
        for (; summed < k; ++summed) {
            const auto i = static_cast<double>(summed);
            below += std::exp(logN - std::lgamma(i + 1) -
                              std::lgamma(static_cast<double>(n) - i + 1) - logTotal);
        }
        return below;
    });
}

IntervalRank ratioRank(std::size_t m, std::size_t n) {
    if (m > n)
        std::swap(m, n);
    const std::size_t cells = m * n;
    if (m + n > 60) {
        // The normal approximation, with continuity correction.
        constexpr double z = 1.959963984540054;
        const double mean = static_cast<double>(cells) / 2;
        const double sd =
            std::sqrt(static_cast<double>(cells) * static_cast<double>(m + n + 1) / 12);
        const double k = std::max(1.0, std::floor(mean + 0.5 - z * sd));
        return {static_cast<std::size_t>(k),
                1 - std::erfc(-(k - 0.5 - mean) / (sd * std::sqrt(2.0)))};
    }
    // How many of the C(m + n, m) orders of the two groups give each value of the statistic:
    // the coefficients of the product of (1 - q^(n+i)) / (1 - q^i) for i = 1 to m, exact in
    // 64 bits up to C(60, 30).
    std::vector<std::int64_t> ways(cells + m + 1, 0);
    ways[0] = 1;
    for (std::size_t i = 1; i <= m; ++i) {
        for (std::size_t u = ways.size() - 1; u >= n + i; --u)
            ways[u] -= ways[u - n - i];
        for (std::size_t u = i; u < ways.size(); ++u)
            ways[u] += ways[u - i];
    }
    double total = 0;
    for (std::size_t u = 0; u <= cells; ++u)
        total += static_cast<double>(ways[u]);
    std::vector<double> below(cells + 2, 0); // below[k]: P(U <= k - 1)
    for (std::size_t u = 0; u <= cells; ++u)
        below[u + 1] = below[u] + static_cast<double>(ways[u]) / total;
    return chooseRank((cells + 1) / 2, [&](std::size_t k) { return below[k]; });
}

std::optional<Interval> medianInterval(std::vector<double> values) {
    if (values.size() < kMinimumRuns)
        return std::nullopt;
    std::sort(values.begin(), values.end());
    const IntervalRank rank = medianRank(values.size());
    return Interval{values[rank.k - 1], values[values.size() - rank.k], rank.confidence};
}

std::string medianIntervalText(const std::vector<double>& values) {
    const std::optional<Interval> interval = medianInterval(values);
    if (!interval)
        return "untested: " + std::to_string(values.size()) + " run(s)";
    const double median = summarize(values).median;
    if (median <= 0)
        return "no score";
    return signedPercent(100 * (interval->low / median - 1)) + " to " +
           signedPercent(100 * (interval->high / median - 1)) + " % (" +
           percent(100 * interval->confidence) + " %)";
}

RatioTest compareWithBaseline(std::vector<double> values, std::vector<double> baseline) {
    RatioTest test;
    test.runs = values.size();
    test.baselineRuns = baseline.size();
    const Summary summary = summarize(values);
    const Summary base = summarize(baseline);
    if (summary.count > 0 && base.median > 0)
        test.ratio = summary.median / base.median;
    if (values.size() < kMinimumRuns || baseline.size() < kMinimumRuns)
        return test;
    const auto notPositive = [](double v) { return !(v > 0); };
    if (std::any_of(values.begin(), values.end(), notPositive) ||
        std::any_of(baseline.begin(), baseline.end(), notPositive)) {
        test.outcome = RatioTest::Outcome::ZeroScore;
        return test;
    }
    std::sort(values.begin(), values.end());
    std::sort(baseline.begin(), baseline.end());
    const IntervalRank rank = ratioRank(values.size(), baseline.size());
    const std::size_t ratios = values.size() * baseline.size();
    test.interval = Interval{kthRatio(values, baseline, rank.k),
                             kthRatio(values, baseline, ratios + 1 - rank.k), rank.confidence};
    if (rank.confidence < kConfidence)
        test.outcome = RatioTest::Outcome::TooFewForLevel;
    else if (test.interval->low > 1 || test.interval->high < 1)
        test.outcome = RatioTest::Outcome::Different;
    else
        test.outcome = RatioTest::Outcome::NoDifference;
    return test;
}

std::string verdictText(const RatioTest& test) {
    using Outcome = RatioTest::Outcome;
    const std::string runs = std::to_string(test.runs) + (test.runs == 1 ? " run" : " runs") +
                             " against " + std::to_string(test.baselineRuns);
    switch (test.outcome) {
    case Outcome::TooFewRuns:
        return "cannot be tested: " + runs + " (" + std::to_string(kMinimumRuns) +
               " each are needed)";
    case Outcome::ZeroScore:
        return "cannot be tested: a run scored 0";
    case Outcome::TooFewForLevel:
    case Outcome::NoDifference:
    case Outcome::Different:
        break;
    }
    const Interval& interval = *test.interval;
    std::string text =
        "interval " + percent(100 * interval.low) + " to " + percent(100 * interval.high) + " % (";
    if (test.outcome == Outcome::TooFewForLevel)
        return text + "only " + percent(100 * interval.confidence) + " % confidence from " + runs +
               "): not tested";
    return text + percent(100 * interval.confidence) +
           " % confidence): " + (test.different() ? "different" : "no difference shown");
}

std::optional<double> scoreValue(const std::optional<std::string>& cell) {
    const std::optional<std::int64_t> whole = wholeScore(cell);
    return whole ? std::optional<double>(static_cast<double>(*whole)) : std::nullopt;
}

std::optional<std::int64_t> wholeScore(const std::optional<std::string>& cell) {
    if (!cell || cell->empty() || !isDigit(cell->front()))
        return std::nullopt;
    const std::string_view text(*cell);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc())
        return std::nullopt; // not a number, or beyond 64 bits
    const std::string_view rest = text.substr(static_cast<std::size_t>(end - text.data()));
    // Only the Direct3D cell carries something after its number: the settings in brackets.
    if (!rest.empty() && (rest.front() != '(' || rest.back() != ')'))
        return std::nullopt;
    return value;
}

bool notRun(const std::optional<std::string>& cell) {
    const std::optional<double> value = scoreValue(cell);
    return value && *value == 0;
}

std::optional<double> measuredScore(const std::optional<std::string>& cell) {
    return notRun(cell) ? std::nullopt : scoreValue(cell);
}

std::string notAScore(const std::optional<std::string>& cell) {
    if (notRun(cell))
        return "not run";
    if (!cell || cell->empty() || scoreValue(cell))
        return {};
    constexpr std::size_t kShown = 24;
    std::string shown = cell->substr(0, kShown);
    while (!shown.empty() && (static_cast<unsigned char>(shown.back()) & 0xC0) == 0x80)
        shown.pop_back(); // never half a character
    if (shown.size() < cell->size())
        shown += "...";
    std::int64_t ignored = 0;
    const bool digits = std::all_of(cell->begin(), cell->end(), isDigit);
    const bool tooLarge =
        digits && std::from_chars(cell->data(), cell->data() + cell->size(), ignored).ec ==
                      std::errc::result_out_of_range;
    return (tooLarge ? "too large to be a score: " : "not a whole number: ") + shown;
}

std::string wholeNumber(double value) {
    char text[400];
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
}

std::string leftOutText(const LeftOut& leftOut) {
    if (leftOut.count == 0)
        return {};
    // Every run left out for one reason: the reason says it all ("not run").
    if (leftOut.count == leftOut.of && leftOut.reasons.size() == 1 && !leftOut.moreReasons)
        return leftOut.reasons.front();
    std::string text = std::to_string(leftOut.count) + " of " + std::to_string(leftOut.of) +
                       (leftOut.of == 1 ? " run" : " runs") + " left out: ";
    for (std::size_t i = 0; i < leftOut.reasons.size(); ++i)
        text += (i ? "; " : "") + leftOut.reasons[i];
    return text + (leftOut.moreReasons ? "; ..." : "");
}

ScoreColumn scoreColumn(const std::vector<const BenchmarkRecord*>& records, std::size_t index) {
    ScoreColumn column;
    column.leftOut.of = records.size();
    for (const BenchmarkRecord* record : records) {
        const std::optional<std::string>& cell = record->scores[index];
        if (const auto value = notRun(cell) ? std::nullopt : wholeScore(cell)) {
            column.values.push_back(*value);
        } else if (std::string why = notAScore(cell); !why.empty()) {
            ++column.leftOut.count;
            // Each reason once: "not run" five times over says no more than once.
            auto& reasons = column.leftOut.reasons;
            if (std::find(reasons.begin(), reasons.end(), why) != reasons.end())
                continue;
            if (reasons.size() < kNamedReasons)
                reasons.push_back(std::move(why));
            else
                column.leftOut.moreReasons = true;
        }
    }
    return column;
}

bool sameKeys(const BenchmarkRecord& a, const BenchmarkRecord& b) {
    return a.name == b.name && a.scores == b.scores && a.tasks == b.tasks && a.system == b.system;
}

Distinct withoutDuplicates(const std::vector<const BenchmarkRecord*>& records) {
    const auto hashOf = [](const BenchmarkRecord* record) {
        std::size_t hash =
            std::hash<std::string>()(record->name.value_or("")) + record->name.has_value();
        const auto mix = [&hash](const std::optional<std::string>& text) {
            hash = hash * 1000003u ^ (text ? std::hash<std::string>()(*text) : 0x9e3779b9u);
        };
        for (const auto& score : record->scores)
            mix(score);
        for (const std::string& task : record->tasks)
            mix(task);
        for (const auto& value : record->system)
            mix(value);
        return hash;
    };
    const auto same = [](const BenchmarkRecord* a, const BenchmarkRecord* b) {
        return sameKeys(*a, *b);
    };
    std::unordered_map<const BenchmarkRecord*, std::size_t, decltype(hashOf), decltype(same)> seen(
        records.size(), hashOf, same);
    Distinct distinct;
    for (const BenchmarkRecord* record : records) {
        const auto [at, added] = seen.try_emplace(record, distinct.records.size());
        if (added)
            distinct.records.push_back(record);
        else
            ++distinct.duplicates;
        distinct.standIn.push_back(at->second);
    }
    return distinct;
}

std::string duplicatesText(std::size_t duplicates) {
    if (duplicates == 0)
        return {};
    return std::to_string(duplicates) +
           " duplicate record(s) left out: a run given more than once counts once";
}

} // namespace vexo::comparison
