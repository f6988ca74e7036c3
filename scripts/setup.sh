# Shared by run.sh and test.sh: installs the Debian packages the build needs and builds.
# Source it; it defines functions only.

VEXO_PACKAGES=(cmake ninja-build g++ pkg-config libgtest-dev libbenchmark-dev
    libgl-dev libegl-dev libx11-dev libgl1-mesa-dri libegl-mesa0 qt6-base-dev fonts-dejavu-core)

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
