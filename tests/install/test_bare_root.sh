#!/usr/bin/env bash
# The self-contained release on a machine where nothing may be installed: the archive
# unpacked by an ordinary user in a bare Debian 12 root (bare_root_lib.sh). Every shipped
# library and plugin must resolve inside the folder or to the desktop's libraries; the
# program, started there on an X server, must show its main window, pace a level on SDL's
# dummy sound driver, take an athlete typed with the keyboard alone, open the evaluation,
# write a spreadsheet, and save the athlete when the system asks it to end.
#
#   tests/install/test_bare_root.sh          (as root; run by ./test when mmdebstrap is there)
#
# Skipped, with a word, where it cannot run: not root, no mmdebstrap, no Xvfb or xdotool, no
# network for a first root.
set -euo pipefail
cd "$(dirname "$0")/../.."
check_name="bare-root check"
source tests/install/bare_root_lib.sh
bare_root_requirements

# The release archive, self-contained.
build=build-release
cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXO_BUNDLE=ON -DBUILD_TESTING=OFF \
    -DVEXO_BENCH=OFF >/dev/null
cmake --build $build --target package >/dev/null
archive=$(ls $build/vexo-rizidevizi-*-linux-*.tar.gz)
echo "release archive: $archive, $(du -k "$archive" | cut -f1) kB"

bare_root_unpack
cp "$archive" "$root/home/lehrer/"
chroot --userspec=lehrer "$root" sh -c 'cd /home/lehrer && tar -xzf vexo-rizidevizi-*.tar.gz && mv vexo-rizidevizi-*-linux-*/ vexo'
folder=/home/lehrer/vexo

# Every shipped program, library and plugin resolves inside the folder or to the desktop's
# libraries; only the printing backend may miss the system's printing (libcups), which is
# there wherever anything prints.
missing=$(chroot "$root" sh -c "cd $folder && for f in ./vexo-rizidevizi lib/*.so.* plugins/*/*.so; do
        LD_LIBRARY_PATH=$folder/lib ldd \"\$f\" | grep 'not found' | sed \"s|^|\$f: |\"; done" |
    grep -v 'libcupsprintersupport.so:.*libcups.so' || true)
[ -z "$missing" ] || fail "libraries not found: $missing"

bare_root_display
bare_root_start $folder ./vexo-rizidevizi
bare_root_road $folder "$build/bare-root.png"
echo "bare-root check passed (screenshot: $build/bare-root.png)"
