#!/usr/bin/env bash
# Installs what the build needs, checks the sources' format, builds everything (Release,
# warnings as errors), runs every test, builds and checks the Debian package, opens a report
# page in headless Chromium, then builds and runs the display-free tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and fuzzes the file readers.
set -euo pipefail
VEXO_ROOT="$(cd "$(dirname "$0")" && pwd)"
cd "$VEXO_ROOT"
source scripts/setup.sh

vexo_install_packages "${VEXO_PACKAGES[@]}" "${VEXO_TEST_PACKAGES[@]}" "${VEXO_PACKAGE_PACKAGES[@]}"

echo "== Format"
scripts/format.sh --check

# Two X servers for the window tests: one with a window manager, one without.
trap vexo_stop_started EXIT
vexo_start_display VEXO_X11_DISPLAY_WM wm
vexo_start_display VEXO_X11_DISPLAY_BARE
export VEXO_X11_DISPLAY_WM VEXO_X11_DISPLAY_BARE
export DISPLAY="$VEXO_X11_DISPLAY_WM"
echo "X servers: $VEXO_X11_DISPLAY_WM (openbox), $VEXO_X11_DISPLAY_BARE (bare)"

echo "== Build (Release, as a packager builds it)"
vexo_build build -DCMAKE_BUILD_TYPE=Release -DVEXO_WERROR=ON
echo "== Tests"
ctest --test-dir build --output-on-failure -j "$(nproc)"

echo "== Package"
scripts/check-package.sh build

echo "== Report in a web browser (1280 and 360 pixels wide)"
scripts/check-report.sh build/bin build/report

echo "== Sanitizer build (ASan + UBSan)"
vexo_build build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXO_WERROR=ON -DVEXO_SANITIZE=ON \
    -DVEXO_BUILD_BENCH=OFF -DVEXO_WITH_QT=OFF
echo "== Sanitizer tests"
# The three runs with CPU phases and the copy placement check grow a 256 KiB block one character
# at a time; under the sanitizer's allocator every large allocation is a fresh mapping, so they
# would take minutes. The block and copy code they use is covered by the other kernel tests.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    LSAN_OPTIONS="suppressions=$VEXO_ROOT/tests/lsan.supp:print_suppressions=0" \
    ctest --test-dir build-asan --output-on-failure -j "$(nproc)" -L core \
    -E 'RunSequence\.(EveryPhaseRunsInOrder|CpuPhasesBuildTheirBlocks)|CompleteRun\.|CopyKernel\.EveryCopyStarts'

echo "== Fuzzing (libFuzzer with ASan and UBSan)"
vexo_build build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXO_FUZZ=ON \
    -DVEXO_SANITIZE=ON -DVEXO_WITH_QT=OFF -DVEXO_BUILD_TESTS=OFF -DVEXO_BUILD_BENCH=OFF
for target in build-fuzz/bin/fuzz_*; do
    name="$(basename "$target")"
    corpus="$(mktemp -d)"
    case "$name" in
        fuzz_richtext) cp data/help/* "$corpus/" ;;
        *) cp tests/data/benchfiles/* "$corpus/" ;;
    esac
    echo "$name: ${VEXO_FUZZ_SECONDS:-60} s"
    if ! "$target" -max_total_time="${VEXO_FUZZ_SECONDS:-60}" -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$corpus/" "$corpus" >"$corpus.log" 2>&1; then
        tail -n 40 "$corpus.log" >&2
        echo "$name found a failing input; it is kept in $corpus" >&2
        exit 1
    fi
    grep -E 'stat::number_of_executed_units' "$corpus.log" || true
    rm -rf "$corpus" "$corpus.log"
done

echo "== All tests passed"
