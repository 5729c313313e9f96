# Shared by ./scripts/run, ./scripts/test and ./scripts/screenshots: installs
# missing Debian packages, builds, starts Xvfb. Meant to be sourced, from the root of the tree.

# Installs whichever of the named Debian packages are missing.
ensure_packages() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What building and running both programs needs, Cyrillic fonts, Qt's own
# Russian texts, Qt's SVG module (figdraw's vector files), giflib (its
# animated GIF), Python, which runs the class's own procedures, and libseccomp, which
# boxes them in, included.
BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-svg-dev libgif-dev fonts-dejavu-core fontconfig qt6-translations-l10n python3-dev libseccomp-dev)

# Configures (once) and builds into the folder named, with further CMake options;
# only the target BUILD_TARGET names, when set.
build_into() {
    local folder=$1
    shift
    if [ ! -f "$folder/CMakeCache.txt" ]; then
        cmake -S . -B "$folder" -G Ninja "$@"
    fi
    cmake --build "$folder" --parallel "$(nproc)" ${BUILD_TARGET:+--target "$BUILD_TARGET"}
}

# Starts a virtual X server, its screen 1280x1024 or the size given (WIDTHxHEIGHTxDEPTH),
# and waits until it takes clients; sets XVFB_PID and XVFB_DISPLAY. The caller stops it
# (kill "$XVFB_PID").
start_xvfb() {
    local display_file
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${1:-1280x1024x24}" -nolisten tcp 3>"$display_file" 2>/dev/null &
    XVFB_PID=$!
    for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
    XVFB_DISPLAY=:$(cat "$display_file")
    rm -f "$display_file"
    [ "$XVFB_DISPLAY" != : ] || { echo "Xvfb did not start" >&2; return 1; }
}

# Starts openbox, a window manager that frames and places the windows itself, on the virtual
# X server, and waits until it manages the screen; sets WM_PID. The caller stops it.
start_openbox() {
    DISPLAY=$XVFB_DISPLAY openbox --sm-disable >/dev/null 2>&1 &
    WM_PID=$!
    for _ in $(seq 100); do
        if DISPLAY=$XVFB_DISPLAY xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
            sleep 0.5 # until it has read its settings and manages new windows
            return 0
        fi
        sleep 0.1
    done
    echo "openbox did not start" >&2
    return 1
}
