#!/bin/sh
# Makes resources/orvvarnoth.ico, the exe's icon, from the browser panels'
# resources/web/icon.svg: the sizes Windows asks for in the Start menu,
# Explorer and the taskbar, 256 px as PNG. Run it after changing icon.svg and
# commit the result (the build takes the .ico as it is, with no image tools).
# Needs librsvg2-bin and icoutils.
set -e
cd "$(dirname "$0")/.."
sh scripts/install-missing.sh librsvg2-bin icoutils
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for size in 16 24 32 48 64 256; do
    rsvg-convert -w $size -h $size -o "$tmp/$size.png" resources/web/icon.svg
done
icotool -c -o resources/orvvarnoth.ico "$tmp/16.png" "$tmp/24.png" "$tmp/32.png" \
    "$tmp/48.png" "$tmp/64.png" --raw="$tmp/256.png"
icotool -l resources/orvvarnoth.ico
