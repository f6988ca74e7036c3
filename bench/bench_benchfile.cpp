// Reading and writing large benchmark files, against the least any reader of the format must
// do, measured in the same run: reading the bytes and reversing them, or scanning them once for
// a byte (memchr). Importing also reports its peak heap use per byte of file ("peak_per_byte"),
// counted by this program's own operator new, for files of real records and for a file of
// empty records, the cheapest record a file can hold. The terminal's writers (dump --json,
// export --json and --csv) report theirs beside it: the reader's peak and what writing the
// records one by one adds to it.
#include "benchfile/BenchmarkFile.h"
#include "cli/FileCommands.h"
#include "common/CodePage.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <malloc.h>
#include <map>
#include <new>
#include <ostream>
#include <unistd.h>

namespace {

// Heap bytes in use now and at most since the last reset, counted by usable size.
std::size_t g_inUse = 0;
std::size_t g_peak = 0;

} // namespace

void* operator new(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (block == nullptr)
        throw std::bad_alloc();
    g_inUse += malloc_usable_size(block);
    g_peak = std::max(g_peak, g_inUse);
    return block;
}
void operator delete(void* block) noexcept {
    if (block != nullptr)
        g_inUse -= malloc_usable_size(block);
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    operator delete(block);
}

namespace {

using namespace vexo;

// A file of n records like real runs: eight scores, fourteen system values, five tasks.
const std::string& fileOf(int records) {
    static std::map<int, std::string> paths;
    auto& path = paths[records];
    if (!path.empty())
        return path;
    BenchmarkDatabase database;
    for (int i = 0; i < records; ++i) {
        BenchmarkRecord& record = database.addRecord("bench.vgf");
        record.name = "Benchmark run number " + std::to_string(i);
        for (std::size_t k = 0; k < record.scores.size(); ++k)
            record.scores[k] = std::to_string(1000 + i * 7 + static_cast<int>(k));
        record.scores[4] = "57(1024x768@32 Bit /w High textures)";
        const char* system[] = {"104",
                                "2096",
                                "True",
                                "True",
                                "37",
                                "24105",
                                "23732",
                                "2048",
                                "6",
                                "1",
                                "Debian GNU/Linux 12 (bookworm)",
                                "76",
                                "llvmpipe (LLVM 15.0.6, 256 bits)",
                                "512"};
        for (std::size_t k = 0; k < record.system.size(); ++k)
            record.system[k] = system[k];
        record.tasks = {"Terminal", "Mail - Inbox", "Editor: notes.txt", "Music player",
                        "Web browser - start page"};
    }
    path = (std::filesystem::temp_directory_path() /
            ("vexo-bench-" + std::to_string(records) + "-" + std::to_string(getpid()) + ".vgf"))
               .string();
    if (const Status saved = benchfile::Export_Saved_Benchmark(path, benchfile::inOrder(database));
        !saved) {
        std::fprintf(stderr, "%s\n", saved.message().c_str());
        std::exit(1);
    }
    return path;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A file of n records without name or field, ">>:||:;" each: the most records per byte.
const std::string& emptyRecordsFile(int records) {
    static std::map<int, std::string> paths;
    auto& path = paths[records];
    if (!path.empty())
        return path;
    std::string payload;
    for (int i = 0; i < records; ++i)
        payload += ">>:||:;";
    path =
        (std::filesystem::temp_directory_path() /
         ("vexo-bench-empty-" + std::to_string(records) + "-" + std::to_string(getpid()) + ".vgf"))
            .string();
    if (!benchfile::saveBenchmarkFile(path, payload))
        std::exit(1);
    return path;
}

const std::string& pathFor(const benchmark::State& state) {
    return state.range(1) ? emptyRecordsFile(static_cast<int>(state.range(0)))
                          : fileOf(static_cast<int>(state.range(0)));
}

void setBytes(benchmark::State& state, const std::string& path) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

// Arguments: the number of records; 0 for records like real runs, 1 for empty records.
void fileSizes(benchmark::internal::Benchmark* b) {
    b->Args({10'000, 0})->Args({100'000, 0})->Args({1'400'000, 1})->Unit(benchmark::kMillisecond);
}

void BM_ReadAndReverse(benchmark::State& state) {
    const std::string& path = pathFor(state);
    for (auto _ : state) {
        std::string bytes = readAll(path);
        std::reverse(bytes.begin(), bytes.end());
        benchmark::DoNotOptimize(bytes.data());
    }
    setBytes(state, path);
}
BENCHMARK(BM_ReadAndReverse)->Apply(fileSizes);

// One scan of bytes already in memory: the speed of the fastest pass over them.
void BM_MemchrScan(benchmark::State& state) {
    const std::string& path = pathFor(state);
    std::string bytes = readAll(path);
    for (auto _ : state) {
        benchmark::DoNotOptimize(bytes.data());
        benchmark::ClobberMemory();
        const void* found = std::memchr(bytes.data(), '\xFF', bytes.size());
        benchmark::DoNotOptimize(found);
    }
    setBytes(state, path);
}
BENCHMARK(BM_MemchrScan)->Apply(fileSizes);

void BM_Import(benchmark::State& state) {
    const std::string& path = pathFor(state);
    std::size_t peak = 0;
    for (auto _ : state) {
        BenchmarkDatabase database;
        const std::size_t before = g_inUse;
        g_peak = g_inUse;
        if (!benchfile::Import_Saved_Benchmark(path, database).loaded())
            state.SkipWithError("the file was not read whole");
        peak = std::max(peak, g_peak - before);
        benchmark::DoNotOptimize(database.size());
    }
    setBytes(state, path);
    state.counters["peak_per_byte"] =
        static_cast<double>(peak) / static_cast<double>(std::filesystem::file_size(path));
}
BENCHMARK(BM_Import)->Apply(fileSizes);

// Building and encoding the file's bytes from the database (the disk write itself, with its
// flush to disk, is left out: it measures the disk).
void BM_Export(benchmark::State& state) {
    const std::string& path = fileOf(static_cast<int>(state.range(0)));
    BenchmarkDatabase database;
    if (!benchfile::Import_Saved_Benchmark(path, database).loaded())
        state.SkipWithError("the file was not read whole");
    const auto records = benchfile::inOrder(database);
    for (auto _ : state) {
        std::string bytes = benchfile::Encode_Data(toFileBytes(benchfile::exportPayload(records)));
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_Export)->Args({10'000, 0})->Args({100'000, 0})->Unit(benchmark::kMillisecond);

// Takes every byte and keeps none: the writers' own cost, without a disk.
class Discard final : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// A command of the terminal over the file, its output discarded; peak heap per byte of file,
// the reading included.
void runCommand(benchmark::State& state,
                int (*command)(const std::vector<std::string>&, std::ostream&, std::ostream&),
                const char* format) {
    const std::string& path = pathFor(state);
    std::size_t peak = 0;
    for (auto _ : state) {
        Discard sink;
        std::ostream out(&sink);
        const std::size_t before = g_inUse;
        g_peak = g_inUse;
        if (command({format, path}, out, out) != 0)
            state.SkipWithError("the command failed");
        peak = std::max(peak, g_peak - before);
    }
    setBytes(state, path);
    state.counters["peak_per_byte"] =
        static_cast<double>(peak) / static_cast<double>(std::filesystem::file_size(path));
}

void BM_DumpJson(benchmark::State& state) {
    runCommand(state, dumpCommand, "--json");
}
BENCHMARK(BM_DumpJson)->Apply(fileSizes);

void BM_ExportJson(benchmark::State& state) {
    runCommand(state, exportCommand, "--json");
}
BENCHMARK(BM_ExportJson)->Apply(fileSizes);

void BM_ExportCsv(benchmark::State& state) {
    runCommand(state, exportCommand, "--csv");
}
BENCHMARK(BM_ExportCsv)->Apply(fileSizes);

} // namespace

BENCHMARK_MAIN();
