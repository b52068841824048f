#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the look-at-it tools need, but only
# those that are missing. Works as root or through sudo.
set -euo pipefail
packages=(cmake ninja-build g++ qt6-base-dev qt6-translations-l10n libsdl2-dev fonts-wine fonts-liberation2
          qt6-charts-dev libqt6opengl6-dev pkg-config libxlsxwriter-dev
          clang-format
          # the fuzz targets: clang with its fuzzer and sanitizer runtimes
          clang libclang-rt-14-dev
          xvfb xauth xdotool imagemagick openbox librsvg2-bin poppler-utils
          desktop-file-utils
          # the release checks: a bare Debian 12 root, the package's AppStream metainfo
          mmdebstrap appstream
          # the spreadsheet test opens the program's .xlsx files in a real spreadsheet program
          libreoffice-calc-nogui)
[ "${VEXO_BENCH_DEPS:-0}" = 1 ] && packages+=(libpugixml-dev stress-ng)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
