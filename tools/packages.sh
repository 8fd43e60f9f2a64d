# Installs the Debian packages named in the arguments that are not installed yet.
# Sourced by the run and test scripts; as a non-root user it asks sudo.
ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing ${missing[*]}" >&2
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >&2
}

BUILD_PACKAGES=(g++ make cmake pkg-config libsdl1.2-dev libsdl-ttf2.0-dev fonts-dejavu-core)

# What the real-window test drives the game with.
WINDOW_TEST_PACKAGES=(xvfb xauth xdotool x11-utils imagemagick)
