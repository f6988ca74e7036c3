#pragma once

#include "benchfile/BenchmarkDatabase.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexo::comparison {

// A set of values of one score: its median (the mean of the two middle values for an even
// count), lowest and highest value.
struct Summary {
    std::size_t count = 0;
    double median = 0;
    double lowest = 0;
    double highest = 0;
    // The same three as decimal text. From whole scores every digit is kept (a double holds
    // whole numbers exactly only up to 2^53), and a median halfway between two ends in ".5".
    std::string medianText;
    std::string lowestText;
    std::string highestText;

    // (highest - lowest) / median: 0 for one value, or when the median is 0.
    double spread() const { return median > 0 ? (highest - lowest) / median : 0; }
};
Summary summarize(std::vector<double> values);
Summary summarize(std::span<const std::int64_t> scores);

// An interval between two order statistics, and the chance that it holds the true value.
struct Interval {
    double low = 0;
    double high = 0;
    double confidence = 0; // 0 to 1
};

// The confidence every interval aims at, and the fewest runs a group needs to be tested.
inline constexpr double kConfidence = 0.95;
inline constexpr std::size_t kMinimumRuns = 3;

// Which order statistics make an interval: the K-th lowest and the K-th highest value, with
// the confidence that choice has. K is the largest whose confidence reaches kConfidence; when
// none does, K is 1 and the confidence is the most the count allows.
struct IntervalRank {
    std::size_t k = 1;
    double confidence = 0;
};
// For the median of n values (sign test: the binomial distribution with p = 1/2).
IntervalRank medianRank(std::size_t n);
// For the m x n ratios of two groups of m and n values (rank-sum test: the distribution of the
// Mann-Whitney statistic, exact while m + n <= 60, else its normal approximation).
IntervalRank ratioRank(std::size_t m, std::size_t n);

// The distribution-free interval of the median of a set of values; nothing below kMinimumRuns.
std::optional<Interval> medianInterval(std::vector<double> values);
// That interval in percent of the median, for a table: "-2.1 to +1.3 % (93.8 %)", or why there
// is none ("untested: 2 run(s)").
std::string medianIntervalText(const std::vector<double>& values);

// The values of one score of a group of runs compared with those of a baseline group: the ratio
// of their medians, and an exact rank-based interval of the ratio between the two groups: the
// K-th lowest to the K-th highest of the ratios of every value to every baseline value (it
// holds the true ratio with its confidence when the groups differ by a factor). Different only
// when the interval reaches kConfidence and excludes 1.
struct RatioTest {
    enum class Outcome {
        TooFewRuns,     // a group has fewer than kMinimumRuns values
        ZeroScore,      // a run scored 0: a benchmark that did not run has no ratio
        TooFewForLevel, // the interval cannot reach kConfidence with so few runs
        NoDifference,   // the interval holds 1
        Different,      // the interval excludes 1
    };
    Outcome outcome = Outcome::TooFewRuns;
    std::size_t runs = 0;
    std::size_t baselineRuns = 0;
    std::optional<double> ratio; // of the medians; nothing without values or a baseline median
    std::optional<Interval> interval;

    bool different() const { return outcome == Outcome::Different; }
    // Whether a verdict could be given at kConfidence.
    bool tested() const {
        return outcome == Outcome::Different || outcome == Outcome::NoDifference;
    }
};
RatioTest compareWithBaseline(std::vector<double> values, std::vector<double> baseline);

// What a test found, in words, after the percentage of the baseline: "interval 98.0 to
// 104.1 % (96.8 % confidence): no difference shown", "cannot be tested: 2 runs against 5 (3
// each are needed)".
std::string verdictText(const RatioTest& test);

// The score a cell holds: nothing unless the whole text is a decimal number that fits in 64
// bits (a Direct3D cell may carry its settings in brackets after it). Any other text is not a
// score, and is left out of charts and statistics.
std::optional<double> scoreValue(const std::optional<std::string>& cell);

// Whether a cell holds a score of 0: what the writers write for a benchmark that did not run
// (or counted nothing). Charts and statistics show it as not run, not as a score.
bool notRun(const std::optional<std::string>& cell);
// The score a cell holds for a chart or a statistic: its score, unless it is none or not run.
std::optional<double> measuredScore(const std::optional<std::string>& cell);

// Why a cell that holds text gives no measured score ("not a whole number: 12abc", "not run"),
// or nothing when it is a score or empty. The text is cut to a length a label can show.
std::string notAScore(const std::optional<std::string>& cell);

// A value rounded to a whole number, as decimal digits (safe for any double, unlike a cast).
std::string wholeNumber(double value);

// The whole number a score cell holds, by the rule of scoreValue().
std::optional<std::int64_t> wholeScore(const std::optional<std::string>& cell);

// The cells of one score that a statistic leaves out because they hold text that is not a
// score, and why, so that the statistic can say so where it stands.
struct LeftOut {
    std::size_t count = 0;            // cells left out
    std::size_t of = 0;               // cells the statistic was taken over
    std::vector<std::string> reasons; // the first few different notAScore() texts
    bool moreReasons = false;         // other reasons than those named
};
// "2 of 5 runs left out: not a whole number: -98; not a whole number: 102 ", the one reason
// alone when it left out every run ("not run"), or nothing.
std::string leftOutText(const LeftOut& leftOut);

// One score of a set of records: the values of the cells that hold one, and what was left out.
struct ScoreColumn {
    std::vector<std::int64_t> values;
    LeftOut leftOut;

    std::vector<double> asDoubles() const { return {values.begin(), values.end()}; }
};
ScoreColumn scoreColumn(const std::vector<const BenchmarkRecord*>& records, std::size_t index);

// Records identical in every key (name, scores, tasks and system values, whichever file they
// came from) are one run given more than once: it counts once, the first record standing for
// the others.
bool sameKeys(const BenchmarkRecord& a, const BenchmarkRecord& b);
struct Distinct {
    std::vector<const BenchmarkRecord*> records; // the first of each run, in the order given
    std::size_t duplicates = 0;                  // the records left out
    // For each record given, the position in records of the one that stands for it.
    std::vector<std::size_t> standIn;
};
Distinct withoutDuplicates(const std::vector<const BenchmarkRecord*>& records);
// "2 duplicate record(s) left out: a run given more than once counts once", or nothing.
std::string duplicatesText(std::size_t duplicates);

} // namespace vexo::comparison
