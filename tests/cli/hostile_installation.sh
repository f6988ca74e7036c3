#!/usr/bin/env bash
# hostile_installation.sh BIN_DIR: vexogauge started from a copy of the build tree's app folder
# whose pictures are bombs, a FIFO or missing comes up within 2 s and a bounded memory, and says
# which file is wrong and what repairs it (the box's text also goes to standard error).
set -uo pipefail
bin="$1"
work="$(mktemp -d)"
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
failures=0

be32() {
    local n="$1" hex
    hex="$(printf '\\x%02x' $((n >> 24 & 255)) $((n >> 16 & 255)) $((n >> 8 & 255)) $((n & 255)))"
    printf '%b' "$hex"
}
# chunk TYPE FILE: a PNG chunk; gzip's trailer carries the CRC-32 that PNG uses.
chunk() {
    local crc
    crc="$({ printf '%s' "$1"; cat "$2"; } | gzip -c | tail -c 8 | head -c 4 | od -An -tu4)"
    be32 "$(stat -c %s "$2")"
    printf '%s' "$1"
    cat "$2"
    be32 $((crc))
}
# png_bomb FILE SIDE: an RGB picture of SIDE x SIDE black pixels, 46 KB for 4000.
png_bomb() {
    local raw=$(((3 * $2 + 1) * $2))
    { be32 "$2"; be32 "$2"; printf '\x08\x02\x00\x00\x00'; } >"$work/ihdr"
    { printf '\x78\x9c'; head -c "$raw" /dev/zero | gzip -9 -n | tail -c +11 | head -c -8
      be32 $(((raw % 65521) << 16 | 1)); } >"$work/idat" # zlib: deflate, then Adler-32
    : >"$work/iend"
    { printf '\x89PNG\r\n\x1a\n'; chunk IHDR "$work/ihdr"; chunk IDAT "$work/idat"
      chunk IEND "$work/iend"; } >"$1"
}

# starts_and_says NAME PATTERN...: starts the app folder $work/NAME off screen under an
# address-space limit; within 2 s standard error must match every PATTERN (the message is
# shown once the wizard has loaded) and the resident peak must stay under 250 MB.
starts_and_says() {
    local name="$1" folder="$work/$1" ms=0 pattern missing=""
    shift
    (ulimit -v 1500000 && cd "$folder" && QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$folder" \
        XDG_DATA_HOME="$folder" exec ./vexogauge) >"$folder.out" 2>"$folder.err" &
    pid=$!
    local start
    start="$(date +%s%N)"
    until grep -q 'Build the program again' "$folder.err" || ! kill -0 "$pid" 2>/dev/null ||
        [ "$ms" -gt 10000 ]; do
        sleep 0.05
        ms=$((($(date +%s%N) - start) / 1000000))
    done
    local peak
    peak="$(awk '/VmHWM/ {print $2}' "/proc/$pid/status" 2>/dev/null)"
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    pid=""
    for pattern in "$@"; do
        grep -Eq -- "$pattern" "$folder.err" || missing+=" /$pattern/"
    done
    if [ -n "$missing" ] || [ "$ms" -gt 2000 ] || [ -z "$peak" ] || [ "$peak" -gt 250000 ]; then
        echo "FAILED: $name: $ms ms (wanted under 2000), peak ${peak:-?} kB (wanted under" \
            "250000), missing$missing" >&2
        sed 's/^/  stderr: /' "$folder.err" >&2
        failures=$((failures + 1))
    fi
}

copy_app() {
    mkdir "$work/$1"
    cp -r "$bin/vexogauge" "$bin/data" "$bin/icons" "$bin/readme.rtf" "$bin/licence.rtf" "$work/$1/"
}

copy_app bombs
png_bomb "$work/bomb.png" 4000
for picture in "$work"/bombs/data/*Image.dat; do cp "$work/bomb.png" "$picture"; done
copy_app fifo
rm "$work/fifo/data/BKImage.dat" "$work/fifo/icons/vexogauge.png"
mkfifo "$work/fifo/data/BKImage.dat" "$work/fifo/icons/vexogauge.png"
copy_app missing
rm "$work/missing/data/NUImage.dat" "$work/missing/data/LGOImage.dat"

starts_and_says bombs 'data/BKImage\.dat is a picture of 4000 x 4000 pixels' \
    '\.\.\. and [0-9]+ more'
starts_and_says fifo 'data/BKImage\.dat is not a regular file but a pipe\.' \
    'icons/vexogauge\.png is not a regular file but a pipe\.'
starts_and_says missing 'data/LGOImage\.dat is missing\.' 'data/NUImage\.dat is missing\.' \
    "repair the installation files in $work/missing/\.$"

[ "$failures" -eq 0 ] || exit 1
echo "hostile installation files: all answered"
