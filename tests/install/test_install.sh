#!/usr/bin/env bash
# The release as a coach gets it: installed into a temporary prefix, packed by CPack,
# unpacked into a fresh folder, entered into the menu by its script, started the way the
# written menu entry says (its Exec, in its Path) on the offscreen platform, and ended by
# the system's request. The program must run in its folder, find its sounds and its
# information text there, and create its two data files beside itself; the script must
# write and remove exactly its two files, and refuse a folder the user cannot write.
#
#   tests/install/test_install.sh <build folder> <version>
set -euo pipefail
build=$1
version=$2
tmp=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null || true
    chmod -R u+w "$tmp" 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The installed folder holds everything, and its menu entry is valid.
cmake --install "$build" --prefix "$tmp/prefix" >/dev/null
for f in vexo-rizidevizi ding.wav tada.wav vexo-Rizidevizi.rtf vexo-rizidevizi.desktop LIESMICH.txt LICENSE \
    vexo-rizidevizi-menue.sh icons/vexo-rizidevizi.svg icons/vexo-rizidevizi-16.png icons/vexo-rizidevizi-32.png \
    icons/vexo-rizidevizi-48.png icons/vexo-rizidevizi-128.png icons/vexo-rizidevizi-256.png; do
    [ -e "$tmp/prefix/$f" ] || fail "the installed folder lacks $f"
done
desktop-file-validate "$tmp/prefix/vexo-rizidevizi.desktop" || fail "desktop entry not valid"

# The archive, unpacked into a fresh folder.
cpack --config "$build/CPackConfig.cmake" -B "$tmp/package" >/dev/null
name="vexo-rizidevizi-$version-linux-$(uname -m)"
[ -f "$tmp/package/$name.tar.gz" ] || fail "no archive $name.tar.gz"
mkdir "$tmp/unpacked"
tar -xzf "$tmp/package/$name.tar.gz" -C "$tmp/unpacked"
folder="$tmp/unpacked/$name"
[ -x "$folder/vexo-rizidevizi" ] || fail "the archive does not hold the folder $name"

# Entered into the menu of a user whose home is in the temporary folder.
export HOME="$tmp/home" XDG_DATA_HOME="$tmp/home/.local/share"
mkdir -p "$HOME"
"$folder/vexo-rizidevizi-menue.sh" >/dev/null
written=$(cd "$XDG_DATA_HOME" && find . -type f | sort | tr '\n' ' ')
[ "$written" = "./applications/vexo-rizidevizi.desktop ./icons/hicolor/scalable/apps/vexo-rizidevizi.svg " ] ||
    fail "the script wrote: $written"
entry="$XDG_DATA_HOME/applications/vexo-rizidevizi.desktop"
desktop-file-validate "$entry" || fail "written desktop entry not valid"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
path=$(sed -n 's/^Path=//p' "$entry")
program=${exec_line#\"}
program=${program%\"}
[ "$path" = "$(cd "$folder" && pwd -P)" ] || fail "Path is $path"
[ "$program" = "$path/vexo-rizidevizi" ] || fail "Exec is $exec_line"

# Started as the entry says, from the folder; ended as the system asks.
(cd "$path" && QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy exec "$program") &
pid=$!
for _ in $(seq 1 100); do
    [ -f "$folder/sportler.xml" ] && [ -f "$folder/multiwert.xml" ] && break
    sleep 0.2
done
[ -f "$folder/sportler.xml" ] && [ -f "$folder/multiwert.xml" ] || fail "no data files beside the program"
[ "$(readlink "/proc/$pid/cwd")" = "$path" ] || fail "the program does not run in its folder"
for f in ding.wav tada.wav vexo-Rizidevizi.rtf; do
    [ -f "/proc/$pid/cwd/$f" ] || fail "$f is not in the program's working folder"
done
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=""
[ "$status" = 0 ] || fail "the program ended with $status"
grep -q 'AUTOINCVALUE="1"' "$folder/multiwert.xml" || fail "the results file is not a new table"

# Removed again: nothing of it stays.
"$folder/vexo-rizidevizi-menue.sh" --remove >/dev/null
left=$(cd "$XDG_DATA_HOME" && find . -type f | wc -l)
[ "$left" = 0 ] || fail "$left files stayed after --remove"

# A folder the user cannot write is refused with a German message, and nothing is written.
chmod a-w "$folder"
run_as_user=()
if [ "$(id -u)" = 0 ]; then
    chmod a+rx "$tmp" "$tmp/unpacked" "$folder"
    chmod -R a+rwx "$tmp/home"
    run_as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
if message=$("${run_as_user[@]}" env HOME="$HOME" XDG_DATA_HOME="$XDG_DATA_HOME" \
    "$folder/vexo-rizidevizi-menue.sh" 2>&1); then
    fail "the script accepted a folder that is not writable"
fi
echo "$message" | grep -q "nicht beschreibbar" || fail "message: $message"
left=$(cd "$XDG_DATA_HOME" && find . -type f | wc -l)
[ "$left" = 0 ] || fail "the refusing script wrote $left files"
echo "release folder, archive, menu entry and program start: all as expected"
