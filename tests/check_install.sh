#!/usr/bin/env bash
# Installs the build into a scratch folder and checks the tree, then makes the
# Debian package and checks its contents, the dependencies it declares, its
# changelog's version and what lintian says of it.
#   tests/check_install.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cmake --install "$build" --prefix "$scratch/usr" >/dev/null
expected=$(printf '%s\n' usr/bin/{figdraw,countdown} usr/libexec/recursion-lessons/recursion-runner \
    usr/share/applications/{figdraw,countdown}.desktop \
    usr/share/icons/hicolor/scalable/apps/{figdraw,countdown}.svg \
    usr/share/metainfo/org.recursionlessons.{figdraw,countdown}.metainfo.xml \
    usr/share/man/man1/{figdraw,countdown}.1.gz usr/share/man/ru/man1/{figdraw,countdown}.1.gz \
    usr/share/doc/recursion-lessons/{copyright,changelog.gz} | sort)
installed=$(cd "$scratch" && find . -type f | sed 's|^\./||' | sort)
[ "$installed" = "$expected" ] || { echo "installed: $installed"; echo "expected: $expected"; exit 1; }
[ -x "$scratch/usr/bin/figdraw" ] && [ -x "$scratch/usr/bin/countdown" ] \
    && [ -x "$scratch/usr/libexec/recursion-lessons/recursion-runner" ]
desktop-file-validate "$scratch"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$scratch"/usr/share/metainfo/*.metainfo.xml >/dev/null
for metainfo in "$scratch"/usr/share/metainfo/*.metainfo.xml; do # in English and in Russian
    for tag in '<summary>' '<summary xml:lang="ru">' '<p>' '<p xml:lang="ru">'; do
        grep -qF "$tag" "$metainfo" || { echo "$(basename "$metainfo") has no $tag"; exit 1; }
    done
done

(cd "$scratch" && cpack --config "$build/CPackConfig.cmake" -B "$scratch/package" >/dev/null)
package=$(ls "$scratch"/package/*.deb)
depends=$(dpkg-deb -f "$package" Depends)
for library in libqt6widgets6 libqt6gui6 libqt6core6 libqt6svg6 libqt6printsupport6 libgif7 libseccomp2 qt6-translations-l10n \
    'libpython3\.[0-9]* ' 'libpython3\.[0-9]*-stdlib'; do
    grep -q "$library" <<<"$depends" || { echo "the package does not depend on $library: $depends"; exit 1; }
done
packaged=$(dpkg-deb -c "$package" | awk '$1 !~ /^d/ {sub(/^\.\//, "", $6); print $6}' | sort)
[ "$packaged" = "$expected" ] || { echo "packaged: $packaged"; exit 1; }
version=$(dpkg-deb -f "$package" Version)
logged=$(zcat "$scratch/usr/share/doc/recursion-lessons/changelog.gz" | dpkg-parsechangelog -l - -S Version)
[ "$logged" = "$version" ] || { echo "the changelog's latest entry is $logged, the package $version"; exit 1; }

# lintian advises against inspecting a package as root, so root runs it as nobody, from
# the package's folder: the folder the tests run in may be closed to everyone but root.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    chmod a+rx "$scratch" "$scratch/package"
    as_user=(runuser -u nobody --)
fi
lint=$(cd "$scratch/package" && "${as_user[@]}" lintian --fail-on error,warning "$package" 2>&1) \
    || { echo "lintian on $(basename "$package"):"; echo "$lint"; exit 1; }
echo "installed tree and package $(basename "$package") are complete, lintian finds no fault; depends: $depends"
