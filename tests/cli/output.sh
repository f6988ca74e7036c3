#!/usr/bin/env bash
# output.sh BIN_DIR: what vexogauge-cli writes is written, or it says so: every command into a
# full device and into a closed descriptor fails in one line; an output named as /dev/stdout
# is written through what the shell opened (appended to, or a pipe), never replaced; a run
# refuses an output it cannot write before it measures; a read-only file is left as it is.
set -uo pipefail
cli="$(cd "$1" && pwd)/vexogauge-cli"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0

fail() {
    echo "FAILED: $*" >&2
    sed 's/^/  stderr: /' err >&2
    failures=$((failures + 1))
}

# A whole file of one record named NAME with the score BMCPUh=5: the payload
# ">>:NAME||BMCPUh=5:;:;" stored reversed, each byte lowered by 31, then CR LF.
record_file() { # record_file NAME
    local plain=">>:$1||BMCPUh=5:;:;" encoded="" i
    for ((i = ${#plain} - 1; i >= 0; i--)); do
        encoded+="$(printf '\\%03o' $(($(printf '%d' "'${plain:i:1}") - 31)))"
    done
    printf 'VexoGAUGE 2002 SAVE BENCHMARK V1.0%b\r\n' "$encoded"
}
record_file "Home machine" >a.vgf
record_file "Office machine" >b.vgf

# Into a full device and into a closed standard output: status 1 and one line that says why.
while IFS='|' read -r args; do
    for target in full closed; do
        status=0
        if [ "$target" = full ]; then
            env -u DISPLAY "$cli" $args >/dev/full 2>err </dev/null || status=$?
            why='No space left on device'
        else
            env -u DISPLAY "$cli" $args >&- 2>err </dev/null || status=$?
            why='Bad file descriptor'
        fi
        [ "$status" -eq 1 ] && [ "$(wc -l <err)" -eq 1 ] &&
            grep -Eq "^vexogauge-cli( [a-z]+)?: cannot write the output: $why\$" err ||
            fail "$args into $target: status $status"
    done
done <<'EOF'
--help
--version
dump a.vgf
dump --json a.vgf
check a.vgf
export --csv a.vgf
export --json a.vgf
compare a.vgf b.vgf
compare --json a.vgf
merge --force m.vgf a.vgf b.vgf
report -o r.html a.vgf
sysinfo
sysinfo --json
EOF

# /dev/stdout after ">>": appended to, what the file held kept; the command's own words go to
# standard error.
printf 'EARLIER\n' >log.txt
"$cli" report -o /dev/stdout a.vgf >>log.txt 2>err
[ "$(head -n 2 log.txt)" = $'EARLIER\n<!DOCTYPE html>' ] && grep -q '^Wrote a report' err ||
    fail "report -o /dev/stdout >> log.txt: $(head -c 40 log.txt)"
"$cli" merge m.vgf a.vgf b.vgf >/dev/null 2>&1
(echo before && "$cli" merge /dev/stdout a.vgf b.vgf && echo after) >out.txt 2>err
{ echo before && cat m.vgf && echo after; } | cmp -s - out.txt || fail "merge between two echos"
# Into a pipe, by name and through /dev/stdout.
"$cli" merge /dev/stdout a.vgf b.vgf 2>err | cat >piped.vgf
cmp -s piped.vgf m.vgf || fail "merge /dev/stdout into a pipe"

# A run finds an output it cannot write before it measures: at once, and nothing is run.
mkfifo unread.vgf
for row in 'unread.vgf|it is a named pipe that nothing reads' \
    '/dev/stdout|it names descriptor 1, which is not open for writing'; do
    start="$(date +%s)" status=0
    timeout 20 env -u DISPLAY "$cli" run --cpu --name "Never measured" --out "${row%%|*}" \
        >&- 2>err </dev/null || status=$?
    [ "$status" -eq 1 ] && [ $(($(date +%s) - start)) -le 2 ] &&
        grep -q "${row#*|}; nothing was run\$" err || fail "run --out ${row%%|*}: status $status"
done
env -u DISPLAY "$cli" run --cpu --name "Never measured" --json --out /dev/stdout >/dev/null \
    2>err </dev/null
[ $? -eq 2 ] && grep -q 'would both write to standard output' err || fail "run --json --out /dev/stdout"

# As an ordinary user (root may write anything): a read-only file is refused, even with --force.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    chmod 711 "$work" && mkdir user && chown 65534:65534 user
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
else
    mkdir user
fi
cp a.vgf b.vgf user/ && chmod 644 user/a.vgf user/b.vgf
if ! "${as_user[@]}" "$cli" merge user/home.vgf user/a.vgf >/dev/null 2>err; then
    echo "output: skipped the read-only case: no ordinary user can write here ($(cat err))"
else
    "${as_user[@]}" chmod 444 user/home.vgf
    cp user/home.vgf kept.vgf
    "${as_user[@]}" "$cli" merge --force user/home.vgf user/b.vgf >/dev/null 2>err
    [ $? -eq 1 ] && grep -q 'user/home.vgf: it is read-only (mode 444)' err &&
        cmp -s user/home.vgf kept.vgf || fail "merge over a read-only file as an ordinary user"
fi

[ "$failures" -eq 0 ] || exit 1
echo "output: every write checked"
