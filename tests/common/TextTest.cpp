#include "common/Text.h"

#include <gtest/gtest.h>

namespace vexo {
namespace {

TEST(StripPath, KeepsTheLastComponentForEitherSeparator) {
    for (const auto& [path, last] : std::vector<std::pair<const char*, const char*>>{
             {"/home/ann/runs/last benchmark.vgf", "last benchmark.vgf"},
             {"C:\\bench\\old.vgf", "old.vgf"},
             {"mixed/dir\\file.vgf", "file.vgf"},
             {"plain.vgf", "plain.vgf"},
             {"ends/in/", ""},
             {"", ""}})
        EXPECT_EQ(Strip_Path(path), last) << path;
}

TEST(CrToNewline, TurnsCarriageReturnsAndCrLfPairsIntoNewlines) {
    EXPECT_EQ(crToNewline("a\rb\r\nc\r"), "a\nb\nc\n");
    EXPECT_EQ(crToNewline("a\n\rb"), "a\n\nb");
}

TEST(TerminalText, ShowsControlsAndUndecodableBytesAndKeepsPrintableUtf8) {
    const std::string printable = "Caf\xC3\xA9 \xE2\x80\x93 \xF0\x9F\x98\x80 <b>";
    const struct {
        const char* name;
        std::string in, shown;
    } rows[] = {{"printable utf-8", printable, printable},
                {"retitle", "\x1B]0;owned\x07", "^[]0;owned^G"},
                {"clear, cr, tab, lf", "\x1B[2J\r\t\n", "^[[2J^M^I^J"},
                {"nul and del", std::string("a\0b\x7F", 4), "a^@b^?"},
                {"c1 as utf-8 (csi)",
                 "\xC2\x9B"
                 "2J\xC2\x80",
                 "M-^[2JM-^@"},
                {"bare c1 byte",
                 "\x9B"
                 "2J",
                 "\\x9B2J"},
                {"cut sequence", "\xE2\x80", "\\xE2\\x80"},
                {"overlong and surrogate", "\xC0\xAF\xED\xA0\x80", "\\xC0\\xAF\\xED\\xA0\\x80"},
                {"past U+10FFFF", "\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"}};
    for (const auto& row : rows)
        EXPECT_EQ(terminalText(row.in), row.shown) << row.name;
}

} // namespace
} // namespace vexo
