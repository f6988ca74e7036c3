#!/usr/bin/env bash
# Builds the program and runs benchmarks in this terminal: ./run.sh --fpu --name "My box"
# (./run.sh help lists the options).
set -euo pipefail
VEXO_ROOT="$(cd "$(dirname "$0")" && pwd)"
cd "$VEXO_ROOT"
source scripts/setup.sh

vexo_install_packages "${VEXO_PACKAGES[@]}"
vexo_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
    exec build/bin/vexogauge-cli "$@"
fi
exec build/bin/vexogauge-cli run "$@"
