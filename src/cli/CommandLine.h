#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vexo {

// What an option's value is: nothing (a flag), any text, a file name, or one of its choices.
enum class OptionValue { None, Text, File, Choice };

// One option a command accepts: "--json", or "--out" with a value ("--out FILE" or
// "--out=FILE").
struct OptionSpec {
    std::string_view name;
    OptionValue value = OptionValue::None;
    std::vector<std::string_view> choices = {}; // the values a Choice option takes

    bool takesValue() const { return value != OptionValue::None; }
};

// A command of vexogauge-cli: its options, and whether it takes operands (benchmark files).
struct CommandSpec {
    std::string_view name;
    std::vector<OptionSpec> options;
    bool takesOperands = false;
    std::string_view help; // what "vexogauge-cli NAME --help" prints
};

// Every command, in the order the help lists them.
const std::vector<CommandSpec>& commands();

// The options every command takes besides its own.
inline constexpr std::string_view kCommonOptions[] = {"--help", "-h", "--version", "--"};

// The command called `name`, or nullptr when there is none.
const CommandSpec* findCommand(std::string_view name);

// A command's arguments checked against its options and put in a fixed order: first the options
// (each followed by its value where it takes one), then the operands in the order given. So
// options may stand anywhere, and "--" ends them: what follows is an operand even if it starts
// with '-' (such an operand gets a leading "./", so it can never be read as an option again).
struct ArrangedArguments {
    std::vector<std::string> options;  // each option, followed by its value where it takes one
    std::vector<std::string> operands; // everything else, in the order given
    bool help = false;                 // --help or -h was among the options
    bool version = false;              // --version was among the options
    std::string error; // why the arguments were refused ("unknown option '--x'"); empty if not

    // The options, then the operands.
    std::vector<std::string> ordered() const;
};

ArrangedArguments arrangeArguments(const std::vector<std::string>& args,
                                   const CommandSpec& command);

// The script of bash completion for vexogauge-cli and vexogauge, made from the commands' options.
std::string bashCompletion();

// The line that follows every refusal of the command line.
inline constexpr std::string_view kHelpHint = "Try 'vexogauge-cli --help' for more information.\n";

} // namespace vexo
