# Shared by run.sh and test.sh: installs the Debian packages the build needs and builds.
# Source it; it defines functions only.

VEXO_PACKAGES=(cmake ninja-build g++ pkg-config libgtest-dev libbenchmark-dev
    libgl-dev libegl-dev libx11-dev libgl1-mesa-dri libegl-mesa0 qt6-base-dev fonts-dejavu-core
    libxcb1-dev libxcb-ewmh-dev libxcb-icccm4-dev nlohmann-json3-dev libwayland-dev)

# What the tests on real X servers and the report check in a web browser need besides; the
# wizard's walk as a screen reader reads it needs the accessibility bus and its Python binding.
VEXO_TEST_PACKAGES=(xvfb xauth openbox wmctrl libxtst-dev clang libclang-rt-14-dev mesa-utils chromium
    jq python3-jsonschema at-spi2-core dbus-daemon python3-pyatspi sway weston xwayland foot
    x11-apps x11-xserver-utils grim clang-format mandoc)

# What building and checking the Debian package needs besides.
VEXO_PACKAGE_PACKAGES=(dpkg-dev file binutils lintian desktop-file-utils appstream devscripts
    shared-mime-info xdg-utils libglib2.0-bin)

vexo_install_packages() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; return 1; }
        sudo="sudo"
    fi
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# vexo_build DIR [cmake options...]
vexo_build() {
    local dir="$1"
    shift
    cmake -S "$VEXO_ROOT" -B "$dir" -G Ninja "$@"
    cmake --build "$dir" -j "$(nproc)"
}

VEXO_STARTED_PIDS=()

vexo_stop_started() {
    local pid
    for pid in "${VEXO_STARTED_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
}

# vexo_start_display VARIABLE [wm]: starts an X server (and with "wm" openbox on it) and sets
# VARIABLE to its display name.
vexo_start_display() {
    local variable="$1" with_wm="${2:-}" fd_file pid display i
    fd_file="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
    pid=$!
    VEXO_STARTED_PIDS+=("$pid")
    for i in $(seq 100); do
        [ -s "$fd_file" ] && break
        sleep 0.1
    done
    [ -s "$fd_file" ] || { echo "Xvfb did not start" >&2; return 1; }
    display=":$(head -n1 "$fd_file")"
    rm -f "$fd_file"
    if [ "$with_wm" = wm ]; then
        DISPLAY="$display" openbox >/dev/null 2>&1 &
        VEXO_STARTED_PIDS+=("$!")
        for i in $(seq 100); do
            DISPLAY="$display" wmctrl -m >/dev/null 2>&1 && break
            sleep 0.1
        done
        DISPLAY="$display" wmctrl -m >/dev/null 2>&1 || { echo "openbox did not start" >&2; return 1; }
    fi
    printf -v "$variable" '%s' "$display"
}
