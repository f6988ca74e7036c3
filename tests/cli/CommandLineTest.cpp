#include "cli/CommandLine.h"

#include <gtest/gtest.h>

namespace vexo {
namespace {

using Args = std::vector<std::string>;

ArrangedArguments arrange(std::string_view command, const Args& args) {
    const CommandSpec* spec = findCommand(command);
    EXPECT_NE(spec, nullptr) << command;
    return spec != nullptr ? arrangeArguments(args, *spec) : ArrangedArguments{};
}

// (The shell-level conventions script checks the refusals and the orders a user types most.)
TEST(CommandLine, OptionsMayFollowTheFileNamesAndDoubleDashEndsThem) {
    EXPECT_EQ(arrange("dump", {"a.vgf", "--json", "b.vgf", "--json"}).ordered(),
              (Args{"--json", "a.vgf", "b.vgf"})); // a repeated flag counts once
    const ArrangedArguments run =
        arrange("run", {"--out", "-odd.vgf", "--fpu", "--name=Seven chars", "--depth", "32"});
    EXPECT_EQ(run.error, "");
    EXPECT_EQ(run.ordered(),
              (Args{"--out", "-odd.vgf", "--fpu", "--name=Seven chars", "--depth", "32"}));
    EXPECT_TRUE(run.operands.empty());
    // After "--" a file named like an option can no longer be read as one; "-" keeps its meaning.
    EXPECT_EQ(arrange("check", {"--", "--json", "-", "-x.vgf", "--"}).ordered(),
              (Args{"./--json", "-", "./-x.vgf", "./--"}));
}

// Help and the version after any command, unless it is a file name after "--".
TEST(CommandLine, RefusalsNameTheArgumentAndHelpIsAskedAfterAnyCommand) {
    EXPECT_EQ(arrange("dump", {"f.vgf", "-j"}).error, "unknown option '-j'");
    EXPECT_EQ(arrange("run", {"--gpu=1"}).error, "unknown option '--gpu'");
    EXPECT_EQ(arrange("sysinfo", {"--json=yes"}).error, "option '--json' takes no value");
    EXPECT_EQ(arrange("tasks", {"--all", "--all"}).error, "");
    EXPECT_EQ(findCommand(""), nullptr);
    for (const CommandSpec& command : commands()) {
        EXPECT_TRUE(arrangeArguments({"--help"}, command).help) << command.name;
        EXPECT_TRUE(arrangeArguments({"x", "--version"}, command).version) << command.name;
    }
    EXPECT_TRUE(arrange("dump", {"f.vgf", "-h"}).help);
    EXPECT_FALSE(arrange("dump", {"--", "--help"}).help);
}

} // namespace
} // namespace vexo
