#!/usr/bin/env bash
# Installs the build into a scratch folder and checks the tree, then makes the
# Debian package and checks that it declares its Qt runtime dependencies.
#   tests/check_install.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cmake --install "$build" --prefix "$scratch/usr" >/dev/null
expected=(
    usr/bin/figdraw
    usr/bin/countdown
    usr/share/applications/figdraw.desktop
    usr/share/applications/countdown.desktop
    usr/share/icons/hicolor/scalable/apps/figdraw.svg
    usr/share/icons/hicolor/scalable/apps/countdown.svg
    usr/share/metainfo/org.recursionlessons.figdraw.metainfo.xml
    usr/share/metainfo/org.recursionlessons.countdown.metainfo.xml
)
for file in "${expected[@]}"; do
    [ -f "$scratch/$file" ] || { echo "missing from the installed tree: $file"; exit 1; }
done
for program in figdraw countdown; do
    [ -x "$scratch/usr/bin/$program" ] || { echo "not executable: $program"; exit 1; }
done
desktop-file-validate "$scratch"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$scratch"/usr/share/metainfo/*.metainfo.xml >/dev/null
unexpected=$(cd "$scratch" && find . -type f | sed 's|^\./||' | sort | comm -23 - <(printf '%s\n' "${expected[@]}" | sort))
[ -z "$unexpected" ] || { echo "unexpected files installed: $unexpected"; exit 1; }

(cd "$scratch" && cpack --config "$build/CPackConfig.cmake" -B "$scratch/package" >/dev/null)
package=$(ls "$scratch"/package/*.deb)
depends=$(dpkg-deb -f "$package" Depends)
for library in libqt6widgets6 libqt6gui6 libqt6core6 qt6-translations-l10n; do
    grep -q "$library" <<<"$depends" || { echo "the package does not depend on $library: $depends"; exit 1; }
done
contents=$(dpkg-deb -c "$package")
for file in "${expected[@]}"; do
    grep -q "\./$file\$" <<<"$contents" || { echo "missing from the package: $file"; exit 1; }
done
echo "installed tree and package $(basename "$package") are complete; depends: $depends"
