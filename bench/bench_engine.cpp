// Cost of one seconds reading against a bare time() in the same run, of one iteration of each
// benchmark kernel, and of whole windows against bare loops.
#include "engine/Benchmark.h"
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

// Whole one-second windows, each starting at a second boundary: the program's window (the
// engine's counting loop over its clock, chosen as the run chooses it) against a bare loop that
// reads time() inline, with the same body. Their per_second counters compare directly; a ratio
// of window to bare below 1 is the program's own cost, far above 1 means work was elided.
template <class Body>
void programWindow(benchmark::State& state, Body body) {
    LinuxSecondsClock linuxClock;
    SecondsClock& clock = linuxClock;
    std::int64_t count = 0;
    for (auto _ : state) {
        timing::onConcreteClock(clock, [](auto& c) { timing::waitNextSecond(c); });
        count += timing::onConcreteClock(clock,
                                         [&](auto& c) { return timing::countSeconds(c, 1, body); });
    }
    state.counters["per_second"] =
        static_cast<double>(count) / static_cast<double>(state.iterations());
}

template <class Body>
void bareWindow(benchmark::State& state, Body body) {
    std::int64_t count = 0;
    for (auto _ : state) {
        const std::time_t start = std::time(nullptr);
        while (std::time(nullptr) == start) {
        }
        const std::time_t second = std::time(nullptr);
        while (std::time(nullptr) == second) {
            body();
            ++count;
        }
    }
    state.counters["per_second"] =
        static_cast<double>(count) / static_cast<double>(state.iterations());
}

void BM_IntegerWindow(benchmark::State& state) {
    programWindow(state, [] {});
}
// The same window with every reading through the interface, for comparison.
void BM_IntegerWindowThroughInterface(benchmark::State& state) {
    LinuxSecondsClock linuxClock;
    SecondsClock& clock = linuxClock;
    benchmark::DoNotOptimize(&clock);
    auto nothing = [] {};
    std::int64_t count = 0;
    for (auto _ : state) {
        timing::waitNextSecond(clock);
        count += timing::countSeconds(clock, 1, nothing);
    }
    state.counters["per_second"] =
        static_cast<double>(count) / static_cast<double>(state.iterations());
}
void BM_IntegerBare(benchmark::State& state) {
    bareWindow(state, [] {});
}
void BM_SpfpWindow(benchmark::State& state) {
    float value = 0;
    programWindow(state, [&value] { value = spfpStep(value); });
    benchmark::DoNotOptimize(value);
}
void BM_SpfpBare(benchmark::State& state) {
    float value = 0;
    bareWindow(state, [&value] { value = spfpStep(value); });
    benchmark::DoNotOptimize(value);
}
void BM_SpreadsheetWindow(benchmark::State& state) {
    programWindow(state, [] { spreadsheetKernel(); });
}
void BM_SpreadsheetBare(benchmark::State& state) {
    bareWindow(state, [] { spreadsheetKernel(); });
}
BENCHMARK(BM_IntegerWindow)->Iterations(1)->UseRealTime();
BENCHMARK(BM_IntegerWindowThroughInterface)->Iterations(1)->UseRealTime();
BENCHMARK(BM_IntegerBare)->Iterations(1)->UseRealTime();
BENCHMARK(BM_SpfpWindow)->Iterations(1)->UseRealTime();
BENCHMARK(BM_SpfpBare)->Iterations(1)->UseRealTime();
BENCHMARK(BM_SpreadsheetWindow)->Iterations(1)->UseRealTime();
BENCHMARK(BM_SpreadsheetBare)->Iterations(1)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
