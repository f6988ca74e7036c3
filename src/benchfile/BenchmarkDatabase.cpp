#include "BenchmarkDatabase.h"

#include "common/ScoreSet.h"
#include "common/SystemDescription.h"

#include <charconv>

namespace vexo {

namespace {

constexpr std::string_view kRunWord = " (run ";
constexpr std::string_view kOfWord = " of ";

// Reads a positive decimal number without leading zero at text[pos...], moving pos past it.
std::optional<int> readCount(std::string_view text, std::size_t& pos) {
    const std::size_t start = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < 6)
        ++pos;
    if (pos == start || text[start] == '0')
        return std::nullopt;
    int value = 0;
    std::from_chars(text.data() + start, text.data() + pos, value);
    return value;
}

} // namespace

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

int scoreKeyIndex(std::string_view key) {
    for (std::size_t i = 0; i < kScoreFields.size(); ++i) {
        if (kScoreFields[i].key == key)
            return static_cast<int>(i);
    }
    return -1;
}

int systemKeyIndex(std::string_view key) {
    for (std::size_t i = 0; i < kSystemFields.size(); ++i) {
        if (kSystemFields[i].key == key)
            return static_cast<int>(i);
    }
    return -1;
}

BenchmarkRecord& BenchmarkDatabase::addRecord(SharedText fileName) {
    BenchmarkRecord& record = m_records.emplace_back();
    record.RowNumber = static_cast<int>(m_records.size());
    record.fileName = std::move(fileName);
    return record;
}

void BenchmarkDatabase::removeRecord(std::size_t index) {
    if (index >= m_records.size())
        return;
    const int removed = m_records[index].RowNumber;
    m_records.erase(m_records.begin() + static_cast<std::ptrdiff_t>(index));
    for (BenchmarkRecord& record : m_records) {
        if (record.RowNumber > removed)
            --record.RowNumber;
    }
}

} // namespace vexo
