#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexo {

// One benchmark run as the result browser holds it: every value is the text read from the
// file. A key the file lacked leaves its cell empty (std::nullopt).
struct BenchmarkRecord {
    int RowNumber = 0;
    std::string fileName; // without folder, in lower case
    std::optional<std::string> name;
    std::array<std::optional<std::string>, 8> scores; // BMCPUh ... BMISA
    std::vector<std::string> tasks;
    std::array<std::optional<std::string>, 14> system; // CPUT ... GRA_Mem

    bool operator==(const BenchmarkRecord&) const = default;
};

// Index of a score or system key in its group, or -1 for any other key (keys are
// case-sensitive).
int scoreKeyIndex(std::string_view key);
int systemKeyIndex(std::string_view key);

// The records of the result browser, in the order they were read.
class BenchmarkDatabase {
public:
    // Appends a record numbered one past the current count.
    BenchmarkRecord& addRecord(std::string fileName);
    // Makes room for that many more records at once.
    void reserveMore(std::size_t count) {
        const std::size_t needed = m_records.size() + count;
        if (needed > m_records.capacity())
            m_records.reserve(std::max(needed, 2 * m_records.capacity()));
    }

    const std::vector<BenchmarkRecord>& records() const { return m_records; }
    std::size_t size() const { return m_records.size(); }
    bool empty() const { return m_records.empty(); }
    void clear() { m_records.clear(); }
    // Removes a record; the records after it move up and their row numbers go down by one.
    void removeRecord(std::size_t index);

private:
    std::vector<BenchmarkRecord> m_records;
};

} // namespace vexo
