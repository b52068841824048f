#!/usr/bin/env bash
# The self-contained release on a machine where nothing may be installed: a minimal Debian 12
# root (mmdebstrap --variant=minbase) with only what every Linux desktop has (X11 and xcb,
# GL, fontconfig and freetype, the sound server's client, one font), the archive unpacked
# there by an ordinary user. Every shipped library and plugin must resolve inside the folder
# or to those; the program, started there on an X server, must show its main window, pace a
# level on SDL's dummy sound driver, open the evaluation, take an athlete typed with the
# keyboard alone and save it when the system asks it to end.
#
#   tests/install/test_bare_root.sh          (as root; run by ./test when mmdebstrap is there)
#
# The root is kept in /var/cache/vexo-bare-root between runs. Skipped, with a word, where
# it cannot run: not root, no mmdebstrap, no Xvfb or xdotool, no network for a first root.
set -euo pipefail
cd "$(dirname "$0")/../.."
skip() {
    echo "bare-root check skipped: $*"
    exit 0
}
[ "$(id -u)" = 0 ] || skip "it needs root (chroot, mounts)"
command -v mmdebstrap >/dev/null || skip "mmdebstrap is not installed (apt install mmdebstrap)"
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || skip "Xvfb or xdotool is missing"

# The desktop's libraries, and nothing else.
packages=libx11-6,libx11-xcb1,libxcb1,libxext6,libxfixes3,libxrender1,libxcursor1,libxi6,libxrandr2,libxss1
packages+=,libxcb-icccm4,libxcb-image0,libxcb-keysyms1,libxcb-render-util0,libxcb-xinerama0,libxcb-xkb1
packages+=,libxcb-randr0,libxcb-shape0,libxcb-sync1,libxcb-xfixes0,libxcb-shm0,libxcb-render0,libxcb-util1
packages+=,libxcb-glx0,libxcb-xinput0,libxcb-cursor0,libgl1,libegl1,libopengl0,libgbm1
packages+=,libfontconfig1,libfreetype6,libasound2,libpulse0,fonts-dejavu-core
cache=/var/cache/vexo-bare-root
rootTar=$cache/root-$(echo "$packages" | sha1sum | cut -c1-12).tar
mkdir -p "$cache"
if [ ! -s "$rootTar" ]; then
    mmdebstrap --quiet --variant=minbase --include="$packages" bookworm "$rootTar.part" ||
        skip "the Debian 12 root could not be made (no network?)"
    mv "$rootTar.part" "$rootTar"
fi

# The release archive, self-contained.
build=build-release
cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXO_BUNDLE=ON -DBUILD_TESTING=OFF \
    -DVEXO_BENCH=OFF >/dev/null
cmake --build $build --target package >/dev/null
archive=$(ls $build/vexo-rizidevizi-*-linux-*.tar.gz)
echo "release archive: $archive, $(du -k "$archive" | cut -f1) kB"

root=$(mktemp -d)
xvfb=""
manager=""
program=""
cleanup() {
    [ -n "$program" ] && kill -KILL "$program" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    [ -n "$manager" ] && kill "$manager" 2>/dev/null || true
    for m in tmp/.X11-unix dev proc; do umount "$root/$m" 2>/dev/null || true; done
    rm -rf "$root"
}
trap cleanup EXIT
fail() {
    echo "FAIL (bare root): $*" >&2
    exit 1
}
tar -C "$root" -xf "$rootTar"
chroot "$root" useradd -m -d /home/lehrer lehrer
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

# On an X server of its own.
display=:97
Xvfb $display -screen 0 1366x768x24 >/dev/null 2>&1 &
xvfb=$!
sleep 2
if command -v openbox >/dev/null; then
    DISPLAY=$display openbox >/dev/null 2>&1 &
    manager=$!
    sleep 1
fi
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mkdir -p "$root/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
chroot --userspec=lehrer "$root" env -i HOME=/home/lehrer DISPLAY=$display SDL_AUDIODRIVER=dummy \
    PATH=/usr/bin:/bin sh -c "cd $folder && exec ./vexo-rizidevizi" >"$root/run.log" 2>&1 &
program=$!
window=""
for _ in $(seq 1 40); do
    window=$(DISPLAY=$display xdotool search --name "Vexo-Rizidevizi freie Version" 2>/dev/null | head -1) || true
    [ -n "$window" ] && break
    sleep 0.5
done
[ -n "$window" ] || fail "no main window: $(cat "$root/run.log")"
x() { DISPLAY=$display xdotool "$@"; }
x windowfocus --sync "$window"

# With the keyboard alone, from START's focus: Tab to "Sportler", Enter; Einfg, the cells,
# Strg+Eingabe; Strg+Tab to the leave button, Enter.
x key Tab Tab Return
sleep 1.5
x key Insert
for text in Ida Iser W 2012; do
    x type --delay 20 "$text"
    x key Return
done
x key ctrl+Return ctrl+Tab Return
sleep 1

# START (back to it, Enter), a level's first shuttles, STOP.
x key shift+Tab shift+Tab Return
sleep 9
kill -0 "$program" 2>/dev/null || fail "the program ended during the run: $(cat "$root/run.log")"
x key Tab Return

# "Auswertung", closed again.
x key Tab Tab Tab Return
sleep 3
x search --name "^Auswertung$" >/dev/null || fail "the evaluation did not open"
DISPLAY=$display import -window root "$build/bare-root.png" 2>/dev/null || true
kill -TERM "$program"
for _ in $(seq 1 20); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.5
done
kill -0 "$program" 2>/dev/null && fail "the program did not end when asked"
program=""
grep -q 'Name="Iser"' "$root$folder/sportler.xml" || fail "the athlete was not saved: $(cat "$root/run.log")"
echo "bare-root check passed (screenshot: $build/bare-root.png)"
