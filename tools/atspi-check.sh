#!/bin/sh
# The program's windows as assistive tools see them, checked from outside through the AT-SPI
# tree: starts the program on $DISPLAY (Xvfb with a window manager) with the accessibility
# bus, opens the main window's windows one after another with the pointer and prints every
# control's role and name. Needs Debian's at-spi2-core, python3-pyatspi, dbus and xdotool.
# Run from a folder holding the program and its data files:
#   cd build/bin && dbus-run-session -- ../../tools/atspi-check.sh
here=$(dirname "$(readlink -f "$0")")
/usr/libexec/at-spi-bus-launcher --launch-immediately &
sleep 1
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
SDL_AUDIODRIVER=dummy ./vexo-rizidevizi >/dev/null 2>&1 &
program=$!
sleep 4
names() { /usr/bin/python3 "$here/atspi_names.py"; }
names
for y in 60 128; do # "Sportler", "Werte": looked at, then left with Ctrl+Tab and Enter
    xdotool mousemove 77 $y click 1
    sleep 2
    names
    xdotool key ctrl+Tab Return
    sleep 1
done
xdotool mousemove 77 196 click 1 # "Auswertung"
sleep 2
names
kill $program
