#pragma once

#include "benchfile/BenchmarkDatabase.h"
#include "common/AppState.h"
#include "common/Direct3DOptions.h"
#include "common/Status.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexo {

namespace benchfile {

// A benchmark file is one line: this header, the encoded payload, CR LF. The payload is a list
// of records ">>:" name "||" { key "=" value ":;" } ":;", reversed and lowered by 31 codes.
inline constexpr std::string_view BenchmarkHeader = "VexoGAUGE 2002 SAVE BENCHMARK V1.0";
inline constexpr std::string_view SupportAddress = "support@kestrovia.example";
// What ends every record (an empty field).
inline constexpr std::string_view kRecordTerminator = ":;";

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
// has its ';' replaced by the substitute character; replaced, when given, counts such changes.
std::string field(std::string_view key, std::string_view value, std::size_t* replaced = nullptr);
// The opening of a record, ">>:" name "||". Bars that would end the name early (a "||" or a
// final '|') and the ':' of a ">>:" inside it are replaced by the substitute character and
// counted as field() does.
std::string recordOpening(std::string_view name, std::size_t* replaced = nullptr);

// The Direct3D field's value: "0" for no score, else the score with the test settings.
std::string direct3DValue(std::int64_t score, const std::array<std::string, 3>& captions);

// The engine's score fields; replaced, when given, counts as field() does.
std::string Build_Score_Fields(const ScoreSet& scores, const std::array<std::string, 3>& captions,
                               std::size_t* replaced = nullptr);

// The bytes of a benchmark file holding a payload (UTF-8 plain text).
std::string benchmarkFileBytes(std::string_view payload);
// Saves a payload (UTF-8 plain text) as a benchmark file by the rule of saveFile().
Status saveBenchmarkFile(const std::string& path, std::string_view payload);

// The browser's payload: per record its scores, every task and its system values, each value
// as held; a value the record lacks is left out, never written as an empty one. replaced, when
// given, counts as field() does.
std::string exportPayload(const std::vector<const BenchmarkRecord*>& records,
                          std::size_t* replaced = nullptr);
Status Export_Saved_Benchmark(const std::string& path,
                              const std::vector<const BenchmarkRecord*>& records);
std::vector<const BenchmarkRecord*> inOrder(const BenchmarkDatabase& database);

// The largest benchmark file read: far beyond any real database (a run takes about 1 KB), yet
// small enough that its records fit in the memory of an ordinary machine.
inline constexpr std::uint64_t kMaxBenchmarkFileBytes = std::uint64_t{512} << 20;

// What reading a file found. A file is Loaded only when it is whole: the header, a payload
// that begins with a record (or is empty) and ends with a record's terminator, every byte of it
// decodable, and the line end; a file of the header alone is an empty one. Anything else keeps
// every record that stands whole in it, whatever is wrong at its ends, and says what is wrong.
struct ImportResult {
    enum class Outcome {
        Loaded,        // read whole
        InvalidHeader, // not a benchmark file; nothing added
        Damaged,       // not whole: the records read were kept, detail says what is wrong
        Unreadable,    // the file could not be read; nothing added
    };
    Outcome outcome = Outcome::Unreadable;
    std::string detail; // why it was not loaded whole, empty when it was
    std::size_t recordsAdded = 0;
    // Damaged: records before the first one read may be lost (the file may have been cut
    // short, which takes its line end and then its first records).
    bool firstRecordsLost = false;

    bool loaded() const { return outcome == Outcome::Loaded; }
};

// What was kept of a damaged file: "2 record(s) read; if it was cut short, records before
// them may be lost".
std::string keptRecords(const ImportResult& result);

// Appends a file's records to the database. Shows nothing: callers say what the result means.
[[nodiscard]] ImportResult Import_Saved_Benchmark(const std::string& path,
                                                  BenchmarkDatabase& database);
// The same for a file's bytes already read; path names the records.
[[nodiscard]] ImportResult importBytes(std::string bytes, std::string_view path,
                                       BenchmarkDatabase& database);

// The texts of the boxes the result browser shows for a file read whole or a wrong header.
std::string loadedMessage(std::string_view path);
inline constexpr std::string_view kLoadedTitle = "Success";
std::string invalidFileMessage();
inline constexpr std::string_view kInvalidFileTitle = "Error: Invalid Benchmark File.";

} // namespace benchfile
} // namespace vexo
