#pragma once

#include "benchfile/BenchmarkDatabase.h"
#include "common/AppState.h"
#include "common/Direct3DOptions.h"
#include "engine/HandOff.h"
#include "platform/Dialogs.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexo {

class SystemInfo;
class TaskTitleSource;

namespace benchfile {

// A benchmark file is one line: this header, the encoded payload, CR LF. The payload is a list
// of records ">>:" name "||" { key "=" value ":;" } ":;", reversed and lowered by 31 codes.
inline constexpr std::string_view BenchmarkHeader = "VexoGAUGE 2002 SAVE BENCHMARK V1.0";
inline constexpr std::string_view SupportAddress = "support@kestrovia.example";

// Reverses the bytes and lowers each by 31. Every byte must be at least 31.
std::string Encode_Data(std::string_view plain);

struct Decoded {
    std::string text;
    // A byte that cannot be decoded (above 224) was met: text ends before it.
    bool damaged = false;
};
// The inverse: reverses the bytes and raises each by 31.
Decoded Decode_Data(std::string_view encoded);

// One field "key=value:;" in UTF-8. A ":;" inside the value, which would end the field early,
// has its ';' replaced by the substitute character.
std::string field(std::string_view key, std::string_view value);
// The opening of a record, ">>:" name "||". Bars that would end the name early (a "||" or a
// final '|') are replaced by the substitute character.
std::string recordOpening(std::string_view name);

// The Direct3D field's value: "0" for no score, else the score with the test settings.
std::string direct3DValue(std::int64_t score, const std::array<std::string, 3>& captions);

std::string Build_Score_Fields(const ScoreSet& scores, const std::array<std::string, 3>& captions);
std::string Build_System_Fields(SystemInfo& info);
std::string Build_Task_Fields(TaskTitleSource& tasks);

// Writes bytes to a new file beside the target and renames it over the target once complete
// and on disk (through a symbolic link to its target, keeping a replaced file's permissions).
// Returns the reason when it could not be written; the old file is then as it was.
std::optional<std::string> writeFileAtomically(const std::string& path, std::string_view bytes);

// The bytes of a benchmark file holding a payload (UTF-8 plain text).
std::string benchmarkFileBytes(std::string_view payload);
// Writes a payload (UTF-8 plain text) as a benchmark file, replacing any file of that name
// only once the new one is complete. Returns the reason when it could not be written.
std::optional<std::string> writeBenchmarkFile(const std::string& path, std::string_view payload);

// The browser's payload: scores, tasks (up to a task that is a single space), system values.
std::string exportPayload(const std::vector<const BenchmarkRecord*>& records);
std::optional<std::string>
Export_Saved_Benchmark(const std::string& path, const std::vector<const BenchmarkRecord*>& records);
std::vector<const BenchmarkRecord*> inOrder(const BenchmarkDatabase& database);

struct ImportResult {
    enum class Outcome {
        Loaded,        // read to its end; the success message was shown
        InvalidHeader, // refused with the invalid-file message; nothing added
        Damaged,       // ended early: the records read so far were kept, no message
        Unreadable,    // the file could not be read; nothing added, no message
    };
    Outcome outcome = Outcome::Unreadable;
    std::string message; // the text of the message box shown, or empty
    std::string detail;  // why it was not loaded, for terminals
    std::size_t recordsAdded = 0;
};

// Appends a file's records to the database and shows the success or invalid-file message.
ImportResult Import_Saved_Benchmark(const std::string& path, BenchmarkDatabase& database,
                                    Dialogs& dialogs);
// The same for a file's bytes already read; path names the records and the message.
ImportResult importBytes(std::string bytes, std::string_view path, BenchmarkDatabase& database,
                         Dialogs& dialogs);

// The engine's writer: the run's name, the system as probed now, the running application
// tasks and the scores with the Direct3D settings.
class EngineWriter final : public BenchmarkSaver {
public:
    using Captions = std::function<std::array<std::string, 3>()>;
    EngineWriter(const AppState& state, SystemInfo& info, TaskTitleSource& tasks,
                 Captions captions);
    bool Save_Benchmark_File(const std::string& path) override;
    std::size_t substitutedCharacters() const override { return m_substituted; }
    const std::string& lastError() const { return m_lastError; }

private:
    const AppState& m_state;
    SystemInfo& m_info;
    TaskTitleSource& m_tasks;
    Captions m_captions;
    std::string m_lastError;
    std::size_t m_substituted = 0;
};

// Imports saved runs into a database, as the result browser does.
class DatabaseImporter final : public BenchmarkImporter {
public:
    DatabaseImporter(BenchmarkDatabase& database, Dialogs& dialogs)
        : m_database(database)
        , m_dialogs(dialogs) {}
    void Import_Saved_Benchmark(const std::string& path) override;
    const ImportResult& lastResult() const { return m_last; }
    const std::string& lastPath() const { return m_lastPath; }

private:
    BenchmarkDatabase& m_database;
    Dialogs& m_dialogs;
    ImportResult m_last;
    std::string m_lastPath;
};

} // namespace benchfile
} // namespace vexo
