// Reading and writing large benchmark files, against reading the same bytes and reversing them
// (the least any reader of the format must do) in the same run.
#include "benchfile/BenchmarkFile.h"
#include "common/CodePage.h"
#include "platform/SilentDialogs.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <unistd.h>

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

void BM_ReadAndReverse(benchmark::State& state) {
    const std::string& path = fileOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::string bytes = readAll(path);
        std::reverse(bytes.begin(), bytes.end());
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_ReadAndReverse)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_Import(benchmark::State& state) {
    const std::string& path = fileOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        BenchmarkDatabase database;
        if (!benchfile::Import_Saved_Benchmark(path, database).loaded())
            state.SkipWithError("the file was not read whole");
        benchmark::DoNotOptimize(database.size());
    }
}
BENCHMARK(BM_Import)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

// Building and encoding the file's bytes from the database (the disk write itself, with its
// flush to disk, is left out: it measures the disk).
void BM_Export(benchmark::State& state) {
    const std::string& path = fileOf(static_cast<int>(state.range(0)));
    BenchmarkDatabase database;
    if (!benchfile::Import_Saved_Benchmark(path, database).loaded())
        state.SkipWithError("the file was not read whole");
    const auto records = benchfile::inOrder(database);
    for (auto _ : state) {
        std::string bytes =
            benchfile::Encode_Data(toFileBytes(benchfile::exportPayload(records)));
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_Export)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
