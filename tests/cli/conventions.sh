#!/usr/bin/env bash
# conventions.sh BIN_DIR: the command-line conventions of both programs, as a shell sees them:
# what goes to which stream, and the exit status.
set -uo pipefail
bin="$1"
cli="$bin/vexogauge-cli"
app="$bin/vexogauge"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
out="$work/out" err="$work/err"
failures=0

failed() { # failed WHAT: counts a failure and shows both streams
    echo "FAILED: $*" >&2 && sed 's/^/  stdout: /' "$out" >&2 && sed 's/^/  stderr: /' "$err" >&2
    failures=$((failures + 1))
}

# expect STATUS STREAM PATTERN... -- COMMAND...: runs COMMAND without a display; it must end with
# STATUS and print a line matching each PATTERN on STREAM (out or err), and nothing on the other.
expect() {
    local status="$1" stream="$2" patterns=() actual=0 pattern
    shift 2
    while [ "$1" != -- ]; do patterns+=("$1") && shift; done
    shift
    env -u DISPLAY -u WAYLAND_DISPLAY "$@" >"$out" 2>"$err" </dev/null || actual=$?
    local shown="$work/$stream" other="$err"
    [ "$stream" = err ] && other="$out"
    [ "$actual" -eq "$status" ] && [ ! -s "$other" ] || { failed "$* (status $actual)" && return; }
    for pattern in "${patterns[@]}"; do
        grep -Eq -- "$pattern" "$shown" || failed "$*: wanted /$pattern/ on std$stream"
    done
}

hint="^Try 'vexogauge-cli --help' for more information\.$"
for help in --help -h help; do expect 0 out '^Usage: vexogauge-cli COMMAND' -- "$cli" $help; done
expect 0 out '^Usage: vexogauge-cli dump \[--json\] FILE\.\.\.$' -- "$cli" dump --help
# What a spreadsheet shows of a guarded cell; where the JSON schema is.
expect 0 out 'shows the apostrophe as part of the cell' -- "$cli" export --help
expect 0 out "installed as $bin/vexogauge-cli\.schema\.json:\$" -- "$cli" --help
for command in "" run sysinfo tasks dump check merge export compare report; do
    expect 0 out '^vexogauge-cli \(VexoGAUGE 2002\) [0-9]+\.[0-9]+$' -- "$cli" $command --version
done
expect 2 err '^Usage: vexogauge-cli COMMAND' -- "$cli"
expect 2 err "^vexogauge-cli: unknown option '--frob'$" "$hint" -- "$cli" --frob
expect 2 err "^vexogauge-cli: unknown command 'frob'$" -- "$cli" frob
expect 2 err "^vexogauge-cli check: unknown option '--json'$" "$hint" -- "$cli" check --json x.vgf
expect 2 err "^vexogauge-cli run: choose at least one benchmark" -- "$cli" run --name "Seven chars"
expect 2 err '^usage: vexogauge-cli export --csv\|--json FILE' -- "$cli" export --csv --json x.vgf
# A file read as a file wherever its options stand.
expect 1 out '^x\.vgf: ' -- "$cli" check -- x.vgf
expect 1 out '"path": "x\.vgf"' -- "$cli" dump x.vgf --json

# A run that cannot end well fails before it starts, in one line, and writes nothing.
expect 1 err '^vexogauge-cli run: the Direct3D benchmark \(--d3d\) cannot run: .*nothing was run$' \
    -- "$cli" run --d3d --name "No display run" --out "$work/x.vgf"
[ ! -e "$work/x.vgf" ] || failed "run --d3d without a display wrote a file"

# Ctrl+C during a run ends the progress line, says nothing was saved, and exits with 130. The
# progress goes to standard error, as standard output is not a terminal.
env -u DISPLAY -u WAYLAND_DISPLAY "$cli" run --fpu --name "Ctrl+C run" --out "$work/i.vgf" \
    >"$out" 2>"$err" </dev/null &
sleep 2 && kill -INT $! && status=0 && { wait $! || status=$?; }
grep -q '^vexogauge-cli run: interrupted; nothing was saved$' "$err" && [ "$status" -eq 130 ] &&
    grep -q '^Benchmark Progress: Phase 1 of 3$' "$err" && [ ! -s "$out" ] &&
    [ ! -e "$work/i.vgf" ] || failed "Ctrl+C in a run (status $status, wanted 130)"

expect 0 out '^Usage: vexogauge \[--browser\] \[FILE\.\.\.\]' -- "$app" --help
app_version='^vexogauge \(VexoGAUGE 2002\) [0-9]+\.[0-9]+$'
for v in --version "--browser --version"; do expect 0 out "$app_version" -- "$app" $v; done
expect 2 err "^vexogauge: unknown option '--frob'$" -- env QT_QPA_PLATFORM=offscreen "$app" --frob
# Told as such before a display is needed; Qt's own options with their values pass.
expect 2 err "^vexogauge: unknown option '--bogus'$" -- "$app" -style fusion --bogus

# The help viewer's readme topic names every command the terminal's help lists.
for command in $("$cli" --help | sed -n 's/^  \([a-z]\+\)\( .*\)\?$/\1/p'); do
    grep -Eq "vexogauge-cli ([a-z]+ \| )*$command" "$bin/readme.rtf" ||
        { echo "FAILED: readme.rtf does not name the command $command" >&2; failures=$((failures + 1)); }
done

[ "$failures" -eq 0 ] || { echo "$failures command-line convention(s) broken" >&2 && exit 1; }
echo "all command-line conventions hold"
