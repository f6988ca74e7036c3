// Cost of one seconds reading against a bare time() in the same run, of each copy kernel against
// the machine's copy speed, of one iteration of the other kernels, and of whole windows against
// bare loops around independent bodies.
#include "engine/Benchmark.h"
#include "engine/Kernels.h"
#include "platform/linux/LinuxSecondsClock.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <vector>

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

// The reference the copy kernels are judged against, written independently of them: two
// buffers placed 2 KiB apart modulo 4 KiB, where no processor's string copy takes a slow path,
// copied there and back with memcpy. It allocates nothing, so it is the machine's copy speed.
class ReferenceCopy {
public:
    explicit ReferenceCopy(std::size_t bytes)
        : m_bytes(bytes)
        , m_buffer(bytes * 2 + 8192) {
        const auto base = reinterpret_cast<std::uintptr_t>(m_buffer.data());
        m_from = m_buffer.data() + (4096 - base % 4096);
        m_to = m_from + (bytes + 4095) / 4096 * 4096 + 2048;
    }
    void operator()() {
        std::memcpy(m_to, m_from, m_bytes);
        benchmark::ClobberMemory();
        std::memcpy(m_from, m_to, m_bytes);
        benchmark::ClobberMemory();
    }

private:
    std::size_t m_bytes;
    std::vector<char> m_buffer;
    char* m_from;
    char* m_to;
};

// The copy kernel and the reference, alternately in batches of the same size, in the same run.
// Counters: each one's speed in GB/s (bytes copied, both directions) and "ratio", the kernel's
// speed over the reference's. A ratio far below 1 means the kernel times something besides
// the copy, such as where the allocator placed its blocks.
void copyAgainstReference(benchmark::State& state, std::size_t chars) {
    using Clock = std::chrono::steady_clock;
    BlockString a;
    BlockString b;
    buildBlock(a, chars, [] {});
    ReferenceCopy reference(chars * sizeof(char16_t));
    const int batch = static_cast<int>(std::max<std::size_t>(1, (std::size_t{32} << 20) / chars));
    Clock::duration kernelTime{};
    Clock::duration referenceTime{};
    bool kernelFirst = true;
    for (auto _ : state) {
        for (int pass = 0; pass < 2; ++pass) {
            const bool kernel = (pass == 0) == kernelFirst;
            const auto start = Clock::now();
            for (int i = 0; i < batch; ++i) {
                if (kernel)
                    copyKernel(a, b);
                else
                    reference();
            }
            (kernel ? kernelTime : referenceTime) += Clock::now() - start;
        }
        kernelFirst = !kernelFirst;
    }
    const double bytes =
        static_cast<double>(state.iterations()) * batch * 2 * 2 * static_cast<double>(chars);
    const double kernelSeconds = std::chrono::duration<double>(kernelTime).count();
    const double referenceSeconds = std::chrono::duration<double>(referenceTime).count();
    state.counters["kernel_GBps"] = bytes / kernelSeconds / 1e9;
    state.counters["reference_GBps"] = bytes / referenceSeconds / 1e9;
    state.counters["ratio"] = referenceSeconds / kernelSeconds;
}
void BM_CacheFsbCopy(benchmark::State& state) {
    copyAgainstReference(state, kCacheBlockChars);
}
void BM_RamChipsetCopy(benchmark::State& state) {
    copyAgainstReference(state, kRamBlockChars);
}
void BM_BusinessCopy(benchmark::State& state) {
    copyAgainstReference(state, kBusinessBlockChars);
}
BENCHMARK(BM_CacheFsbCopy)->UseRealTime();
BENCHMARK(BM_RamChipsetCopy)->UseRealTime();
BENCHMARK(BM_BusinessCopy)->UseRealTime();

void BM_Spfp(benchmark::State& state) {
    float value = 0;
    for (auto _ : state)
        value = spfpStep(value);
    keepAlive(value);
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
// engine's counting loop over its clock, the clock chosen as a run chooses it, around the
// program's kernel) and a bare loop reading time() inline around an independent body doing the
// same work, alternately, in the same run. The counter "ratio" is the program's count over the
// bare one: below 1 is what the program adds to the work, far above 1 would mean work was
// elided. Run with --benchmark_repetitions and read the medians.
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

template <class ProgramBody, class BareBody>
void windowAgainstBare(benchmark::State& state, ProgramBody programBody, BareBody bareBody) {
    LinuxSecondsClock linuxClock;
    SecondsClock& clock = linuxClock;
    benchmark::DoNotOptimize(&clock);
    std::int64_t program = 0;
    std::int64_t bare = 0;
    bool programFirst = true;
    for (auto _ : state) {
        timing::onConcreteClock(clock, [](auto& c) { timing::waitNextSecond(c); });
        if (programFirst) {
            program += programSecond(clock, programBody);
            bare += bareSecond(bareBody);
        } else {
            bare += bareSecond(bareBody);
            program += programSecond(clock, programBody);
        }
        programFirst = !programFirst;
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["program_per_s"] = static_cast<double>(program) / iterations;
    state.counters["bare_per_s"] = static_cast<double>(bare) / iterations;
    state.counters["ratio"] =
        bare > 0 ? static_cast<double>(program) / static_cast<double>(bare) : 0;
}

// The bare bodies: the kernels' arithmetic written out again here, inputs and results passed
// through barriers of their own (in a vector register; benchmark::DoNotOptimize's "+m,r" is
// miscompiled for a double by GCC 12 and reads 0).
double bareInput(double value) {
    asm volatile("" : "+x"(value));
    return value;
}

void bareUse(double value) {
    asm volatile("" : : "x"(value));
}

void bareSpfpStep(float& value) {
    const double v = bareInput(value);
    const double two = bareInput(2.0);
    const double squared = std::pow(std::sqrt((v + v) / 2), two);
    const double c = std::cos(std::pow(std::sin(std::pow(std::tan(squared), two)), two));
    value = static_cast<float>(std::exp(std::atan(std::sqrt(std::sqrt(c)))));
}

void bareSpreadsheet() {
    const double cost = bareInput(1000), salvage = bareInput(2), life = bareInput(24);
    const double period = bareInput(12), rate = bareInput(100), periods = bareInput(10);
    const double payment = bareInput(20), present = bareInput(0), due = bareInput(0);
    bareUse((cost - salvage) * (life - period + 1) * 2 / (life * (life + 1)));
    bareUse((bareInput(100) - salvage) / life);
    const double growth = std::pow(1 + rate, periods);
    bareUse(-(present * growth + payment * (1 + rate * due) * (growth - 1) / rate));
}

void bareImaging() {
    const double two = bareInput(2.0);
    const double first =
        std::cos(std::pow(std::sin(std::pow(std::tan(std::pow(two, two)), two)), two));
    const double doubled = 2 * std::exp(std::sqrt(first));
    bareUse(std::pow(std::sin(std::pow(std::tan(std::pow(doubled, two)), two)), two));
}

// The Integer kernel is the bare counting loop, so its window counts clock readings.
void BM_IntegerWindow(benchmark::State& state) {
    windowAgainstBare(
        state, [] {}, [] {});
}

void BM_SpfpWindow(benchmark::State& state) {
    float value = 0;
    float bareValue = 0;
    windowAgainstBare(
        state, [&value] { value = spfpStep(value); }, [&bareValue] { bareSpfpStep(bareValue); });
    keepAlive(value);
    bareUse(bareValue);
}

// Against the machine's copy speed: the bare body is the reference copy, which allocates
// nothing, so the ratio also shows what allocating costs the kernel.
void copyWindow(benchmark::State& state, std::size_t chars) {
    BlockString a;
    BlockString b;
    buildBlock(a, chars, [] {});
    ReferenceCopy reference(chars * sizeof(char16_t));
    windowAgainstBare(
        state, [&] { copyKernel(a, b); }, [&] { reference(); });
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
    windowAgainstBare(
        state, [] { spreadsheetKernel(); }, [] { bareSpreadsheet(); });
}
void BM_ImagingWindow(benchmark::State& state) {
    windowAgainstBare(
        state, [] { imagingKernel(); }, [] { bareImaging(); });
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
