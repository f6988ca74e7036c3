// Builds arbitrary records (any bytes as names, tasks and values), writes them as the result
// browser's Save does and reads the file back as Import does: every record must come back,
// every text as written but for the replacements a file needs.
#include "benchfile/BenchmarkFile.h"
#include "common/CodePage.h"
#include "platform/SilentDialogs.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using vexo::BenchmarkRecord;

// What a file keeps of a text: the characters of Windows-1252 from 31 up, others as '?'.
std::string throughCodePage(const std::string& text) {
    return vexo::fromFileBytes(vexo::toFileBytes(text));
}

// A field's value: a ';' right after a ':' would end the field, so it becomes '?'.
std::string asValue(const std::string& text) {
    std::string out = text;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] == ';' && text[i - 1] == ':')
            out[i] = '?';
    }
    return throughCodePage(out);
}

// A name: a bar that would end it early (one of two bars, or the last character) becomes '?'.
std::string asName(const std::string& text) {
    std::string out = text;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '|' && (i + 1 == text.size() || text[i + 1] == '|'))
            out[i] = '?';
    }
    return throughCodePage(out);
}

[[noreturn]] void mismatch(std::size_t record, const char* what, const std::string& wanted,
                           const std::string& got) {
    std::fprintf(stderr, "record %zu, %s: wanted \"%s\", read \"%s\"\n", record, what,
                 wanted.c_str(), got.c_str());
    std::abort();
}

void expectText(std::size_t record, const char* what, const std::string& wanted,
                const std::optional<std::string>& got) {
    if (!got || *got != wanted)
        mismatch(record, what, wanted, got.value_or("(missing)"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vexo;
    FuzzedDataProvider input(data, size);
    BenchmarkDatabase written;
    const int records = input.ConsumeIntegralInRange(1, 4);
    for (int r = 0; r < records; ++r) {
        BenchmarkRecord& record = written.addRecord("written.vgf");
        record.name = input.ConsumeRandomLengthString(64);
        const int tasks = input.ConsumeIntegralInRange(0, 5);
        for (int t = 0; t < tasks; ++t)
            record.tasks.push_back(input.ConsumeRandomLengthString(32));
        for (auto& score : record.scores) {
            if (input.ConsumeBool())
                score = input.ConsumeRandomLengthString(16);
        }
        for (auto& value : record.system) {
            if (input.ConsumeBool())
                value = input.ConsumeRandomLengthString(24);
        }
    }

    const std::string file =
        benchfile::benchmarkFileBytes(benchfile::exportPayload(benchfile::inOrder(written)));
    SilentDialogs dialogs;
    BenchmarkDatabase read;
    const auto result = benchfile::importBytes(file, "Fuzz/Round Trip.VGF", read, dialogs);
    if (result.outcome != benchfile::ImportResult::Outcome::Loaded) {
        std::fprintf(stderr, "not loaded: %s\n", result.detail.c_str());
        std::abort();
    }
    if (read.size() != written.size() || result.recordsAdded != written.size()) {
        std::fprintf(stderr, "%zu records written, %zu read\n", written.size(), read.size());
        std::abort();
    }
    for (std::size_t i = 0; i < written.size(); ++i) {
        const BenchmarkRecord& before = written.records()[i];
        const BenchmarkRecord& after = read.records()[i];
        if (after.RowNumber != static_cast<int>(i + 1) || after.fileName != "round trip.vgf")
            mismatch(i, "row or file", "row " + std::to_string(i + 1), after.fileName);
        expectText(i, "name", asName(*before.name), after.name);
        // The task list ends at a task that is a single space.
        std::vector<std::string> tasks;
        for (const std::string& task : before.tasks) {
            if (task == " ")
                break;
            tasks.push_back(asValue(task));
        }
        if (after.tasks != tasks)
            mismatch(i, "tasks", std::to_string(tasks.size()) + " tasks",
                     std::to_string(after.tasks.size()) + " tasks");
        for (std::size_t k = 0; k < before.scores.size(); ++k)
            expectText(i, "score", asValue(before.scores[k].value_or("")), after.scores[k]);
        for (std::size_t k = 0; k < before.system.size(); ++k)
            expectText(i, "system value", asValue(before.system[k].value_or("")), after.system[k]);
    }
    return 0;
}
