#include "CommandLine.h"

#include <string>

namespace vexo {

namespace {

// File names: every file for an option's value ("any"), else folders and benchmark files.
// compopt -o filenames lets readline quote what it inserts and end a folder with '/'.
constexpr std::string_view kComment =
    R"sh(# bash completion for vexogauge-cli and vexogauge, made from vexogauge-cli's own table of
# commands and options.
)sh";

constexpr std::string_view kHead = R"sh(
# _vexogauge_files WORD [any]
_vexogauge_files() {
    local IFS=$'\n'
    compopt -o filenames 2>/dev/null
    if [ "${2:-}" = any ]; then
        COMPREPLY+=($(compgen -f -- "$1"))
    else
        COMPREPLY+=($(compgen -d -- "$1") $(compgen -f -X '!*.[vV][gG][fF]' -- "$1"))
    fi
}

_vexogauge_cli() {
    local cur="${COMP_WORDS[COMP_CWORD]}" prev="${COMP_WORDS[COMP_CWORD - 1]}" i
    COMPREPLY=()
    if [ "$COMP_CWORD" -eq 1 ]; then
        COMPREPLY=($(compgen -W "$_vexogauge_cli_commands" -- "$cur"))
        return
    fi
    local command="${COMP_WORDS[1]}" flags="" valued="" operands=""
    case "$command" in
)sh";

// After the command's options: its value completion, then the options and files.
constexpr std::string_view kMiddle = R"sh(    *) return ;;
    esac
    # After "--" every word is a file name.
    for ((i = 2; i < COMP_CWORD; i++)); do
        if [ "${COMP_WORDS[i]}" = -- ]; then
            [ -n "$operands" ] && _vexogauge_files "$cur"
            return
        fi
    done
    # The option whose value is typed: "--out FILE" or "--out=FILE" (bash splits a word at "=",
    # unless COMP_WORDBREAKS lacks it).
    local option="" prefix=""
    if [ "$cur" = "=" ]; then
        option="$prev" cur=""
    elif [ "$prev" = "=" ] && [ "$COMP_CWORD" -gt 2 ]; then
        option="${COMP_WORDS[COMP_CWORD - 2]}"
    elif [[ "$cur" == -*=* ]]; then
        option="${cur%%=*}" prefix="${cur%%=*}=" cur="${cur#*=}"
    elif [[ " $valued " == *" $prev "* ]]; then
        option="$prev"
    fi
    if [ -n "$option" ]; then
        case "$command $option" in
)sh";

constexpr std::string_view kTail = R"sh(        esac
        [ -n "$prefix" ] && COMPREPLY=("${COMPREPLY[@]/#/$prefix}")
        return
    fi
    if [[ "$cur" == -* ]]; then
        COMPREPLY=($(compgen -W "$flags $valued $_vexogauge_common_options" -- "$cur"))
    elif [ -n "$operands" ]; then
        _vexogauge_files "$cur"
    fi
}
complete -F _vexogauge_cli vexogauge-cli

_vexogauge() {
    local cur="${COMP_WORDS[COMP_CWORD]}" i
    COMPREPLY=()
    for ((i = 1; i < COMP_CWORD; i++)); do
        [ "${COMP_WORDS[i]}" = -- ] && { _vexogauge_files "$cur"; return; }
    done
    if [[ "$cur" == -* ]]; then
        COMPREPLY=($(compgen -W "--browser $_vexogauge_common_options" -- "$cur"))
    else
        _vexogauge_files "$cur"
    fi
}
complete -F _vexogauge vexogauge
)sh";

std::string joined(const std::vector<std::string_view>& words) {
    std::string text;
    for (const std::string_view word : words)
        text.append(text.empty() ? "" : " ").append(word);
    return text;
}

} // namespace

std::string bashCompletion() {
    std::vector<std::string_view> names;
    for (const CommandSpec& command : commands())
        names.push_back(command.name);
    names.insert(names.end(), {"help", "--help", "-h", "--version"});
    const std::vector<std::string_view> common(std::begin(kCommonOptions),
                                               std::end(kCommonOptions));

    std::string script(kComment);
    script += "_vexogauge_cli_commands=\"" + joined(names) + "\"\n_vexogauge_common_options=\"" +
              joined(common) + "\"\n";
    script += kHead;
    std::string values;
    for (const CommandSpec& command : commands()) {
        std::vector<std::string_view> flags, valued;
        for (const OptionSpec& option : command.options) {
            (option.takesValue() ? valued : flags).push_back(option.name);
            const std::string pattern =
                "        \"" + std::string(command.name) + " " + std::string(option.name) + "\") ";
            if (option.value == OptionValue::File)
                values += pattern + "_vexogauge_files \"$cur\" any ;;\n";
            else if (option.value == OptionValue::Choice)
                values += pattern + "COMPREPLY=($(compgen -W \"" + joined(option.choices) +
                          "\" -- \"$cur\")) ;;\n";
        }
        script += "    " + std::string(command.name) + ") flags=\"" + joined(flags) +
                  "\" valued=\"" + joined(valued) + "\"" +
                  (command.takesOperands ? " operands=1" : "") + " ;;\n";
    }
    script += kMiddle;
    script += values;
    script += kTail;
    return script;
}

} // namespace vexo
