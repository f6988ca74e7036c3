#!/usr/bin/env bash
# conventions.sh BIN_DIR: the command-line conventions of both programs, as a shell sees them:
# what goes to which stream, and the exit status.
set -uo pipefail
bin="$1"
out="$(mktemp)"
err="$(mktemp)"
trap 'rm -f "$out" "$err"' EXIT
failures=0

# expect STATUS STREAM PATTERN -- COMMAND...: runs COMMAND without a display; it must end with
# STATUS and print a line matching PATTERN on STREAM (out or err), and nothing on the other.
expect() {
    local status="$1" stream="$2" pattern="$3"
    shift 4
    local actual=0
    env -u DISPLAY -u WAYLAND_DISPLAY "$@" >"$out" 2>"$err" </dev/null || actual=$?
    local other=err
    [ "$stream" = err ] && other=out
    local stream_file="$out" other_file="$err"
    [ "$stream" = err ] && stream_file="$err" other_file="$out"
    if [ "$actual" -ne "$status" ] || ! grep -Eq -- "$pattern" "$stream_file" ||
        [ -s "$other_file" ]; then
        echo "FAILED: $* (status $actual, wanted $status; wanted /$pattern/ on std$stream," \
            "nothing on std$other)" >&2
        sed 's/^/  stdout: /' "$out" >&2
        sed 's/^/  stderr: /' "$err" >&2
        failures=$((failures + 1))
    fi
}

cli="$bin/vexogauge-cli"
app="$bin/vexogauge"
hint="^Try 'vexogauge-cli --help' for more information\.$"

expect 0 out '^Usage: vexogauge-cli COMMAND' -- "$cli" --help
expect 0 out '^Usage: vexogauge-cli COMMAND' -- "$cli" -h
expect 0 out '^Usage: vexogauge-cli COMMAND' -- "$cli" help
expect 0 out '^Usage: vexogauge-cli COMMAND' -- "$cli" dump --help
expect 0 out '^vexogauge-cli \(VexoGAUGE 2002\) [0-9]+\.[0-9]+$' -- "$cli" --version
expect 2 err '^Usage: vexogauge-cli COMMAND' -- "$cli"
expect 2 err "^vexogauge-cli: unknown option '--frob'$" -- "$cli" --frob
expect 2 err "$hint" -- "$cli" --frob
expect 2 err "^vexogauge-cli: unknown command 'frob'$" -- "$cli" frob
expect 2 err "^vexogauge-cli check: unknown option '--json'$" -- "$cli" check --json x.vgf
expect 2 err "$hint" -- "$cli" check --json x.vgf
expect 2 err "^vexogauge-cli sysinfo: unexpected argument 'x'$" -- "$cli" sysinfo x
expect 2 err "^vexogauge-cli run: option '--name' needs a value$" -- "$cli" run --fpu --name
expect 2 err "$hint" -- "$cli" run --fpu --name
expect 2 err "^vexogauge-cli run: choose at least one benchmark" -- "$cli" run --name "Seven chars"
expect 2 err '^usage: vexogauge-cli export --csv\|--json FILE' -- "$cli" export --csv --json x.vgf
# A file read as a file wherever its options stand.
expect 1 out '^x\.vgf: ' -- "$cli" check -- x.vgf
expect 1 out '"path": "x\.vgf"' -- "$cli" dump x.vgf --json

# A run that cannot end well fails before it starts, in one line, and writes nothing.
work="$(mktemp -d)"
trap 'rm -f "$out" "$err"; rm -rf "$work"' EXIT
expect 1 err '^vexogauge-cli run: the Direct3D benchmark \(--d3d\) cannot run: .*nothing was run$' \
    -- "$cli" run --d3d --name "No display run" --out "$work/x.vgf"
if [ -e "$work/x.vgf" ]; then
    echo "FAILED: run --d3d without a display wrote a file" >&2
    failures=$((failures + 1))
fi

# Ctrl+C during a run ends the progress line, says nothing was saved, and exits with 130.
env -u DISPLAY -u WAYLAND_DISPLAY "$cli" run --fpu --name "Interrupted run" --out "$work/i.vgf" \
    >"$out" 2>"$err" </dev/null &
runner=$!
sleep 2
kill -INT "$runner"
status=0
wait "$runner" || status=$?
first="$(head -c 1 "$err" | od -An -tx1 | tr -d ' ')"
if [ "$status" -ne 130 ] || [ "$first" != 0a ] || [ -e "$work/i.vgf" ] ||
    ! grep -q '^vexogauge-cli run: interrupted; nothing was saved$' "$err"; then
    echo "FAILED: Ctrl+C in a run (status $status, wanted 130)" >&2
    sed 's/^/  stderr: /' "$err" >&2
    failures=$((failures + 1))
fi

expect 0 out '^Usage: vexogauge \[--browser\] \[FILE\.\.\.\]' -- "$app" --help
expect 0 out '^vexogauge \(VexoGAUGE 2002\) [0-9]+\.[0-9]+$' -- "$app" --version
expect 0 out '^vexogauge \(VexoGAUGE 2002\) ' -- "$app" --browser --version
expect 2 err "^vexogauge: unknown option '--frob'$" -- env QT_QPA_PLATFORM=offscreen "$app" --frob
# Told as such before a display is needed; Qt's own options with their values pass.
expect 2 err "^vexogauge: unknown option '--bogus'$" -- "$app" --bogus
expect 2 err "^vexogauge: unknown option '--bogus'$" -- "$app" -style fusion --bogus

# Bash completion, as the package installs it: commands, a command's options, their values.
completion="$(dirname "$0")/../../packaging/completion/vexogauge-cli"
complete_words() { # complete_words WORD...: what completing the last word offers
    bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
        _vexogauge_cli; echo "${COMPREPLY[*]}"' _ "$completion" vexogauge-cli "$@"
}
bash -c "source '$completion'; complete -p vexogauge-cli vexogauge" >/dev/null ||
    { echo "FAILED: the completion does not complete both programs" >&2; failures=$((failures + 1)); }
for case in "ch|check" "run --tex|--texture" "run --texture m|medium" "export --|--csv --json --help"; do
    got="$(complete_words ${case%|*})"
    [ "$got" = "${case#*|}" ] ||
        { echo "FAILED: completing '${case%|*}' gave '$got'" >&2; failures=$((failures + 1)); }
done

if [ "$failures" -ne 0 ]; then
    echo "$failures command-line convention(s) broken" >&2
    exit 1
fi
echo "all command-line conventions hold"
