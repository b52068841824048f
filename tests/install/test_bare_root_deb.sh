#!/usr/bin/env bash
# The Debian package on a fresh Debian 12: built by CPack (its dependencies from
# dpkg-shlibdeps), its AppStream metainfo and menu entry validated, then installed with apt in
# a bare Debian 12 root (bare_root_lib.sh), which must pull in everything the program needs.
# Started as an ordinary user through the menu entry's command, the program keeps its data in
# the user's own folder (~/.local/share/vexo-rizidevizi), takes the same keyboard road as the
# self-contained folder, and writes a spreadsheet.
#
#   tests/install/test_bare_root_deb.sh      (as root; run by ./test when mmdebstrap is there)
#
# Downloaded packages are kept in /var/cache/vexo-bare-root between runs. Skipped, with a
# word, where it cannot run: not root, no mmdebstrap, no Xvfb or xdotool, no network.
set -euo pipefail
cd "$(dirname "$0")/../.."
check_name="package check"
source tests/install/bare_root_lib.sh
bare_root_requirements
command -v appstreamcli >/dev/null || skip "appstreamcli is missing (apt install appstream)"

build=build-deb
cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXO_SYSTEM_INSTALL=ON -DBUILD_TESTING=OFF \
    -DVEXO_BENCH=OFF >/dev/null
cmake --build $build --target package >/dev/null
package=$(ls $build/vexo-rizidevizi_*.deb)
echo "Debian package: $package, $(du -k "$package" | cut -f1) kB"
echo "  $(dpkg-deb --field "$package" Depends)"

# What the desktop reads: the metainfo, the menu entry, the icons.
contents=$(mktemp -d)
dpkg-deb -x "$package" "$contents"
appstreamcli validate --no-net "$contents"/usr/share/metainfo/*.metainfo.xml >/dev/null ||
    fail "$(appstreamcli validate --no-net "$contents"/usr/share/metainfo/*.metainfo.xml)"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$contents/usr/share/applications/vexo-rizidevizi.desktop" ||
        fail "the menu entry is not valid"
fi
for f in usr/bin/vexo-rizidevizi usr/share/vexo-rizidevizi/ding.wav usr/share/vexo-rizidevizi/tada.wav \
    usr/share/vexo-rizidevizi/vexo-Rizidevizi.rtf usr/share/icons/hicolor/scalable/apps/vexo-rizidevizi.svg \
    usr/share/icons/hicolor/48x48/apps/vexo-rizidevizi.png usr/share/doc/vexo-rizidevizi/copyright; do
    [ -e "$contents/$f" ] || fail "the package lacks /$f"
done
rm -rf "$contents"

bare_root_unpack
cp /etc/resolv.conf "$root/etc/resolv.conf"
mkdir -p "$cache/apt-archives/partial" "$cache/apt-lists/partial"
mount --bind "$cache/apt-archives" "$root/var/cache/apt/archives"
mount --bind "$cache/apt-lists" "$root/var/lib/apt/lists"
cp "$package" "$root/tmp/"
chroot "$root" apt-get -qq update >/dev/null 2>&1 || skip "the package sources cannot be reached (no network?)"
chroot "$root" env DEBIAN_FRONTEND=noninteractive apt-get -qq install -y --no-install-recommends \
    "/tmp/$(basename "$package")" >"$root/apt.log" 2>&1 || fail "apt could not install the package: $(tail -20 "$root/apt.log")"
echo "installed with apt: $(grep -c '^Setting up' "$root/apt.log" || true) packages set up"

# The menu entry's command, as the desktop starts it, in the user's home.
command=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/vexo-rizidevizi.desktop")
bare_root_display
bare_root_start /home/lehrer "$command"
# It finds its sounds and information text in its shared folder, wherever it was started.
[ "$(readlink "/proc/$program/cwd")" = "$root/usr/share/vexo-rizidevizi" ] ||
    fail "the program works in $(readlink "/proc/$program/cwd"), not in its shared folder"
bare_root_road /home/lehrer/.local/share/vexo-rizidevizi "$build/bare-root-deb.png"
[ -z "$(ls "$root/usr/bin" | grep -E '\.xml$|\.journal$' || true)" ] || fail "data files beside the installed program"
echo "package check passed (screenshot: $build/bare-root-deb.png)"
