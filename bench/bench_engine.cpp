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
// engine's counting loop over its clock, the clock chosen as a run chooses it) and a bare loop
// reading time() inline around the same body, alternately, in the same run. The counter
// "ratio" is the program's count over the bare one: below 1 is what the program adds to a
// kernel, far above 1 would mean work was elided. Run with --benchmark_repetitions and read the
// medians.
template <class Body>
std::int64_t programSecond(SecondsClock& clock, Body& body) {
    return timing::onConcreteClock(clock,
                                   [&](auto& c) { return timing::countSeconds(c, 1, body); });
}

template <class Body>
std::int64_t bareSecond(Body& body) {
    std::int64_t count = 0;
    const std::time_t second = std::time(nullptr);
    while (std::time(nullptr) == second) {
        body();
        ++count;
    }
    return count;
}

template <class Body>
void windowAgainstBare(benchmark::State& state, Body body) {
    LinuxSecondsClock linuxClock;
    SecondsClock& clock = linuxClock;
    benchmark::DoNotOptimize(&clock);
    std::int64_t program = 0;
    std::int64_t bare = 0;
    bool programFirst = true;
    for (auto _ : state) {
        timing::onConcreteClock(clock, [](auto& c) { timing::waitNextSecond(c); });
        if (programFirst) {
            program += programSecond(clock, body);
            bare += bareSecond(body);
        } else {
            bare += bareSecond(body);
            program += programSecond(clock, body);
        }
        programFirst = !programFirst;
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["program_per_s"] = static_cast<double>(program) / iterations;
    state.counters["bare_per_s"] = static_cast<double>(bare) / iterations;
    state.counters["ratio"] =
        bare > 0 ? static_cast<double>(program) / static_cast<double>(bare) : 0;
}

// The Integer kernel is the bare counting loop, so its window counts clock readings.
void BM_IntegerWindow(benchmark::State& state) {
    windowAgainstBare(state, [] {});
}

void BM_SpfpWindow(benchmark::State& state) {
    float value = 0;
    windowAgainstBare(state, [&value] { value = spfpStep(value); });
    benchmark::DoNotOptimize(value);
}

void copyWindow(benchmark::State& state, std::size_t chars) {
    BlockString a;
    BlockString b;
    buildBlock(a, chars, [] {});
    windowAgainstBare(state, [&] { copyKernel(a, b); });
}
void BM_CacheFsbWindow(benchmark::State& state) {
    copyWindow(state, kCacheBlockChars);
}
void BM_RamChipsetWindow(benchmark::State& state) {
    copyWindow(state, kRamBlockChars);
}
void BM_BusinessWindow(benchmark::State& state) {
    copyWindow(state, kBusinessBlockChars);
}

void BM_SpreadsheetWindow(benchmark::State& state) {
    windowAgainstBare(state, [] { spreadsheetKernel(); });
}
void BM_ImagingWindow(benchmark::State& state) {
    windowAgainstBare(state, [] { imagingKernel(); });
}

// For comparison: the Integer window with every reading through the clock's interface.
void BM_IntegerWindowThroughInterface(benchmark::State& state) {
    LinuxSecondsClock linuxClock;
    SecondsClock& clock = linuxClock;
    benchmark::DoNotOptimize(&clock);
    auto nothing = [] {};
    std::int64_t program = 0;
    std::int64_t bare = 0;
    for (auto _ : state) {
        timing::waitNextSecond(clock);
        program += timing::countSeconds(clock, 1, nothing);
        bare += bareSecond(nothing);
    }
    state.counters["ratio"] =
        bare > 0 ? static_cast<double>(program) / static_cast<double>(bare) : 0;
}

BENCHMARK(BM_IntegerWindow)->Iterations(2)->UseRealTime();
BENCHMARK(BM_IntegerWindowThroughInterface)->Iterations(2)->UseRealTime();
BENCHMARK(BM_SpfpWindow)->Iterations(2)->UseRealTime();
BENCHMARK(BM_CacheFsbWindow)->Iterations(2)->UseRealTime();
BENCHMARK(BM_RamChipsetWindow)->Iterations(2)->UseRealTime();
BENCHMARK(BM_BusinessWindow)->Iterations(2)->UseRealTime();
BENCHMARK(BM_SpreadsheetWindow)->Iterations(2)->UseRealTime();
BENCHMARK(BM_ImagingWindow)->Iterations(2)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
