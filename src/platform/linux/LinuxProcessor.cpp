#include "LinuxSystemQueries.h"

#include <chrono>
#include <cmath>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define VEXO_HAS_CPUID 1
#endif

namespace vexo {

namespace {

#ifdef VEXO_HAS_CPUID
struct Leaf1 {
    unsigned eax = 0, edx = 0;
    bool ok = false;
};

Leaf1 leaf1() {
    Leaf1 leaf;
    unsigned ebx = 0, ecx = 0;
    leaf.ok = __get_cpuid(1, &leaf.eax, &ebx, &ecx, &leaf.edx) != 0;
    return leaf;
}

// Time-stamp counter ticks per microsecond over about 50 ms of busy waiting (a sleep would
// let an old, non-invariant counter slow down with the processor).
std::int32_t measureTscMHz() {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const unsigned long long startTicks = __rdtsc();
    auto now = start;
    while (now - start < std::chrono::milliseconds(50))
        now = Clock::now();
    const unsigned long long ticks = __rdtsc() - startTicks;
    const double micros = std::chrono::duration<double, std::micro>(now - start).count();
    return static_cast<std::int32_t>(std::lround(static_cast<double>(ticks) / micros));
}
#endif

} // namespace

std::uint16_t LinuxProcessor::signature() {
#ifdef VEXO_HAS_CPUID
    const Leaf1 leaf = leaf1();
    return leaf.ok ? static_cast<std::uint16_t>(leaf.eax & 0xFFFF) : 0;
#else
    return 0;
#endif
}

std::int32_t LinuxProcessor::family() {
#ifdef VEXO_HAS_CPUID
    const Leaf1 leaf = leaf1();
    if (!leaf.ok)
        return 0;
    const auto base = static_cast<std::int32_t>((leaf.eax >> 8) & 0xF);
    return base == 0xF ? base + static_cast<std::int32_t>((leaf.eax >> 20) & 0xFF) : base;
#else
    return 0;
#endif
}

std::uint32_t LinuxProcessor::features() {
#ifdef VEXO_HAS_CPUID
    const Leaf1 leaf = leaf1();
    return leaf.ok ? leaf.edx : 0;
#else
    return 0;
#endif
}

std::int32_t LinuxProcessor::normalisedSpeedMHz() {
#ifdef VEXO_HAS_CPUID
    const Leaf1 leaf = leaf1();
    if (leaf.ok && (leaf.edx & (1U << 4)) != 0)
        return measureTscMHz();
#endif
    return parseCpuinfoMHz(readTextFile("/proc/cpuinfo"));
}

} // namespace vexo
