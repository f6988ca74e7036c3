#!/usr/bin/env bash
# wizard_atspi.sh BIN_DIR: the wizard as a screen reader reads it. Starts the program with
# accessibility on, on the X server ./test.sh started (VEXO_X11_DISPLAY_WM), in a session bus of
# its own, and walks the custom route through the AT-SPI tree (wizard_atspi.py).
set -uo pipefail
bin="$1"
here="$(cd "$(dirname "$0")" && pwd)"
if [ -z "${VEXO_X11_DISPLAY_WM:-}" ]; then
    echo "No X server: VEXO_X11_DISPLAY_WM is set by ./test.sh" >&2
    exit 77
fi
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/runtime"
# A home of its own: the program's settings and the bus's files stay out of the user's.
exec env -i PATH="/usr/bin:/bin" HOME="$home" XDG_RUNTIME_DIR="$home/runtime" \
    DISPLAY="$VEXO_X11_DISPLAY_WM" QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1 \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0 \
    dbus-run-session -- /usr/bin/python3 "$here/wizard_atspi.py" "$bin/vexogauge"
