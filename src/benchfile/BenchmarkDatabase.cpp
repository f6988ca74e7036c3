#include "BenchmarkDatabase.h"

#include "common/ScoreSet.h"
#include "common/SystemDescription.h"

namespace vexo {

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
