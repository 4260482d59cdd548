#!/usr/bin/env bash
# 256-colour error of each page: screenshots of the pages over the main
# window (Xvfb, true colour), each mapped by the host tool palerr through
# the system palette that a 256-colour display would hold with the page
# active, region by region.
#   bench/palette-shots.sh [OUTDIR] [REFDIR]
# OUTDIR (default build/palette-shots) receives <page>.png and .ppm (the
# screen), .rect (the page's window rectangle), .map.png (the regions) and
# .txt (the figures). With REFDIR (an earlier OUTDIR), each region's change
# from the earlier screenshots is printed too. Environment: ART_DIR, the
# artwork the screenshots were made with (default build/art); PALERR_ARGS,
# more palerr options (--through-tables when the pictures are loaded through
# their colour tables); SHOTS=0 measures the screenshots already in OUTDIR.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export SOURCE_DIR=$root BUILD_DIR=${BUILD_DIR:-$root/build}
export DIST_DIR=$BUILD_DIR/dist HOST_TOOLS_DIR=$BUILD_DIR/host-tools
out=${1:-$BUILD_DIR/palette-shots}
ref=${2:-}
art=${ART_DIR:-$BUILD_DIR/art}
mkdir -p "$out"
. "$root/tests/e2e/e2e-lib.sh"
E2E_SHOTS=$out

# shot CAPTION NAME: the screen and the page's window rectangle.
shot() {
    local w; w=$(e2e_window "$1")
    import -window root "$out/$2.png"
    convert "$out/$2.png" "$out/$2.ppm"
    xwininfo -id "$w" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x "," y "," w "," h}' > "$out/$2.rect"
}

if [ "${SHOTS:-1}" != 0 ]; then
e2e_begin palette
mkdir -p "$E2E_C/Program Files/Photoshp/Plugins"
e2e_ini 'C:\Program Files\Photoshp\Plugins'
e2e_start
e2e_page 'Welcome!' 30; shot 'Welcome!' welcome; e2e_key Return
e2e_page 'Platform'; shot 'Platform' platform; e2e_key Return
e2e_page 'Plug-in location...'; shot 'Plug-in location...' plugin; e2e_key Return
e2e_page 'Congratulations...' 60; shot 'Congratulations...' done; e2e_key Return
e2e_wait_exit 20 || true
e2e_end
fi

for page in welcome platform plugin done; do
    args=(--page-rect "$(cat "$out/$page.rect")" --back "$art/BLUETEX.bmp" --page "$art/QZSWIRL.bmp"
          --sprite "$art/ALERT.bmp" --sprite "$art/QUESTION.bmp" --sprite "$art/BULLET.bmp"
          --sprite "$art/CHECKBOX.bmp" --map "$out/$page.map.ppm")
    [ -n "$ref" ] && args+=(--ref "$ref/$page.ppm")
    # shellcheck disable=SC2086
    "$HOST_TOOLS_DIR/palerr" "${args[@]}" ${PALERR_ARGS:-} "$out/$page.ppm" > "$out/$page.txt"
    convert "$out/$page.map.ppm" "$out/$page.map.png" && rm -f "$out/$page.map.ppm"
    echo "== $page ($(cat "$out/$page.rect"))"
    cat "$out/$page.txt"
done
