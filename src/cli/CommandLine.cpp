#include "CommandLine.h"

#include <algorithm>

namespace vexo {

const CommandSpec* findCommand(std::string_view name) {
    static const std::vector<CommandSpec> commands{
        {"run",
         {{"--cpu"}, {"--fpu"}, {"--spreadsheet"}, {"--business"}, {"--imaging"}, {"--all"},
          {"--d3d"}, {"--name", true}, {"--resolution", true}, {"--depth", true},
          {"--texture", true}, {"--out", true}, {"--repeat", true}},
         false},
        {"sysinfo", {{"--json"}}, false},
        {"tasks", {{"--all"}}, false},
        {"dump", {{"--json"}}, true},
        {"check", {}, true},
        {"merge", {}, true},
        {"export", {{"--csv"}, {"--json"}}, true},
        {"compare", {{"--json"}}, true},
        {"report", {{"-o", true}, {"--output", true}, {"--baseline", true}}, true},
    };
    const auto found = std::find_if(commands.begin(), commands.end(),
                                    [&](const CommandSpec& c) { return c.name == name; });
    return found == commands.end() ? nullptr : &*found;
}

ArrangedArguments arrangeArguments(const std::vector<std::string>& args,
                                   const CommandSpec& command) {
    const std::vector<OptionSpec>& options = command.options;
    ArrangedArguments result;
    std::vector<std::string>& operands = result.operands;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            // "-" alone is an operand too (by custom, standard input or output).
            operands.push_back(optionsEnded && arg.size() > 1 && arg[0] == '-' ? "./" + arg : arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            result.help = true;
            continue;
        }
        const std::string_view name = std::string_view(arg).substr(0, arg.find('='));
        const auto spec = std::find_if(options.begin(), options.end(),
                                       [&](const OptionSpec& o) { return o.name == name; });
        if (spec == options.end()) {
            result.error = "unknown option '" + std::string(name) + "'";
            return result;
        }
        const bool inlineValue = name.size() < arg.size();
        if (!spec->takesValue && inlineValue) {
            result.error = "option '" + std::string(name) + "' takes no value";
            return result;
        }
        // A flag given twice means what it means once.
        if (!spec->takesValue &&
            std::find(result.options.begin(), result.options.end(), arg) != result.options.end())
            continue;
        result.options.push_back(arg);
        if (spec->takesValue && !inlineValue) {
            if (i + 1 >= args.size()) {
                result.error = "option '" + std::string(name) + "' needs a value";
                return result;
            }
            result.options.push_back(args[++i]);
        }
    }
    if (!command.takesOperands && !operands.empty())
        result.error = "unexpected argument '" + operands.front() + "'";
    return result;
}

std::vector<std::string> ArrangedArguments::ordered() const {
    std::vector<std::string> all = options;
    all.insert(all.end(), operands.begin(), operands.end());
    return all;
}

} // namespace vexo
