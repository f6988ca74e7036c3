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

TEST(CommandLine, OptionsMayFollowTheFileNames) {
    const ArrangedArguments dump = arrange("dump", {"a.vgf", "--json", "b.vgf"});
    EXPECT_EQ(dump.error, "");
    EXPECT_EQ(dump.ordered(), (Args{"--json", "a.vgf", "b.vgf"}));

    const ArrangedArguments run =
        arrange("run", {"--out", "x.vgf", "--fpu", "--name=Seven chars", "--depth", "32"});
    EXPECT_EQ(run.error, "");
    EXPECT_EQ(run.ordered(),
              (Args{"--out", "x.vgf", "--fpu", "--name=Seven chars", "--depth", "32"}));
    EXPECT_TRUE(run.operands.empty());
}

TEST(CommandLine, DoubleDashEndsTheOptions) {
    const ArrangedArguments check = arrange("check", {"--", "--json", "-", "-x.vgf", "--"});
    EXPECT_EQ(check.error, "");
    // A file named like an option can no longer be read as one; "-" keeps its custom meaning.
    EXPECT_EQ(check.ordered(), (Args{"./--json", "-", "./-x.vgf", "./--"}));
    // The value of an option may start with '-' too.
    EXPECT_EQ(arrange("run", {"--out", "-odd.vgf", "--cpu"}).ordered(),
              (Args{"--out", "-odd.vgf", "--cpu"}));
}

TEST(CommandLine, RefusalsNameTheArgument) {
    EXPECT_EQ(arrange("check", {"--json", "f.vgf"}).error, "unknown option '--json'");
    EXPECT_EQ(arrange("dump", {"f.vgf", "-j"}).error, "unknown option '-j'");
    EXPECT_EQ(arrange("run", {"--gpu=1"}).error, "unknown option '--gpu'");
    EXPECT_EQ(arrange("sysinfo", {"--json=yes"}).error, "option '--json' takes no value");
    EXPECT_EQ(arrange("run", {"--cpu", "--name"}).error, "option '--name' needs a value");
    EXPECT_EQ(arrange("sysinfo", {"extra"}).error, "unexpected argument 'extra'");
    EXPECT_EQ(arrange("tasks", {"--all", "--all"}).error, "");
}

TEST(CommandLine, HelpAfterAnyCommand) {
    for (const char* command : {"run", "sysinfo", "tasks", "dump", "check", "merge", "export"}) {
        const ArrangedArguments args = arrange(command, {"--help"});
        EXPECT_TRUE(args.help) << command;
        EXPECT_EQ(args.error, "") << command;
    }
    EXPECT_TRUE(arrange("dump", {"f.vgf", "-h"}).help);
    // After "--" it is a file name.
    EXPECT_FALSE(arrange("dump", {"--", "--help"}).help);
}

TEST(CommandLine, RepeatedFlagsCountOnce) {
    // Otherwise the second "--json" would be taken for the first file name.
    EXPECT_EQ(arrange("dump", {"--json", "--json", "f.vgf"}).ordered(), (Args{"--json", "f.vgf"}));
}

TEST(CommandLine, OnlyTheKnownCommandsExist) {
    EXPECT_EQ(findCommand("frob"), nullptr);
    EXPECT_EQ(findCommand(""), nullptr);
    EXPECT_EQ(findCommand("--json"), nullptr);
    EXPECT_TRUE(findCommand("merge")->takesOperands);
    EXPECT_FALSE(findCommand("run")->takesOperands);
}

} // namespace
} // namespace vexo
