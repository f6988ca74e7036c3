#!/usr/bin/env bash
# hostile_files.sh BIN_DIR: vexogauge-cli check on paths that are not benchmark files, or are
# crafted to exhaust the reader, answers at once with a reason and exit status 1.
set -uo pipefail
cli="$1/vexogauge-cli"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

mkfifo "$work/pipe.vgf"
mkdir "$work/folder.vgf"
# A record whose name is ">>:" five million times, as the file holds it: the header, then the
# payload reversed and lowered by 31 (';' 28, ':' 27, '|' 93, '>' 31).
{
    printf 'VexoGAUGE 2002 SAVE BENCHMARK V1.0\034\033]]'
    yes $'\033\037\037' | tr -d '\n' | head -c 15000000
    printf '\033\037\037\r\n'
} >"$work/flood.vgf"

# check_answers FILE PATTERN: exit status 1 within a second, PATTERN on standard output, under
# an address-space limit of about 3 GB.
check_answers() {
    local file="$1" pattern="$2" status=0
    local start end
    start="$(date +%s%N)"
    (ulimit -v 3000000 && exec timeout 10 "$cli" check "$file") >"$work/out" 2>"$work/err" || status=$?
    end="$(date +%s%N)"
    local ms=$(((end - start) / 1000000))
    if [ "$status" -ne 1 ] || ! grep -Eq -- "$pattern" "$work/out" || [ "$ms" -gt 1000 ]; then
        echo "FAILED: check $(basename "$file"): status $status (wanted 1), $ms ms," \
            "wanted /$pattern/" >&2
        sed 's/^/  stdout: /' "$work/out" >&2
        sed 's/^/  stderr: /' "$work/err" >&2
        failures=$((failures + 1))
    fi
}

check_answers "$work/pipe.vgf" 'pipe\.vgf: is not a regular file$'
check_answers "$work/folder.vgf" 'folder\.vgf: is a folder, not a file$'
check_answers "$work/flood.vgf" 'flood\.vgf: valid but incomplete; record 1 lacks BMCPUh'

[ "$failures" -eq 0 ] || exit 1
echo "hostile files: all answered"
