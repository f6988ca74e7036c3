#include "BenchmarkFile.h"

#include "common/CodePage.h"
#include "common/SystemDescription.h"
#include "common/Text.h"
#include "sysinfo/SystemInfo.h"
#include "taskman/TaskTitles.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexo::benchfile {

namespace {

constexpr std::string_view kRecordStart = ">>:";
constexpr std::string_view kNameEnd = "||";
constexpr std::string_view kFieldEnd = ":;";
constexpr std::string_view kLineEnd = "\r\n";

std::string systemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Writes to a new file beside the target and renames it over the target once it is complete
// and on disk, so a failure never leaves a half-written file in place of the old one.
std::optional<std::string> writeAtomically(const std::string& path, std::string_view data) {
    const std::string folder = path.find('/') == std::string::npos
                                   ? std::string(".")
                                   : path.substr(0, path.find_last_of('/') + 1);
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return systemError("Cannot create a file in", folder);
    // mkstemp makes the file private; a saved benchmark is an ordinary document.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    if (!writeAll(fd, data) || ::fsync(fd) != 0) {
        const std::string error = systemError("Cannot write", path);
        ::close(fd);
        ::unlink(temporary.c_str());
        return error;
    }
    if (::close(fd) != 0 || ::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string error = systemError("Cannot write", path);
        ::unlink(temporary.c_str());
        return error;
    }
    return std::nullopt;
}

std::optional<std::string> readWholeFile(const std::string& path, std::string& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::string("cannot be opened: ") + std::strerror(errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return std::string("is not a regular file");
    }
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    for (;;) {
        if (done == bytes.size())
            bytes.resize(bytes.size() + 4096); // the file may have grown
        const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const std::string error = std::string("cannot be read: ") + std::strerror(errno);
            ::close(fd);
            return error;
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    bytes.resize(done);
    return std::nullopt;
}

void showInvalidFile(Dialogs& dialogs, ImportResult& result) {
    result.message = std::string("Not valid save benchmark file:") + CR +
                     "The file could have become corrupt, contact " + std::string(SupportAddress) +
                     " if the problem persists";
    dialogs.messageBox(result.message, MsgStyle::OkOnly + MsgStyle::Critical,
                       "Error: Invalid Benchmark File.");
}

void store(BenchmarkRecord& record, std::string_view key, std::string_view value) {
    if (key == "Task") {
        record.tasks.push_back(fromFileBytes(value));
    } else if (const int score = scoreKeyIndex(key); score >= 0) {
        record.scores[static_cast<std::size_t>(score)] = fromFileBytes(value);
    } else if (const int system = systemKeyIndex(key); system >= 0) {
        record.system[static_cast<std::size_t>(system)] = fromFileBytes(value);
    }
}

std::size_t countRecords(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = text.find(kRecordStart); at != std::string_view::npos;
         at = text.find(kRecordStart, at + kRecordStart.size()))
        ++count;
    return count;
}

// True when the text from pos on, spaces trimmed, is exactly ":" (the payload's end).
bool onlyClosingColon(std::string_view text, std::size_t pos) {
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    if (pos >= text.size() || text[pos] != ':')
        return false;
    for (++pos; pos < text.size(); ++pos) {
        if (text[pos] != ' ')
            return false;
    }
    return true;
}

// Splits the plain payload into records. Returns true when it reached the closing ':'.
// Every search starts where the previous one ended, so reading is linear in the text's size.
bool readRecords(std::string_view text, const std::string& fileName, BenchmarkDatabase& database,
                 std::size_t& added) {
    std::size_t pos = text.find(kRecordStart);
    if (pos == std::string_view::npos)
        return true; // no records at all
    for (;;) {
        BenchmarkRecord& record = database.addRecord(fileName);
        ++added;
        pos += kRecordStart.size();
        const std::size_t nameEnd = text.find(kNameEnd, pos);
        if (nameEnd == std::string_view::npos)
            return false;
        record.name = fromFileBytes(text.substr(pos, nameEnd - pos));
        pos = nameEnd + kNameEnd.size();
        for (;;) {
            if (onlyClosingColon(text, pos))
                return true;
            if (text.substr(pos, kRecordStart.size()) == kRecordStart)
                break; // the next record
            const std::size_t fieldEnd = text.find(kFieldEnd, pos);
            if (fieldEnd == std::string_view::npos)
                return false;
            const std::string_view fieldText = text.substr(pos, fieldEnd - pos);
            pos = fieldEnd + kFieldEnd.size();
            const std::size_t equals = fieldText.find('=');
            if (equals != std::string_view::npos)
                store(record, fieldText.substr(0, equals), fieldText.substr(equals + 1));
        }
    }
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
    result.text.assign(encoded.rbegin(), encoded.rend());
    for (std::size_t i = 0; i < result.text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(result.text[i]);
        if (byte > 224) {
            result.text.resize(i);
            result.damaged = true;
            break;
        }
        result.text[i] = static_cast<char>(byte + 31);
    }
    return result;
}

std::string field(std::string_view key, std::string_view value) {
    std::string out;
    out.reserve(key.size() + value.size() + 3);
    out.append(key).append("=");
    for (std::size_t i = 0; i < value.size(); ++i) {
        const bool endsField = value[i] == ';' && i > 0 && value[i - 1] == ':';
        out += endsField ? kSubstitute : value[i];
    }
    out.append(kFieldEnd);
    return out;
}

std::string recordOpening(std::string_view name) {
    std::string out(kRecordStart);
    for (std::size_t i = 0; i < name.size(); ++i) {
        const bool barEndsName = name[i] == '|' && (i + 1 == name.size() || name[i + 1] == '|');
        out += barEndsName ? kSubstitute : name[i];
    }
    out.append(kNameEnd);
    return out;
}

std::string direct3DValue(std::int64_t score, const std::array<std::string, 3>& captions) {
    if (score == 0)
        return "0";
    return std::to_string(score) + "(" + captions[0] + "@" + captions[1] + " /w " + captions[2] +
           " textures)";
}

std::string Build_Score_Fields(const ScoreSet& scores, const std::array<std::string, 3>& captions) {
    std::string fields;
    for (const ScoreField& score : kScoreFields) {
        const std::int64_t value = scores.*score.member;
        fields +=
            field(score.key, score.member == &ScoreSet::BMDR3D ? direct3DValue(value, captions)
                                                               : std::to_string(value));
    }
    return fields;
}

std::string Build_System_Fields(SystemInfo& info) {
    const SystemDescription description = info.describe();
    std::string fields;
    for (const SystemField& system : kSystemFields)
        fields += field(system.key, description.*system.member);
    return fields;
}

std::string Build_Task_Fields(TaskTitleSource& tasks) {
    std::string fields;
    for (const std::string& title : tasks.applicationTaskTitles())
        fields += field("Task", title);
    return fields;
}

std::optional<std::string> writeBenchmarkFile(const std::string& path, std::string_view payload) {
    std::string file(BenchmarkHeader);
    file += Encode_Data(toFileBytes(payload));
    file += kLineEnd;
    return writeAtomically(path, file);
}

std::vector<const BenchmarkRecord*> inOrder(const BenchmarkDatabase& database) {
    std::vector<const BenchmarkRecord*> records;
    records.reserve(database.size());
    for (const BenchmarkRecord& record : database.records())
        records.push_back(&record);
    return records;
}

std::string exportPayload(const std::vector<const BenchmarkRecord*>& records) {
    std::string payload;
    for (const BenchmarkRecord* record : records) {
        payload += recordOpening(record->name.value_or(""));
        for (std::size_t i = 0; i < kScoreFields.size(); ++i)
            payload += field(kScoreFields[i].key, record->scores[i].value_or(""));
        for (const std::string& task : record->tasks) {
            if (task == " ")
                break;
            payload += field("Task", task);
        }
        for (std::size_t i = 0; i < kSystemFields.size(); ++i)
            payload += field(kSystemFields[i].key, record->system[i].value_or(""));
        payload += kFieldEnd;
    }
    return payload;
}

std::optional<std::string>
Export_Saved_Benchmark(const std::string& path,
                       const std::vector<const BenchmarkRecord*>& records) {
    return writeBenchmarkFile(path, exportPayload(records));
}

ImportResult importBytes(std::string bytes, std::string_view path, BenchmarkDatabase& database,
                         Dialogs& dialogs) {
    ImportResult result;
    if (bytes.size() < BenchmarkHeader.size() ||
        std::string_view(bytes).substr(0, BenchmarkHeader.size()) != BenchmarkHeader) {
        result.outcome = ImportResult::Outcome::InvalidHeader;
        result.detail = "not a benchmark file (its header is wrong)";
        showInvalidFile(dialogs, result);
        return result;
    }
    // The header and the encoded ';' that ends every payload are dropped; the rest is decoded
    // in place (reversed and raised by 31 in one pass), so reading needs no more memory than
    // the file's size.
    const std::size_t start = std::min(bytes.size(), BenchmarkHeader.size() + 1);
    char* const payload = bytes.data() + start;
    const std::size_t length = bytes.size() - start;
    constexpr unsigned char kUndecodable = 0xFF; // 224 + 31: no byte can decode to it
    auto decode = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return static_cast<char>(byte > 224 ? kUndecodable : byte + 31);
    };
    std::size_t i = 0;
    for (std::size_t j = length; i + 1 < j; ++i) {
        --j;
        const char front = payload[i];
        payload[i] = decode(payload[j]);
        payload[j] = decode(front);
    }
    if (length % 2 == 1)
        payload[i] = decode(payload[i]); // the middle byte
    std::string_view text(payload, length);
    // Text after a byte that could not be decoded is lost.
    const std::size_t undecodable = text.find(static_cast<char>(kUndecodable));
    const bool damaged = undecodable != std::string_view::npos;
    if (damaged)
        text = text.substr(0, undecodable);
    database.reserveMore(countRecords(text));
    const std::string shownName = Strip_Path(path);
    const bool complete = readRecords(text, lowerCase(shownName), database, result.recordsAdded);
    if (!complete || damaged) {
        result.outcome = ImportResult::Outcome::Damaged;
        result.detail = damaged ? "damaged: it holds a byte that cannot be decoded"
                                : "damaged: it ends before its last record is complete";
        return result;
    }
    result.outcome = ImportResult::Outcome::Loaded;
    result.message = "Your File Has Been Successfully Loaded: " + shownName;
    dialogs.messageBox(result.message, MsgStyle::Information, "Success");
    return result;
}

ImportResult Import_Saved_Benchmark(const std::string& path, BenchmarkDatabase& database,
                                    Dialogs& dialogs) {
    std::string bytes;
    if (const auto error = readWholeFile(path, bytes)) {
        ImportResult result;
        result.outcome = ImportResult::Outcome::Unreadable;
        result.detail = *error;
        return result;
    }
    return importBytes(std::move(bytes), path, database, dialogs);
}

EngineWriter::EngineWriter(const AppState& state, SystemInfo& info, TaskTitleSource& tasks,
                           Captions captions)
    : m_state(state)
    , m_info(info)
    , m_tasks(tasks)
    , m_captions(std::move(captions)) {}

bool EngineWriter::Save_Benchmark_File(const std::string& path) {
    const Selections& options = m_state.selections;
    const std::array<std::string, 3> captions =
        m_captions ? m_captions()
                   : direct3DCaptions(options.ScreenResolution, options.ScreenColorDepth,
                                      options.TextureQuality);
    // The system is probed before the task list is taken.
    std::string record = recordOpening(m_state.run.BenchmarkName);
    record += Build_System_Fields(m_info);
    record += Build_Task_Fields(m_tasks);
    record += Build_Score_Fields(m_state.scores, captions);
    record += kFieldEnd;
    const auto error = writeBenchmarkFile(path, record);
    m_lastError = error.value_or("");
    return !error;
}

void DatabaseImporter::Import_Saved_Benchmark(const std::string& path) {
    m_last = benchfile::Import_Saved_Benchmark(path, m_database, m_dialogs);
}

} // namespace vexo::benchfile
