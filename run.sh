#!/usr/bin/env bash
# Builds the program and starts it.
#   ./run.sh                  the desktop program (needs an X display)
#   ./run.sh --fpu --name N   benchmarks in this terminal (vexogauge-cli run ...)
#   ./run.sh sysinfo|tasks|dump|check|merge|export|help ...   other vexogauge-cli commands
set -euo pipefail
VEXO_ROOT="$(cd "$(dirname "$0")" && pwd)"
cd "$VEXO_ROOT"
source scripts/setup.sh

vexo_install_packages "${VEXO_PACKAGES[@]}"
vexo_build build -DCMAKE_BUILD_TYPE=Release >/dev/null
if [ $# -eq 0 ]; then
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "No display to open the program on. Benchmarks run in a terminal too:" >&2
        echo "  ./run.sh --all        (./run.sh help lists the commands)" >&2
        exit 1
    fi
    exec build/bin/vexogauge
fi
if [ "${1#-}" = "$1" ] || [ "$1" = --help ] || [ "$1" = -h ] || [ "$1" = --version ]; then
    exec build/bin/vexogauge-cli "$@"
fi
exec build/bin/vexogauge-cli run "$@"
