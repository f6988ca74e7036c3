#include "BenchmarkFile.h"

#include "common/CodePage.h"
#include "common/FileIo.h"
#include "common/SystemDescription.h"
#include "common/Text.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

namespace vexo::benchfile {

namespace {

constexpr std::string_view kRecordStart = ">>:";
constexpr std::string_view kNameEnd = "||";
constexpr std::string_view kFieldEnd = ":;";
constexpr std::string_view kLineEnd = "\r\n";

void store(BenchmarkRecord& record, std::string_view key, std::string_view value) {
    if (key == "Task") {
        record.tasks.push_back(fromFileBytes(value));
    } else if (const int score = scoreKeyIndex(key); score >= 0) {
        record.scores[static_cast<std::size_t>(score)] = fromFileBytes(value);
    } else if (const int system = systemKeyIndex(key); system >= 0) {
        record.system[static_cast<std::size_t>(system)] = fromFileBytes(value);
    }
}

// Reverses the bytes and raises each by 31, in place. A byte above 224 cannot be decoded: it
// wraps to a value below 31, which no decodable byte gives, so it stays recognisable.
void decodeInPlace(char* data, std::size_t length) {
    std::reverse(data, data + length);
    for (std::size_t k = 0; k < length; ++k)
        data[k] = static_cast<char>(static_cast<unsigned char>(data[k]) + 31);
}

bool undecodable(char c) {
    return static_cast<unsigned char>(c) < 31;
}

std::size_t firstUndecodable(std::string_view text, std::size_t from) {
    const auto found =
        std::find_if(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), undecodable);
    return static_cast<std::size_t>(found - text.begin());
}

// A score or system key as a bit of a set of keys; any other key is none.
std::uint32_t keyBit(std::string_view key) {
    if (const int score = scoreKeyIndex(key); score >= 0)
        return std::uint32_t{1} << score;
    if (const int system = systemKeyIndex(key); system >= 0)
        return std::uint32_t{1} << (kScoreFields.size() + static_cast<std::size_t>(system));
    return 0;
}
constexpr std::uint32_t kEveryKey = (std::uint32_t{1} << (8 + 14)) - 1;
static_assert(kScoreFields.size() + kSystemFields.size() == 8 + 14);
// The longest key a record holds, so that a key is looked for no further.
constexpr std::size_t kLongestKey = 7;

// The key of a field's text as a bit of a set of keys; a text without "=" is no field.
std::uint32_t fieldKeyBit(std::string_view field) {
    const std::size_t equals = field.substr(0, kLongestKey + 1).find('=');
    return equals == std::string_view::npos ? 0 : keyBit(field.substr(0, equals));
}

// Where the first record that can be trusted to start there begins in text[from...], or npos.
// A ">>:" right after a field's end starts a record: no value holds ":;" and no name ">>:".
// Any other ">>:" may stand inside a value of a record whose beginning was cut off (a file cut
// short loses its first records), so it is taken for a record's start only when the record it
// opens is complete: a name that ends before any field's end, every score and system key once,
// and the terminator. A piece of a record that begins inside a value lacks that value's key
// and every key before it, and its text can make up at most one field (a value holds no ":;"):
// only a first value that held a record's opening and its own key could pass, and the writers
// write a number there. Reads each byte a bounded number of times and holds nothing.
std::size_t trustedRecordStart(std::string_view text, std::size_t from) {
    const std::size_t boundary = text.find(":;>>:", from);
    std::size_t trusted = boundary == std::string_view::npos ? boundary : boundary + 2;
    // The fields to the right of the one looked at, as a record that reached them reads them.
    std::uint32_t keys = 0;
    bool repeated = false;
    bool terminated = false; // they end with the terminator before anything that is no field
    // Fields from right to left: each ends where a ":;" starts. Without a boundary, the text
    // after the last ":;" ends no field and closes no record.
    std::size_t end = boundary == std::string_view::npos ? text.rfind(kFieldEnd) : boundary;
    if (end == std::string_view::npos || end < from)
        return trusted;
    for (;;) {
        const std::size_t before = end >= from + kFieldEnd.size()
                                       ? text.rfind(kFieldEnd, end - kFieldEnd.size())
                                       : std::string_view::npos;
        const std::size_t begin =
            before == std::string_view::npos || before < from ? from : before + kFieldEnd.size();
        const std::string_view field = text.substr(begin, end - begin);
        if (field.empty()) {
            // A record's terminator.
            keys = 0;
            repeated = false;
            terminated = true;
        } else {
            // The records that start inside this field, each at the last ">>:" before a "||";
            // a byte that cannot be decoded breaks any record it stands in.
            const auto bad = std::find_if(field.rbegin(), field.rend(), undecodable);
            const std::size_t clean = static_cast<std::size_t>(field.rend() - bad);
            std::size_t opening = std::string_view::npos;
            for (std::size_t i = clean; i < field.size(); ++i) {
                if (field.substr(i, kRecordStart.size()) == kRecordStart) {
                    opening = i;
                    i += kRecordStart.size() - 1;
                } else if (field.substr(i, kNameEnd.size()) == kNameEnd &&
                           opening != std::string_view::npos) {
                    const std::string_view first = field.substr(i + kNameEnd.size());
                    const std::uint32_t bit = fieldKeyBit(first);
                    if (terminated && !first.empty() && !repeated && (keys & bit) == 0 &&
                        (keys | bit) == kEveryKey)
                        trusted = begin + opening;
                    opening = std::string_view::npos;
                    i += kNameEnd.size() - 1;
                }
            }
            // As a field of a record that started further left.
            const std::uint32_t bit = fieldKeyBit(field);
            repeated = repeated || (keys & bit) != 0;
            keys |= bit;
            terminated = terminated && clean == 0;
        }
        if (begin == from)
            return trusted;
        end = before;
    }
}

// How the reading of the records ended.
enum class PayloadEnd {
    Whole,       // every record ended with its terminator
    CutInName,   // the last record's name never ends
    CutInRecord, // the text ends inside a record, or without a record's terminator
};

struct RecordsRead {
    PayloadEnd end = PayloadEnd::Whole;
    bool undecodable = false; // a byte that cannot be decoded ended a record
    std::size_t between = 0;  // characters between records that belong to none
    std::size_t after = 0;    // characters after the last record that belong to none
};

// Reads the records from text[pos...], which begins with ">>:", to the end of the text: calls
// visit.record(name) at the start of each record (no name when it never ends) and
// visit.field(key, value) for each of its fields. A record ends with its terminator, the empty
// field; text after it that is no record is read as more fields of the record when it ends with
// a terminator too (a record may hold an empty field), and otherwise skipped up to the next
// record that can be trusted to start. A byte that cannot be decoded ends the record it is in.
template <class Visitor>
RecordsRead readRecords(std::string_view text, std::size_t pos, Visitor& visit) {
    RecordsRead read;
    std::size_t readable = pos < text.size() ? firstUndecodable(text, pos) : text.size();
    std::string_view view = text.substr(0, readable);
    const auto cut = [&](PayloadEnd end) {
        read.end = end;
        read.undecodable = readable < text.size();
        return read;
    };
    while (pos < text.size()) {
        // Here text[pos...] begins with ">>:".
        pos += kRecordStart.size();
        const std::size_t nameEnd = view.find(kNameEnd, pos);
        if (nameEnd == std::string_view::npos) {
            visit.record(std::nullopt);
            return cut(PayloadEnd::CutInName);
        }
        visit.record(view.substr(pos, nameEnd - pos));
        pos = nameEnd + kNameEnd.size();
        for (;;) {
            if (view.substr(pos, kRecordStart.size()) == kRecordStart)
                break; // the next record
            const std::size_t fieldEnd = view.find(kFieldEnd, pos);
            if (fieldEnd == std::string_view::npos)
                return cut(PayloadEnd::CutInRecord);
            const std::string_view fieldText = view.substr(pos, fieldEnd - pos);
            pos = fieldEnd + kFieldEnd.size();
            if (fieldText.empty() && pos < text.size() &&
                text.substr(pos, kRecordStart.size()) != kRecordStart) {
                const std::size_t next = trustedRecordStart(text, pos);
                const std::string_view stray = text.substr(pos, next - pos);
                if (!stray.ends_with(":;:;") || pos + stray.size() > readable) {
                    (next == std::string_view::npos ? read.after : read.between) += stray.size();
                    pos = next;
                    if (pos != std::string_view::npos && pos > readable) {
                        readable = firstUndecodable(text, pos);
                        view = text.substr(0, readable);
                    }
                    break;
                }
            }
            if (pos == text.size()) {
                // Only the empty field a record ends with may end the text.
                if (!fieldText.empty())
                    read.end = PayloadEnd::CutInRecord;
                return read;
            }
            const std::size_t equals = fieldText.find('=');
            if (equals != std::string_view::npos)
                visit.field(fieldText.substr(0, equals), fieldText.substr(equals + 1));
        }
    }
    return read;
}

struct RecordStore {
    BenchmarkDatabase& database;
    SharedText fileName;
    std::size_t& added;
    BenchmarkRecord* current = nullptr;

    void record(std::optional<std::string_view> name) {
        current = &database.addRecord(fileName);
        ++added;
        if (name)
            current->name = fromFileBytes(*name);
    }
    void field(std::string_view key, std::string_view value) { store(*current, key, value); }
};

// A name as a record can hold it: bars that would end it early, and the ':' of a ">>:" that a
// reader finding its way into a cut file would take for a record's start, become the substitute.
std::string safeName(std::string_view name, std::size_t* replaced) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        const bool barEndsName = name[i] == '|' && (i + 1 == name.size() || name[i + 1] == '|');
        const bool opensRecord =
            name[i] == ':' && i >= 2 && name[i - 1] == '>' && name[i - 2] == '>';
        const bool replace = barEndsName || opensRecord;
        out += replace ? kSubstitute : name[i];
        if (replace && replaced)
            ++*replaced;
    }
    return out;
}

} // namespace

std::string Encode_Data(std::string_view plain) {
    std::string encoded(plain.rbegin(), plain.rend());
    for (char& c : encoded)
        c = static_cast<char>(static_cast<unsigned char>(c) - 31);
    return encoded;
}

Decoded Decode_Data(std::string_view encoded) {
    Decoded result;
    result.text.assign(encoded);
    decodeInPlace(result.text.data(), result.text.size());
    const std::size_t readable = firstUndecodable(result.text, 0);
    result.damaged = readable < result.text.size();
    result.text.resize(readable);
    return result;
}

std::string field(std::string_view key, std::string_view value, std::size_t* replaced) {
    std::string out;
    out.reserve(key.size() + value.size() + 3);
    out.append(key).append("=");
    for (std::size_t i = 0; i < value.size(); ++i) {
        const bool endsField = value[i] == ';' && i > 0 && value[i - 1] == ':';
        out += endsField ? kSubstitute : value[i];
        if (endsField && replaced)
            ++*replaced;
    }
    out.append(kFieldEnd);
    return out;
}

std::string recordOpening(std::string_view name, std::size_t* replaced) {
    return std::string(kRecordStart) + safeName(name, replaced) + std::string(kNameEnd);
}

std::string direct3DValue(std::int64_t score, const std::array<std::string, 3>& captions) {
    if (score == 0)
        return "0";
    return std::to_string(score) + "(" + captions[0] + "@" + captions[1] + " /w " + captions[2] +
           " textures)";
}

std::string Build_Score_Fields(const ScoreSet& scores, const std::array<std::string, 3>& captions,
                               std::size_t* replaced) {
    std::string fields;
    for (const ScoreField& score : kScoreFields) {
        const std::int64_t value = scores.*score.member;
        fields += field(score.key,
                        score.member == &ScoreSet::BMDR3D ? direct3DValue(value, captions)
                                                          : std::to_string(value),
                        replaced);
    }
    return fields;
}

std::string benchmarkFileBytes(std::string_view payload) {
    std::string file(BenchmarkHeader);
    file += Encode_Data(toFileBytes(payload));
    file += kLineEnd;
    return file;
}

Status saveBenchmarkFile(const std::string& path, std::string_view payload) {
    return saveFile(path, benchmarkFileBytes(payload));
}

std::vector<const BenchmarkRecord*> inOrder(const BenchmarkDatabase& database) {
    std::vector<const BenchmarkRecord*> records;
    records.reserve(database.size());
    for (const BenchmarkRecord& record : database.records())
        records.push_back(&record);
    return records;
}

std::string exportPayload(const std::vector<const BenchmarkRecord*>& records,
                          std::size_t* replaced) {
    std::string payload;
    for (const BenchmarkRecord* record : records) {
        payload += recordOpening(record->name.value_or(""), replaced);
        for (std::size_t i = 0; i < kScoreFields.size(); ++i) {
            if (const auto& value = record->scores[i])
                payload += field(kScoreFields[i].key, *value, replaced);
        }
        for (const std::string& task : record->tasks)
            payload += field("Task", task, replaced);
        for (std::size_t i = 0; i < kSystemFields.size(); ++i) {
            if (const auto& value = record->system[i])
                payload += field(kSystemFields[i].key, *value, replaced);
        }
        payload += kRecordTerminator;
    }
    return payload;
}

Status Export_Saved_Benchmark(const std::string& path,
                              const std::vector<const BenchmarkRecord*>& records) {
    return saveBenchmarkFile(path, exportPayload(records));
}

std::string loadedMessage(std::string_view path) {
    return "Your File Has Been Successfully Loaded: " + Strip_Path(path);
}

std::string invalidFileMessage() {
    return std::string("Not valid save benchmark file:") + CR +
           "The file could have become corrupt, contact " + std::string(SupportAddress) +
           " if the problem persists";
}

namespace {

// "1 byte", "3 bytes"; and the verb that agrees with them: "follows", "follow".
std::string counted(std::size_t n, std::string_view thing) {
    return std::to_string(n) + " " + std::string(thing) + (n == 1 ? "" : "s");
}
std::string agreeing(std::size_t n, std::string_view verb) {
    return std::string(verb) + (n == 1 ? "s" : "");
}

// What is wrong at the end of a file, told by the text that stands before its first record:
// the line end stored after the payload (")," once decoded), anything stored after that, and
// text before the first record. The problems are added to a list; true when records before
// the first one read may be lost (a file cut short loses its line end, then its first records).
bool describeEnd(std::string_view before, std::vector<std::string>& problems) {
    constexpr std::string_view kLineEndRead = "),";
    if (before == kLineEndRead)
        return false;
    if (before.ends_with(kLineEndRead)) {
        // The line end right after the payload is there; what follows it was added.
        std::string_view added = before.substr(0, before.size() - kLineEndRead.size());
        std::size_t lineEnds = 0;
        while (added.starts_with(kLineEndRead)) {
            added.remove_prefix(kLineEndRead.size());
            ++lineEnds;
        }
        const std::size_t n = added.empty() ? lineEnds : before.size() - kLineEndRead.size();
        problems.push_back(counted(n, added.empty() ? "more line end" : "byte") + " " +
                           agreeing(n, "follow") + " its closing line end");
        return false;
    }
    std::string_view text = before;
    bool mayBeCut = false;
    if (text.starts_with(kLineEndRead)) {
        text.remove_prefix(kLineEndRead.size());
    } else if (text.starts_with(")")) {
        problems.emplace_back("its closing line end is a line feed without its carriage return");
        text.remove_prefix(1);
    } else if (text.starts_with(",")) {
        problems.emplace_back("its closing line end lacks its line feed");
        text.remove_prefix(1);
    } else {
        problems.emplace_back("it lacks its closing line end");
        mayBeCut = true;
    }
    if (!text.empty())
        problems.push_back(counted(text.size(), "character") + " before its first record " +
                           agreeing(text.size(), "belong") + " to no record");
    return mayBeCut || !text.empty();
}

} // namespace

ImportResult importBytes(std::string bytes, std::string_view path, BenchmarkDatabase& database) {
    ImportResult result;
    if (bytes.size() < BenchmarkHeader.size() ||
        std::string_view(bytes).substr(0, BenchmarkHeader.size()) != BenchmarkHeader) {
        result.outcome = ImportResult::Outcome::InvalidHeader;
        result.detail = "not a benchmark file (its header is wrong)";
        return result;
    }
    // Decoded in place, so reading needs no more memory than the file and its records. The
    // line end, stored after the payload, comes first in the decoded text.
    char* const payload = bytes.data() + BenchmarkHeader.size();
    const std::size_t length = bytes.size() - BenchmarkHeader.size();
    decodeInPlace(payload, length);
    const std::string_view text(payload, length);
    std::vector<std::string> problems;
    // A payload that starts right after the line end starts with its first record. Otherwise
    // the end of the file was altered or cut: the records start where one can be trusted to.
    const bool lineEndThenRecord =
        text.starts_with("),") &&
        (text.size() == 2 || text.substr(2, kRecordStart.size()) == kRecordStart);
    const std::size_t start = text.empty()        ? std::string_view::npos
                              : lineEndThenRecord ? 2
                                                  : trustedRecordStart(text, 0);

    RecordStore records{database, SharedText(lowerCase(Strip_Path(path))), result.recordsAdded};
    RecordsRead read;
    try {
        read = readRecords(text, start, records);
    } catch (const std::bad_alloc&) {
        result.outcome = ImportResult::Outcome::Damaged;
        result.detail = "too large: the memory available ran out after " +
                        std::to_string(result.recordsAdded) + " records";
        return result;
    }
    if (start != std::string_view::npos) {
        result.firstRecordsLost = describeEnd(text.substr(0, start), problems);
    } else if (!text.empty() && text != "),") {
        result.firstRecordsLost = true;
        if (!text.starts_with("),"))
            problems.emplace_back("it lacks its closing line end");
        problems.emplace_back("none of its text is a whole record");
    }
    if (read.between > 0)
        problems.push_back(counted(read.between, "character") + " between its records " +
                           agreeing(read.between, "belong") + " to no record");
    if (read.after > 0)
        problems.push_back(counted(read.after, "byte") + " right after its header " +
                           agreeing(read.after, "belong") + " to no record");
    if (read.undecodable)
        problems.emplace_back("it holds a byte that cannot be decoded");
    if (read.end != PayloadEnd::Whole)
        problems.emplace_back("it ends before its last record is complete");
    for (const std::string& problem : problems)
        result.detail += (result.detail.empty() ? "damaged: " : "; ") + problem;
    result.outcome =
        problems.empty() ? ImportResult::Outcome::Loaded : ImportResult::Outcome::Damaged;
    return result;
}

std::string keptRecords(const ImportResult& result) {
    return std::to_string(result.recordsAdded) + " record(s) read" +
           (result.firstRecordsLost && result.recordsAdded > 0
                ? "; if it was cut short, records before them may be lost"
                : "");
}

ImportResult Import_Saved_Benchmark(const std::string& path, BenchmarkDatabase& database) {
    std::string bytes;
    if (const Status read = readRegularFile(path, bytes, kMaxBenchmarkFileBytes); !read) {
        ImportResult result;
        result.outcome = ImportResult::Outcome::Unreadable;
        result.detail = read.message();
        return result;
    }
    return importBytes(std::move(bytes), path, database);
}

} // namespace vexo::benchfile
