#!/usr/bin/env bash
# Renders the program's icon (assets/icon/vexo-rizidevizi.svg) to the PNG sizes the release
# folder ships, with rsvg-convert (Debian's librsvg2-bin, installed with the look-at-it tools).
#
#   tools/make_icons.sh
set -euo pipefail
cd "$(dirname "$0")/../assets/icon"
for size in 16 32 48 128 256; do
    rsvg-convert -w "$size" -h "$size" vexo-rizidevizi.svg -o "vexo-rizidevizi-${size}.png"
done
