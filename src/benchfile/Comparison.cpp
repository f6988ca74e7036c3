#include "Comparison.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <unordered_map>

namespace vexo::comparison {

namespace {

constexpr std::string_view kRunWord = " (run ";
constexpr std::string_view kOfWord = " of ";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads a positive decimal number without leading zero at text[pos...], moving pos past it.
std::optional<int> readCount(std::string_view text, std::size_t& pos) {
    const std::size_t start = pos;
    while (pos < text.size() && isDigit(text[pos]) && pos - start < 6)
        ++pos;
    if (pos == start || text[start] == '0')
        return std::nullopt;
    int value = 0;
    std::from_chars(text.data() + start, text.data() + pos, value);
    return value;
}

} // namespace

Summary summarize(std::vector<double> values) {
    Summary summary;
    summary.count = values.size();
    if (values.empty())
        return summary;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    summary.median = values.size() % 2 == 1 ? values[middle]
                                            : (values[middle - 1] + values[middle]) / 2;
    summary.lowest = values.front();
    summary.highest = values.back();
    return summary;
}

bool withinNoise(const Summary& a, const Summary& b) {
    return a.lowest <= b.highest && b.lowest <= a.highest;
}

std::string repetitionName(std::string_view name, int k, int n) {
    return std::string(name) + std::string(kRunWord) + std::to_string(k) + std::string(kOfWord) +
           std::to_string(n) + ")";
}

std::string_view groupName(std::string_view name) {
    const std::size_t at = name.rfind(kRunWord);
    if (at == std::string_view::npos || name.back() != ')')
        return name;
    std::size_t pos = at + kRunWord.size();
    const auto k = readCount(name, pos);
    if (!k || name.substr(pos, kOfWord.size()) != kOfWord)
        return name;
    pos += kOfWord.size();
    const auto n = readCount(name, pos);
    if (!n || *k > *n || pos + 1 != name.size())
        return name;
    return name.substr(0, at);
}

std::optional<double> scoreValue(const std::optional<std::string>& cell) {
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
    return static_cast<double>(value);
}

std::string notAScore(const std::optional<std::string>& cell) {
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

Summary RecordGroup::score(std::size_t index) const {
    std::vector<double> values;
    for (const BenchmarkRecord* record : records) {
        if (const auto value = scoreValue(record->scores.at(index)))
            values.push_back(*value);
    }
    return summarize(std::move(values));
}

std::vector<RecordGroup> groupByName(const std::vector<const BenchmarkRecord*>& records) {
    std::vector<RecordGroup> groups;
    std::unordered_map<std::string, std::size_t> indexOf;
    for (const BenchmarkRecord* record : records) {
        std::string name(groupName(record->name.value_or("")));
        const auto [at, added] = indexOf.try_emplace(name, groups.size());
        if (added)
            groups.push_back({std::move(name), {}});
        groups[at->second].records.push_back(record);
    }
    return groups;
}

std::vector<std::vector<std::size_t>>
chartGroups(const std::vector<const BenchmarkRecord*>& records) {
    std::vector<std::vector<std::size_t>> groups;
    std::unordered_map<std::string, std::size_t> repeated;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::string name = records[i]->name.value_or("");
        const std::string_view group = groupName(name);
        std::size_t at = groups.size();
        if (group.size() != name.size())
            at = repeated.try_emplace(std::string(group), groups.size()).first->second;
        if (at == groups.size())
            groups.emplace_back();
        groups[at].push_back(i);
    }
    return groups;
}

} // namespace vexo::comparison
