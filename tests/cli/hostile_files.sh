#!/usr/bin/env bash
# hostile_files.sh BIN_DIR: vexogauge-cli on paths that are not benchmark files, files crafted to
# exhaust the reader, and save targets that must not be replaced: each answers at once (within
# 2 s) with a reason, and nothing that is not a regular file is ever replaced.
set -uo pipefail
cli="$1/vexogauge-cli"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAILED: $*" >&2
    sed 's/^/  stdout: /' "$work/out" >&2 && sed 's/^/  stderr: /' "$work/err" >&2
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
    [ "$status" -eq "$wanted" ] && [ "$ms" -le 2000 ] || fail "$*: status $status (wanted $wanted), $ms ms"
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
ln -s loop-b "$work/loop.vgf"
ln -s loop.vgf "$work/loop-b"
one_record 10 >"$work/one.vgf"
{ # A record whose name is ">>:" five million times.
    printf '%s\034\033]]' "$header"
    yes $'\033\037\037' | tr -d '\n' | head -c 15000000
    printf '\033\037\037\r\n'
} >"$work/flood.vgf"
{ printf '%s' "$header"; head -c 1000000 /dev/zero | tr '\0' 'J'; printf '\r\n'; } >"$work/junk.vgf"

# Read: FILE|what check says.
for row in 'pipe|is not a regular file$' 'folder|is a folder, not a file$' \
    'flood|valid but incomplete; record 1 lacks BMCPUh' \
    'junk|damaged: none of its text is a whole record'; do
    run_cli 1 check "$work/${row%%|*}.vgf"
    grep -Eq -- "${row%%|*}\.vgf: ${row#*|}" "$work/out" || fail "check ${row%%|*}: wanted /${row#*|}/"
done

# Saved over: TEST-KIND|FILE|why it is refused; nothing is replaced and nothing is made beside
# it (a pipe nobody reads, a link loop, a folder; a pipe somebody reads is written through).
for row in '-p|pipe|it is a named pipe that nothing reads' '-d|folder|it is a folder' \
    '-L|loop|its symbolic links form a loop'; do
    IFS='|' read -r kind name why <<<"$row"
    run_cli 1 merge "$work/$name.vgf" "$work/one.vgf"
    grep -qx "vexogauge-cli merge: Cannot save $work/$name.vgf: $why" "$work/err" || fail "$why?"
    test "$kind" "$work/$name.vgf" || fail "$name.vgf is no longer what it was (test $kind)"
    ! compgen -G "$work/.vexogauge-*" >/dev/null || fail "merge into $name left a temporary file"
done
(timeout 5 cat "$work/pipe.vgf" >"$work/through") &
reader=$!
sleep 0.2
run_cli 0 merge "$work/pipe.vgf" "$work/one.vgf"
wait "$reader"
cmp -s "$work/through" "$work/one.vgf" || fail "merge into a read pipe did not write through"
if mknod "$work/null" c 1 3 2>/dev/null; then # a copy of /dev/null, never the real one
    run_cli 0 report -o "$work/null" "$work/one.vgf"
    test -c "$work/null" || fail "the device was replaced"
else
    echo "hostile files: not root, the device target is left out"
fi

# SIGTERM while a large file is being saved: the old file stays, no temporary file is left.
one_record 60000000 >"$work/large.vgf"
mkdir "$work/saves"
echo "old" >"$work/saves/db.vgf"
"$cli" merge --force "$work/saves/db.vgf" "$work/large.vgf" >/dev/null 2>&1 &
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
[ "$(ls -A "$work/saves")" = db.vgf ] || fail "SIGTERM during a save left $(ls -A "$work/saves")"

[ "$failures" -eq 0 ] || exit 1
echo "hostile files: all answered"
