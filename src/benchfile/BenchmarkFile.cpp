#include "BenchmarkFile.h"

#include "common/CodePage.h"
#include "common/FileIo.h"
#include "common/SystemDescription.h"
#include "common/Text.h"

#include <algorithm>
#include <new>

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

// Reverses the bytes and raises each by 31, in place. Returns how many decoded bytes come
// before the first one that cannot be decoded (an encoded byte above 224), or the length
// when every byte decodes. Every decoded value, 255 included, is a character of the text.
std::size_t decodeInPlace(char* data, std::size_t length) {
    std::size_t readable = length;
    // The last undecodable byte of the encoded text is the first one of the decoded text.
    for (std::size_t k = length; k-- > 0;) {
        if (static_cast<unsigned char>(data[k]) > 224) {
            readable = length - 1 - k;
            break;
        }
    }
    std::reverse(data, data + length);
    for (std::size_t k = 0; k < readable; ++k)
        data[k] = static_cast<char>(static_cast<unsigned char>(data[k]) + 31);
    return readable;
}

// How the reading of a plain payload ended.
enum class PayloadEnd {
    Whole,       // every record ended with its terminator, and nothing followed
    TextBefore,  // text stood before the first record; the records after it were read
    CutInName,   // the last record's name never ends
    CutInRecord, // the text ends inside a record, or without a record's terminator
};

// Reads the plain payload in one pass: calls visit.record(name) at the start of each record
// (no name when it never ends) and visit.field(key, value) for each of its fields. A whole
// payload is empty or a list of records that starts with ">>:" and ends with the empty field
// that terminates a record. Text before the first record is skipped up to the first record
// start that follows a field's end; so is the beginning of a payload that may have been cut
// (beginningKnown false), where a ">>:" at the start may stand inside a value.
template <class Visitor>
PayloadEnd readRecords(std::string_view text, Visitor& visit, bool beginningKnown) {
    if (text.empty())
        return PayloadEnd::Whole;
    std::size_t pos = 0;
    bool textBefore = false;
    if (!beginningKnown || text.substr(0, kRecordStart.size()) != kRecordStart) {
        textBefore = true;
        const std::size_t boundary = text.find(":;>>:");
        if (boundary == std::string_view::npos)
            return PayloadEnd::TextBefore;
        pos = boundary + kFieldEnd.size();
    }
    for (;;) {
        // Here text[pos...] begins with ">>:".
        pos += kRecordStart.size();
        const std::size_t nameEnd = text.find(kNameEnd, pos);
        if (nameEnd == std::string_view::npos) {
            visit.record(std::nullopt);
            return PayloadEnd::CutInName;
        }
        visit.record(text.substr(pos, nameEnd - pos));
        pos = nameEnd + kNameEnd.size();
        for (;;) {
            if (text.substr(pos, kRecordStart.size()) == kRecordStart)
                break; // the next record
            const std::size_t fieldEnd = text.find(kFieldEnd, pos);
            if (fieldEnd == std::string_view::npos)
                return PayloadEnd::CutInRecord;
            const std::string_view fieldText = text.substr(pos, fieldEnd - pos);
            pos = fieldEnd + kFieldEnd.size();
            if (pos == text.size()) {
                // Only the empty field a record ends with may end the payload.
                if (!fieldText.empty())
                    return PayloadEnd::CutInRecord;
                return textBefore ? PayloadEnd::TextBefore : PayloadEnd::Whole;
            }
            const std::size_t equals = fieldText.find('=');
            if (equals != std::string_view::npos)
                visit.field(fieldText.substr(0, equals), fieldText.substr(equals + 1));
        }
    }
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
    const std::size_t readable = decodeInPlace(result.text.data(), result.text.size());
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

ImportResult importBytes(std::string bytes, std::string_view path, BenchmarkDatabase& database) {
    ImportResult result;
    if (bytes.size() < BenchmarkHeader.size() ||
        std::string_view(bytes).substr(0, BenchmarkHeader.size()) != BenchmarkHeader) {
        result.outcome = ImportResult::Outcome::InvalidHeader;
        result.detail = "not a benchmark file (its header is wrong)";
        return result;
    }
    // Every file ends with the line end, and the payload stored reversed: a file cut short
    // loses its line end first and then its *first* records, so without the line end the
    // records that remain cannot be known to be all.
    std::string_view rest = std::string_view(bytes).substr(BenchmarkHeader.size());
    const bool lineEnd =
        rest.size() >= kLineEnd.size() && rest.substr(rest.size() - kLineEnd.size()) == kLineEnd;
    if (lineEnd)
        rest.remove_suffix(kLineEnd.size());
    // Decoded in place, so reading needs no more memory than the file and its records.
    char* const payload = bytes.data() + BenchmarkHeader.size();
    const std::size_t readable = decodeInPlace(payload, rest.size());
    const std::string_view text(payload, readable);

    RecordStore records{database, SharedText(lowerCase(Strip_Path(path))), result.recordsAdded};
    PayloadEnd end = PayloadEnd::Whole;
    try {
        end = readRecords(text, records, lineEnd);
    } catch (const std::bad_alloc&) {
        result.outcome = ImportResult::Outcome::Damaged;
        result.detail = "too large: the memory available ran out after " +
                        std::to_string(result.recordsAdded) + " records";
        return result;
    }
    const bool textBefore = !text.empty() && !text.starts_with(kRecordStart);
    result.firstRecordsLost = textBefore || !lineEnd;
    if (!lineEnd) {
        result.detail = "damaged: it lacks the line end every benchmark file ends with, so it "
                        "may have been cut short and lost its first records";
    } else if (readable < rest.size()) {
        result.detail = "damaged: it holds a byte that cannot be decoded";
    } else if (textBefore) {
        result.detail = "damaged: text stands before its first record, so its first records "
                        "were cut or altered";
    } else if (end == PayloadEnd::CutInName || end == PayloadEnd::CutInRecord) {
        result.detail = "damaged: it ends before its last record is complete";
    }
    result.outcome =
        result.detail.empty() ? ImportResult::Outcome::Loaded : ImportResult::Outcome::Damaged;
    return result;
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

void DatabaseImporter::Import_Saved_Benchmark(const std::string& path) {
    m_lastPath = path;
    m_last = benchfile::Import_Saved_Benchmark(path, m_database);
}

} // namespace vexo::benchfile
