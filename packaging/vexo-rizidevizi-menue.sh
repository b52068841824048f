#!/bin/sh
# Trägt Vexo-Rizidevizi in das Anwendungsmenü des angemeldeten Benutzers ein (oder mit
# --remove wieder aus). Geschrieben werden genau zwei Dateien: der Menüeintrag und das
# Programmsymbol, beide in den Ordnern des Benutzers; am Programmordner ändert sich nichts.
set -eu

folder=$(cd "$(dirname "$0")" && pwd -P)
data=${XDG_DATA_HOME:-"$HOME/.local/share"}
entry="$data/applications/vexo-rizidevizi.desktop"
icon="$data/icons/hicolor/scalable/apps/vexo-rizidevizi.svg"

if [ "${1:-}" = "--remove" ]; then
    rm -f "$entry" "$icon"
    echo "Vexo-Rizidevizi ist aus dem Anwendungsmenü entfernt."
    exit 0
fi
if [ $# -gt 0 ]; then
    echo "Aufruf: $0 [--remove]" >&2
    exit 2
fi

# Das Programm legt seine Datendateien neben sich ab: der Ordner muss dem Benutzer gehören.
if [ ! -w "$folder" ]; then
    echo "Der Programmordner \"$folder\" ist für Sie nicht beschreibbar." >&2
    echo "Vexo-Rizidevizi speichert seine Sportler und Ergebnisse neben dem Programm." >&2
    echo "Bitte das Archiv in einen eigenen Ordner entpacken (zum Beispiel ~/vexo-rizidevizi)" >&2
    echo "und dieses Skript dort noch einmal aufrufen." >&2
    exit 1
fi
if [ ! -x "$folder/vexo-rizidevizi" ]; then
    echo "Im Ordner \"$folder\" liegt kein Programm vexo-rizidevizi." >&2
    exit 1
fi

# Exec nimmt den Pfad in Anführungszeichen; darin stehen \ " ` $ mit einem Backslash, und
# jeder Backslash wird für die Datei noch einmal verdoppelt.
quoted=$(printf '%s' "$folder/vexo-rizidevizi" | sed -e 's/[\\"`$]/\\&/g' -e 's/\\/\\\\/g')

# Für den Ersetzungstext von sed brauchen \ & und | einen Backslash.
for_sed() { printf '%s' "$1" | sed -e 's/[\\&|]/\\&/g'; }
exec_line=$(for_sed "Exec=\"$quoted\"")
path_line=$(for_sed "Path=$folder")

mkdir -p "$(dirname "$entry")" "$(dirname "$icon")"
cp "$folder/icons/vexo-rizidevizi.svg" "$icon"
# Die Töne und der Informationstext werden im Arbeitsordner gesucht: Path ist der
# Programmordner.
sed -e "s|^Exec=.*|$exec_line\\
$path_line|" -e "s|^Icon=.*|Icon=vexo-rizidevizi|" \
    "$folder/vexo-rizidevizi.desktop" > "$entry"
chmod 644 "$entry" "$icon"
echo "Vexo-Rizidevizi steht jetzt im Anwendungsmenü (Eintrag: $entry)."
