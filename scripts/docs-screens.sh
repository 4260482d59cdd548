#!/usr/bin/env bash
# Takes the screenshots shown in README.md (docs/screen-*.png): the main
# window with each page over it, INSTALLING while a large file is expanded,
# and the install started from the files of the release floppy image.
#
#   bash scripts/docs-screens.sh [DIR]   # into DIR instead of docs/
#
# The large file is the end-to-end tests' random source, from a fixed seed
# (tests/support/seeded.sh) that is printed; every step waits for a state.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
shots=${1:-$root/docs}
mkdir -p "$shots"
shots=$(cd "$shots" && pwd)
export SOURCE_DIR=$root BUILD_DIR=${BUILD_DIR:-$root/build}
export DIST_DIR=$BUILD_DIR/dist HOST_TOOLS_DIR=$BUILD_DIR/host-tools
"$root/scripts/build.sh" "$BUILD_DIR" >/dev/null
. "$root/tests/e2e/e2e-lib.sh"
. "$root/tests/e2e/faults-lib.sh"   # big_source, stop_in_copy, setup_resume
shot() { import -window root "$shots/screen-$1.png"; }

e2e_begin docs
plugins_at 'C:\Program Files\Photoshp\Plugins' "$E2E_C/Program Files/Photoshp/Plugins"
e2e_start
e2e_page 'Welcome!' 30; shot welcome; e2e_key Return
e2e_page 'Platform'; shot platform; e2e_key Return
# The plug-in page with the sample payload's figures; then a large filter,
# so that the copy lasts long enough to be seen.
e2e_page 'Plug-in location...'; shot plugin
big_source zrfilt32._bf 192 zrfilt32.8bf
e2e_key Return
e2e_page 'Installing...' 120
# Taken while the filter is expanded (its temporary file has the filter's
# record, 3, in its name): the process is held once that copy has begun.
stop_in_copy "$PS" zrs3
shot installing
setup_resume
e2e_page 'Congratulations...' 120; shot done; e2e_key Return
e2e_wait_exit 20
e2e_end

# Started as A:\SETUP.EXE on Windows 95 from the files of the floppy image.
media=$BUILD_DIR/docs-media
bash "$root/scripts/release.sh" --dist "$DIST_DIR" --out "$media" >/dev/null
e2e_begin docs-floppy
e2e_version win95
mkdir -p "$E2E_C/Program Files/Photoshp/Plugins"
e2e_ini 'C:\Program Files\Photoshp\Plugins'
e2e_floppy "$media/vellox20-floppy.img"
e2e_start
e2e_page 'Welcome!' 30; e2e_key Return
e2e_page 'Platform'; shot floppy-install; e2e_key Return
e2e_page 'Plug-in location...'; e2e_key Return
e2e_page 'Congratulations...' 30; e2e_key Return
e2e_wait_exit 20
