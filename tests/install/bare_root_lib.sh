# Shared by the bare-root checks: a minimal Debian 12 root (mmdebstrap --variant=minbase) with
# only what every Linux desktop has (X11 and xcb, GL, fontconfig and freetype, the sound
# server's client, one font), kept in /var/cache/vexo-bare-root between runs; an X server of
# its own; and the road a teacher takes through the program with the keyboard alone.
# Sourced by bash scripts run from the repository's top folder.

skip() {
    echo "$check_name skipped: $*"
    exit 0
}
fail() {
    echo "FAIL ($check_name): $*" >&2
    exit 1
}

# Skips where the check cannot run: not root, no mmdebstrap, no Xvfb or xdotool.
bare_root_requirements() {
    [ "$(id -u)" = 0 ] || skip "it needs root (chroot, mounts)"
    command -v mmdebstrap >/dev/null || skip "mmdebstrap is not installed (apt install mmdebstrap)"
    command -v Xvfb >/dev/null && command -v xdotool >/dev/null || skip "Xvfb or xdotool is missing"
}

cache=/var/cache/vexo-bare-root
root=""
xvfb=""
manager=""
program=""
display=:97

bare_root_cleanup() {
    [ -n "$program" ] && kill -KILL "$program" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    [ -n "$manager" ] && kill "$manager" 2>/dev/null || true
    if [ -n "$root" ]; then
        for m in var/cache/apt/archives var/lib/apt/lists tmp/.X11-unix dev proc; do
            umount "$root/$m" 2>/dev/null || true
        done
        rm -rf "$root"
    fi
}

# A fresh root in $root, with the ordinary user "lehrer".
bare_root_unpack() {
    local packages=libx11-6,libx11-xcb1,libxcb1,libxext6,libxfixes3,libxrender1,libxcursor1,libxi6,libxrandr2,libxss1
    packages+=,libxcb-icccm4,libxcb-image0,libxcb-keysyms1,libxcb-render-util0,libxcb-xinerama0,libxcb-xkb1
    packages+=,libxcb-randr0,libxcb-shape0,libxcb-sync1,libxcb-xfixes0,libxcb-shm0,libxcb-render0,libxcb-util1
    packages+=,libxcb-glx0,libxcb-xinput0,libxcb-cursor0,libgl1,libegl1,libopengl0,libgbm1
    packages+=,libfontconfig1,libfreetype6,libasound2,libpulse0,fonts-dejavu-core
    local rootTar
    rootTar=$cache/root-$(echo "$packages" | sha1sum | cut -c1-12).tar
    mkdir -p "$cache"
    if [ ! -s "$rootTar" ]; then
        mmdebstrap --quiet --variant=minbase --include="$packages" bookworm "$rootTar.part" ||
            skip "the Debian 12 root could not be made (no network?)"
        mv "$rootTar.part" "$rootTar"
    fi
    root=$(mktemp -d)
    trap bare_root_cleanup EXIT
    tar -C "$root" -xf "$rootTar"
    chroot "$root" useradd -m -d /home/lehrer lehrer
    mount -t proc proc "$root/proc"
    mount --bind /dev "$root/dev"
    mkdir -p "$root/tmp/.X11-unix"
    mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
}

bare_root_display() {
    Xvfb $display -screen 0 1366x768x24 >/dev/null 2>&1 &
    xvfb=$!
    sleep 2
    if command -v openbox >/dev/null; then
        DISPLAY=$display openbox >/dev/null 2>&1 &
        manager=$!
        sleep 1
    fi
}

x() { DISPLAY=$display xdotool "$@"; }

# Starts a command in the root as "lehrer" in folder $1 and waits for the main window.
bare_root_start() {
    local folder=$1 command=$2
    chroot --userspec=lehrer "$root" env -i HOME=/home/lehrer DISPLAY=$display SDL_AUDIODRIVER=dummy \
        PATH=/usr/bin:/bin sh -c "cd $folder && exec $command" >"$root/run.log" 2>&1 &
    program=$!
    local window=""
    for _ in $(seq 1 40); do
        window=$(x search --name "Vexo-Rizidevizi freie Version" 2>/dev/null | head -1) || true
        [ -n "$window" ] && break
        sleep 0.5
    done
    [ -n "$window" ] || fail "no main window: $(cat "$root/run.log")"
    x windowfocus --sync "$window"
}

# The road, keyboard only: an athlete typed and posted; START, a level's first shuttles, STOP;
# the evaluation, its shown table saved as a spreadsheet into the home folder; the program
# ended by the system (SIGTERM). $1: the data folder in the root, $2: the screenshot.
bare_root_road() {
    local data=$1 screenshot=$2
    # From START's focus: Tab to "Sportler", Enter; Einfg, the cells, Strg+Eingabe; Strg+Tab to
    # the leave button, Enter.
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

    # "Auswertung"; from its first control back to "Als Excel-Datei speichern…", its second
    # entry (all results with the athletes' data), the proposed name in the home folder.
    x key Tab Tab Tab Return
    sleep 3
    x search --name "^Auswertung$" >/dev/null || fail "the evaluation did not open"
    DISPLAY=$display import -window root "$screenshot" 2>/dev/null || true
    x key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab space
    sleep 0.5
    x key Down Down Return
    sleep 2
    x key Return
    sleep 2
    ls "$root"/home/lehrer/*.xlsx >/dev/null 2>&1 ||
        fail "no spreadsheet was written: $(ls -la "$root/home/lehrer"; cat "$root/run.log")"
    x key Escape
    sleep 0.5

    kill -TERM "$program"
    for _ in $(seq 1 20); do
        kill -0 "$program" 2>/dev/null || break
        sleep 0.5
    done
    kill -0 "$program" 2>/dev/null && fail "the program did not end when asked"
    program=""
    grep -q 'Name="Iser"' "$root$data/sportler.xml" || fail "the athlete was not saved: $(cat "$root/run.log")"
}
