#!/usr/bin/env bash
# check-package.sh BUILD_DIR: builds the Debian package from BUILD_DIR and checks it as a
# distribution would (lintian, desktop-file-validate, appstreamcli), then unpacks it into a
# temporary root and starts both programs from there.
set -euo pipefail
build="$1"
root="$(mktemp -d)"
log="$(mktemp)"
trap 'rm -rf "$root" "$log"' EXIT

fail() {
    echo "package check: $*" >&2
    exit 1
}

rm -f "$build"/vexogauge_*.deb
cmake --build "$build" --target package >"$log" 2>&1 || { cat "$log" >&2; fail "cpack failed"; }
deb="$(ls "$build"/vexogauge_*.deb)"
echo "package: $deb"

# Lintian's errors fail the check; its warnings are shown.
lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v 'running with root privileges' | tee "$log" || true
grep -q '^E:' "$log" && fail "lintian reports errors"

dpkg-deb -x "$deb" "$root"
usr="$root/usr"
id="$(basename "$usr"/share/applications/*.desktop .desktop)"
desktop-file-validate "$usr/share/applications/$id.desktop" || fail "desktop entry is not valid"
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" ||
    fail "AppStream metainfo is not valid"
for size in 16x16 24x24 32x32 48x48 64x64 128x128 256x256; do
    [ -s "$usr/share/icons/hicolor/$size/apps/$id.png" ] || fail "no $size icon for $id"
done
[ -s "$usr/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon for $id"
for page in vexogauge vexogauge-cli; do
    zcat "$usr/share/man/man1/$page.1.gz" >"$log"
    grep -qF -- '\-\-version' "$log" ||
        fail "the man page of $page does not say what --help says"
done

# Benchmark files are a file type of their own, known by their header under any name.
mime="$root/mime-data"
mkdir -p "$mime/mime/packages"
cp "$usr/share/mime/packages/$id.xml" "$mime/mime/packages/"
update-mime-database "$mime/mime" >/dev/null 2>&1 || fail "update-mime-database refused the file type"
printf 'VexoGAUGE 2002 SAVE BENCHMARK V1.0\r\n' >"$root/benchmark.dat"
filetype="$(XDG_CURRENT_DESKTOP=GNOME XDG_DATA_DIRS="$mime:/usr/share" xdg-mime query filetype \
    "$root/benchmark.dat")"
[ "$filetype" = application/x-vexogauge-benchmark ] || fail "xdg-mime names the type '$filetype'"
grep -q '^MimeType=application/x-vexogauge-benchmark;$' "$usr/share/applications/$id.desktop" ||
    fail "the desktop entry does not open benchmark files"
echo "file type: $filetype"

# Both binaries as a distribution hardens them. Control-flow protection cannot be had here:
# Debian 12's own start files (Scrt1.o, crti.o) carry no IBT property, so no program linked
# on it has one.
for program in vexogauge vexogauge-cli; do
    hardening-check --nocfprotection "$usr/bin/$program" || fail "$program lacks hardening"
done

# Both programs find their installation files beside their own executable.
"$usr/bin/vexogauge-cli" --version | grep -Eq '^vexogauge-cli .* [0-9]+\.[0-9]+$' ||
    fail "vexogauge-cli --version"
"$usr/bin/vexogauge-cli" sysinfo --json >"$log" || fail "vexogauge-cli sysinfo failed"
jq -e '.system.cpu_type | type == "number"' "$log" >/dev/null ||
    fail "vexogauge-cli sysinfo printed no processor"
jq -e '.system.graphics_memory_mb | type == "number"' "$log" >/dev/null ||
    fail "vexogauge-cli sysinfo: graphics_memory_mb is not a number"
# The JSON schema is installed where --help says it is; both programs complete in bash.
schema="$usr/share/vexogauge/vexogauge-cli.schema.json"
jq -e '.properties.schema.const | type == "number"' "$schema" >/dev/null ||
    fail "the JSON schema is not installed"
"$usr/bin/vexogauge-cli" --help | grep -qF "installed as $schema:" ||
    fail "vexogauge-cli --help does not name the installed JSON schema"
for program in vexogauge vexogauge-cli; do
    grep -q "^complete -F _${program//-/_} $program\$" \
        "$usr/share/bash-completion/completions/$program" || fail "no bash completion for $program"
done
status=0
HOME="$root/home" QT_QPA_PLATFORM=offscreen timeout 5 "$usr/bin/vexogauge" 2>"$log" || status=$?
[ "$status" -eq 124 ] || { cat "$log" >&2; fail "vexogauge ended with status $status"; }
if grep -q 'missing or unreadable' "$log"; then
    cat "$log" >&2
    fail "vexogauge did not find its installation files"
fi
echo "package check: passed"
