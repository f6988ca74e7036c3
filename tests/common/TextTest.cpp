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

TEST(TerminalText, ShowsControlsAndUndecodableBytesAndKeepsPrintableUtf8) {
    struct Row {
        const char* name;
        std::string in;
        std::string shown;
    };
    for (const Row& row : {
             Row{"printable utf-8", "Caf\xC3\xA9 \xE2\x80\x93 \xF0\x9F\x98\x80 <b>",
                 "Caf\xC3\xA9 \xE2\x80\x93 \xF0\x9F\x98\x80 <b>"},
             Row{"retitle", "\x1B]0;owned\x07", "^[]0;owned^G"},
             Row{"clear, cr, tab, lf", "\x1B[2J\r\t\n", "^[[2J^M^I^J"},
             Row{"nul and del", std::string("a\0b\x7F", 4), "a^@b^?"},
             Row{"c1 as utf-8 (csi)",
                 "\xC2\x9B"
                 "2J\xC2\x80",
                 "M-^[2JM-^@"},
             Row{"bare c1 byte",
                 "\x9B"
                 "2J",
                 "\\x9B2J"},
             Row{"cut sequence", "\xE2\x80", "\\xE2\\x80"},
             Row{"overlong and surrogate", "\xC0\xAF\xED\xA0\x80", "\\xC0\\xAF\\xED\\xA0\\x80"},
             Row{"past U+10FFFF", "\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},
         }) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(terminalText(row.in), row.shown);
    }
}

} // namespace
} // namespace vexo
