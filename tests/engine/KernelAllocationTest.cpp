// Counts every allocation of this test program, to prove that the copy kernel really allocates,
// copies and releases on every assignment instead of reusing or sharing storage.
#include "engine/Kernels.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <new>
#include <vector>

namespace {
std::size_t g_allocations = 0;
std::size_t g_releases = 0;
std::vector<std::size_t>* g_sizes = nullptr;
} // namespace

void* operator new(std::size_t size) {
    ++g_allocations;
    if (g_sizes != nullptr && g_sizes->size() < g_sizes->capacity())
        g_sizes->push_back(size);
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

// The replacement pairs malloc with free; the compiler cannot see that new and delete match.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
    if (p != nullptr)
        ++g_releases;
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace vexo::kernels {
namespace {

TEST(CopyKernel, EachIterationAllocatesTwiceCopiesAndReleasesTwice) {
    // The RAM block behaves the same; its quadratic build would only make the test slow.
    for (const std::size_t chars : {kCacheBlockChars, kBusinessBlockChars}) {
        BlockString a;
        BlockString b;
        buildBlock(a, chars, [] {});
        copyKernel(a, b); // b holds a block from now on, so every later copy releases one

        std::vector<std::size_t> sizes;
        sizes.reserve(8);
        const std::size_t allocationsBefore = g_allocations;
        const std::size_t releasesBefore = g_releases;
        g_sizes = &sizes;
        copyKernel(a, b);
        g_sizes = nullptr;

        EXPECT_EQ(g_allocations - allocationsBefore, 2u) << chars;
        EXPECT_EQ(g_releases - releasesBefore, 2u) << chars;
        // Each allocation holds the block and the room to place it (see kCopySlackBytes).
        EXPECT_EQ(sizes, (std::vector<std::size_t>{chars * 2 + kCopySlackBytes,
                                                   chars * 2 + kCopySlackBytes}));
        EXPECT_TRUE(a.size() == chars && b.size() == chars);
    }
}

TEST(BlockBuild, EachAppendReplacesTheStringByANewOne) {
    BlockString block;
    buildBlock(block, 10, [] {});
    const std::size_t allocationsBefore = g_allocations;
    const std::size_t releasesBefore = g_releases;
    buildBlock(block, 15, [] {});
    EXPECT_EQ(g_allocations - allocationsBefore, 5u);
    EXPECT_EQ(g_releases - releasesBefore, 5u);
}

} // namespace
} // namespace vexo::kernels
