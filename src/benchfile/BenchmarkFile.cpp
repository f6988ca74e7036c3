#include "BenchmarkFile.h"

#include "common/CodePage.h"
#include "common/SystemDescription.h"
#include "common/Text.h"
#include "sysinfo/SystemInfo.h"
#include "taskman/TaskTitles.h"

#include <algorithm>
#include <new>
#include <stdexcept>
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

// The file a save replaces: the path itself, or where its chain of symbolic links ends, so
// that saving over a link writes the file it points to and keeps the link.
std::string saveTarget(const std::string& path) {
    std::string target = path;
    for (int links = 0; links < 40; ++links) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return target;
        std::string next(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 4096), '\0');
        const ssize_t length = ::readlink(target.c_str(), next.data(), next.size());
        if (length <= 0)
            return target;
        next.resize(static_cast<std::size_t>(length));
        const std::size_t slash = target.find_last_of('/');
        if (next.front() != '/' && slash != std::string::npos)
            next = target.substr(0, slash + 1) + next;
        target = std::move(next);
    }
    return target; // a loop of links: the rename below replaces the last one seen
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Writes to a new file beside the target and renames it over the target once it is complete
// and on disk, so a failure never leaves a half-written file in place of the old one. A file
// replaced keeps its permissions; a new one gets those of an ordinary document.
std::optional<std::string> replaceFile(const std::string& path, std::string_view data) {
    const std::string target = saveTarget(path);
    const std::string folder = folderOf(target);
    std::string temporary = target + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return systemError("Cannot create a file in", folder);
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        ::fchmod(fd, old.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    if (!writeAll(fd, data) || ::fsync(fd) != 0) {
        const std::string error = systemError("Cannot write", path);
        ::close(fd);
        ::unlink(temporary.c_str());
        return error;
    }
    if (::close(fd) != 0 || ::rename(temporary.c_str(), target.c_str()) != 0) {
        const std::string error = systemError("Cannot write", path);
        ::unlink(temporary.c_str());
        return error;
    }
    // The rename is on disk only once the folder is.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return std::nullopt;
}

std::optional<std::string> readWholeFile(const std::string& path, std::string& bytes) {
    // Opened without blocking, so that a FIFO or a device is refused instead of waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::string("cannot be opened: ") + std::strerror(errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return std::string(S_ISDIR(info.st_mode) ? "is a folder, not a file"
                                                 : "is not a regular file");
    }
    try {
        bytes.resize(static_cast<std::size_t>(info.st_size));
    } catch (const std::exception&) {
        ::close(fd);
        return std::string("is too large to be read into memory");
    }
    std::size_t done = 0;
    for (;;) {
        if (done == bytes.size()) {
            try {
                bytes.resize(bytes.size() + 4096); // the file may have grown
            } catch (const std::exception&) {
                ::close(fd);
                return std::string("is too large to be read into memory");
            }
        }
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

// Splits the plain payload into records, calling visit.record(name) at the start of each (no
// name when it never ends) and visit.field(key, value) for each of its fields. Returns true
// when it reached the closing ':'. Every search starts where the previous one ended, so
// reading is linear in the text's size.
template <class Visitor>
bool readRecords(std::string_view text, Visitor& visit) {
    std::size_t pos = text.find(kRecordStart);
    if (pos == std::string_view::npos)
        return true; // no records at all
    for (;;) {
        pos += kRecordStart.size();
        const std::size_t nameEnd = text.find(kNameEnd, pos);
        if (nameEnd == std::string_view::npos) {
            visit.record(std::nullopt);
            return false;
        }
        visit.record(text.substr(pos, nameEnd - pos));
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
                visit.field(fieldText.substr(0, equals), fieldText.substr(equals + 1));
        }
    }
}

struct RecordCounter {
    std::size_t records = 0;
    void record(std::optional<std::string_view>) { ++records; }
    void field(std::string_view, std::string_view) {}
};

struct RecordStore {
    BenchmarkDatabase& database;
    std::string fileName;
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

// Whether the database can take that many more records: room for them is reserved at once,
// and only when they fit in half the machine's memory and in the process's address space.
bool makeRoom(BenchmarkDatabase& database, std::size_t records) {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0) {
        const std::size_t half =
            static_cast<std::size_t>(pages) / 2 * static_cast<std::size_t>(pageSize);
        if (records > half / sizeof(BenchmarkRecord))
            return false;
    }
    try {
        database.reserveMore(records);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
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

std::string benchmarkFileBytes(std::string_view payload) {
    std::string file(BenchmarkHeader);
    file += Encode_Data(toFileBytes(payload));
    file += kLineEnd;
    return file;
}

std::optional<std::string> writeFileAtomically(const std::string& path, std::string_view bytes) {
    return replaceFile(path, bytes);
}

std::optional<std::string> writeBenchmarkFile(const std::string& path, std::string_view payload) {
    return replaceFile(path, benchmarkFileBytes(payload));
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
    // in place, so reading needs no more memory than the file's size and its records.
    const std::size_t start = std::min(bytes.size(), BenchmarkHeader.size() + 1);
    char* const payload = bytes.data() + start;
    const std::size_t length = bytes.size() - start;
    const std::size_t readable = decodeInPlace(payload, length);
    // Text after a byte that could not be decoded is lost.
    const bool damaged = readable < length;
    const std::string_view text(payload, readable);

    // Room for exactly the records the text holds (a ">>:" inside a name or a value opens
    // none), so a crafted file cannot make the reader ask for more than it fills.
    RecordCounter counter;
    readRecords(text, counter);
    if (!makeRoom(database, counter.records)) {
        result.outcome = ImportResult::Outcome::Damaged;
        result.detail = "too large: its " + std::to_string(counter.records) +
                        " records do not fit in the memory available";
        return result;
    }
    const std::string shownName = Strip_Path(path);
    RecordStore records{database, lowerCase(shownName), result.recordsAdded};
    bool complete = false;
    try {
        complete = readRecords(text, records);
    } catch (const std::bad_alloc&) {
        result.outcome = ImportResult::Outcome::Damaged;
        result.detail = "too large: the memory available ran out after " +
                        std::to_string(result.recordsAdded) + " records";
        return result;
    }
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
    m_substituted = vexo::substitutedCharacters(record);
    const auto error = writeBenchmarkFile(path, record);
    m_lastError = error.value_or("");
    return !error;
}

void DatabaseImporter::Import_Saved_Benchmark(const std::string& path) {
    m_lastPath = path;
    m_last = benchfile::Import_Saved_Benchmark(path, m_database, m_dialogs);
}

} // namespace vexo::benchfile
