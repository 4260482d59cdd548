#!/usr/bin/env bash
# Builds a contact sheet of the installer's artwork: every sprite strip and
# button face enlarged (as stored, and over the page texture as the pages
# show it), each texture tiled 3 x 3, the icon, and the main window's
# backdrop with the logo rendered by GDI under Wine.
#   tools/artgen/contact-sheet.sh [out.png]      (default docs/artwork.png)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${1:-$root/docs/artwork.png}
work=$(mktemp -d /tmp/artsheet.XXXXXX)
trap 'rm -rf "$work"' EXIT

# The generator, built on its own so that the sheet needs no configured tree.
g++ -std=c++17 -O2 -o "$work/artgen" "$here"/*.cpp
"$work/artgen" "$work/art"
art=$work/art

# The logo over the backdrop, drawn by GDI: a small Windows program run
# under Wine in a throw-away prefix.
if [ "$("$root/scripts/host-arch.sh" 2>/dev/null || echo win32)" = win64 ]; then
    cc=x86_64-w64-mingw32-gcc
else
    cc=i686-w64-mingw32-gcc
fi
$cc -O2 -static -o "$work/backdrop_preview.exe" "$here/preview/backdrop_preview.c" -lgdi32 -luser32
bash "$root/scripts/wine-run.sh" "$work/backdrop_preview.exe" "$art/ORRINLOGO.wmf" \
    "$art/BLUETEX.bmp" "$work/backdrop.bmp" 1024 720

# Sprites: as stored and over the page texture (the key colour removed).
tile() { convert -size "$2" "tile:$art/$1" "$3"; }
shown() {   # shown <bitmap> <key colour> <scale> <out>
    local size
    size=$(identify -format '%wx%h' "$art/$1")
    tile QZSWIRL.bmp "$size" "$work/under.png"
    convert "$work/under.png" \( "$art/$1" -transparent "$2" \) -composite \
        -filter point -resize "$3" "$4"
}
# One picture with its caption underneath.
cell() {   # cell <image> <caption> <out>
    convert -background '#D4D0C8' "$1" -gravity center \
        \( -pointsize 15 label:"$2" \) \
        -append -bordercolor '#D4D0C8' -border 10 "$3"
}
for name in ALERT QUESTION BULLET CHECKBOX OKBUTTON CANCELBUTTON; do
    key='#FF00FF'
    [ "$name" = CHECKBOX ] && key='#FFFFFF'
    scale=300%
    case $name in BULLET|OKBUTTON|CANCELBUTTON) scale=400% ;; esac
    convert "$art/$name.bmp" -filter point -resize "$scale" "$work/raw.png"
    shown "$name.bmp" "$key" "$scale" "$work/shown.png"
    cell "$work/raw.png" "$name" "$work/$name-raw.png"
    cell "$work/shown.png" "$name over the page texture" "$work/$name-shown.png"
done
convert "$art/SETUP.ico" -filter point -resize 600% "$work/icon.png"
cell "$work/icon.png" "SETUP icon" "$work/icon-cell.png"
tile QZSWIRL.bmp 384x384 "$work/qzswirl.png"
tile BLUETEX.bmp 384x384 "$work/bluetex.png"
cell "$work/qzswirl.png" "QZSWIRL tiled 3 x 3" "$work/qzswirl-cell.png"
cell "$work/bluetex.png" "BLUETEX tiled 3 x 3" "$work/bluetex-cell.png"

row() { local out=$1; shift; convert -background '#D4D0C8' "$@" -gravity center +append "$out"; }
row "$work/row1.png" "$work/ALERT-raw.png" "$work/ALERT-shown.png"
row "$work/row2.png" "$work/QUESTION-raw.png" "$work/QUESTION-shown.png"
row "$work/row3.png" "$work/BULLET-raw.png" "$work/BULLET-shown.png" "$work/CHECKBOX-raw.png" \
    "$work/CHECKBOX-shown.png"
row "$work/row4.png" "$work/OKBUTTON-raw.png" "$work/OKBUTTON-shown.png" \
    "$work/CANCELBUTTON-raw.png" "$work/CANCELBUTTON-shown.png" "$work/icon-cell.png"
row "$work/row5.png" "$work/qzswirl-cell.png" "$work/bluetex-cell.png"

convert "$work/backdrop.bmp" -resize 1100x "$work/backdrop.png"
mkdir -p "$(dirname "$out")"
cell "$work/backdrop.png" "The main window: BLUETEX, ORRINLOGO and the title, drawn by GDI" \
    "$work/row6.png"
convert -background '#D4D0C8' "$work"/row[1-6].png -gravity center -append -strip "$out"
echo "contact sheet: $out"
