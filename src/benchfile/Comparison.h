#pragma once

#include "benchfile/BenchmarkDatabase.h"

#include <cstddef>
#include <optional>
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

    // (highest - lowest) / median: 0 for one value, or when the median is 0.
    double spread() const { return median > 0 ? (highest - lowest) / median : 0; }
};
Summary summarize(std::vector<double> values);

// Two sets cannot be told apart when their ranges overlap.
bool withinNoise(const Summary& a, const Summary& b);

// The name of the K-th of N repeated runs, and the name of the group a record belongs to:
// its name without such a suffix.
std::string repetitionName(std::string_view name, int k, int n);
std::string_view groupName(std::string_view name);

// The score a cell holds: nothing unless the whole text is a decimal number that fits in 64
// bits (a Direct3D cell may carry its settings in brackets after it). Any other text is not a
// score, and is left out of charts and statistics.
std::optional<double> scoreValue(const std::optional<std::string>& cell);

// Why a cell that holds text gives no score ("not a whole number: 12abc"), or nothing when it
// is a score or empty. The text is cut to a length a label can show.
std::string notAScore(const std::optional<std::string>& cell);

// A value rounded to a whole number, as decimal digits (safe for any double, unlike a cast).
std::string wholeNumber(double value);

// Records grouped by their group name, in the order each name first appears.
struct RecordGroup {
    std::string name;
    std::vector<const BenchmarkRecord*> records;

    // The summary of one score (its index in the score fields) over the records holding it.
    Summary score(std::size_t index) const;
};
std::vector<RecordGroup> groupByName(const std::vector<const BenchmarkRecord*>& records);

// The bars of a chart over records in a given order: the records of one repeated run (names
// "NAME (run K of N)" with the same NAME) together, where the first of them stands; any other
// record alone, even beside another of the same name. Each bar lists its records' positions.
std::vector<std::vector<std::size_t>> chartGroups(const std::vector<const BenchmarkRecord*>& records);

} // namespace vexo::comparison
