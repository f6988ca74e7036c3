// Builds arbitrary records (any bytes as names, tasks and values), writes them as the result
// browser's Save does and reads the file back as Import does: every record must come back,
// every text as written but for the replacements a file needs, and no value the record lacked.
// Then cuts the file short and flips one of its bytes: a cut file is never called whole and
// keeps only whole records from the end of the original; a flip of the header, the line end or
// the payload's terminator is never called whole either.
#include "benchfile/BenchmarkFile.h"
#include "common/CodePage.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
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

// A name: a bar that would end it early (one of two bars, or the last character) and the ':'
// of a ">>:" become '?'.
std::string asName(const std::string& text) {
    std::string out = text;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '|' && (i + 1 == text.size() || text[i + 1] == '|'))
            out[i] = '?';
        if (text[i] == ':' && i >= 2 && text[i - 1] == '>' && text[i - 2] == '>')
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

// A value is read back as written (with a file's replacements), and a value the record lacked
// stays absent.
void expectValue(std::size_t record, const char* what, const std::optional<std::string>& wanted,
                 const std::optional<std::string>& got) {
    if (!wanted) {
        if (got)
            mismatch(record, what, "(missing)", *got);
        return;
    }
    expectText(record, what, asValue(*wanted), got);
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
        for (std::size_t k = 0; k < record.scores.size(); ++k) {
            if (input.ConsumeBool())
                record.scores[k] = input.ConsumeRandomLengthString(16);
        }
        for (std::size_t k = 0; k < record.system.size(); ++k) {
            if (input.ConsumeBool())
                record.system[k] = input.ConsumeRandomLengthString(24);
        }
    }

    const std::string file =
        benchfile::benchmarkFileBytes(benchfile::exportPayload(benchfile::inOrder(written)));
    BenchmarkDatabase read;
    const auto result = benchfile::importBytes(file, "Fuzz/Round Trip.VGF", read);
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
        std::vector<std::string> tasks;
        for (const std::string& task : before.tasks)
            tasks.push_back(asValue(task));
        if (after.tasks != tasks)
            mismatch(i, "tasks", std::to_string(tasks.size()) + " tasks",
                     std::to_string(after.tasks.size()) + " tasks");
        for (std::size_t k = 0; k < before.scores.size(); ++k)
            expectValue(i, "score", before.scores[k], after.scores[k]);
        for (std::size_t k = 0; k < before.system.size(); ++k)
            expectValue(i, "system value", before.system[k], after.system[k]);
    }

    // Cut short by 1 to all bytes: never whole (but for the header alone, which is an empty
    // file); what is kept is the original's last records.
    const std::size_t cut = input.ConsumeIntegralInRange<std::size_t>(1, file.size());
    BenchmarkDatabase shorter;
    const auto cutResult =
        benchfile::importBytes(file.substr(0, file.size() - cut), "Fuzz/Round Trip.VGF", shorter);
    const bool headerAlone = file.size() - cut == benchfile::BenchmarkHeader.size();
    if ((cutResult.loaded() && !headerAlone) || shorter.size() > read.size()) {
        std::fprintf(stderr, "a cut of %zu bytes read as whole, or more records\n", cut);
        std::abort();
    }
    const std::size_t lost = read.size() - shorter.size();
    for (std::size_t i = 0; i < shorter.size(); ++i) {
        BenchmarkRecord kept = shorter.records()[i];
        kept.RowNumber = read.records()[lost + i].RowNumber;
        if (!(kept == read.records()[lost + i]))
            mismatch(lost + i, "record kept after a cut", "the original", "another");
    }

    // One byte of the frame flipped: the header, the payload's terminator, the line end.
    const std::size_t header = benchfile::BenchmarkHeader.size();
    const std::size_t frame[] = {input.ConsumeIntegralInRange<std::size_t>(0, header - 1), header,
                                 header + 1, file.size() - 2, file.size() - 1};
    std::string flipped = file;
    const std::size_t at = frame[input.ConsumeIntegralInRange<std::size_t>(0, 4)];
    flipped[at] = static_cast<char>(flipped[at] ^ input.ConsumeIntegralInRange<int>(1, 255));
    BenchmarkDatabase altered;
    if (benchfile::importBytes(flipped, "Fuzz/Round Trip.VGF", altered).loaded()) {
        std::fprintf(stderr, "a file with byte %zu flipped read as whole\n", at);
        std::abort();
    }
    return 0;
}
