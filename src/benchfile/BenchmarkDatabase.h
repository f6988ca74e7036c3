#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vexo {

// The values of one group of keys (the scores, or the system values), addressed by the key's
// index in its group like an array of N optional texts. Only the values a file held take room,
// so that a record read from a few bytes costs a few bytes.
template <std::size_t N>
class FieldValues {
public:
    using Value = std::optional<std::string>;

    static constexpr std::size_t size() { return N; }

    // A value the record lacks, or an index beyond the group, reads as absent.
    const Value& operator[](std::size_t index) const {
        for (const auto& [at, value] : m_values) {
            if (at == index)
                return value;
        }
        return absent();
    }
    // The value to assign, made empty (absent) on first use.
    Value& operator[](std::size_t index) {
        for (auto& [at, value] : m_values) {
            if (at == index)
                return value;
        }
        return m_values.emplace_back(static_cast<std::uint8_t>(index), std::nullopt).second;
    }

    bool operator==(const FieldValues& other) const {
        for (std::size_t i = 0; i < N; ++i) {
            if ((*this)[i] != other[i])
                return false;
        }
        return true;
    }

    // Visits every index in order, absent values included.
    class const_iterator {
    public:
        const_iterator(const FieldValues& values, std::size_t index)
            : m_values(&values)
            , m_index(index) {}
        const Value& operator*() const { return (*m_values)[m_index]; }
        const_iterator& operator++() {
            ++m_index;
            return *this;
        }
        bool operator==(const const_iterator& other) const { return m_index == other.m_index; }

    private:
        const FieldValues* m_values;
        std::size_t m_index;
    };
    const_iterator begin() const { return const_iterator(*this, 0); }
    const_iterator end() const { return const_iterator(*this, N); }

private:
    static const Value& absent() {
        static const Value none;
        return none;
    }
    std::vector<std::pair<std::uint8_t, Value>> m_values;
};

// A text shared by copies, in the room of one pointer: the records read from one file share its
// name. Copies are counted without atomics: records belong to the user-interface thread.
class SharedText {
public:
    SharedText() = default;
    SharedText(std::string text)
        : m_shared(text.empty() ? nullptr : new Shared{1, std::move(text)}) {}
    SharedText(const char* text)
        : SharedText(std::string(text)) {}
    SharedText(const SharedText& other)
        : m_shared(other.m_shared) {
        if (m_shared)
            ++m_shared->users;
    }
    SharedText& operator=(const SharedText& other) {
        SharedText copy(other);
        std::swap(m_shared, copy.m_shared);
        return *this;
    }
    ~SharedText() {
        if (m_shared && --m_shared->users == 0)
            delete m_shared;
    }

    const std::string& str() const { return m_shared ? m_shared->text : empty(); }
    operator const std::string&() const { return str(); }
    operator std::string_view() const { return str(); }
    bool operator==(const SharedText& other) const { return str() == other.str(); }
    bool operator==(std::string_view other) const { return str() == other; }
    bool operator==(const char* other) const { return str() == other; }
    friend std::ostream& operator<<(std::ostream& out, const SharedText& text) {
        return out << text.str();
    }

private:
    struct Shared {
        std::size_t users;
        const std::string text;
    };
    static const std::string& empty() {
        static const std::string none;
        return none;
    }
    Shared* m_shared = nullptr;
};

// One benchmark run as the result browser holds it: every value is the text read from the
// file. A key the file lacked leaves its cell empty (std::nullopt).
struct BenchmarkRecord {
    int RowNumber = 0;
    SharedText fileName; // without folder, in lower case
    std::optional<std::string> name;
    FieldValues<8> scores; // BMCPUh ... BMISA
    std::vector<std::string> tasks;
    FieldValues<14> system; // CPUT ... GRA_Mem

    bool operator==(const BenchmarkRecord&) const = default;
};

// The name of the K-th of N repeated runs, "NAME (run K of N)", and the name of the group a
// record belongs to: its name without such a suffix.
std::string repetitionName(std::string_view name, int k, int n);
std::string_view groupName(std::string_view name);

// Index of a score or system key in its group, or -1 for any other key (keys are
// case-sensitive).
int scoreKeyIndex(std::string_view key);
int systemKeyIndex(std::string_view key);

// The records of the result browser, in the order they were read. Records never move once
// added (a reader holds the one it fills), and adding one never copies the others.
class BenchmarkDatabase {
public:
    // Appends a record numbered one past the current count.
    BenchmarkRecord& addRecord(SharedText fileName);

    const std::deque<BenchmarkRecord>& records() const { return m_records; }
    std::size_t size() const { return m_records.size(); }
    bool empty() const { return m_records.empty(); }
    void clear() { m_records.clear(); }
    // Removes a record; the records after it move up and their row numbers go down by one.
    void removeRecord(std::size_t index);

private:
    std::deque<BenchmarkRecord> m_records;
};

} // namespace vexo
