# Shared by ./scripts/run and ./scripts/test: installs missing Debian packages
# and builds. Meant to be sourced, from the root of the tree.

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
# Russian texts and Qt's SVG module (figdraw's vector files) included.
BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-svg-dev fonts-dejavu-core fontconfig qt6-translations-l10n)

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
