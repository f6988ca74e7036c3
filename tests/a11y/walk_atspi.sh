#!/usr/bin/env bash
# walk_atspi.sh BIN_DIR: the program as a screen reader reads it. Starts it with accessibility on,
# on the X server ./test.sh started (VEXO_X11_DISPLAY_WM), in a session bus of its own, and walks
# the wizard's custom route to the score card and the result browser through the AT-SPI tree
# (walk_atspi.py). The person's settings file, with a comment and bytes that are no text, must
# come through the exit question as it was.
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
mkdir -p "$home/.config/vexogauge" "$home/tools"
printf '; my Direct3D setup\n[DXSetup]\nDXRez=3\nDXCol=2\nDXTex=2\n\n[Notes]\nname=caf\xe9 %%UFFFD\n' \
    >"$home/.config/vexogauge/VexoGAUGE 2002.ini"
# Terminals that cannot open a window on this display, as foot cannot on X11: the tool box must
# try each and then say it found none.
for terminal in x-terminal-emulator xterm; do
    printf '#!/bin/sh\necho "failed to connect to wayland" >&2\nexit 1\n' >"$home/tools/$terminal"
    chmod +x "$home/tools/$terminal"
done
# A home of its own: the program's settings and the bus's files stay out of the user's.
exec env -i PATH="/usr/bin:/bin" HOME="$home" XDG_RUNTIME_DIR="$home/runtime" \
    DISPLAY="$VEXO_X11_DISPLAY_WM" QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1 \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0 VEXO_TOOLS="$home/tools" \
    dbus-run-session -- /usr/bin/python3 "$here/walk_atspi.py" "$bin/vexogauge" \
    "$here/../data/benchfiles/playlist.vgf"
