#!/usr/bin/env bash
# Starts a headless Wayland desktop with XWayland, opens a native program (foot) and an X11
# program (xlogo) on it, and checks the programs and the task manager there:
#
#   desktop.sh sway|weston TEST_PROGRAM VEXOGAUGE_CLI VEXOGAUGE
#
# sway (wlroots) shows its own windows to other programs, Weston does not. Exits 77 (skipped)
# with one line saying why when the desktop cannot start on this machine.
set -uo pipefail
desktop="$1" test_program="$2" cli="$3" gui="$4"

skip() { echo "SKIPPED: $desktop: $*"; exit 77; }
fail() { echo "FAILED: $desktop: $*" >&2; exit 1; }
for program in "$desktop" foot xlogo Xwayland; do
    command -v "$program" >/dev/null || skip "$program is not installed"
done

runtime="" compositor="" x11_client="" native_user=""
cleanup() {
    [ -n "$x11_client" ] && kill "$x11_client" 2>/dev/null
    if [ -n "$compositor" ]; then
        kill "$compositor" 2>/dev/null
        for _ in $(seq 50); do kill -0 "$compositor" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$compositor" 2>/dev/null
    fi
    [ -n "$runtime" ] && rm -rf "$runtime"
}
trap cleanup EXIT

# Waits up to 20 s for a command to succeed: a loaded machine (the tests run two at a time)
# starts foot slowly.
wait_for() {
    local _
    for _ in $(seq 200); do "$@" && return 0; sleep 0.1; done
    return 1
}

runtime="$(mktemp -d /tmp/vexo-wayland.XXXXXX)" # made 700
export XDG_RUNTIME_DIR="$runtime" XDG_SESSION_TYPE=wayland
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

if [ "$desktop" = sway ]; then
    # sway refuses to run as root: it runs as a user made for the tests.
    as_user=()
    if [ "$(id -u)" -eq 0 ]; then
        native_user=vexo-wayland-test
        id "$native_user" >/dev/null 2>&1 ||
            useradd --system --no-create-home --shell /usr/sbin/nologin "$native_user" ||
            skip "cannot make the unprivileged user sway needs"
        chown "$native_user" "$runtime"
        as_user=(runuser -u "$native_user" --)
    fi
    printf 'xwayland force\n' >"$runtime/config"
    # Started in its own folder: the programs it starts (foot) inherit sway's working folder,
    # and the test user may not enter the one the tests run in (a fresh clone in a private
    # temporary folder, say).
    (cd "$runtime" && exec "${as_user[@]}" env XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY= \
        WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway -c "$runtime/config") >"$runtime/compositor.log" 2>&1 &
    compositor=$!
    socket_ready() { ls "$runtime"/sway-ipc.*.sock >/dev/null 2>&1 && [ -S "$runtime/wayland-1" ]; }
    wait_for socket_ready ||
        skip "sway cannot start here: $(tail -n 1 "$runtime/compositor.log")"
    # The test's own programs keep a runtime folder of their own and name the socket by its path.
    export SWAYSOCK="$(ls "$runtime"/sway-ipc.*.sock)" WAYLAND_DISPLAY="$runtime/wayland-1"
    mkdir -p "$runtime/own" && chmod 700 "$runtime/own" && export XDG_RUNTIME_DIR="$runtime/own"
    swaymsg exec "echo \$DISPLAY > $runtime/display" >/dev/null
    wait_for test -s "$runtime/display" || skip "sway started no XWayland"
    export DISPLAY="$(cat "$runtime/display")"
    # Root's programs are let into the XWayland of the test user's desktop.
    if [ -n "$native_user" ]; then
        command -v xhost >/dev/null || skip "xhost is not installed"
        swaymsg exec 'xhost +si:localuser:root' >/dev/null
        wait_for sh -c 'xhost >/dev/null 2>&1'
    fi
    # foot runs a command of its own: the test user's login shell is nologin, which would end
    # the terminal at once where SHELL is not set.
    swaymsg exec "foot sleep 600" >/dev/null
    swaymsg exec "foot --title 'Vexo second' sleep 600" >/dev/null
else
    weston --backend=headless-backend.so --xwayland --socket=wayland-1 \
        --width=1024 --height=768 --idle-time=0 >"$runtime/compositor.log" 2>&1 &
    compositor=$!
    wait_for grep -q 'xserver listening on display' "$runtime/compositor.log" ||
        skip "Weston cannot start here: $(tail -n 1 "$runtime/compositor.log")"
    export WAYLAND_DISPLAY=wayland-1
    export DISPLAY="$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' \
        "$runtime/compositor.log" | tail -n 1)"
    foot sleep 600 >/dev/null 2>&1 &
fi
xlogo >/dev/null 2>&1 &
x11_client=$!
echo "$desktop: WAYLAND_DISPLAY=$WAYLAND_DISPLAY DISPLAY=$DISPLAY"

# The programs' windows are up once the compositor lists them (sway) or after a moment.
if [ "$desktop" = sway ]; then
    three_up() { [ "$(swaymsg -t get_tree | grep -cE '"(app_id|class)": "(foot|XLogo)"')" -ge 3 ]; }
    wait_for three_up || fail "foot and xlogo did not open: $(swaymsg -t get_tree | grep -E 'app_id|class')"
else
    sleep 1
fi

# The program itself: X11 through XWayland, nothing on standard error about Qt's platform; on
# sway the result browser floats at its own size, not cut in a tile narrower than it can be.
timeout 6 "$gui" --browser 2>"$runtime/gui.err" >/dev/null &
gui_pid=$!
if [ "$desktop" = sway ]; then
    floats() {
        swaymsg -t get_tree | jq -e '.. | objects | select((.name // "") | startswith(
            "VexoGAUGE 2002 Edition Result Browser")) | select(.type == "floating_con" and
            .rect.width >= 640)' >/dev/null
    }
    wait_for floats || fail "the result browser does not float at its own size"
fi
wait "$gui_pid"
! grep -q 'qt.qpa' "$runtime/gui.err" || fail "the program warned: $(grep qt.qpa "$runtime/gui.err")"

# The terminal's task list: both programs on sway, the notice on Weston.
"$cli" tasks >"$runtime/tasks.out" 2>"$runtime/tasks.err" || fail "tasks: $(cat "$runtime/tasks.err")"
cat "$runtime/tasks.out" "$runtime/tasks.err"
if [ "$desktop" = sway ]; then
    grep -q ' foot$' "$runtime/tasks.out" && grep -q ' xlogo$' "$runtime/tasks.out" ||
        fail "tasks does not list both programs"
    [ ! -s "$runtime/tasks.err" ] || fail "tasks says more than its list"
else
    # Weston keeps each X11 program in a frame and publishes no list of them.
    [ "$(grep -c ' xlogo$' "$runtime/tasks.out")" = 1 ] || fail "tasks does not list xlogo once"
    [ "$(cat "$runtime/tasks.err")" = \
        "vexogauge-cli tasks: Only X11 programs are listed on this desktop" ] ||
        fail "tasks does not say that only X11 programs are listed"
fi

VEXO_WAYLAND_DESKTOP="$desktop" "$test_program" || fail "the test program failed"
echo "$desktop: passed"
