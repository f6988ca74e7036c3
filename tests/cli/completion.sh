#!/usr/bin/env bash
# completion.sh BIN_DIR COMPLETION_SCRIPT: drives the bash completion functions of both programs
# as bash calls them on Tab, and checks what they offer against each case and against every
# option each command's --help names.
set -uo pipefail
bin="$(cd "$1" && pwd)"
source "$2" || exit 1
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir "sub dir" && touch "last benchmark.vgf" "other.txt" "sub dir/x.vgf" "RUN.VGF"
failures=0

# What the functions ask of readline (compopt works only inside a real completion).
compopt() {
    local IFS=' '
    asked+=" $*"
}

# offered LINE: the words bash would pass for LINE (cursor at its end, "=" a word of its own,
# as the default COMP_WORDBREAKS splits it), sorted, one a line.
offered() {
    local line="$1" word
    COMP_WORDS=()
    for word in $line; do
        while [[ "$word" == *=* ]]; do
            [ -n "${word%%=*}" ] && COMP_WORDS+=("${word%%=*}")
            COMP_WORDS+=("=")
            word="${word#*=}"
        done
        [ -n "$word" ] && COMP_WORDS+=("$word")
    done
    [[ "$line" == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="$line" COMP_POINT=${#line}
    COMPREPLY=() asked=""
    case "${COMP_WORDS[0]}" in
    vexogauge-cli) _vexogauge_cli ;;
    vexogauge) _vexogauge ;;
    esac
    printf '%s\n' "${COMPREPLY[@]}" | sort
}

# expect LINE WANTED... : offers exactly the WANTED words; "filenames" among them means that
# readline is asked to quote them as file names (and end a folder with "/").
expect() {
    local line="$1" wanted got
    shift
    wanted="$(printf '%s\n' "$@" | grep -vx filenames | grep -v '^$' | sort)"
    got="$(offered "$line")"
    offered "$line" >/dev/null # again in this shell, for what it asked of readline
    [ "$got" = "$wanted" ] || {
        echo "FAILED: '$line' offers [$(echo $got)], wanted [$(echo $wanted)]" >&2
        failures=$((failures + 1))
        return
    }
    if printf '%s\n' "$@" | grep -qx filenames && [[ "$asked" != *"-o filenames"* ]]; then
        echo "FAILED: '$line' does not ask readline to quote file names" >&2
        failures=$((failures + 1))
    fi
}

expect "vexogauge-cli ch" check
expect "vexogauge-cli dump la" "last benchmark.vgf" filenames
expect "vexogauge-cli dump su" "sub dir" filenames
expect "vexogauge-cli dump " "last benchmark.vgf" "sub dir" RUN.VGF filenames
expect "vexogauge-cli dump --ver" --version
expect "vexogauge-cli dump -- ot"
expect "vexogauge-cli check -- la" "last benchmark.vgf" filenames
expect "vexogauge-cli run --j" --json
expect "vexogauge-cli run --name "
expect "vexogauge-cli run --resolution 1" 1024x768 1280x1024 1600x1200
expect "vexogauge-cli run --depth=" 16 24 32
expect "vexogauge-cli run --texture=h" high
expect "vexogauge-cli run --out o" other.txt filenames
expect "vexogauge-cli report -o " "last benchmark.vgf" other.txt RUN.VGF "sub dir" filenames
expect "vexogauge-cli report --output=ot" other.txt filenames
expect "vexogauge-cli report --baseline "
expect "vexogauge-cli sysinfo "
expect "vexogauge la" "last benchmark.vgf" filenames
expect "vexogauge --b" --browser

# Every option a help names is offered after a "-".
for command in run sysinfo tasks dump check merge export compare report; do
    for option in $("$bin/vexogauge-cli" "$command" --help | grep -oE -- '(^|[ [|(])--?[a-z][a-z0-9-]*' |
        grep -oE -- '--?[a-z][a-z0-9-]*' | sort -u); do
        offered "vexogauge-cli $command -" | grep -qx -- "$option" || {
            echo "FAILED: 'vexogauge-cli $command -' does not offer $option" >&2
            failures=$((failures + 1))
        }
    done
done
if [ -x "$bin/vexogauge" ]; then
    for option in $("$bin/vexogauge" --help | grep -oE -- '^ +--?[a-z][a-z0-9-]*' | tr -d ' '); do
        offered "vexogauge -" | grep -qx -- "$option" || {
            echo "FAILED: 'vexogauge -' does not offer $option" >&2
            failures=$((failures + 1))
        }
    done
fi

[ "$failures" -eq 0 ] || { echo "$failures completion case(s) failed" >&2 && exit 1; }
echo "bash completion: every case holds"
