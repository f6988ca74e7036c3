#include "common/Text.h"

#include <gtest/gtest.h>

namespace vexo {
namespace {

TEST(StripPath, KeepsTheLastComponentAndABackslashIsPartOfAName) {
    std::string last; // each followed by '|'
    for (const char* path :
         {"/home/ann/runs/last benchmark.vgf", "runs/back\\slash.vgf", "plain.vgf", "ends/in/", ""})
        last += Strip_Path(path) + "|";
    EXPECT_EQ(last, "last benchmark.vgf|back\\slash.vgf|plain.vgf|||");
    EXPECT_EQ(crToNewline("a\rb\r\nc\r") + crToNewline("a\n\rb"), "a\nb\nc\na\n\nb");
}

// Printable UTF-8 kept; a retitle, clear, CR/TAB/LF, NUL and DEL, C1 as UTF-8 and bare; then
// bytes that are no UTF-8: a cut sequence, overlong and surrogate, past U+10FFFF.
TEST(TerminalText, ShowsControlsAndUndecodableBytesAndKeepsPrintableUtf8) {
    const std::string printable = "Caf\xC3\xA9 \xE2\x80\x93 \xF0\x9F\x98\x80 <b>";
    std::string shown; // each followed by '|'
    for (const std::string& in :
         {printable, std::string("\x1B]0;owned\x07"), std::string("\x1B[2J\r\t\n"),
          std::string("a\0b\x7F", 4), std::string("\xC2\x9B\x32J\xC2\x80"),
          std::string("\x9B\x32J"), std::string("\xE2\x80"), std::string("\xC0\xAF\xED\xA0\x80"),
          std::string("\xF4\x90\x80\x80")})
        shown += terminalText(in) + "|";
    EXPECT_EQ(shown, printable + "|^[]0;owned^G|^[[2J^M^I^J|a^@b^?|M-^[2JM-^@|\\x9B2J|\\xE2\\x80|"
                                 "\\xC0\\xAF\\xED\\xA0\\x80|\\xF4\\x90\\x80\\x80|");
}

} // namespace
} // namespace vexo
