#!/usr/bin/env bash
# man_pages.sh MAN_DIR BIN_DIR: both man pages are clean under mandoc's lint (its style hints
# aside), read without stray spaces before commas, and vexogauge-cli's page names every option
# each command's --help names.
set -uo pipefail
man="$1"
cli="$2/vexogauge-cli"
command -v mandoc >/dev/null || { echo "man pages: mandoc is not installed" >&2 && exit 1; }
failures=0
failed() { echo "FAILED: $*" >&2 && failures=$((failures + 1)); }

for page in "$man"/*.1; do
    lint="$(mandoc -T lint -W warning "$page" 2>&1)"
    [ -z "$lint" ] || failed "mandoc -T lint: $lint"
    mandoc -T ascii "$page" | col -b | grep -n ' ,' && failed "$(basename "$page"): a space before a comma"
done
# The options of run in their section, the other commands' beside them, every command's own.
shown="$(mandoc -T ascii "$man/vexogauge-cli.1" | col -b)"
for command in run sysinfo tasks dump check merge export compare report; do
    where="$shown"
    [ "$command" = run ] && where="$(sed -n '/^OPTIONS OF RUN/,/^[A-Z]/p' <<<"$shown")"
    for option in $("$cli" "$command" --help | grep -oE -- '(^|[ [|(])--?[a-z][a-z0-9-]*' |
        grep -oE -- '--?[a-z][a-z0-9-]*' | grep -vxE -- '--help|-h|--version' | sort -u); do
        grep -qe "$option\\b" <<<"$where" || failed "the man page does not name $command $option"
    done
done
[ "$failures" -eq 0 ] || exit 1
echo "man pages: clean, and every option is named"
