#!/usr/bin/env bash
# completion.sh BIN_DIR COMPLETION_SCRIPT: calls the bash completion functions of both programs
# as bash does on Tab and checks what they offer, case by case and for every option each
# command's --help names.
set -uo pipefail
PATH="$(cd "$1" && pwd):$PATH"
source "$2" || exit 1
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work" && mkdir "sub dir" && touch "last benchmark.vgf" other.txt "sub dir/x.vgf" RUN.VGF
failures=0
compopt() { asked+=" $1$2"; } # what readline is asked (file names quoted, "/" on folders)

# offered LINE: what Tab offers at the end of LINE, sorted, one a line ("=" is a word of its
# own, as bash's default COMP_WORDBREAKS makes it).
offered() {
    read -ra COMP_WORDS <<<"${1//=/ = }"
    [[ "$1" == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMPREPLY=() asked=""
    if [ "${COMP_WORDS[0]}" = vexogauge ]; then _vexogauge; else _vexogauge_cli; fi
    printf '%s\n' "${COMPREPLY[@]}" | sort
}

# expect LINE [quoted] WANTED...: Tab offers exactly WANTED; "quoted": as file names.
expect() {
    local line="$1" quoted="" got
    shift
    [ "${1:-}" = quoted ] && quoted=1 && shift
    got="$(offered "$line" | paste -sd'|')"
    offered "$line" >/dev/null # once more in this shell, for what readline was asked
    [ "$got" = "$(printf '%s\n' "$@" | sort | paste -sd'|')" ] &&
        { [ -z "$quoted" ] || [[ "$asked" == *-ofilenames* ]]; } ||
        { echo "FAILED: '$line' offers [$got]${quoted:+ (quoted?$asked)}" >&2 && failures=$((failures + 1)); }
}

expect "vexogauge-cli ch" check
expect "vexogauge-cli dump la" quoted "last benchmark.vgf"
expect "vexogauge-cli dump " quoted "last benchmark.vgf" "sub dir" RUN.VGF
expect "vexogauge-cli dump --ver" --version
expect "vexogauge-cli check -- la" quoted "last benchmark.vgf"
expect "vexogauge-cli run --j" --json
expect "vexogauge-cli run --name "
expect "vexogauge-cli run --resolution 1" 1024x768 1280x1024 1600x1200
expect "vexogauge-cli run --depth=" 16 24 32
expect "vexogauge-cli run --out o" quoted other.txt
expect "vexogauge-cli report -o " quoted "last benchmark.vgf" other.txt RUN.VGF "sub dir"
expect "vexogauge-cli report --output=ot" quoted other.txt
expect "vexogauge-cli sysinfo "
expect "vexogauge su" quoted "sub dir"

# Every option a help names is offered after "-" (vexogauge's own, not Qt's).
for command in run sysinfo tasks dump check merge export compare report; do
    help+="$(vexogauge-cli $command --help | grep -oE -- '(^|[ [|(])--?[a-z][a-z0-9-]*' |
        grep -oE -- '--?[a-z][a-z0-9-]*' | sed "s/^/vexogauge-cli $command /")"$'\n'
done
help+="$(vexogauge --help | grep -oE -- '^ +--?[a-z][a-z0-9-]*' | sed 's/^ */vexogauge /')"
while read -r program command option; do
    [ -z "$option" ] && option="$command" command=""
    offered "$program $command -" | grep -qx -- "$option" ||
        { echo "FAILED: '$program $command -' does not offer $option" >&2 && failures=$((failures + 1)); }
done <<<"$help"

[ "$failures" -eq 0 ] || { echo "$failures completion case(s) failed" >&2 && exit 1; }
echo "bash completion: every case holds"
