#pragma once

// The work timed inside the measurement windows. Every body must really be done on every
// iteration: the compiler may not fold constant inputs, hoist calls out of the loop, drop
// discarded results, or share and elide string copies. Inputs pass through opaque() and results
// through keepAlive(), which the optimiser cannot see through.

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace vexo::kernels {

// The value, as far as the optimiser knows, could be anything after this.
template <class T>
[[gnu::always_inline]] inline T opaque(T value) {
    asm volatile("" : "+m"(value));
    return value;
}

// The value counts as used, and memory as read and written.
template <class T>
[[gnu::always_inline]] inline void keepAlive(const T& value) {
    asm volatile("" : : "m"(value) : "memory");
}

// Where a copy puts its new block, in bytes past its source modulo one page of 4 KiB.
// Some processors' string copies (a short-distance `rep movsb`) slow down twentyfold when the
// destination lies less than 64 bytes past the source modulo 4 KiB, and a heap that alternates
// two blocks of one size places them exactly there (16 bytes apart: the chunk header). Half a
// page away, every copy runs at the machine's copy speed wherever the allocator puts the blocks.
inline constexpr std::size_t kCopyPageBytes = 4096;
inline constexpr std::size_t kCopyDistance = kCopyPageBytes / 2;
// What each copy allocates besides its block, so that its start can be chosen.
inline constexpr std::size_t kCopySlackBytes = kCopyPageBytes;

// A string of 16-bit characters with an explicit length (code 0 is an ordinary character).
// Assignment always allocates a new buffer, copies every character into it and releases the
// old one: the benchmark measures exactly that, so the storage is never shared or reused.
class BlockString {
public:
    BlockString() = default;
    BlockString(const BlockString& other) { assignCopy(other); }
    BlockString& operator=(const BlockString& other) {
        if (this != &other)
            assignCopy(other);
        return *this;
    }
    BlockString(BlockString&&) = delete;
    BlockString& operator=(BlockString&&) = delete;
    ~BlockString() { release(); }

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    const char16_t* data() const { return m_data; }
    char16_t operator[](std::size_t i) const { return m_data[i]; }

    // Replaces the string by a new one, one character longer.
    void append(char16_t c);
    void clear() { release(); }

private:
    void assignCopy(const BlockString& other);
    void release();

    void* m_storage = nullptr; // the allocation; m_data lies within it
    char16_t* m_data = nullptr;
    std::size_t m_size = 0;
};

// Block sizes in characters (16-bit, so 65,536, 262,144 and 32,768 bytes).
inline constexpr std::size_t kCacheBlockChars = 32'768;
inline constexpr std::size_t kRamBlockChars = 131'072;
inline constexpr std::size_t kBusinessBlockChars = 16'384;

// Grows an empty block one character of code 0 at a time until it holds n characters, calling
// afterEach() after every character.
template <class AfterEach>
void buildBlock(BlockString& block, std::size_t n, AfterEach&& afterEach) {
    while (block.size() < n) {
        block.append(u'\0');
        afterEach();
    }
}

// CPU and Business kernel: two whole-block copies, each into fresh storage.
inline void copyKernel(BlockString& a, BlockString& b) {
    b = a;
    a = b;
}

// One step of the single-precision chain: intermediates in double, the result stored as float.
[[gnu::always_inline]] inline float spfpStep(float value) {
    const double two = opaque(2.0);
    const double v = value;
    const double t1 = std::sqrt((v + v) / 2);
    const double t2 = std::pow(t1, two);
    const double t3 = std::pow(std::tan(t2), two);
    const double t4 = std::pow(std::sin(t3), two);
    const double t5 = std::cos(t4);
    const double t6 = std::sqrt(std::sqrt(t5));
    const double t7 = std::atan(t6);
    const double t8 = std::exp(t7);
    return static_cast<float>(t8);
}

// Straight-line depreciation for one period.
[[gnu::always_inline]] inline double SLN(double cost, double salvage, double life) {
    return (cost - salvage) / life;
}

// Sum-of-years'-digits depreciation for the given period.
[[gnu::always_inline]] inline double SYD(double cost, double salvage, double life, double period) {
    return (cost - salvage) * (life - period + 1) * 2 / (life * (life + 1));
}

// Future value of a series of equal payments.
[[gnu::always_inline]] inline double FV(double rate, double nper, double pmt, double pv = 0,
                                        double type = 0) {
    const double growth = std::pow(1 + rate, nper);
    return -(pv * growth + pmt * (1 + rate * type) * (growth - 1) / rate);
}

struct SpreadsheetArgs {
    double sydCost = 1000, sydSalvage = 2, sydLife = 24, sydPeriod = 12;
    double slnCost = 100, slnSalvage = 2, slnLife = 24;
    double fvRate = 100, fvNper = 10, fvPmt = 20;
};

[[gnu::always_inline]] inline void spreadsheetKernel() {
    const SpreadsheetArgs a = opaque(SpreadsheetArgs{});
    keepAlive(SYD(a.sydCost, a.sydSalvage, a.sydLife, a.sydPeriod));
    keepAlive(SLN(a.slnCost, a.slnSalvage, a.slnLife));
    keepAlive(FV(a.fvRate, a.fvNper, a.fvPmt));
}

struct ImagingValues {
    double p4;
    double p8;
};

// The imaging chain on the constant 2; every power through the general power function.
[[gnu::always_inline]] inline ImagingValues imagingChain() {
    const double two = opaque(2.0);
    const double p1 = std::pow(two, two);
    const double p2 = std::pow(std::tan(p1), two);
    const double p3 = std::pow(std::sin(p2), two);
    const double p4 = std::cos(p3);
    const double e = std::exp(std::sqrt(p4));
    const double p5 = e + e;
    const double p6 = std::pow(p5, two);
    const double p7 = std::pow(std::tan(p6), two);
    const double p8 = std::pow(std::sin(p7), two);
    return {p4, p8};
}

[[gnu::always_inline]] inline void imagingKernel() {
    keepAlive(imagingChain().p8);
}

} // namespace vexo::kernels
