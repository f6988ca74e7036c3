#pragma once

#include "benchfile/BenchmarkDatabase.h"
#include "common/SystemDescription.h"

#include <iosfwd>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace vexo::json {

// Every command's JSON follows one schema (docs/vexogauge-cli.schema.json): an object with the
// schema's version and the command's name, snake-case keys, numbers as numbers, booleans as
// booleans, a value a record lacks as null, and units in the names (_mb, _mhz, _percent) or
// in "units".
using Json = nlohmann::ordered_json;
inline constexpr int kSchemaVersion = 2;

// {"schema": 2, "command": COMMAND, "units": {...}}, to which the command adds its parts.
Json document(std::string_view command);

// A benchmark record: row, file, name, scores, tasks, system; a score of 0, a benchmark that did
// not run, is null as a value the record lacks. A text that is not what its key holds (a score
// that is not a number, say) is kept as the string it is.
Json record(const BenchmarkRecord& record);

// The fourteen system values, typed as record() types them.
Json system(const SystemDescription& description);

// The document as text with a final line end. Bytes that are not UTF-8 (a file name may hold
// any) are written as U+FFFD, so the text is always valid JSON; replaced, when given, says
// whether that happened.
std::string text(const Json& document, bool* replaced = nullptr);

// Writes a document whose last member is an array one element at a time, so that a long list
// is never held whole; the text is the one text() gives for the whole document.
class ArrayWriter {
public:
    // Writes the document's other members and the array's name.
    ArrayWriter(std::ostream& out, const Json& head, std::string_view arrayName);
    void add(const Json& element);
    // Ends the array and the document. Whether any text held bytes that are not UTF-8, written
    // as U+FFFD.
    bool finish();

private:
    std::ostream& m_out;
    bool m_replaced = false;
    bool m_empty = true;
};

} // namespace vexo::json
