#!/usr/bin/env bash
# hostile_files.sh BIN_DIR: vexogauge-cli on paths that are not benchmark files, files crafted to
# exhaust the reader or cut short, and save targets that must not be replaced: each answers at
# once (within 2 s) with a reason, and nothing that is not a regular file is ever replaced.
set -uo pipefail
cli="$1/vexogauge-cli"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAILED: $*" >&2
    sed 's/^/  stdout: /' "$work/out" >&2
    sed 's/^/  stderr: /' "$work/err" >&2
    failures=$((failures + 1))
}

# run_cli WANTED_STATUS ARGS...: runs vexogauge-cli under an address-space limit of about 3 GB
# and fails unless it ends with WANTED_STATUS within 2 s.
run_cli() {
    local wanted="$1" status=0 start ms
    shift
    start="$(date +%s%N)"
    (ulimit -v 3000000 && exec timeout 10 "$cli" "$@") >"$work/out" 2>"$work/err" </dev/null ||
        status=$?
    ms=$((($(date +%s%N) - start) / 1000000))
    if [ "$status" -ne "$wanted" ] || [ "$ms" -gt 2000 ]; then
        fail "$*: status $status (wanted $wanted), $ms ms"
        return 1
    fi
}

# check_answers FILE PATTERN: check ends with status 1 and PATTERN on standard output.
check_answers() {
    run_cli 1 check "$1" && { grep -Eq -- "$2" "$work/out" || fail "check $1: wanted /$2/"; }
}

# is_kind TEST PATH: the path is still what it was (test -p, -c, -L ...).
is_kind() {
    test "$1" "$2" || fail "$2 is no longer what it was (test $1)"
}

header='VexoGAUGE 2002 SAVE BENCHMARK V1.0'
# A whole file of one record without fields: the payload ">>:" NAME "||" ":;" is stored
# reversed and lowered by 31 (';' 28, ':' 27, '|' 93, '>' 31, 'a' 'B'), then CR LF.
one_record() { # one_record NAME_LENGTH
    printf '%s\034\033]]' "$header"
    head -c "$1" /dev/zero | tr '\0' 'B'
    printf '\033\037\037\r\n'
}

mkfifo "$work/pipe.vgf"
mkdir "$work/folder.vgf"
# A record whose name is ">>:" five million times.
{
    printf '%s\034\033]]' "$header"
    yes $'\033\037\037' | tr -d '\n' | head -c 15000000
    printf '\033\037\037\r\n'
} >"$work/flood.vgf"
one_record 10 >"$work/one.vgf"
# Cut short: the line end and the record's first characters are gone.
head -c "$(($(stat -c %s "$work/one.vgf") - 4))" "$work/one.vgf" >"$work/cut.vgf"
{ printf '%s' "$header"; head -c 1000000 /dev/zero | tr '\0' 'J'; printf '\r\n'; } >"$work/junk.vgf"

check_answers "$work/pipe.vgf" 'pipe\.vgf: is not a regular file$'
check_answers "$work/folder.vgf" 'folder\.vgf: is a folder, not a file$'
check_answers "$work/flood.vgf" 'flood\.vgf: valid but incomplete; record 1 lacks BMCPUh'
check_answers "$work/cut.vgf" 'cut\.vgf: damaged: it lacks the line end.*; 0 record\(s\) read'
check_answers "$work/junk.vgf" 'junk\.vgf: damaged: text stands before its first record'

# Save targets that are not regular files.
run_cli 1 merge "$work/pipe.vgf" "$work/one.vgf" &&
    grep -q 'it is a named pipe that nothing reads' "$work/err" || fail "merge into a pipe"
is_kind -p "$work/pipe.vgf"
(timeout 5 cat "$work/pipe.vgf" >"$work/through") &
reader=$!
sleep 0.2
run_cli 0 merge "$work/pipe.vgf" "$work/one.vgf"
wait "$reader"
cmp -s "$work/through" "$work/one.vgf" || fail "merge into a read pipe did not write through"
is_kind -p "$work/pipe.vgf"
if mknod "$work/null" c 1 3 2>/dev/null; then # a copy of /dev/null, never the real one
    run_cli 0 report -o "$work/null" "$work/one.vgf"
    is_kind -c "$work/null"
else
    echo "hostile files: not root, the device target is left out"
fi
ln -s loop-b "$work/loop-a"
ln -s loop-a "$work/loop-b"
run_cli 1 merge "$work/loop-a" "$work/one.vgf" &&
    grep -q 'its symbolic links form a loop' "$work/err" || fail "merge into a link loop"
is_kind -L "$work/loop-a"
run_cli 1 merge "$work/folder.vgf" "$work/one.vgf"
is_kind -d "$work/folder.vgf"

# SIGTERM while a large file is being saved: the old file stays, no temporary file is left.
one_record 60000000 >"$work/large.vgf"
mkdir "$work/saves"
echo "old" >"$work/saves/db.vgf"
"$cli" merge "$work/saves/db.vgf" "$work/large.vgf" >/dev/null 2>&1 &
saver=$!
for _ in $(seq 2000); do
    compgen -G "$work/saves/.vexogauge-*" >/dev/null && break
    sleep 0.005
done
kill -TERM "$saver" 2>/dev/null
wait "$saver"
status=$?
: >"$work/out"
: >"$work/err"
[ "$status" -eq 143 ] || echo "hostile files: the save ended before SIGTERM (status $status)"
[ "$status" -ne 143 ] || [ "$(cat "$work/saves/db.vgf")" = "old" ] || fail "SIGTERM: old file lost"
leftover="$(ls -A "$work/saves" | grep -v '^db\.vgf$')"
[ -z "$leftover" ] || fail "SIGTERM during a save left $leftover"

[ "$failures" -eq 0 ] || exit 1
echo "hostile files: all answered"
