// Cost of one seconds reading against a bare time() in the same run, and of one iteration of
// each benchmark kernel.
#include "engine/Kernels.h"
#include "platform/linux/LinuxSecondsClock.h"

#include <benchmark/benchmark.h>
#include <ctime>

namespace {

using namespace vexo;
using namespace vexo::kernels;

void BM_BareTime(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(std::time(nullptr));
}
BENCHMARK(BM_BareTime);

// Through the interface, as the counting loops read it.
void BM_SecondsReading(benchmark::State& state) {
    LinuxSecondsClock linuxClock;
    SecondsClock* clock = &linuxClock;
    benchmark::DoNotOptimize(clock);
    for (auto _ : state)
        benchmark::DoNotOptimize(clock->readSeconds());
}
BENCHMARK(BM_SecondsReading);

void copyIteration(benchmark::State& state, std::size_t chars) {
    BlockString a;
    BlockString b;
    buildBlock(a, chars, [] {});
    for (auto _ : state)
        copyKernel(a, b);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 2 * chars * 2));
}
void BM_CacheFsbCopy(benchmark::State& state) {
    copyIteration(state, kCacheBlockChars);
}
void BM_RamChipsetCopy(benchmark::State& state) {
    copyIteration(state, kRamBlockChars);
}
void BM_BusinessCopy(benchmark::State& state) {
    copyIteration(state, kBusinessBlockChars);
}
BENCHMARK(BM_CacheFsbCopy);
BENCHMARK(BM_RamChipsetCopy);
BENCHMARK(BM_BusinessCopy);

void BM_Spfp(benchmark::State& state) {
    float value = 0;
    for (auto _ : state)
        value = spfpStep(value);
    benchmark::DoNotOptimize(value);
}
BENCHMARK(BM_Spfp);

void BM_Spreadsheet(benchmark::State& state) {
    for (auto _ : state)
        spreadsheetKernel();
}
BENCHMARK(BM_Spreadsheet);

void BM_Imaging(benchmark::State& state) {
    for (auto _ : state)
        imagingKernel();
}
BENCHMARK(BM_Imaging);

} // namespace

BENCHMARK_MAIN();
