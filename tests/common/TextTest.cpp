#include "common/Text.h"

#include <gtest/gtest.h>

namespace vexo {
namespace {

TEST(StripPath, KeepsTheLastComponentForEitherSeparator) {
    EXPECT_EQ(Strip_Path("/home/ann/runs/last benchmark.vgf"), "last benchmark.vgf");
    EXPECT_EQ(Strip_Path("C:\\bench\\old.vgf"), "old.vgf");
    EXPECT_EQ(Strip_Path("mixed/dir\\file.vgf"), "file.vgf");
    EXPECT_EQ(Strip_Path("plain.vgf"), "plain.vgf");
    EXPECT_EQ(Strip_Path("ends/in/"), "");
    EXPECT_EQ(Strip_Path(""), "");
}

TEST(CrToNewline, TurnsCarriageReturnsAndCrLfPairsIntoNewlines) {
    EXPECT_EQ(crToNewline("a\rb\r\nc\r"), "a\nb\nc\n");
    EXPECT_EQ(crToNewline("a\n\rb"), "a\n\nb");
    EXPECT_EQ(crToNewline(""), "");
}

} // namespace
} // namespace vexo
