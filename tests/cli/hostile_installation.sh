#!/usr/bin/env bash
# hostile_installation.sh BIN_DIR: vexogauge started from a copy of the build tree's app folder
# whose pictures are bombs, FIFOs or missing (and with a FIFO for its settings file) comes up
# within 250 MB, and says which file is wrong and what repairs it (the start-up's message box also
# goes to standard error). The copy missing two pictures reads all the others, as a start with
# whole files does: the bombs and the FIFOs must take at most twice its time (decoding the bombs
# or waiting on a FIFO would take many times it, and the machine may be busy).
set -uo pipefail
bin="$1"
bomb="$(dirname "$0")/../data/picture-bomb.dat" # 2 KB of PNG that state 4000 x 4000 pixels
work="$(mktemp -d)"
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
failures=0

copy_app() {
    mkdir "$work/$1"
    cp -r "$bin/vexogauge" "$bin/data" "$bin/icons" "$bin/readme.rtf" "$bin/licence.rtf" "$work/$1/"
}

# starts_and_says NAME PATTERN...: starts the copy NAME off screen under an address-space limit;
# within $limit ms standard error must match every PATTERN and the resident peak stay under
# 250 MB. Sets ms to the time it took.
limit=10000
starts_and_says() {
    local name="$1" folder="$work/$1" start peak pattern missing=""
    ms=0
    shift
    start="$(date +%s%N)"
    (ulimit -v 1500000 && QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$folder.config" \
        XDG_DATA_HOME="$folder" exec "$folder/vexogauge") >/dev/null 2>"$folder.err" &
    pid=$!
    until grep -q 'Build the program again' "$folder.err" || ! kill -0 "$pid" 2>/dev/null ||
        [ "$ms" -gt "$limit" ]; do
        sleep 0.05
        ms=$((($(date +%s%N) - start) / 1000000))
    done
    peak="$(awk '/VmHWM/ {print $2}' "/proc/$pid/status" 2>/dev/null)"
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    pid=""
    for pattern in "$@"; do
        grep -Eq -- "$pattern" "$folder.err" || missing+=" /$pattern/"
    done
    if [ -n "$missing" ] || [ "$ms" -gt "$limit" ] || [ "${peak:-999999}" -gt 250000 ]; then
        echo "FAILED: $name: $ms ms (wanted < $limit), peak ${peak:-?} kB (wanted < 250000)," \
            "missing$missing" >&2
        sed 's/^/  stderr: /' "$folder.err" >&2
        failures=$((failures + 1))
    fi
}

copy_app bombs
for picture in "$work"/bombs/data/*Image.dat; do cp "$bomb" "$picture"; done
copy_app fifos
rm "$work/fifos/data/BKImage.dat" "$work/fifos/icons/vexogauge.png"
mkfifo "$work/fifos/data/BKImage.dat" "$work/fifos/icons/vexogauge.png"
mkdir -p "$work/fifos.config/vexogauge" # the settings file, in XDG_CONFIG_HOME, a pipe too
mkfifo "$work/fifos.config/vexogauge/VexoGAUGE 2002.ini"
copy_app missing
rm "$work/missing/data/NUImage.dat" "$work/missing/data/LGOImage.dat"

starts_and_says missing 'data/LGOImage\.dat is missing\.' 'data/NUImage\.dat is missing\.' \
    "repair the installation files in $work/missing/\.$"
limit=$((2 * ms + 500))
starts_and_says bombs 'data/BKImage\.dat is a picture of 4000 x 4000 pixels' \
    '\.\.\. and 2[0-9] more'
starts_and_says fifos 'data/BKImage\.dat is not a regular file but a pipe\.' \
    'icons/vexogauge\.png is not a regular file but a pipe\.' \
    'the settings file .*VexoGAUGE 2002\.ini is not a regular file'

[ "$failures" -eq 0 ] || exit 1
echo "hostile installation files: all answered"
