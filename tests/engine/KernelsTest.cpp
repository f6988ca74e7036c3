#include "engine/Kernels.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>

namespace vexo::kernels {
namespace {

// The single-precision chain written out again, every step in double.
double spfpChainInDouble(double v) {
    const double t1 = std::sqrt((v + v) / 2);
    const double t3 = std::pow(std::tan(std::pow(t1, 2.0)), 2.0);
    const double t5 = std::cos(std::pow(std::sin(t3), 2.0));
    return std::exp(std::atan(std::sqrt(std::sqrt(t5))));
}

TEST(SpfpKernel, StoresEachResultInSinglePrecisionAndAlternatesInItsRange) {
    const float first = spfpStep(0);
    const float second = spfpStep(first);
    EXPECT_EQ(first, static_cast<float>(std::exp(M_PI / 4)));
    EXPECT_EQ(second, static_cast<float>(spfpChainInDouble(first)));
    // Kept in double between steps, the chain would already differ at the second step.
    EXPECT_NE(second, static_cast<float>(spfpChainInDouble(spfpChainInDouble(0))));
    EXPECT_NEAR(second, 2.076849, 1e-6);
    float v = second;
    for (int i = 0; i < 1000; ++i) {
        v = spfpStep(v);
        ASSERT_GT(v, 2.03f);
        ASSERT_LT(v, 2.20f);
    }
}

// pv and type take part when given: one period at 10 %, paid in advance.
TEST(SpreadsheetAndImagingFunctions, GiveTheKnownValues) {
    EXPECT_NEAR(SYD(1000, 2, 24, 12), 43.246666, 1e-5);
    EXPECT_NEAR(SLN(100, 2, 24), 4.083333, 1e-5);
    EXPECT_NEAR(FV(100, 10, 20) / 1e19, -2.209244, 1e-6);
    EXPECT_NEAR(FV(0.1, 1, -100, -1000, 1), 1210.0, 1e-9);
    EXPECT_NEAR(imagingChain().p4, 0.583376, 1e-6);
    EXPECT_NEAR(imagingChain().p8, 0.0398631, 1e-7);
}

// A block that is already long enough is left alone; copying an empty string empties the target.
TEST(BlockString, CopiesNeverShareStorageAndClearEmpties) {
    BlockString a;
    BlockString b;
    buildBlock(a, 64, [] {});
    buildBlock(a, 10, [] { FAIL(); });
    copyKernel(a, b);
    EXPECT_TRUE(a.size() == 64u && b.size() == 64u && a.data() != b.data());
    a.clear();
    EXPECT_TRUE(a.empty() && a.data() == nullptr && b.size() == 64u);
    b = a;
    EXPECT_TRUE(b.empty());
}

// Wherever the heap puts the blocks, each copy writes its destination far enough from its source
// modulo 4 KiB that no processor's short-distance copy path is taken: an alternating pair of
// equal blocks from the heap lies 16 bytes apart there.
TEST(CopyKernel, EveryCopyStartsBetween64And4032BytesPastItsSourceModulo4KiB) {
    const auto distance = [](const char16_t* destination, const char16_t* source) {
        return (reinterpret_cast<std::uintptr_t>(destination) -
                reinterpret_cast<std::uintptr_t>(source)) %
               4096;
    };
    for (const std::size_t chars : {kCacheBlockChars, kRamBlockChars, kBusinessBlockChars}) {
        SCOPED_TRACE(chars);
        BlockString a;
        BlockString b;
        buildBlock(a, chars, [] {});
        for (int i = 0; i < 2000; ++i) {
            const char16_t* source = a.data();
            b = a;
            ASSERT_GE(distance(b.data(), source), 64u) << "copy " << i;
            ASSERT_LE(distance(b.data(), source), 4032u) << "copy " << i;
            a = b;
            ASSERT_GE(distance(a.data(), b.data()), 64u) << "copy back " << i;
            ASSERT_LE(distance(a.data(), b.data()), 4032u) << "copy back " << i;
        }
        EXPECT_EQ(a.size(), chars);
        EXPECT_EQ(a[chars - 1], u'\0');
    }
}

} // namespace
} // namespace vexo::kernels
